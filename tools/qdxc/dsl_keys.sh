#!/bin/sh
# usage: dsl_keys.sh QDXC QDXDUMP RULES_SCRIPT WORK_DIR
set -eu
qdxc=$1 qdxdump=$2 rules=$3 work=$4
[ -r /usr/share/dictd/freedict-jpn-rus.index ] && [ -r /usr/share/dictd/freedict-eng-rus.index ] ||
  { echo "dict-freedict-jpn-rus or dict-freedict-eng-rus not installed: skipped"; exit 0; }
rm -rf "$work" && mkdir -p "$work/plain" "$work/words"
python3 "$rules" write "$work"
"$qdxc" --deterministic --languages jpn,,rus "$work/freedict.dsl" "$work/plain.qdx" 2>/dev/null
"$qdxc" --deterministic --languages jpn,,rus --dsl-trn-words "$work/freedict.dsl" "$work/words.qdx" 2>/dev/null
for index in 101 102 106; do
  "$qdxdump" "$work/plain.qdx" --keys $index > "$work/plain/$index.txt"
  "$qdxdump" "$work/words.qdx" --keys $index > "$work/words/$index.txt"
done
python3 "$rules" check "$work/freedict.dsl" "$work/plain"
python3 "$rules" check "$work/freedict.dsl" "$work/words" --words
# A character database: unihan_readings_dsl.py's articles, as UTF-16.
unihan=$(dirname "$rules")/unihan_readings_dsl.py
[ -r /usr/share/unicode/Unihan_Readings.txt.bz2 ] || { echo "unicode-data's Unihan not installed: characters skipped"; exit 0; }
mkdir -p "$work/characters"
python3 "$unihan" "$work/characters"
python3 -c "import sys; t = open(sys.argv[1], encoding='utf-8').read(); open(sys.argv[2], 'wb').write(('\ufeff' + t).encode('utf-16-le'))" \
  "$work/characters/unihan.dsl" "$work/characters/unihan16.dsl"
"$qdxc" --deterministic "$work/characters/unihan16.dsl" "$work/characters.qdx" 2>/dev/null
for index in 101 102; do "$qdxdump" "$work/characters.qdx" --keys $index > "$work/characters/$index.txt"; done
: > "$work/characters/106.txt"
python3 "$rules" characters "$work/characters/expected.tsv" "$work/characters"
