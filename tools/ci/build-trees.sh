#!/usr/bin/env bash
# Configures and builds the two trees: build/native (with sanitizers when
# OSTREL_SANITIZE=ON) and build/win (cross-compiled, using build/native's tools).
set -euo pipefail
cd "$(dirname "$0")/../.."
jobs=${OSTREL_JOBS:-$(nproc)}
sanitize=${OSTREL_SANITIZE:-ON}
# The benchmarks build optimised copies of the libraries beside the sanitized
# ones: only on request (OSTREL_BENCHMARKS=ON), to keep the test run short.
benchmarks=${OSTREL_BENCHMARKS:-OFF}
# The test trees fail on any compiler warning and build the tools only tests
# use (fuzzers, oracles); ./run.sh turns both off for its own trees.
werror=${OSTREL_WERROR:-ON}
test_tools=${OSTREL_TEST_TOOLS:-ON}
# The trees and what to build in them: ./test.sh builds everything in
# build/native and build/win; ./run.sh keeps trees of its own (unsanitized)
# and builds only the tools and the program there, so neither rebuilds the other's.
native=${OSTREL_NATIVE_TREE:-build/native}
win=${OSTREL_WIN_TREE:-build/win}
native_targets=()
for t in ${OSTREL_NATIVE_TARGETS:-}; do native_targets+=(--target "$t"); done
win_targets=()
for t in ${OSTREL_WIN_TARGETS:-}; do win_targets+=(--target "$t"); done

# A compiler cache carries objects over between runs and between checkouts of
# the same tree (paths are hashed relative to the checkout).
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  ccache --max-size=20G >/dev/null 2>&1 || true
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B "$native" -G Ninja -DOSTREL_SANITIZE="$sanitize" -DOSTREL_BENCHMARKS="$benchmarks" \
  -DOSTREL_WARNINGS_AS_ERRORS="$werror" -DOSTREL_TEST_TOOLS="$test_tools" "${launcher[@]}" >/dev/null
cmake --build "$native" -j "$jobs" "${native_targets[@]}"

cmake -S . -B "$win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DOSTREL_HOST_TOOLS="$PWD/$native/tools" -DOSTREL_WARNINGS_AS_ERRORS="$werror" \
  -DOSTREL_TEST_TOOLS="$test_tools" "${launcher[@]}" >/dev/null
cmake --build "$win" -j "$jobs" "${win_targets[@]}"
