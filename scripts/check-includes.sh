#!/usr/bin/env bash
# Fails on an include against the direction of the layers: portable/ sees
# only itself and no <windows.h>; framework/ sees portable/ and itself; the
# wallpaper room sees those and the program's texts, never the program that
# wires it; the program's folders see everything below them. Tests and
# benchmarks may include anything.
#   check-includes.sh [source root]
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

program="app hotkeys settings_ui controls resources"
allowed_portable="portable"
allowed_framework="portable framework"
allowed_wallpaper="portable framework resources wallpaper"
allowed_program="portable framework wallpaper $program"

status=0
check() {
  local folder=$1 allowed=$2
  [ -d "$folder" ] || return 0
  while IFS=: read -r file line text; do
    target=$(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' <<<"$text")
    [ -n "$target" ] || continue
    top=${target%%/*}
    if [ "$top" = "$target" ] || [ "$top" = ".." ] || [ "$top" = "." ]; then
      echo "$file:$line: include \"$target\" names no layer folder" >&2
      status=1
    elif [[ " $allowed " != *" $top "* ]]; then
      echo "$file:$line: $folder/ may not include \"$target\" (it sees: $allowed)" >&2
      status=1
    fi
  done < <(grep -rn --include='*.h' --include='*.cpp' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$folder")
}

check portable "$allowed_portable"
check framework "$allowed_framework"
check wallpaper "$allowed_wallpaper"
for folder in $program; do
  check "$folder" "$allowed_program"
done
if grep -rn --include='*.h' --include='*.cpp' -E '^[[:space:]]*#[[:space:]]*include[[:space:]]*<windows\.h>' portable 2>/dev/null >&2; then
  echo "portable/ is built on the host too: no <windows.h> there" >&2
  status=1
fi
[ $status -eq 0 ] && echo "includes follow the layers"
exit $status
