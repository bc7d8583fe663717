#!/usr/bin/env bash
# A Wine session for the tests: a display of its own (Xvfb), a fresh Wine
# prefix copied from a template made once per build folder, and a wineserver
# kept alive so that programs start quickly.
#
#   wine-session.sh start <session-dir> [dpi]   writes <session-dir>/session.env
#   wine-session.sh stop  <session-dir>
set -euo pipefail

command=${1:?start or stop}
session=${2:?session folder}
dpi=${3:-96}
wine=/usr/lib/wine/wine64
template="$(dirname "$session")/template"

wine_env() {
  export WINEPREFIX="$1" WINEDEBUG=-all WINEARCH=win64 LANG=ja_JP.UTF-8
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
}

make_template() {
  [ -f "$template/.ready" ] && return 0
  rm -rf "$template"
  mkdir -p "$template"
  (
    wine_env "$template/prefix"
    export DISPLAY=
    "$wine" wineboot -i >/dev/null 2>&1 </dev/null || true
    "$wineserver_bin" -w
  )
  touch "$template/.ready"
}

wineserver_bin=/usr/lib/wine/wineserver64
[ -x "$wineserver_bin" ] || wineserver_bin=/usr/lib/wine/wineserver

case "$command" in
start)
  "$0" stop "$session" >/dev/null 2>&1 || true
  make_template
  rm -rf "$session"
  mkdir -p "$session"
  cp -a "$template/prefix" "$session/prefix"
  # Our own display: the tests never touch a user's desktop.
  exec 3>"$session/display"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >"$session/xvfb.log" 2>&1 </dev/null &
  echo $! >"$session/xvfb.pid"
  exec 3>&-
  for _ in $(seq 100); do [ -s "$session/display" ] && break; sleep 0.1; done
  display=":$(head -n1 "$session/display")"
  wine_env "$session/prefix"
  export DISPLAY="$display"
  # Daemons started here must not hold the caller's output open.
  "$wineserver_bin" -p >>"$session/wine.log" 2>&1 </dev/null
  # No window manager runs on the test display.
  "$(dirname "$0")/wine-registry.sh" "$session" "$dpi" unmanaged
  cat >"$session/session.env" <<ENV
export WINEPREFIX='$session/prefix' WINEDEBUG=-all WINEARCH=win64 LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES='mscoree,mshtml,winemenubuilder.exe='
export DISPLAY='$display'
ENV
  echo "wine session $session on display $display (dpi $dpi)"
  ;;
stop)
  if [ -d "$session/prefix" ]; then
    (wine_env "$session/prefix"; "$wineserver_bin" -k 2>/dev/null || true)
  fi
  if [ -f "$session/xvfb.pid" ]; then
    kill "$(cat "$session/xvfb.pid")" 2>/dev/null || true
    rm -f "$session/xvfb.pid"
  fi
  ;;
*)
  echo "usage: $0 start|stop <session-dir> [dpi]" >&2
  exit 2
  ;;
esac
