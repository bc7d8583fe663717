#!/usr/bin/env bash
# Checks the run command as a new user meets it on a machine without a
# display: it prints an address, the page there (noVNC in headless Chromium)
# shows the Windows desktop with Yorunel's icon in the task bar, the icon
# answers clicks, two pictures picked from its menu become the desktop's,
# nothing listens beyond the loopback address, and Ctrl+C ends every process
# it started. Not part of the test command: it needs a
# browser. Saves the browser's view as docs/screenshots/run_desktop.png.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh chromium

check=build/check-run
rm -rf "$check"
mkdir -p "$check"
listening() { ss -Hltun | awk '{print $1, $5}' | sort; }
listening >"$check/listening-before"

# Its own session, so that a signal to its group is the terminal's Ctrl+C.
env -u DISPLAY setsid scripts/run.sh >"$check/run.log" 2>&1 </dev/null &
run=$!
browser=
finish() {
  [ -z "$browser" ] || kill "$browser" 2>/dev/null || true
  kill -INT -- "-$run" 2>/dev/null || true
}
trap finish EXIT

for _ in $(seq 1200); do
  grep -q 'http://localhost' "$check/run.log" && break
  kill -0 "$run" 2>/dev/null || { cat "$check/run.log"; echo "check-run: the run command ended" >&2; exit 1; }
  sleep 0.5
done
address=$(grep -o 'http://localhost[^ ]*' "$check/run.log") || { echo "check-run: no address printed" >&2; exit 1; }
display=":$(head -n1 build/run/display)"
echo "check-run: the run command printed $address (display $display)"

devtools=$(mktemp -d)
chromium --headless=new --no-sandbox --disable-gpu --user-data-dir="$devtools" --remote-debugging-port=0 \
  --window-size=1152,648 about:blank >"$check/chromium.log" 2>&1 </dev/null &
browser=$!
for _ in $(seq 100); do [ -s "$devtools/DevToolsActivePort" ] && break; sleep 0.1; done
scripts/check-run-browser.py "$(head -n1 "$devtools/DevToolsActivePort")" "$address" "$display" \
  resources/icons docs/screenshots/run_desktop.png build/run/app/Samples

# Everything the run command and the browser listen on is on the loopback address.
listening | comm -13 "$check/listening-before" - >"$check/listening-new"
if grep -Ev ' (127\.0\.0\.1|\[::1\]):' "$check/listening-new"; then
  echo "check-run: the above listen beyond the loopback address" >&2
  exit 1
fi
kill "$browser"
wait "$browser" 2>/dev/null || true
browser=
rm -rf "$devtools"

# Ctrl+C: the run command ends, and with it every process it started.
prefix="$PWD/build/run/prefix"
kill -INT -- "-$run"
for _ in $(seq 100); do kill -0 "$run" 2>/dev/null || break; sleep 0.1; done
trap - EXIT
# Ended processes whose parent died wait for init to collect them: not running.
alive() { ps -o pid=,stat=,args= "$@" | awk '$2 !~ /^Z/' || true; }
left=$(alive -s "$run")
for environ in /proc/[0-9]*/environ; do
  grep -qz "^WINEPREFIX=$prefix\$" "$environ" 2>/dev/null && left+=$'\n'"$(alive -p "$(basename "$(dirname "$environ")")")"
done
if kill -0 "$run" 2>/dev/null || [ -n "${left//$'\n'/}" ]; then
  echo "check-run: left running after Ctrl+C:$left" >&2
  exit 1
fi
if listening | comm -13 "$check/listening-before" - | grep .; then
  echo "check-run: still listening after Ctrl+C" >&2
  exit 1
fi
echo "check-run: passed; Ctrl+C ended everything"
