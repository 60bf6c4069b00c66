#!/bin/sh
# The same deterministic compile by the native qdxc and by qdxc.exe under
# Wine gives byte-identical dictionary files.
# usage: same_bytes_as_native.sh NATIVE_QDXC WIN_QDXC WINE_RUN SCRIPT_DIR WORK_DIR
set -eu
native=$1 win=$2 wine_run=$3 scripts=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
edict=/usr/share/edict/edict
[ -r "$edict" ] || { echo "edict not installed: skipped"; exit 0; }
python3 "$scripts/edict_markup.py" "$edict" 2000 "$work/edict.rdf"
"$native" --deterministic "$work/edict.rdf" "$work/native.qdx"
"$wine_run" "$win" --deterministic "Z:$work/edict.rdf" "Z:$work/wine.qdx"
cmp "$work/native.qdx" "$work/wine.qdx"
echo "native and Wine compiles are byte-identical ($(wc -c < "$work/native.qdx") bytes)"
