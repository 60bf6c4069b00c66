#!/usr/bin/env bash
# Installs every package the build and the tests need on a Debian 12 machine.
# Safe to run again: it only asks apt for what is missing.
set -euo pipefail

packages=(
  cmake ninja-build g++ make pkg-config perl ccache
  libgtest-dev googletest libbenchmark-dev zlib1g-dev
  g++-mingw-w64-i686 libz-mingw-w64-dev
  wine wine32:i386 xvfb xauth
  fonts-ipafont-gothic fonts-ipafont-mincho fonts-dejavu-core
  edict enamdict kanjidic
  sqlite3 libsqlite3-dev
)

# Each subsystem may list further packages, one per line, in tools/ci/packages/*.txt.
here=$(dirname "$0")
for list in "$here"/packages/*.txt; do
  [ -f "$list" ] || continue
  while read -r p _; do
    [ -n "$p" ] && [ "${p#\#}" = "$p" ] && packages+=("$p")
  done < "$list"
done

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  "${sudo_cmd[@]}" dpkg --add-architecture i386
fi
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 update -qq
"${sudo_cmd[@]}" apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
