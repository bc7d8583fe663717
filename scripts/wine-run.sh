#!/usr/bin/env bash
# Runs a Windows program in the Wine session named by YORUNEL_WINE_SESSION.
set -euo pipefail
session=${YORUNEL_WINE_SESSION:?no Wine session: run the tests through ctest}
# shellcheck source=/dev/null
. "$session/session.env"
# A test program that ends before its tests are over with exit code 0 (the
# code under test calling ExitProcess or TerminateProcess) leaves the file
# GoogleTest makes at its start: a failure, not a pass.
running=${YORUNEL_TEST_RUNNING_FILE:-}
[ -n "$running" ] || exec /usr/lib/wine/wine64 "$@"
rm -f "$running"
status=0
TEST_PREMATURE_EXIT_FILE="Z:${running//\//\\}" /usr/lib/wine/wine64 "$@" || status=$?
if [ -e "$running" ]; then
  rm -f "$running"
  echo "$(basename "$1") ended before its tests were over (exit code $status)"
  exit 1
fi
exit "$status"
