#!/usr/bin/env bash
# scripts/setup.sh where apt-get update fails on an index, with stand-ins for
# the package tools: it goes on while every package can be installed, and
# otherwise stops with one line naming the package and the index.
set -u
stubs=$(mktemp -d)
trap 'rm -rf "$stubs"' EXIT
stub() { printf '#!/bin/sh\n%s\n' "$2" >"$stubs/$1" && chmod +x "$stubs/$1"; }
stub id 'echo 0' && stub locale 'echo ja_JP.utf8' && stub dpkg-query 'exit 1'
stub apt-cache '[ "$2" = nosuch ] && echo "  Candidate: (none)" || echo "  Candidate: 1.0"'
index="http://deb.debian.org/debian-security bookworm-security/main i386 Packages"
stub apt-get "[ \"\$1\" = update ] && { echo 'Err:7 $index'; exit 100; }; echo \"\$*\" >>'$stubs/installed'"
PATH=$stubs:$PATH "$1" >/dev/null 2>&1 && grep -q "^install -y --no-install-recommends cmake " "$stubs/installed" ||
  { echo "stopped although every package can be installed"; exit 1; }
told=$(PATH=$stubs:$PATH "$1" nosuch 2>&1 >/dev/null) && { echo "went on without a package"; exit 1; }
[ "$told" = "setup.sh: cannot install nosuch: apt-get update failed on $index" ] || { echo "told: $told"; exit 1; }
