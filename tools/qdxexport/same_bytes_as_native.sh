#!/bin/sh
# qdxexport natively and qdxexport.exe under Wine write byte-identical RTF
# and text exports of the same compiled EDICT sample.
# usage: same_bytes_as_native.sh NATIVE_QDXC NATIVE_QDXEXPORT WIN_QDXEXPORT WINE_RUN QDXC_SCRIPTS WORK_DIR
set -eu
qdxc=$1 native=$2 win=$3 wine_run=$4 scripts=$5 work=$6
rm -rf "$work" && mkdir -p "$work"
edict=/usr/share/edict/edict
[ -r "$edict" ] || { echo "edict not installed: skipped"; exit 0; }
python3 "$scripts/edict_markup.py" "$edict" 2000 "$work/edict.rdf"
"$qdxc" --deterministic "$work/edict.rdf" "$work/edict.qdx" 2>/dev/null
for options in "--compact --colored" "--text"; do
  # shellcheck disable=SC2086
  "$native" $options "$work/edict.qdx" "$work/native.out" 2>/dev/null
  # shellcheck disable=SC2086
  "$wine_run" "$win" $options "Z:$work/edict.qdx" "Z:$work/wine.out" 2>/dev/null
  cmp "$work/native.out" "$work/wine.out"
done
echo "native and Wine exports are byte-identical"
