#!/usr/bin/env bash
# How late an alarm fires, and what a sound leaves behind: the program runs on a private virtual
# desktop (Xvfb, session bus, tray watcher with a stand-in host, PulseAudio with a capture sink)
# under strace with the real clock, an alarm with a WAV sound of our own due at a whole second S a
# few seconds after the start. The alarm is due once the clock has passed S, so it fires on the
# first tick after S ends; the latency is the time the sound player process opens the WAV file
# minus S + 1.000 (strace's -ttt timestamps and the program read the same wall clock). Repeated on
# fresh starts; min / median / max. The program's threads, descriptors and resident memory are
# taken before the alarm, 2 s after it fired and, in the first run, LATENCY_SETTLE seconds after
# the sound ended.
#
# Usage: bench/alarm_latency.sh [PATH-TO-KELMORA]
#   Writes a Markdown table to standard output and between "<!-- latency:begin -->" and
#   "<!-- latency:end -->" of docs/PERFORMANCE.md (LATENCY_DOC names another file, LATENCY_DOC=
#   none leaves it alone). LATENCY_RUNS: number of starts (default 5). LATENCY_SETTLE: seconds
#   after the sound (default 60).
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$bench_dir")
if [[ -z ${KEL_IN_SESSION:-} ]]; then
  export LATENCY_PROGRAM=${1:-$repo/build/bin/kelmora}
  export LATENCY_DOC=${LATENCY_DOC:-$repo/docs/PERFORMANCE.md}
  export LATENCY_RUNS=${LATENCY_RUNS:-5}
  export LATENCY_SETTLE=${LATENCY_SETTLE:-60}
fi
# shellcheck source-path=SCRIPTDIR source=../tests/integration/lib.sh
source "$repo/tests/integration/lib.sh"
# shellcheck source-path=SCRIPTDIR source=doc_block.sh
source "$repo/bench/doc_block.sh"
kel_init "$0" "$LATENCY_PROGRAM"
kel_require_tools strace sox

readonly TARGET_MS=20  # the WAV opened at most this long after S + 1.000
readonly LEAD_SECONDS=4 # S is this many whole seconds after the second the program starts in

# A line a run: run|S|WAV open ms|by|player started ms|player module opened ms|sound server
# connect ms|before: threads fds MiB|2 s after: threads fds MiB
results=$KEL_DIR/results
settled='' # "threads fds MiB" LATENCY_SETTLE seconds after the first run's sound ended
: >"$results"
tab=$'\t'

# ms_after T BASE: (T - BASE) in milliseconds.
ms_after() { awk -v t="$1" -v b="$2" 'BEGIN { printf "%.1f", (t - b) * 1000 }'; }

# opens_of TRACE FILE: "TID TIME" of each openat of FILE in the strace output, in order.
opens_of() {
  awk -v file="\"$2\"" '$3 ~ /^openat\(/ && index($0, file) { print $1, $2 }' "$1"
}

# first_connect_after TRACE SOCKET T: the time of the first connection to SOCKET after T.
first_connect_after() {
  awk -v socket="\"$2\"" -v t="$3" '$3 ~ /^connect\(/ && index($0, socket) && $2 + 0 >= t + 0 {
    print $2; exit }' "$1"
}

# execs_of TRACE PROGRAM: "TID TIME" of each execve of PROGRAM.
execs_of() {
  awk -v file="\"$2\"" '$3 ~ /^execve\(/ && index($0, file) { print $1, $2 }' "$1"
}

# opener_label TRACE PID TID: who opened the file: the main thread, the sound player process
# (a process that executed the player) or another thread of the program.
opener_label() {
  if [[ $2 == "$3" ]]; then
    echo main
  elif execs_of "$1" "$PLAYER_FILE" | awk -v t="$3" '$1 == t { found = 1 } END { exit !found }'; then
    echo 'player process'
  else
    echo 'another thread'
  fi
}

# figures PID: "threads descriptors resident-MiB" of the process.
figures() {
  printf '%s %s %s\n' "$(find "/proc/$1/task" -mindepth 1 -maxdepth 1 | wc -l)" \
    "$(find "/proc/$1/fd" -mindepth 1 -maxdepth 1 | wc -l)" \
    "$(awk '/^VmRSS:/ { printf "%.1f", $2 / 1024 }' "/proc/$1/status")"
}

# The program's child processes (its sound players).
children_of() { cat "/proc/$1/task/"*/children 2>/dev/null; }

