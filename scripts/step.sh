#!/usr/bin/env bash
# One step of a make target: usage: scripts/step.sh MESSAGE COMMAND [ARG...]
#
# Where KELMORA_LOG names a log file (`make run`), the step speaks in one line, MESSAGE (nothing
# when it is empty), and the command's output goes to the end of the log as it comes; when the
# command fails, that output is shown in full. Without a log the command runs as it is, its output
# on the terminal.
set -euo pipefail
message=$1
shift
if [ -z "${KELMORA_LOG:-}" ]; then exec "$@"; fi

[ -z "$message" ] || echo "$message"
printf '\n==== %s: %s\n' "$(date '+%F %T')" "$*" >>"$KELMORA_LOG"
start=$(stat -c %s "$KELMORA_LOG")
status=0
"$@" >>"$KELMORA_LOG" 2>&1 </dev/null || status=$?
if [ "$status" -ne 0 ]; then
  {
    echo "Failed (exit status $status): $*"
    tail -c +$((start + 1)) "$KELMORA_LOG"
    echo "(The full output of every step is in $KELMORA_LOG.)"
  } >&2
fi
exit "$status"
