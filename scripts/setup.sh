#!/usr/bin/env bash
# Installs what building, testing and running Yorunel need on Debian 12, and
# the Japanese locale under which Wine uses code page 932. Further packages a
# script needs beyond these (the check script's browser) are arguments.
#
#   setup.sh [package...]
set -euo pipefail

packages=(
  cmake ninja-build clang libclang-rt-14-dev g++ libgtest-dev googletest libbenchmark-dev
  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
  wine wine64 fonts-wine xvfb x11-utils imagemagick fonts-ipafont-gothic locales
  cppcheck clang-tidy zip unzip python3
  x11vnc novnc websockify desktop-base librsvg2-bin
  "$@"
)

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  # An index that fails to update (a mirror being synced, an architecture
  # nothing here comes from) stops nothing while the lists at hand still
  # have every package.
  log=$(mktemp)
  updated=yes
  $sudo apt-get update 2>&1 | tee "$log" || updated=no
  failed=$(sed -n 's/^Err:[0-9]* //p' "$log" | head -n 1)
  [ -n "$failed" ] || failed=$(sed -n 's/^E: //p' "$log" | head -n 1)
  rm -f "$log"
  for package in "${missing[@]}"; do
    candidate=$(apt-cache policy "$package" 2>/dev/null | sed -n 's/^ *Candidate: //p')
    if [ -z "$candidate" ] || [ "$candidate" = "(none)" ]; then
      echo "setup.sh: cannot install $package${failed:+: apt-get update failed on $failed}" >&2
      exit 1
    fi
  done
  [ $updated = yes ] || echo "setup.sh: apt-get update failed${failed:+ on $failed}; every package is still in the lists at hand"
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo=sudo
  $sudo sed -i 's/^# *\(ja_JP.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen || echo 'ja_JP.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen
fi
