#!/usr/bin/env bash
# Writes the registry settings every Wine prefix of Yorunel wants: Japanese UI
# fonts mapped to the IPA fonts, no crash dialog, and the screen DPI; and puts
# in the Marlett font of the caption buttons. With
# "unmanaged", Wine draws the window frames itself (for displays without a
# window manager). The Wine environment (WINEPREFIX...) is the caller's.
#
#   wine-registry.sh <folder for the .reg file and wine.log> <dpi> [unmanaged]
set -euo pipefail

folder=${1:?folder}
dpi=${2:?dpi}
reg="$folder/yorunel.reg"
{
  printf 'Windows Registry Editor Version 5.00\r\n\r\n'
  printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
  for face in 'ＭＳ Ｐゴシック' 'MS PGothic' 'MS UI Gothic' 'MS Shell Dlg' 'MS Shell Dlg 2' 'Tahoma'; do
    printf '"%s"="IPAPGothic"\r\n' "$face"
  done
  for face in 'ＭＳ ゴシック' 'MS Gothic'; do
    printf '"%s"="IPAGothic"\r\n' "$face"
  done
  if [ "${3:-}" = unmanaged ]; then
    printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"Managed"="N"\r\n'
  fi
  printf '\r\n[HKEY_CURRENT_USER\\Software\\Wine\\WineDbg]\r\n"ShowCrashDialog"=dword:00000000\r\n'
  printf '\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:%08x\r\n' "$dpi"
  printf '\r\n[HKEY_CURRENT_CONFIG\\Software\\Fonts]\r\n"LogPixels"=dword:%08x\r\n' "$dpi"
} | iconv -f UTF-8 -t UTF-16LE | { printf '\xff\xfe'; cat; } >"$reg"
/usr/lib/wine/wine64 regedit /S "Z:${reg//\//\\}" >>"$folder/wine.log" 2>&1 </dev/null
# Caption buttons are Marlett glyphs ("r" is the close cross). This Wine
# does not load the fonts of its own data folder, so the font goes where
# Windows keeps it.
cp /usr/share/wine/fonts/marlett.ttf "${WINEPREFIX:?}/drive_c/windows/Fonts/"
