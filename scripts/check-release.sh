#!/usr/bin/env bash
# The release program: 32-bit, at most 320 KiB, and needing no DLL beyond
# those every Windows has.
set -euo pipefail
exe=${1:?Yorunel.exe}
limit=$((320 * 1024))
size=$(stat -c %s "$exe")
echo "Yorunel.exe: $size bytes (limit $limit)"
[ "$size" -le "$limit" ] || { echo "too large"; exit 1; }
objdump=i686-w64-mingw32-objdump
headers=$($objdump -p "$exe")
grep -q "file format pei-i386" <<<"$headers" || { echo "not a 32-bit program"; exit 1; }
allowed='^(KERNEL32|USER32|GDI32|SHELL32|OLE32|COMCTL32|MSVCRT|ADVAPI32)\.DLL$'
status=0
while read -r dll; do
  if ! echo "$dll" | tr '[:lower:]' '[:upper:]' | grep -Eq "$allowed"; then
    echo "needs $dll"
    status=1
  fi
done < <(awk '/DLL Name:/ {print $3}' <<<"$headers")
grep -q "Subsystem.*0002" <<<"$headers" || { echo "not a GUI program"; exit 1; }
exit $status
