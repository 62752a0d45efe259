#!/usr/bin/env bash
# Runs every benchmark program of the build and writes its figures into docs/PERFORMANCE.md,
# between the markers "<!-- NAME:begin -->" and "<!-- NAME:end -->" of that program.
set -euo pipefail
build=${1:-build}
cd "$(dirname "$0")/.."
results=$(mktemp -d)
trap 'rm -rf "$results"' EXIT
for program in "$build"/bench/bench_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=$(basename "$program")
  echo "Running $name"
  "$program" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true \
    --benchmark_format=json --benchmark_out="$results/$name.json" \
    --benchmark_out_format=json >/dev/null
done
KELMORA_BUILD_TYPE=$(sed -n 's/^CMAKE_BUILD_TYPE:[A-Z]*=//p' "$build/CMakeCache.txt") \
  python3 scripts/perf_tables.py docs/PERFORMANCE.md "$results"/*.json
echo "Updated docs/PERFORMANCE.md"
