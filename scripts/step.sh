#!/usr/bin/env bash
# One step of a make target: usage: scripts/step.sh [OPTION...] MESSAGE COMMAND [ARG...]
#
# Where KELMORA_LOG names a log file (the make targets set it), the step speaks in one line,
# MESSAGE (nothing when it is empty), and the command's output goes to the end of the log as it
# comes; when the command fails, that output is shown in full. The step that writes the log first
# says where it is. Without a log the command runs as it is, its output on the terminal.
#
#   --progress KIND  the line also shows how far the command has got, from its output
#                    (scripts/progress.awk: apt, build or tests): on a terminal in place,
#                    elsewhere on a line of its own every KELMORA_PROGRESS_SECONDS (10)
#   --total N        the number of packages apt installs, for --progress apt
#   --no-replay      a failure's output is not shown (the caller sums it up)
#   --dir DIR        the command runs in DIR
#
# The command never sees KELMORA_LOG: the tests it may run make logs of their own.
set -euo pipefail
progress=''
total=''
dir=.
replay=1
while [[ $# -gt 0 && $1 == --* ]]; do
  case $1 in
    --progress) progress=$2 && shift 2 ;;
    --total) total=$2 && shift 2 ;;
    --no-replay) replay='' && shift ;;
    --dir) dir=$2 && shift 2 ;;
    *)
      echo "step.sh: unknown option $1" >&2
      exit 2
      ;;
  esac
done
message=$1
shift
log=${KELMORA_LOG:-}
unset KELMORA_LOG
if [ -z "$log" ]; then cd "$dir" && exec "$@"; fi

if [ ! -e "$log" ]; then
  mkdir -p "$(dirname "$log")"
  : >"$log"
  echo "The full output of each step goes to ${log#"$PWD"/}"
fi
printf '\n==== %s: %s\n' "$(date '+%F %T')" "$*" >>"$log"
start=$(stat -c %s "$log")
status=0
if [ -z "$progress" ]; then
  [ -z "$message" ] || echo "$message"
  (cd "$dir" && exec "$@") >>"$log" 2>&1 </dev/null || status=$?
else
  tty=0
  [ ! -t 1 ] || tty=1
  show=(awk -f "$(dirname "$0")/progress.awk" -v kind="$progress" -v message="$message"
    -v logfile="$log" -v total="$total" -v tty="$tty" -v every="${KELMORA_PROGRESS_SECONDS:-10}")
  # The command's status, not the reader's, is the step's.
  set +e
  (cd "$dir" && exec "$@") 2>&1 </dev/null | "${show[@]}"
  status=${PIPESTATUS[0]}
  set -e
fi
if [ "$status" -ne 0 ] && [ -n "$replay" ]; then
  {
    echo "Failed (exit status $status): $*"
    tail -c +$((start + 1)) "$log"
    echo "(The full output of every step is in ${log#"$PWD"/}.)"
  } >&2
fi
exit "$status"
