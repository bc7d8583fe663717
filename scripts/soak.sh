#!/usr/bin/env bash
# The soak benchmark: a compressed month of use of the real Yorunel.exe
# under Wine, with the recording wallpaper object, sampled every round;
# prints the table of samples and each step's time, then a trend line for
# each step and count: the median of the first fifth of the rounds after the
# warm-up, of the last fifth, and their ratio. Exits 3 when a step's time or
# a count grew beyond its margin (the lines say which), 1 on a broken run.
# The test command runs its short form (e2e_soak_test).
#
#   scripts/soak.sh [rounds] [files]   100 rounds (about ten minutes) over 1,000 files
#
# Build folder: build/soak-win64, a build of its own whose wallpaper timer
# counts a minute every 100 ms; every other build keeps the minute.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh

build=build/soak-win64
session=$root/$build/wine/soak

started=$(date +%s)
echo "== building"
cmake --preset win64 -B "$build" -DYORUNEL_BENCH=ON -DYORUNEL_MINUTE_MS=100 >/dev/null
cmake --build "$build" --target bench_soak
built=$(date +%s)

stop_session() { scripts/wine-session.sh stop "$session" >/dev/null 2>&1 || true; }
trap stop_session EXIT
scripts/wine-session.sh start "$session"
export YORUNEL_WINE_SESSION=$session YORUNEL_BUILD=$root/$build

echo
echo "== soak (load before: $(cut -d' ' -f1-3 /proc/loadavg), $(nproc) cores)"
# Wine notes each read of /proc through Z: on stderr.
status=0
timeout 3600 scripts/wine-run.sh "$build/tests/e2e/bench_soak.exe" "$@" 2>&1 | stdbuf -oL tr -d '\r' |
  { grep --line-buffered -v '^wine: Read access denied' || true; } || status=$?
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "builds $((built - started)) s, soak $(( $(date +%s) - built )) s"
exit $status
