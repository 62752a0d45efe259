#!/usr/bin/env bash
# Builds Kelmora and its unit tests with AddressSanitizer (leak checking on) and
# UndefinedBehaviorSanitizer in their own build folder, then runs the unit tests. A failing test or
# any sanitizer report fails the script. The integration tests are left out: they drive the real
# program on a virtual desktop and belong to the ordinary build.
#   scripts/sanitize.sh            build folder build-asan, jobs = number of cores
#   ASAN_BUILD=dir JOBS=n scripts/sanitize.sh
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${ASAN_BUILD:-build-asan}
jobs=${JOBS:-$(nproc)}

# Leaks inside the libraries Qt stands on are theirs; the suppressions name only those libraries.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export LSAN_OPTIONS=suppressions=$root/scripts/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

cmake -S . -B "$build" -DKELMORA_SANITIZE=ON -DKELMORA_TESTS=ON -DKELMORA_BENCH=OFF >/dev/null
cmake --build "$build" -j "$jobs"
cd "$build"
ctest -L unit --output-on-failure --no-tests=error -j "$jobs"
