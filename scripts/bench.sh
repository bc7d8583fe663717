#!/usr/bin/env bash
# Builds and runs the benchmarks and prints their figures: Yorunel.exe beside
# a minimal tray program (start, memory, idle CPU) and the wallpaper hotkey's
# latency under Wine, the wallpaper list over 100 to 10,000 files, the
# shortcut text on the host, and the release program's size. Measurements,
# not tests: nothing here fails on a figure, only on a broken run.
#
#   scripts/bench.sh            about five minutes once built, two of them idle
#   scripts/bench.sh --quick    a first look: one pair of starts, 20 s idle, fewer repetitions
#
# Start and memory are measured in pairs, Yorunel and the minimal program one
# after the other, and each ratio is the median of the pairs' ratios with
# their range: "met" or "MISSED" only where the whole range lies on one side
# of the target, "within noise" otherwise.
#
# Build folders: build/bench-win64, build/bench-win32, build/bench-host.
set -euo pipefail
pairs=11 idle=120 presses=30 clicks=20 repetitions=30 readds=200
if [ "${1:-}" = --quick ]; then
  pairs=1 idle=20 presses=5 clicks=5 repetitions=5 readds=64
fi
cd "$(dirname "$0")/.."
root=$PWD
scripts/setup.sh

win64=build/bench-win64
win32=build/bench-win32
host=build/bench-host
session=$root/$win64/wine/bench

started=$(date +%s)
echo "== building"
# Only what is measured: the benchmark programs and what they start.
cmake --preset win64 -B "$win64" -DYORUNEL_BENCH=ON >/dev/null
cmake --build "$win64" --target bench_footprint bench_wallpaper_menu bench_tray_redraw wallpaper_recorder
cmake --preset win32 -B "$win32" >/dev/null
cmake --build "$win32" --target Yorunel
cmake -S bench/host -B "$host" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$host"
built=$(date +%s)

stop_session() { scripts/wine-session.sh stop "$session" >/dev/null 2>&1 || true; }
trap stop_session EXIT
scripts/wine-session.sh start "$session"
export YORUNEL_WINE_SESSION=$session

wine_bench() {
  timeout 900 scripts/wine-run.sh "$@" 2>&1 | tr -d '\r'
}

results=$(mktemp -d)

echo
echo "== start and memory: Yorunel.exe beside tray_minimal.exe, pairs: $pairs"
wine_bench "$win64/bench/bench_footprint.exe" start "$pairs" | tee "$results/start"

echo
echo "== idle: $idle s side by side"
wine_bench "$win64/bench/bench_footprint.exe" idle "$idle" | tee "$results/idle"

echo
echo "== wallpaper hotkey: SendInput until the wallpaper object has the path"
wine_bench "$win64/bench/bench_footprint.exe" hotkey "$presses" | tee "$results/hotkey"

echo
echo "== tray click until the menu shows, idle and while the wallpaper object blocks"
wine_bench "$win64/bench/bench_footprint.exe" menu "$clicks" | tee "$results/menu-latency"

echo
echo "== BuildWallpaperMenu over a folder of N entries (three in four of them pictures)"
for files in 100 1000 10000; do
  wine_bench "$win64/bench/bench_wallpaper_menu.exe" "$files" "$repetitions" | tee -a "$results/menu"
done
echo "-- the same 10,000 entries spread over 100 subfolders (SubFolders=1)"
wine_bench "$win64/bench/bench_wallpaper_menu.exe" 10000 "$repetitions" 100 | tee "$results/menu-tree"
echo
awk '
  /^wallpaper-menu / {
    for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[kv[1]] = kv[2] }
    n = v["files"]; files[++count] = n
    rebuild[n] = v["rebuild"]; clear[n] = v["clear"]; list[n] = v["list"]; listed[n] = v["listed"]
  }
  END {
    printf "| %6s | %6s | %11s | %13s | %11s | %13s | %11s |\n", "files", "listed", "rebuild ms", "us per file", "listing ms", "us per file", "clearing ms"
    printf "|--------|--------|-------------|---------------|-------------|---------------|-------------|\n"
    for (i = 1; i <= count; ++i) {
      n = files[i]
      printf "| %6d | %6d | %11.2f | %13.2f | %11.2f | %13.2f | %11.2f |\n", n, listed[n], rebuild[n], 1000 * rebuild[n] / n, list[n], 1000 * list[n] / n, clear[n]
    }
    if (rebuild[1000] > 0 && list[1000] > 0) {
      printf "per file, 10,000 against 1,000: rebuild %.2f, listing %.2f", (rebuild[10000] / 10000) / (rebuild[1000] / 1000), (list[10000] / 10000) / (list[1000] / 1000)
      if (clear[1000] > 0) printf ", clearing %.2f", (clear[10000] / 10000) / (clear[1000] / 1000)
      printf " (1.00 is linear growth)\n"
    }
  }' "$results/menu" | tee "$results/menu-table"

