#!/usr/bin/env bash
# Runs a Windows program in the Wine session named by YORUNEL_WINE_SESSION.
set -euo pipefail
session=${YORUNEL_WINE_SESSION:?no Wine session: run the tests through ctest}
# shellcheck source=/dev/null
. "$session/session.env"
exec /usr/lib/wine/wine64 "$@"
