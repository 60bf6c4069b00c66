#!/bin/sh
# rtfgen natively and rtfgen.exe under Wine write byte-identical documents
# (the builder writes CR LF itself) for the same compiled EDICT sample.
# usage: same_bytes_as_native.sh NATIVE_QDXC NATIVE_RTFGEN WIN_RTFGEN WINE_RUN QDXC_SCRIPTS WORK_DIR
set -eu
qdxc=$1 native=$2 win=$3 wine_run=$4 scripts=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
edict=/usr/share/edict/edict
[ -r "$edict" ] || { echo "edict not installed: skipped"; exit 0; }
python3 "$scripts/edict_markup.py" "$edict" 2000 "$work/edict.rdf"
"$qdxc" --deterministic "$work/edict.rdf" "$work/edict.qdx" 2>/dev/null
"$native" --flags 0x4D "$work/edict.qdx" "$work/native.rtf"
"$wine_run" "$win" --flags 0x4D "Z:$work/edict.qdx" "Z:$work/wine.rtf"
cmp "$work/native.rtf" "$work/wine.rtf"
echo "native and Wine documents are byte-identical ($(wc -c < "$work/native.rtf") bytes)"
