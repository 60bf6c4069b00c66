#!/usr/bin/env bash
# Three runs of each compile, natively (edict_compile_bench, optimised) and
# under Wine (qdxc.exe, total wall time and peak memory from /usr/bin/time);
# the medians go to bench/edict_compile/results.csv.
#   bench/edict_compile/run.sh   (after tools/ci/build-trees.sh)
set -euo pipefail
cd "$(dirname "$0")/../.."
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
raw="$work/raw.csv"
for run in 1 2 3; do
  for name in edict enamdict kanjidic; do
    taskset -c 0 build/native/bench/edict_compile/edict_compile_bench "$name" "$work" | sed "s/^/native,/" >> "$raw"
    /usr/bin/time -f "%e %M" -o "$work/time" \
      wine build/win/tools/qdxc.exe --deterministic "Z:/usr/share/edict/$name" "Z:$work/$name.wine.qdx" 2>/dev/null
    read -r seconds kib < "$work/time"
    echo "wine,$name,total_seconds,$seconds" >> "$raw"
    echo "wine,$name,peak_KiB of the wine process,$kib" >> "$raw"
    native=$(sha256sum < "$work/$name.qdx")
    wine=$(sha256sum < "$work/$name.wine.qdx")
    echo "both,$name,native and wine files identical,$([ "$native" = "$wine" ] && echo 1 || echo 0)" >> "$raw"
  done
done
python3 - "$raw" > bench/edict_compile/results.csv <<'PY'
import csv, statistics, sys
rows = {}
for where, name, what, value in csv.reader(open(sys.argv[1])):
    rows.setdefault((where, name, what), []).append(float(value))
print("# bench/edict_compile/run.sh: medians of three runs (native on one core)")
print("where,source,measure,median")
for (where, name, what), values in rows.items():
    median = statistics.median(values)
    print(f"{where},{name},{what},{int(median) if median == int(median) else round(median, 3)}")
PY
cat bench/edict_compile/results.csv
