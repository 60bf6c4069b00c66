#!/usr/bin/env bash
# Five runs of each compile, natively (edict_compile_bench of a Release tree,
# on one pinned core) and under Wine (qdxc.exe, total wall time and peak
# memory from /usr/bin/time); the medians go to bench/edict_compile/results.csv.
# See README.md for the trees it needs.
#   bench/edict_compile/run.sh [CORE]   (CORE: the core to pin to, default 0)
set -euo pipefail
cd "$(dirname "$0")/../.."
core=${1:-0}
bench=${OSTREL_BENCH_TREE:-build/bench}/bench/edict_compile/edict_compile_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
raw="$work/raw.csv"
for run in 1 2 3 4 5; do
  for name in edict enamdict kanjidic; do
    taskset -c "$core" "$bench" "$name" "$work" | sed "s/^/native,/" >> "$raw"
    /usr/bin/time -f "%e %M" -o "$work/time" \
      taskset -c "$core" wine build/win/tools/qdxc.exe --deterministic "Z:/usr/share/edict/$name" "Z:$work/$name.wine.qdx" 2>/dev/null
    read -r seconds kib < "$work/time"
    echo "wine,$name,total_seconds,$seconds" >> "$raw"
    echo "wine,$name,peak_KiB of the wine process,$kib" >> "$raw"
    native=$(sha256sum < "$work/$name.qdx")
    wine=$(sha256sum < "$work/$name.wine.qdx")
    echo "both,$name,native and wine files identical,$([ "$native" = "$wine" ] && echo 1 || echo 0)" >> "$raw"
  done
done
load=$(cut -d' ' -f1-3 /proc/loadavg)
python3 - "$raw" "$load" "$(nproc)" > bench/edict_compile/results.csv <<'PY'
import csv, statistics, sys
rows = {}
for where, name, what, value in csv.reader(open(sys.argv[1])):
    rows.setdefault((where, name, what), []).append(float(value))
print(f"# bench/edict_compile/run.sh: medians of five runs (native on one pinned core); load average at the end {sys.argv[2]} on {sys.argv[3]} cores")
print("where,source,measure,median")
for (where, name, what), values in rows.items():
    median = statistics.median(values)
    print(f"{where},{name},{what},{int(median) if median == int(median) else round(median, 3)}")
PY
cat bench/edict_compile/results.csv
