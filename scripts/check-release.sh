#!/usr/bin/env bash
# The release program: 32-bit, at most 300 KiB, needing no DLL beyond those
# every Windows has, and keeping its Japanese texts whatever the code page.
set -euo pipefail
exe=${1:?Yorunel.exe}
limit=$((300 * 1024))
size=$(stat -c %s "$exe")
echo "Yorunel.exe: $size bytes (limit $limit)"
[ "$size" -le "$limit" ] || { echo "too large"; exit 1; }
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$exe")
grep -q "file format pei-i386" <<<"$headers" || { echo "not a 32-bit program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|SHELL32|SHLWAPI|OLE32|COMCTL32|MSVCRT|ADVAPI32)\.DLL$'
status=0
while read -r dll; do
  if ! echo "$dll" | tr '[:lower:]' '[:upper:]' | grep -Eq "$allowed"; then
    echo "needs $dll"
    status=1
  fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")
grep -q "Subsystem.*0002" <<<"$headers" || { echo "not a GUI program"; exit 1; }

# Japanese texts whatever code page the user chose: the manifest asks for the
# legacy one, and GDI, which does not follow it, gets only the wide calls.
# The entry counts inside <windowsSettings> only, after its siblings there.
tr -d '\000\r\n' <"$exe" | grep -aqE '<windowsSettings>( *<[^/][^>]*>[^<]*</[^>]+>)* *<activeCodePage xmlns="http://schemas.microsoft.com/SMI/2019/WindowsSettings">Legacy</activeCodePage>' ||
  { echo "the manifest does not ask for the legacy code page"; status=1; }
narrow=$(grep -owE 'TextOutA|ExtTextOutA|DrawTextA|DrawTextExA|GetTextExtentPoint32A|CreateFontA|CreateFontIndirectA' \
  <<<"$headers" | sort -u | tr '\n' ' ' || true)
[ -z "$narrow" ] || { echo "imports GDI's ANSI text calls: $narrow"; status=1; }
exit $status
