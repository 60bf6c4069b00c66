#!/usr/bin/env bash
# Sets up a Debian 12 machine, builds both trees and runs every test:
# the native tests under AddressSanitizer and UBSan, the Windows tests under Wine.
set -euo pipefail
cd "$(dirname "$0")"
start=$(date +%s)

# The checkout's state outside the build trees: each changed or untracked
# file with a hash of its content.
checkout_state() {
  git status --porcelain --untracked-files=all | while read -r _ path; do
    printf '%s %s\n' "$path" "$(git hash-object "$path" 2>/dev/null || echo gone)"
  done
  echo "head $(git rev-parse HEAD)"
}
checkout_before=""
git rev-parse --is-inside-work-tree >/dev/null 2>&1 && checkout_before=$(checkout_state)

tools/ci/install-deps.sh
# The benchmarks too: the bench pass below times the optimised copies of the
# libraries beside their peers.
OSTREL_BENCHMARKS=ON tools/ci/build-trees.sh

jobs=${OSTREL_JOBS:-$(nproc)}
status=0
echo "== native tests"
ctest --test-dir build/native --output-on-failure -j "$jobs" || status=1
echo "== bench pass (the work each side does held to its count, the times beside; the user's path under Wine)"
bench/pass.py build/native build/win || status=1
echo "== Windows tests under Wine"
tools/ci/with-display.sh ctest --test-dir build/win --output-on-failure -j "$jobs" || status=1

# A run leaves the checkout as it found it, so the next run starts the same.
if [ -n "$checkout_before" ]; then
  checkout_after=$(checkout_state)
  if [ "$checkout_after" != "$checkout_before" ]; then
    echo "== the tests changed or left files in the checkout:"
    diff <(echo "$checkout_before") <(echo "$checkout_after") || true
    status=1
  fi
fi

echo "== test.sh finished in $(( $(date +%s) - start )) s, status $status"
exit $status