# run_once N: one start, one alarm; appends a line to the results.
run_once() {
  local run=$1 wav=$KEL_DIR/alarm.wav trace=$KEL_DIR/trace.$1 due due_text
  rm -rf "$KEL_DATA"
  # Settings present: the program starts hidden in the tray, where alarms fire.
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' 1.0 0 0 0 0 0 0 0 0 0 0
  due=$((${EPOCHREALTIME%.*} + LEAD_SECONDS))
  due_text=$(date -d "@$due" '+%Y/%m/%d %H:%M:%S') # in the program's zone (TZ is exported)
  kel_write_alarms "$due_text${tab}0z${tab}0$tab$wav"
  KEL_LOGS+=("$KEL_DIR/kelmora.log")
  (
    export QT_QPA_PLATFORM=xcb
    exec strace -f -ttt --seccomp-bpf -e trace=openat,connect,execve -o "$trace" "$KEL_PROGRAM" \
      >>"$KEL_DIR/kelmora.log" 2>&1
  ) &
  local tracer=$!
  kel_track "$tracer" strace
  kel_wait_until 10 "the program to start under strace" test -s "$trace"
  local pid
  pid=$(awk '{ print $1; exit }' "$trace") # the program's exec, in its main thread
  # Start-up is over a second before the alarm is due.
  while ((${EPOCHREALTIME%.*} < due)); do sleep 0.05; done
  local before
  before=$(figures "$pid")
  kel_wait_for $((LEAD_SECONDS + 6)) opened "$trace" "$wav" ||
    kel_log "run $run: the WAV file was not opened"
  # Let the sound start before the program ends.
  kel_wait_for 2 kel_not kel_is_running "$pid" || true
  local after
  after=$(figures "$pid")
  if ((run == 1)); then
    kel_wait_for 10 no_children "$pid" || kel_log "run $run: the sound player did not end"
    kel_log "run $run: the sound is over; waiting ${LATENCY_SETTLE}s"
    sleep "$LATENCY_SETTLE"
    settled=$(figures "$pid")
  fi
  kel_end_process "$pid" kelmora
  kel_end_process "$tracer" strace

  local first=()
  read -ra first < <(opens_of "$trace" "$wav")
  ((${#first[@]})) || kel_fail "run $run: the alarm due at $due_text never opened its WAV file"
  local connect connect_ms=-
  connect=$(first_connect_after "$trace" "$PULSE_SERVER_SOCKET" $((due + 1)))
  [[ -z $connect ]] || connect_ms=$(ms_after "$connect" $((due + 1)))
  local module module_ms=-
  module=$(opens_of "$trace" "$MODULE_FILE" | awk '{ print $2; exit }')
  [[ -z $module ]] || module_ms=$(ms_after "$module" $((due + 1)))
  local player player_ms=-
  player=$(execs_of "$trace" "$PLAYER_FILE" | awk '{ print $2; exit }')
  [[ -z $player ]] || player_ms=$(ms_after "$player" $((due + 1)))
  printf '%s|%s|%s|%s|%s|%s|%s|%s|%s\n' "$run" "$due_text" \
    "$(ms_after "${first[1]}" $((due + 1)))" "$(opener_label "$trace" "$pid" "${first[0]}")" \
    "$player_ms" "$module_ms" "$connect_ms" "$before" "$after" >>"$results"
  kel_log "run $run: $(tail -n 1 "$results")"
}

opened() { [[ -n $(opens_of "$1" "$2") ]]; }
no_children() { [[ -z $(children_of "$1") ]]; }

# stats COLUMN: "min median max" of a numeric column of the results.
stats() {
  awk -F'|' -v c="$1" '$c != "-" { print $c }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { if (NR) printf "%s %s %s\n", v[1], v[int((NR + 1) / 2)], v[NR]; else print "- - -" }'
}

report() {
  local min median max verdict=met
  read -r min median max < <(stats 3)
  awk -v m="$max" -v t="$TARGET_MS" 'BEGIN { exit !(m + 0 <= t + 0) }' || verdict='**missed**'
  local pmin pmedian pmax mmin mmedian mmax cmin cmedian cmax
  read -r pmin pmedian pmax < <(stats 5)
  read -r mmin mmedian mmax < <(stats 6)
  read -r cmin cmedian cmax < <(stats 7)
  echo '| Run | Alarm due (S) | WAV opened (ms after S + 1.000) | by | Player started | Player module opened | Sound server connected | Before the alarm | 2 s after it fired |'
  echo '|---|---|---|---|---|---|---|---|---|'
  local run due first by player module connect before after
  while IFS='|' read -r run due first by player module connect before after; do
    printf '| %s | %s | %s ms | %s | %s ms | %s ms | %s ms | %s | %s |\n' "$run" "$due" "$first" \
      "$by" "$player" "$module" "$connect" "$(shown "$before")" "$(shown "$after")"
  done <"$results"
  echo
  echo "Threads, descriptors and resident memory are the program's own (its player processes not counted); ${LATENCY_SETTLE} s after the sound of run 1 ended: $(shown "$settled")."
  echo
  echo "Opening of the WAV file by the sound player process, ms after S + 1.000: min $min, median $median, max $max. The player process started (execve): min $pmin, median $pmedian, max $pmax. Its module (Qt Multimedia) loaded: min $mmin, median $mmedian, max $mmax. Its connection to the sound server: min $cmin, median $cmedian, max $cmax."
  echo
  echo "| Target | Measured (max of $LATENCY_RUNS) | |"
  echo '|---|---|---|'
  echo "| WAV file opened within $TARGET_MS ms after S + 1.000 | $max ms | $verdict |"
  echo
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) CPUs (load average $(cut -d' ' -f1-3 /proc/loadavg)), real clock, strace -f --seccomp-bpf -e trace=openat,connect,execve, $(basename "$(dirname "$(dirname "$KEL_PROGRAM")")") build."
}

# shown "THREADS FDS MIB": as the table shows it.
shown() {
  local threads fds mib
  read -r threads fds mib <<<"$1"
  [[ -n $threads ]] || {
    echo -
    return
  }
  echo "$threads threads, $fds fds, $mib MiB"
}

kel_start_desktop
kel_start_sound
PULSE_SERVER_SOCKET=${PULSE_SERVER#unix:}
MODULE_FILE=$(readlink -f "$(dirname "$KEL_PROGRAM")/../lib/kelmora/kelmora_sound.so")
PLAYER_FILE=$(readlink -f "$(dirname "$KEL_PROGRAM")/../lib/kelmora/kelmora_play")
kel_make_tone "$KEL_DIR/alarm.wav" 880
for ((run = 1; run <= LATENCY_RUNS; run++)); do run_once "$run"; done
report >"$KEL_DIR/report.md"
cat "$KEL_DIR/report.md"
if [[ $LATENCY_DOC != none ]]; then
  replace_block "$LATENCY_DOC" latency "$KEL_DIR/report.md"
  kel_log "updated $LATENCY_DOC"
fi
