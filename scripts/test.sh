#!/usr/bin/env bash
# Runs the tests of a build folder for `make test` and `make unit`, one line for the run with its
# progress (scripts/step.sh), ctest's output in the log (KELMORA_LOG); then the failed tests, each
# with its first error line, the time and where the log is, ctest's closing line and the counts
# (scripts/test-summary.awk). Exits non-zero when a test failed or none ran.
#
# usage: scripts/test.sh BUILD JOBS [CTEST OPTION...]   (-L unit: the unit tests alone)
set -euo pipefail
[ $# -ge 2 ] || {
  echo "usage: $0 BUILD JOBS [CTEST OPTION...]" >&2
  exit 2
}
build=$1
jobs=$2
shift 2
here=$(dirname "$0")
log=${KELMORA_LOG:?KELMORA_LOG names the log}
started=$SECONDS

count=$(ctest --test-dir "$build" -N "$@" | sed -n 's/^Total Tests: //p')
what="${count:-0} tests"
[ "$*" != "-L unit" ] || what="${count:-0} unit tests"
start=$(stat -c %s "$log" 2>/dev/null || echo 0)
status=0
bash "$here/step.sh" --progress tests --no-replay "Running $what" \
  ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$jobs" "$@" || status=$?

took=$((SECONDS - started))
tail -c +$((start + 1)) "$log" | awk -f "$here/test-summary.awk" \
  -v note="Took $((took / 60)) min $((took % 60)) s; ctest's full output is in ${log#"$PWD"/}"
exit "$status"
