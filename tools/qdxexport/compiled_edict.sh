#!/bin/sh
# qdxexport over 3000 compiled EDICT entries: its RTF equals rtfgen's with the
# flags word the default options stand for (0x41, 0x80 for the word index), a
# bad option is clamped, and the text holds one article per entry of the source
# with a blank line (CR LF CR LF) between two. With too little memory for the
# document the export is cut: still written, said so, status 3.
# usage: compiled_edict.sh QDXC RTFGEN QDXEXPORT QDXC_SCRIPTS WORK_DIR
set -eu
qdxc=$1 rtfgen=$2 qdxexport=$3 scripts=$4 work=$5
rm -rf "$work" && mkdir -p "$work"
edict=/usr/share/edict/edict
[ -r "$edict" ] || { echo "edict not installed: skipped"; exit 0; }
python3 "$scripts/edict_markup.py" "$edict" 3000 "$work/edict.rdf"
"$qdxc" "$work/edict.rdf" "$work/edict.qdx" 2>/dev/null
"$rtfgen" --flags 0xC1 --columns 3 --blank 2 "$work/edict.qdx" "$work/rtfgen.rtf" 2>/dev/null
"$qdxexport" --columns 3 --blank 2 "$work/edict.qdx" "$work/export.rtf"
cmp "$work/rtfgen.rtf" "$work/export.rtf"
"$qdxexport" --columns 0 --blank 99 --font-size 7 "$work/edict.qdx" "$work/clamped.rtf"
"$rtfgen" --flags 0xC1 --columns 1 --blank 4 "$work/edict.qdx" "$work/rtfgen1.rtf" 2>/dev/null
cmp "$work/rtfgen1.rtf" "$work/clamped.rtf"
"$qdxexport" --text "$work/edict.qdx" "$work/export.txt"
articles=$(python3 -c "import sys; t=open(sys.argv[1],'rb').read().decode('utf-8'); assert '\n' not in t.replace('\r\n',''); print(len(t.split('\r\n\r\n')))" "$work/export.txt")
[ "$articles" = 3000 ] || { echo "text holds $articles articles, 3000 wanted"; exit 1; }
status=0
"$qdxexport" --memory-limit 200000 "$work/edict.qdx" "$work/cut.rtf" 2>"$work/cut.log" || status=$?
[ "$status" = 3 ] && grep -q "the document was cut" "$work/cut.log" || { echo "a cut export: status $status"; cat "$work/cut.log"; exit 1; }
[ "$(tail -c 1 "$work/cut.rtf")" = "}" ] && [ "$(wc -c < "$work/cut.rtf")" -gt 150000 ] || { echo "the cut document was not written"; exit 1; }
echo "qdxexport: document equal to rtfgen's, clamped options, $articles text articles"
