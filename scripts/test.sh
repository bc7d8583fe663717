#!/usr/bin/env bash
# Builds every preset and runs every test: host unit tests and fuzzers, the
# Win32 and end-to-end tests under Wine, and the release build's checks.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

start=$(date +%s)
for preset in host win64 win32; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
done
status=0
for preset in host win64 win32; do
  ctest --preset "$preset" || status=1
done
echo "all tests: $(( $(date +%s) - start )) s"
exit $status
