#!/bin/sh
# A DSL source made from Debian's dict-freedict-jpn-rus declares its languages
# (#INDEX_LANGUAGE "Japanese", #CONTENTS_LANGUAGE "Russian"): qdxc without
# --languages compiles it as with the languages the conversion dialog starts
# with for it, byte for byte, and not as a source of no language.
# usage: dsl_declared_languages.sh QDXC QDXDUMP SOURCE_SCRIPT WORK_DIR
set -eu
qdxc=$1 qdxdump=$2 script=$3 work=$4
[ -r /usr/share/dictd/freedict-jpn-rus.index ] || { echo "dict-freedict-jpn-rus not installed: skipped"; exit 0; }
rm -rf "$work" && mkdir -p "$work"
python3 "$script" "$work/jpn-rus"
"$qdxc" --deterministic "$work/jpn-rus/jpn-rus.dsl" "$work/declared.qdx" 2>/dev/null
"$qdxc" --deterministic --languages jpn,rus "$work/jpn-rus/jpn-rus.dsl" "$work/chosen.qdx" 2>/dev/null
"$qdxc" --deterministic --languages , "$work/jpn-rus/jpn-rus.dsl" "$work/none.qdx" 2>/dev/null
declared=$("$qdxdump" --count 102 "$work/declared.qdx") none=$("$qdxdump" --count 102 "$work/none.qdx")
echo "kanji index entries: $declared with the declared languages, $none with none"
cmp "$work/declared.qdx" "$work/chosen.qdx"
[ "$declared" != "$none" ]
