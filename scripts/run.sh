#!/usr/bin/env bash
# Builds Yorunel and starts it as a Windows user sees it: inside a Wine
# desktop with a task bar, whose notification area holds Yorunel's icon.
# With a display, the desktop is one window on it. Without one, it runs on a
# virtual display of its own, served to a browser on this machine only
# (x11vnc and noVNC, listening on the loopback address). Ctrl+C ends all of it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# This machine runs 64-bit Windows programs only: start the x86_64 build.
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Yorunel desktop_standin

size=1152x648
run="$PWD/build/run"
app="$run/app"
mkdir -p "$app"
cp build/win64/Yorunel.exe build/win64/YORUNEL.html "$app/"
[ -f "$app/Yorunel.ini" ] || scripts/run-samples.sh "$app"

export WINEPREFIX="$run/prefix" WINEDEBUG=-all WINEARCH=win64 LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
wineserver=/usr/lib/wine/wineserver64
[ -x "$wineserver" ] || wineserver=/usr/lib/wine/wineserver
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the Wine prefix $WINEPREFIX (once, about 15 s)."
  DISPLAY='' /usr/lib/wine/wine64 wineboot -i >/dev/null 2>&1 </dev/null || true
fi

pids=()
stop() {
  trap - INT TERM EXIT
  "$wineserver" -k 2>/dev/null || true
  [ ${#pids[@]} -eq 0 ] || kill "${pids[@]}" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The first port from $1 on that nothing listens on.
free_port() {
  local port=$1
  while [ -n "$(ss -Hltn "sport = :$port")" ]; do port=$((port + 1)); done
  echo "$port"
}

wait_listening() {
  for _ in $(seq 100); do
    [ -n "$(ss -Hltn "src 127.0.0.1:$1")" ] && return 0
    sleep 0.1
  done
  echo "nothing listens on port $1; see $run/*.log" >&2
  return 1
}

served=
if [ -z "${DISPLAY:-}" ]; then
  exec 3>"$run/display"
  Xvfb -displayfd 3 -screen 0 "${size}x24" -nolisten tcp >"$run/xvfb.log" 2>&1 </dev/null &
  pids+=($!)
  exec 3>&-
  for _ in $(seq 100); do [ -s "$run/display" ] && break; sleep 0.1; done
  DISPLAY=":$(head -n1 "$run/display")"
  export DISPLAY
  vnc_port=$(free_port 5910)
  x11vnc -display "$DISPLAY" -localhost -rfbport "$vnc_port" -forever -shared -nopw \
    -quiet >"$run/x11vnc.log" 2>&1 </dev/null &
  pids+=($!)
  web_port=$(free_port 6080)
  websockify --web /usr/share/novnc "127.0.0.1:$web_port" "127.0.0.1:$vnc_port" \
    >"$run/websockify.log" 2>&1 </dev/null &
  pids+=($!)
  wait_listening "$vnc_port"
  wait_listening "$web_port"
  served="http://localhost:$web_port/vnc.html?autoconnect=1&resize=scale"
fi

scripts/wine-registry.sh "$run" 96
# Wine's own wallpaper object refuses every wallpaper: this prefix alone gets
# a stand-in that shows them (machine classes: Wine ignores the user's).
cp build/win64/standin/desktop_standin.dll "$run/"
class='HKLM\Software\Classes\CLSID\{75048700-EF1F-11D0-9888-006097DEACF9}\InprocServer32'
/usr/lib/wine/wine64 reg add "$class" /ve /d "Z:${run//\//\\}\\desktop_standin.dll" /f >>"$run/wine.log" 2>&1 </dev/null
/usr/lib/wine/wine64 reg add "$class" /v ThreadingModel /d Apartment /f >>"$run/wine.log" 2>&1 </dev/null
/usr/lib/wine/wine64 explorer "/desktop=shell,$size" "Z:${app//\//\\}\\Yorunel.exe" \
  >>"$run/wine.log" 2>&1 </dev/null &
pids+=($!)
explorer=$!

echo "Yorunel runs from $app (its settings file is $app/Yorunel.ini)."
if [ -n "$served" ]; then
  echo "Open this address in a browser on this machine to see and use its desktop:"
  echo
  echo "    $served"
  echo
fi
echo "Press Ctrl+C here to stop Yorunel, Wine and everything this command started."
wait "$explorer" || true
