#!/usr/bin/env bash
# Runs one end-to-end test program as a user without administrator rights,
# in a Wine session of that user's own: what a read-only file means only
# shows for such a user (root writes read-only files anyway).
#   unprivileged-test.sh <build folder> <test program> [arguments]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:?build folder}" && pwd)
program=${2:?test program}
shift 2
user=yorunel-tester
if [ "$(id -u)" -ne 0 ]; then
  # Already unprivileged: a session of this user's own in the build folder.
  session="$build/wine/unprivileged"
  "$top/scripts/wine-session.sh" start "$session" >/dev/null
  trap '"$top/scripts/wine-session.sh" stop "$session"' EXIT
  YORUNEL_WINE_SESSION="$session" YORUNEL_BUILD="$build" "$top/scripts/wine-run.sh" "$program" "$@"
  exit
fi
id "$user" >/dev/null 2>&1 || useradd --create-home --shell /bin/sh "$user"
home=$(getent passwd "$user" | cut -d: -f6)
session="$home/wine/session"
as_user() { runuser -u "$user" -- env HOME="$home" "$@"; }
as_user "$top/scripts/wine-session.sh" start "$session" >/dev/null
trap 'as_user "$top/scripts/wine-session.sh" stop "$session"' EXIT
# The tester reads the build but writes nothing there: no screenshots.
as_user env YORUNEL_WINE_SESSION="$session" YORUNEL_BUILD="$build" "$top/scripts/wine-run.sh" "$program" "$@"
