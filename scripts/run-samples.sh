#!/usr/bin/env bash
# Gives a fresh Yorunel folder something to try: a folder "Samples" of
# Debian's desktop backgrounds (artwork from desktop-base, turned from SVG
# into the .jpg and .bmp pictures Yorunel lists) and one small HTML page, and
# a settings file that points the wallpaper folder at it, with Ctrl+Alt+W as
# the next-wallpaper hotkey.
#
#   run-samples.sh <folder of Yorunel.exe>
set -euo pipefail

app=${1:?folder of Yorunel.exe}
backgrounds=/usr/share/desktop-base
samples="$app/Samples"
mkdir -p "$samples"
for picture in emerald.jpg homeworld.jpg moonlight.jpg softwaves.jpg spacefun.bmp; do
  rsvg-convert -w 640 -h 360 "$backgrounds/${picture%.*}-theme/wallpaper/contents/images/1920x1080.svg" |
    convert png:- -quality 85 "$samples/$picture"
done
cat >"$samples/welcome.html" <<'HTML'
<!DOCTYPE html>
<html lang="ja">
<head><meta charset="UTF-8"><title>Yorunel</title></head>
<body style="margin:0;background:#1d3557;color:#f1faee;font-family:sans-serif">
<h1 style="margin:30vh 0 0;text-align:center;font-weight:normal">Yorunel</h1>
</body>
</html>
HTML

windows_path="Z:${samples//\//\\}"
printf '[HotKey]\r\nWallPaper=Ctrl+Alt+W\r\nWallPaperPath=%s\r\nTime=10\r\n[Operate]\r\nMouse=1\r\n' \
  "$windows_path" >"$app/Yorunel.ini"
