#!/usr/bin/env bash
# Five runs of each compile, natively (edict_compile_bench of a Release tree,
# each run pinned to one core) and under Wine (qdxc.exe, total wall time and
# peak memory from /usr/bin/time); the medians go to
# bench/edict_compile/results.csv. See README.md for the trees it needs.
#   bench/edict_compile/run.sh [CORE...]   (default core 0; with several cores
#   the runs go to them in turn, one at a time on each core)
set -euo pipefail
cd "$(dirname "$0")/../.."
cores=("${@:-0}")
bench=${OSTREL_BENCH_TREE:-build/bench}/bench/edict_compile/edict_compile_bench
work=$(mktemp -d)
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
trap 'rm -rf "$work"' EXIT
one_run() {  # RUN CORE: one run of every source into $work/RUN
  local dir="$work/$1" core=$2
  mkdir -p "$dir"
  for name in edict enamdict kanjidic; do
    taskset -c "$core" "$bench" "$name" "$dir" | sed "s/^/native,/" >> "$dir/raw.csv"
    /usr/bin/time -f "%e %M" -o "$dir/time" \
      taskset -c "$core" wine build/win/tools/qdxc.exe --deterministic "Z:/usr/share/edict/$name" "Z:$dir/$name.wine.qdx" 2>/dev/null
    read -r seconds kib < "$dir/time"
    echo "wine,$name,total_seconds,$seconds" >> "$dir/raw.csv"
    echo "wine,$name,peak_KiB of the wine process,$kib" >> "$dir/raw.csv"
    native=$(sha256sum < "$dir/$name.qdx")
    wine=$(sha256sum < "$dir/$name.wine.qdx")
    echo "both,$name,native and wine files identical,$([ "$native" = "$wine" ] && echo 1 || echo 0)" >> "$dir/raw.csv"
  done
}
for lane in "${!cores[@]}"; do
  (for run in 1 2 3 4 5; do
     if (( (run - 1) % ${#cores[@]} == lane )); then one_run "$run" "${cores[$lane]}"; fi
   done) &
done
wait
raw="$work/raw.csv"
cat "$work"/*/raw.csv > "$raw"
load=$(cut -d' ' -f1-3 /proc/loadavg)
python3 - "$raw" "$load_at_start" "$load" "$(nproc)" > bench/edict_compile/results.csv <<'PY'
import csv, statistics, sys
rows = {}
for where, name, what, value in csv.reader(open(sys.argv[1])):
    rows.setdefault((where, name, what), []).append(float(value))
print(f"# bench/edict_compile/run.sh: medians of five runs (each on one pinned core); load average at the start {sys.argv[2]}, at the end {sys.argv[3]} on {sys.argv[4]} cores")
print("where,source,measure,median")
for (where, name, what), values in rows.items():
    median = statistics.median(values)
    print(f"{where},{name},{what},{int(median) if median == int(median) else round(median, 3)}")
PY
cat bench/edict_compile/results.csv
