#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds both trees and runs every test:
# the native tests under AddressSanitizer and UBSan, the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")"
start=$(date +%s)

tools/ci/install-deps.sh
tools/ci/build-trees.sh

jobs=${OSTREL_JOBS:-$(nproc)}
status=0
echo "== native tests"
ctest --test-dir build/native --output-on-failure -j "$jobs" || status=1
echo "== Windows tests under Wine"
tools/ci/with-display.sh ctest --test-dir build/win --output-on-failure -j "$jobs" || status=1

echo "== test.sh finished in $(( $(date +%s) - start )) s, status $status"
exit $status
