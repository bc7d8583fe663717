#!/usr/bin/env bash
# scripts/setup.sh where apt-get update fails on one index, with stand-ins for
# the package tools: it goes on while every package can still be installed,
# and otherwise stops with one line naming the package and the index.
set -u
setup=$1
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
stub() { printf '#!/bin/sh\n%s\n' "$2" >"$stubs/$1" && chmod +x "$stubs/$1"; }
stub id 'echo 0'
stub locale 'echo ja_JP.utf8'
stub dpkg-query 'exit 1'
stub apt-cache 'case "$2" in nosuch) echo "  Candidate: (none)" ;; *) echo "  Candidate: 1.0" ;; esac'
index="http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
stub apt-get "[ \"\$1\" = update ] && { echo 'Err:7 $index'; exit 100; }; echo \"\$*\" >>'$stubs/installed'"

PATH=$stubs:$PATH "$setup" >/dev/null 2>&1 || { echo "stopped although every package can be installed"; exit 1; }
grep -q -- "^install -y --no-install-recommends cmake " "$stubs/installed" || { echo "installed nothing"; exit 1; }
if told=$(PATH=$stubs:$PATH "$setup" nosuch 2>&1 >/dev/null); then
  echo "went on without a package"
  exit 1
fi
[ "$told" = "setup.sh: cannot install nosuch: apt-get update failed on $index" ] || { echo "told: $told"; exit 1; }