echo
echo "== Wine's, not Yorunel's: a program that gives the tray its icon again and redraws every window"
echo "   (ms to make and destroy a window with 100 buttons, and the program's GDI objects, after so many times)"
for mode in readd redraw both; do
  wine_bench "$win64/bench/bench_tray_redraw.exe" "$mode" "$readds" | grep -v fixme | tee -a "$results/redraw"
done

echo
echo "== ParseShortCut and FormatShortCut on the host (Google Benchmark, Release, no sanitizers)"
"$host/bench_shortcut" 2>&1 | tee "$results/host"

echo
echo "== release program size"
size=$(stat -c %s "$win32/Yorunel.exe")
limit=$((300 * 1024))
awk -v size="$size" -v limit="$limit" 'BEGIN {
  printf "Yorunel.exe (i686, MinSizeRel): %d bytes = %.1f KiB of the %d KiB limit (%.0f%%)\n", size, size / 1024, limit / 1024, 100 * size / limit
}' | tee "$results/size"

echo
echo "== summary (targets: Yorunel within 1.2 times the minimal tray program)"
echo "start and memory, pairs: $pairs; ratio: the median of the pairs' ratios, with their range"
printf '| %-9s | %-44s | %-4s | %10s | %10s | %6s | %-11s | %-12s |\n' build "measure (medians)" unit Yorunel minimal ratio range "<=1.2"
awk '
  /^as built/ { tag = "as built" }
  /^debug information stripped/ { tag = "stripped" }
  /\| (met|MISSED|within noise|too few) +\|$/ { sub(/^\| /, "| " sprintf("%-9s", tag) " | "); print }
' "$results/start"
echo "idle, one run of each side by side; timer: against the minimal program with the one-minute timer rotation needs"
printf '| %-9s | %-44s | %-4s | %10s | %10s | %-12s | %-6s |\n' build measure unit Yorunel minimal "Yorunel/min" "<=1.2"
awk '
  /^idle:/ { tag = "as built" }
  /^against the minimal tray program with/ { tag = "timer" }
  /\| (met|MISSED) +\|$/ || /idle wake-ups/ { sub(/^\| /, "| " sprintf("%-9s", tag) " | "); print }
' "$results/idle"
echo
grep -h -e '^| ms from' -e '^| Yorunel' "$results/hotkey" || true
grep -h -e '^| ms from' -e '^| idle' -e '^| while' "$results/menu-latency" || true
echo
grep -h '^per file' "$results/menu-table" || true
awk '/^wallpaper-menu / { for (i = 2; i <= NF; ++i) { split($i, kv, "="); v[FILENAME, kv[1]] = kv[2] } }
  END { one = v[ARGV[1], "rebuild"]; tree = v[ARGV[2], "rebuild"]; bareOne = v[ARGV[1], "bare"]; bareTree = v[ARGV[2], "bare"]
        if (one > 0) printf "10,000 entries in 100 subfolders against one folder: rebuild %.2f ms against %.2f ms, %.2f times\n", tree, one, tree / one
        if (bareOne > 0 && bareTree > 0) printf "  the system alone reading the same entries: %.2f ms against %.2f ms, %.2f times; Yorunel over it: %.2f in the tree, %.2f in one folder\n", bareTree, bareOne, bareTree / bareOne, tree / bareTree, one / bareOne }' \
  <(grep 'files=10000 ' "$results/menu") "$results/menu-tree" || true
grep -h ', 0 to ' "$results/redraw" || true
cat "$results/size"
rm -rf "$results"
echo "builds $((built - started)) s, measurements $(( $(date +%s) - built )) s"
