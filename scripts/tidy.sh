#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over every source of the project and the headers
# they include from it; exits non-zero on any finding. The build folder (build-tidy) is configured
# with clang, so the compile commands carry no flag that only GCC knows, and with every optional
# part on (tests, benchmarks, fuzz targets); only Qt's generated sources are built in it.
#
# usage: scripts/tidy.sh [jobs]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=build-tidy
jobs=${1:-$(nproc)}

CC=clang CXX=clang++ cmake -S . -B "$build" -DKELMORA_TESTS=ON -DKELMORA_FUZZ=ON \
  -DCMAKE_GLOBAL_AUTOGEN_TARGET=ON >/dev/null
cmake --build "$build" --target autogen -j "$jobs" >/dev/null

own="^$root/(src|tests|testing|tools|bench|fuzz)/"
run-clang-tidy -p "$build" -j "$jobs" -quiet -header-filter="$own" "$own"
