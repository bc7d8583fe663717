#!/usr/bin/env bash
# Static analysis of the program's sources: cppcheck on the program, and
# clang-tidy on every source file of the x86_64 build, read as clang would
# compile it for Windows.
#   static-analysis.sh <win64 build folder>
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?win64 build folder}
cd "$top"
sources=(portable framework wallpaper app hotkeys settings_ui controls)

status=0
echo "cppcheck"
cppcheck --error-exitcode=1 --quiet --std=c++17 --inline-suppr -I . \
  --enable=warning,style,performance,portability \
  --suppress=useStlAlgorithm --suppress=missingIncludeSystem \
  "${sources[@]}" || status=1

echo "clang-tidy"
# clang knows no CP932 execution charset and does not find MinGW's C++
# headers by itself: a copy of the compilation database says where they are.
gcc_include=$(dirname "$(x86_64-w64-mingw32-g++-posix -print-libgcc-file-name)")/include
tidy_db="$build/tidy"
mkdir -p "$tidy_db"
python3 - "$build/compile_commands.json" "$tidy_db/compile_commands.json" "$top" <<'PY'
import json, sys, glob, os
source, target, top = sys.argv[1:]
cxx = sorted(glob.glob('/usr/lib/gcc/x86_64-w64-mingw32/*-posix/include/c++'))[-1]
extra = ['-isystem', cxx, '-isystem', cxx + '/x86_64-w64-mingw32', '-isystem', cxx + '/backward',
         '--target=x86_64-w64-mingw32']
entries = []
seen = set()
for entry in json.load(open(source)):
    path = os.path.realpath(entry['file'])
    if (not path.endswith('.cpp') or not path.startswith(top + '/') or path in seen
            or any(part in path for part in ('/tests/', '/bench/', '/build/'))):
        continue
    seen.add(path)
    command = entry['command'].replace('-fexec-charset=CP932', '')
    parts = command.split(' ', 1)
    entry['command'] = 'clang++ ' + ' '.join(extra) + ' ' + parts[1]
    entries.append(entry)
json.dump(entries, open(target, 'w'), indent=1)
print(len(entries), 'files')
PY
checks='-*,bugprone-*,-bugprone-easily-swappable-parameters,-bugprone-narrowing-conversions,clang-analyzer-*,performance-*,-performance-no-int-to-ptr,-clang-analyzer-optin.*'
files=$(python3 -c "import json,sys; print('\n'.join(e['file'] for e in json.load(open(sys.argv[1]))))" "$tidy_db/compile_commands.json")
# Both cores: one file a process.
export tidy_db checks top
tidy_one() {
  output=$(clang-tidy -p "$tidy_db" --quiet --checks="$checks" --warnings-as-errors='*' \
    --header-filter="^$top/(portable|framework|wallpaper|app|hotkeys|settings_ui|controls|resources|standin)/" "$1" 2>&1) || {
    echo "$output" | grep -v "warnings generated"; return 1; }
}
export -f tidy_one
echo "$files" | xargs -P "$(nproc)" -I{} bash -c 'tidy_one {}' || status=1
[ $status -eq 0 ] && echo "clean"
exit $status
