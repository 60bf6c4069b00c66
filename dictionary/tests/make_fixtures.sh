#!/bin/sh
# Test fixtures made by independent tools at build time: the first lines of
# Debian's edict, enamdict and kanjidic re-encoded by iconv (UTF-8 with and
# without a byte-order mark, UTF-16LE without and UTF-16 with one), and own
# compressed containers made by python3's zlib. Usage: make_fixtures.sh <folder>
set -eu
out=$1
mkdir -p "$out"
for name in edict enamdict kanjidic; do
  head -n 200 "/usr/share/edict/$name" | iconv -f EUC-JP -t UTF-8 > "$out/$name.utf8"
  { printf '\357\273\277'; cat "$out/$name.utf8"; } > "$out/$name.utf8bom"
  iconv -f UTF-8 -t UTF-16LE < "$out/$name.utf8" > "$out/$name.utf16le"
  # glibc writes a byte-order mark and then the machine's order (little-endian here).
  iconv -f UTF-8 -t UTF-16 < "$out/$name.utf8" > "$out/$name.utf16"
done
python3 "$(dirname "$0")/make_container_fixtures.py" "$out"
touch "$out/stamp"
