#!/usr/bin/env bash
# The release zip holds the program, its help page and the read-me, in one folder.
set -euo pipefail
zip=${1:?zip}
listing=$(unzip -Z1 "$zip")
echo "$listing"
for file in Yorunel-1.0.0/Yorunel.exe Yorunel-1.0.0/YORUNEL.html Yorunel-1.0.0/README.txt; do
  grep -qx "$file" <<<"$listing" || { echo "missing $file"; exit 1; }
done
[ "$(wc -l <<<"$listing")" -eq 3 ] || { echo "unexpected files"; exit 1; }
