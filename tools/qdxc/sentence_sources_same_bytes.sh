#!/bin/sh
# Examples, Tatoeba and parallel-text sources made from Debian's coreutils
# message catalogs: the deterministic compile of each by the native qdxc and
# by qdxc.exe under Wine gives byte-identical dictionary files.
# usage: sentence_sources_same_bytes.sh NATIVE_QDXC WIN_QDXC WINE_RUN LAYOUT_SCRIPT WORK_DIR
set -eu
native=$1 win=$2 wine_run=$3 layouts=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
[ -r /usr/share/locale/ja/LC_MESSAGES/coreutils.mo ] || { echo "coreutils catalogs not installed: skipped"; exit 0; }
python3 "$layouts" "$work"
compare() {
    name=$1 source=$2
    shift 2
    "$native" --deterministic "$@" "$work/$source" "$work/$name.native.qdx" 2>/dev/null
    "$wine_run" "$win" --deterministic "$@" "Z:$work/$source" "Z:$work/$name.wine.qdx" 2>/dev/null
    cmp "$work/$name.native.qdx" "$work/$name.wine.qdx"
    echo "$name: native and Wine compiles are byte-identical ($(wc -c < "$work/$name.native.qdx") bytes)"
}
compare examples examples.txt
compare tatoeba tatoeba/sentences.csv --languages jpn,eng,rus
compare book book.txt --book
