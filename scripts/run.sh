#!/usr/bin/env bash
# Builds Yorunel and starts it under Wine on this display, or on a virtual
# display of its own when there is none.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
# This machine runs 64-bit Windows programs only: start the x86_64 build.
cmake --preset win64 >/dev/null
cmake --build --preset win64 --target Yorunel

run=build/run
mkdir -p "$run/app"
cp build/win64/Yorunel.exe build/win64/YORUNEL.html "$run/app/"
export WINEPREFIX="$PWD/$run/prefix" WINEDEBUG=-all LANG=ja_JP.UTF-8
export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe="
if [ -z "${DISPLAY:-}" ]; then
  echo "No display: starting a virtual one (Xvfb :77); look at it with a VNC viewer or screenshots (import -display :77 -window root shot.png)."
  Xvfb :77 -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  export DISPLAY=:77
fi
echo "Starting Yorunel from $run/app (its settings file is $run/app/Yorunel.ini)."
exec /usr/lib/wine/wine64 "$run/app/Yorunel.exe"
