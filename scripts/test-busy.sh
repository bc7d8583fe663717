#!/usr/bin/env bash
# Runs the test command on a busy machine, as CI's and users' machines are:
# one core kept busy by a shell loop, and a second Wine program, in a session
# of its own, busy beside the tests. Says which tests failed.
#
#   test-busy.sh [runs]    runs the test command that many times (default 1)
set -uo pipefail
cd "$(dirname "$0")/.."
runs=${1:-1}
scripts/setup.sh >/dev/null

session="$PWD/build/busy/session"
loads=()
stop_loads() {
  [ ${#loads[@]} -eq 0 ] || kill "${loads[@]}" 2>/dev/null
  scripts/wine-session.sh stop "$session" >/dev/null 2>&1
  wait 2>/dev/null
}
trap stop_loads EXIT
trap 'exit 130' INT TERM

sh -c 'while :; do :; done' &
loads+=($!)
scripts/wine-session.sh start "$session" >/dev/null
(
  # shellcheck source=/dev/null
  . "$session/session.env"
  exec /usr/lib/wine/wine64 cmd /c "for /L %i in (1,1,2000000000) do @rem" >/dev/null 2>&1
) &
loads+=($!)

status=0
for run in $(seq "$runs"); do
  start=$(date +%s)
  rm -f build/*/Testing/Temporary/LastTestsFailed.log
  scripts/test.sh >"build/busy/run$run.log" 2>&1
  result=$?
  failed=$(cat build/*/Testing/Temporary/LastTestsFailed.log 2>/dev/null | cut -d: -f2- | tr '\n' ' ')
  echo "run $run: $(( $(date +%s) - start )) s, exit $result${failed:+, failed: $failed}"
  [ "$result" -eq 0 ] || status=1
done
exit $status
