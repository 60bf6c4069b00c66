#!/bin/sh
# A DSL source with an #INCLUDE and a WARODAI text made from Debian's
# dict-freedict-jpn-rus, EIJIRO lines (code page 932) and a PDIC file made
# from dict-freedict-eng-jpn: the deterministic compile of each by the native
# qdxc and by qdxc.exe under Wine gives byte-identical dictionary files.
# usage: card_sources_same_bytes.sh NATIVE_QDXC WIN_QDXC WINE_RUN NATIVE_PDIC_FROM_TSV SOURCE_SCRIPT_DIR WORK_DIR
set -eu
native=$1 win=$2 wine_run=$3 pdic_from_tsv=$4 scripts=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
compare() {
    name=$1 source=$2
    "$native" --deterministic "$work/$source" "$work/$name.native.qdx" 2>/dev/null
    "$wine_run" "$win" --deterministic "Z:$work/$source" "Z:$work/$name.wine.qdx" 2>/dev/null
    cmp "$work/$name.native.qdx" "$work/$name.wine.qdx"
    echo "$name: native and Wine compiles are byte-identical ($(wc -c < "$work/$name.native.qdx") bytes)"
}
if [ -r /usr/share/dictd/freedict-jpn-rus.index ]; then
    python3 "$scripts/freedict_card_layouts.py" "$work/jpn-rus"
    compare dsl jpn-rus/jpn-rus.dsl
    compare warodai jpn-rus/jpn-rus.warodai
else
    echo "dict-freedict-jpn-rus not installed: DSL and WARODAI skipped"
fi
if [ -r /usr/share/dictd/freedict-eng-jpn.index ] && /usr/bin/python3 -c "import pyglossary" 2>/dev/null; then
    /usr/bin/python3 "$scripts/freedict_eng_jpn_layouts.py" "$work/eng-jpn" >/dev/null
    # A fifth of the entries keeps the test short.
    head -n 6000 "$work/eng-jpn/eijiro.txt" > "$work/eng-jpn/eijiro-part.txt"
    head -n 6000 "$work/eng-jpn/pdic.tsv" > "$work/eng-jpn/pdic-part.tsv"
    compare eijiro eng-jpn/eijiro-part.txt
    "$pdic_from_tsv" "$work/eng-jpn/pdic-part.tsv" "$work/eng-jpn/eng-jpn.dic"
    compare pdic eng-jpn/eng-jpn.dic
else
    echo "dict-freedict-eng-jpn or python3-pyglossary not installed: EIJIRO and PDIC skipped"
fi
