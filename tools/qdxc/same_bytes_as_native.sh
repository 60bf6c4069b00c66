#!/bin/sh
# The same deterministic compile by the native qdxc and by qdxc.exe under
# Wine gives byte-identical dictionary files; so does the source cut in half,
# which both compile up to the cut and leave with status 3 and the same count.
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

# The source cut in the middle of an article: the articles before it are
# stored, and the cut is told with their count and status 3.
size=$(wc -c < "$work/edict.rdf")
head -c $((size / 4 * 2)) "$work/edict.rdf" > "$work/cut.rdf"
closed=$(python3 -c 'import sys; print(open(sys.argv[1], "rb").read().decode("utf-16").count("\n") - 1)' "$work/cut.rdf")
expect_cut() {
  if [ "$1" != 3 ]; then echo "$2: status $1 for a cut source, not 3"; cat "$3"; exit 1; fi
  grep -q "qdxc: $closed articles" "$3" &&
    grep -q "The source could not be read to its end; articles stored from the part that was read: $closed" "$3" &&
    grep -q "The text ends inside a group opened at line $((closed + 2)) that is never closed." "$3" ||
    { echo "$2 does not tell the cut ($closed articles before it):"; cat "$3"; exit 1; }
}
status=0
"$native" --deterministic "$work/cut.rdf" "$work/native-cut.qdx" 2> "$work/native-cut.txt" || status=$?
expect_cut "$status" "native qdxc" "$work/native-cut.txt"
status=0
"$wine_run" "$win" --deterministic "Z:$work/cut.rdf" "Z:$work/wine-cut.qdx" 2> "$work/wine-cut.txt" || status=$?
expect_cut "$status" "qdxc.exe" "$work/wine-cut.txt"
cmp "$work/native-cut.qdx" "$work/wine-cut.qdx"
echo "the cut source: $closed articles stored, status 3, byte-identical"
