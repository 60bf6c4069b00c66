#!/usr/bin/env bash
# Three runs of each compile natively (sentence_compile_bench, optimised, one
# core) over sources made from Debian's coreutils catalogs, and the Tatoeba
# loader's peak memory with ids as made and with 50,000,000 added to them;
# the medians go to bench/sentence_compile/results.csv.
#   bench/sentence_compile/run.sh BENCH_BUILD_DIR (a tree configured with -DOSTREL_BENCHMARKS=ON)
set -euo pipefail
cd "$(dirname "$0")/../.."
bench=${1:-build/native}/bench/sentence_compile/sentence_compile_bench
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 import/tests/gettext_sentence_layouts.py "$work/near"
python3 import/tests/gettext_sentence_layouts.py "$work/far" coreutils 50000000
raw="$work/raw.csv"
for run in 1 2 3; do
  for kind in examples tatoeba book; do
    taskset -c 0 "$bench" "$kind" "$work/near" "$work" >> "$raw"
  done
  taskset -c 0 "$bench" loader "$work/near" "$work" | sed "s/^loader/loader small ids/" >> "$raw"
  taskset -c 0 "$bench" loader "$work/far" "$work" | sed "s/^loader/loader ids + 50000000/" >> "$raw"
done
python3 - "$raw" > bench/sentence_compile/results.csv <<'PY'
import csv, statistics, sys
rows = {}
for kind, what, value in csv.reader(open(sys.argv[1])):
    rows.setdefault((kind, what), []).append(float(value))
print("# bench/sentence_compile/run.sh: medians of three runs (native, one core)")
print("source,measure,median")
for (kind, what), values in rows.items():
    median = statistics.median(values)
    print(f"{kind},{what},{int(median) if median == int(median) else round(median, 3)}")
PY
cat bench/sentence_compile/results.csv
