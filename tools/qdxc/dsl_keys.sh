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
