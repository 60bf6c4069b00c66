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

# A compiler cache carries objects over between runs and between checkouts of
# the same tree (paths are hashed relative to the checkout).
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
  ccache --max-size=20G >/dev/null 2>&1 || true
  launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi

cmake -S . -B build/native -G Ninja -DOSTREL_SANITIZE="$sanitize" -DOSTREL_BENCHMARKS="$benchmarks" "${launcher[@]}" >/dev/null
cmake --build build/native -j "$jobs"

cmake -S . -B build/win -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-i686.cmake" \
  -DOSTREL_HOST_TOOLS="$PWD/build/native/tools" "${launcher[@]}" >/dev/null
cmake --build build/win -j "$jobs"
