#!/bin/sh
# The whole of ENAMDICT (741,379 articles) exported as one RTF document by
# the 32-bit qdxexport.exe under Wine: every record becomes an article, the
# document is written whole and nothing is cut. Long: only with
# OSTREL_FULL_SWEEPS set.
# usage: whole_enamdict.sh NATIVE_QDXC WIN_QDXEXPORT WINE_RUN WORK_DIR
set -eu
qdxc=$1 win=$2 wine_run=$3 work=$4
[ -n "${OSTREL_FULL_SWEEPS:-}" ] || { echo "OSTREL_FULL_SWEEPS not set: skipped"; exit 0; }
enamdict=/usr/share/edict/enamdict
[ -r "$enamdict" ] || { echo "enamdict not installed: skipped"; exit 0; }
rm -rf "$work" && mkdir -p "$work"
"$qdxc" "$enamdict" "$work/enamdict.qdx" 2>/dev/null
"$wine_run" "$win" "Z:$work/enamdict.qdx" "Z:$work/enamdict.rtf" 2>"$work/export.log" || { cat "$work/export.log"; exit 1; }
cat "$work/export.log"
grep -Eq "^qdxexport: ([0-9]+) records, \1 articles" "$work/export.log" || { echo "not every record became an article"; exit 1; }
[ "$(tail -c 1 "$work/enamdict.rtf")" = "}" ] || { echo "the document does not end with its closing brace"; exit 1; }
rm -rf "$work"
echo "the whole of ENAMDICT exported in 32 bits"
