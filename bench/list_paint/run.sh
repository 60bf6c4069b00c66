#!/usr/bin/env bash
# Compiles Debian's EDICT, ENAMDICT and KANJIDIC with the native qdxc (once,
# into build/win/bench-data) and runs the list paint benchmark under Wine on
# its own display.
set -euo pipefail
cd "$(dirname "$0")/../.."
data=build/win/bench-data
mkdir -p "$data"
for name in edict enamdict kanjidic; do
  [ -f "$data/$name.qdx" ] || build/native/tools/qdxc --deterministic "/usr/share/edict/$name" "$data/$name.qdx"
done
cmake --build build/win --target list_paint_bench
tools/ci/with-display.sh cmake/wine-run.sh "$PWD/build/win/bench/list_paint/list_paint_bench.exe" \
  "$PWD/$data/edict.qdx" "$PWD/$data/enamdict.qdx" "$PWD/$data/kanjidic.qdx"
