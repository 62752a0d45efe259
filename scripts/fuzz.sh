#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# in their own build folder and runs each for the given number of seconds (default 60), starting
# from its seed corpus in fuzz/corpus/<target>. New corpus entries go to a temporary folder, so the
# repository's corpus never grows by itself. A crash, a sanitizer report, an input that runs over
# one second (libFuzzer's -timeout counts whole seconds) or over 2 GB of memory fails the script;
# the input that did it is kept in <build>/fuzz/artifacts/.
#   scripts/fuzz.sh [seconds]            build folder build-fuzz
#   FUZZ_BUILD=dir JOBS=n scripts/fuzz.sh 20
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
seconds=${1:-60}
build=${FUZZ_BUILD:-build-fuzz}
jobs=${JOBS:-$(nproc)}
targets=(fuzz_alarm_file fuzz_settings fuzz_numbers fuzz_date_time fuzz_wav_header)

if ! command -v clang++ >/dev/null; then
  echo "fuzz.sh: clang++ is missing (Debian: clang libclang-rt-14-dev)" >&2
  exit 1
fi

cmake -S . -B "$build" -DCMAKE_CXX_COMPILER=clang++ -DKELMORA_FUZZ=ON -DKELMORA_SANITIZE=OFF \
  -DKELMORA_TESTS=OFF -DKELMORA_BENCH=OFF >/dev/null
cmake --build "$build" --target kelmora_fuzzers -j "$jobs"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
artifacts=$root/$build/fuzz/artifacts
mkdir -p "$artifacts"
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=()
for target in "${targets[@]}"; do
  mkdir -p "$work/$target"
  log=$work/$target.log
  echo "== $target: ${seconds}s"
  # The first folder receives new inputs; the seed folder is only read.
  if "$root/$build/fuzz/$target" "$work/$target" "$root/fuzz/corpus/$target" \
    -max_total_time="$seconds" -timeout=1 -max_len=4096 -rss_limit_mb=2048 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 >"$log" 2>&1; then
    grep -E '^stat::(number_of_executed_units|new_units_added|peak_rss_mb)' "$log" || true
  else
    # The report's start (what broke and where), then where the input was written.
    grep -m1 -A 40 -E 'property broken|ERROR: |runtime error|libFuzzer: (timeout|out-of-memory)' \
      "$log" || tail -n 40 "$log"
    grep -E 'Test unit written to' "$log" || true
    failed+=("$target")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz.sh: failed: ${failed[*]} (inputs in $artifacts; rerun one with <target> <file>)" >&2
  exit 1
fi
echo "fuzz.sh: all targets ran ${seconds}s without a finding"
