#!/bin/sh
# A YARXI source made from Debian's KANJIDIC (readings romanised by kakasi):
# the deterministic compile by the native qdxc and by qdxc.exe under Wine
# gives byte-identical dictionary files.
# usage: yarxi_source_same_bytes.sh NATIVE_QDXC WIN_QDXC WINE_RUN SOURCE_SCRIPT WORK_DIR
set -eu
native=$1 win=$2 wine_run=$3 script=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
command -v kakasi >/dev/null && [ -r /usr/share/edict/kanjidic ] || { echo "kakasi or kanjidic not installed: skipped"; exit 0; }
python3 "$script" "$work/kanjidic.yarxi" >/dev/null
"$native" --deterministic "$work/kanjidic.yarxi" "$work/native.qdx" 2>/dev/null
"$wine_run" "$win" --deterministic "Z:$work/kanjidic.yarxi" "Z:$work/wine.qdx" 2>/dev/null
cmp "$work/native.qdx" "$work/wine.qdx"
echo "native and Wine compiles are byte-identical ($(wc -c < "$work/native.qdx") bytes)"
