#!/usr/bin/env bash
# What an alarm file of any size costs at start: the program starts in the tray of a private
# virtual desktop (Xvfb, session bus, status notifier watcher with a stand-in host) with the real
# clock and each timer.ini below, and we take the time from just before its exec to its tray
# icon's registration and to its first tip (the NewToolTip signal of the first tip with text,
# both timestamped by a dbus-monitor started before the program), its peak resident memory
# (VmHWM) once the first tip is there, and, after SIGTERM, whether the file was kept whole as
# timer.ini.bad by renaming (the same inode, the same size). The update interval is 0.1 s, which
# redraws at every tick, so the first tip comes at the first tick after the load step; at the
# default 1.0 s the first redraw is the second tick, 1 to 2 s after the start, file or none.
#
# Usage: bench/huge_alarm_file.sh [PATH-TO-KELMORA]
#   Writes a Markdown table to standard output and between "<!-- huge_file:begin -->" and
#   "<!-- huge_file:end -->" of docs/PERFORMANCE.md (HUGE_DOC names another file, HUGE_DOC=none
#   leaves it alone). HUGE_BASELINE: another build of kelmora measured on the same files, its
#   rows named "before". HUGE_RUNS: starts of each case (default 3; the figures are medians).
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$bench_dir")
if [[ -z ${KEL_IN_SESSION:-} ]]; then
  export HUGE_PROGRAM=${1:-$repo/build/bin/kelmora}
  export HUGE_DOC=${HUGE_DOC:-$repo/docs/PERFORMANCE.md}
  export HUGE_BASELINE=${HUGE_BASELINE:-}
  export HUGE_RUNS=${HUGE_RUNS:-3}
fi
# shellcheck source-path=SCRIPTDIR source=../tests/integration/lib.sh
source "$repo/tests/integration/lib.sh"
# shellcheck source-path=SCRIPTDIR source=doc_block.sh
source "$repo/bench/doc_block.sh"
kel_init "$0" "$HUGE_PROGRAM"
kel_require_tools dbus-monitor awk truncate stat

readonly TARGET_TIP_MS=1000  # from the exec to the first tip, at most
readonly TARGET_PEAK_MIB=64  # peak resident memory, below
tab=$'\t'
files=$KEL_DIR/files
mkdir -p "$files"
results=$KEL_DIR/results # name|program|icon ms|tip ms|peak MiB|kept
: >"$results"

# ---------------------------------------------------------------------------------------------
# The files

alarm_line() { printf '2099/01/01 00:00:00%s1h%sE%s/home/user/sounds/alarm-%06d.wav' "$tab" "$tab" "$tab" "$1"; }

# make_lines FILE COUNT WIDTH: COUNT alarm lines, each padded to WIDTH bytes with its sound path.
make_lines() {
  awk -v n="$2" -v w="$3" -v t="$tab" 'BEGIN {
    pad = sprintf("%*s", w, ""); gsub(/ /, "x", pad)
    for (i = 0; i < n; i++) {
      line = sprintf("2099/01/01 00:00:00%s1h%sE%s/home/user/sounds/%06d-", t, t, t, i)
      printf "%s%s.wav\r\n", line, substr(pad, 1, w - length(line) - 6)
    }
  }' >"$1"
}

make_files() {
  make_lines "$files/full" 32767 64
  make_lines "$files/full-8m" 32767 256
  make_lines "$files/over-limit" 40000 64
  make_lines "$files/million-1k" 1000000 1024
  { alarm_line 1; printf '\r\n'; head -c $((100 * 1024 * 1024)) /dev/zero | tr '\0' 'a'; } >"$files/line-100m"
  # 16 GiB of nothing after one alarm line (a sparse file: no disk space taken).
  { alarm_line 1; printf '\r\n'; } >"$files/sparse-16g"
  truncate -s 16G "$files/sparse-16g"
}

# ---------------------------------------------------------------------------------------------
# Watching the tray's signals

# "TIME MEMBER SENDER" of each monitored signal.
monitor_signals() {
  awk '/^signal / { time = $2; sub(/^time=/, "", time); sender = $3; sub(/^sender=/, "", sender)
                    member = $0; sub(/.*member=/, "", member); print time, member, sender }' "$KEL_MONITOR_LOG"
}

# registration_after T0: "TIME SERVICE" of the first item registered after T0.
registration_after() {
  awk -v t0="$1" '
    /^signal / { time = $2; sub(/^time=/, "", time); registered = /member=StatusNotifierItemRegistered/; next }
    registered && /^ *string "/ && time + 0 >= t0 + 0 {
      service = $0; sub(/^ *string "/, "", service); sub(/["\/].*/, "", service); print time, service; exit }
  ' "$KEL_MONITOR_LOG"
}

# tips_after SERVICE T0: the times of SERVICE's NewToolTip signals after T0.
tips_after() {
  monitor_signals | awk -v s="$1" -v t0="$2" '$2 == "NewToolTip" && $3 == s && $1 + 0 >= t0 + 0 { print $1 }'
}

ms_between() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.0f", (b - a) * 1000 }'; }

# ---------------------------------------------------------------------------------------------
# One start

tip_of() {
  kel_busctl --json=short get-property "$1" /StatusNotifierItem org.kde.StatusNotifierItem ToolTip \
    2>/dev/null | jq -r '.data[2]' || true
}

# measure NAME PROGRAM-NAME PROGRAM FILE: one start on FILE as timer.ini; appends to the results.
measure() {
  local name=$1 label=$2 program=$3 file=$4
  rm -rf "$KEL_DATA"
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' 0.1 0 0 0 0 0 0 0 0 0 0
  if [[ $file != none ]]; then ln "$files/$file" "$KEL_DATA/timer.ini"; fi
  local inode size
  [[ $file == none ]] || read -r inode size < <(stat -c '%i %s' "$KEL_DATA/timer.ini")
  local stamp=$KEL_DIR/start
  : >"$stamp"
  (
    export QT_QPA_PLATFORM=xcb
    printf '%s\n' "$EPOCHREALTIME" >"$stamp"
    exec "$program" >>"$KEL_DIR/kelmora.log" 2>&1
  ) &
  local pid=$!
  kel_track "$pid" "$label"
  kel_wait_until 5 "$label to start" test -s "$stamp"
  local start found='' i
  start=$(<"$stamp")
  for ((i = 0; i < 1200; i++)); do # up to two minutes: the program before the change takes long
    found=$(registration_after "$start")
    [[ -n $found ]] && break
    sleep 0.1
  done
  [[ -n $found ]] || kel_fail "$label on $file: no tray item within two minutes"
  local icon_time service
  read -r icon_time service <<<"$found"
  # The tip handed over with the icon is empty; the first tip with text follows (the tip changes
  # once a minute at most after that, so the last NewToolTip when a tip is first seen is it).
  local tip_time=''
  for ((i = 0; i < 1200; i++)); do
    if [[ -n $(tip_of "$service") ]]; then
      tip_time=$(tips_after "$service" "$start" | tail -n 1)
      [[ -n $tip_time ]] && break
    fi
    sleep 0.1
  done
  [[ -n $tip_time ]] || kel_fail "$label on $file: no tip within two minutes"
  local peak
  peak=$(awk '/^VmHWM:/ { printf "%.1f", $2 / 1024 }' "/proc/$pid/status")
  kel_end_process "$pid" "$label"
  local kept=-
  if [[ $file != none ]]; then
    kept=no
    if [[ -e $KEL_DATA/timer.ini.bad ]]; then
      local bad_inode bad_size
      read -r bad_inode bad_size < <(stat -c '%i %s' "$KEL_DATA/timer.ini.bad")
      if [[ $bad_inode == "$inode" && $bad_size == "$size" ]]; then kept='renamed, whole'; else kept=copied; fi
    fi
  fi
  rm -rf "$KEL_DATA"
  printf '%s|%s|%s|%s|%s|%s\n' "$name" "$label" "$(ms_between "$start" "$icon_time")" \
    "$(ms_between "$start" "$tip_time")" "$peak" "$kept" >>"$results"
  kel_log "$(tail -n 1 "$results")"
}

# median COLUMN NAME LABEL
median() {
  awk -F'|' -v c="$1" -v n="$2" -v l="$3" '$1 == n && $2 == l { print $c }' "$results" | sort -g |
    awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'
}
kept_of() { awk -F'|' -v n="$1" -v l="$2" '$1 == n && $2 == l { k = $6 } END { print k }' "$results"; }

describe() {
  case $1 in
    none) echo 'no alarm file' ;;
    full) echo '32767 lines of 64 bytes (2 MiB), full' ;;
    full-8m) echo '32767 lines of 256 bytes (8 MiB), as much as is read' ;;
    over-limit) echo '40000 lines of 64 bytes (2.5 MiB)' ;;
    million-1k) echo 'a million lines of 1 KiB (1 GiB)' ;;
    line-100m) echo 'one alarm line, then a line of 100 MiB' ;;
    sparse-16g) echo 'one alarm line, then 16 GiB of zero bytes (sparse)' ;;
  esac
}

cases=(none full full-8m over-limit million-1k line-100m sparse-16g)
programs=(kelmora)
[[ -z $HUGE_BASELINE ]] || programs+=(before)

report() {
  echo '| timer.ini | Program | Start to tray icon | Start to first tip | Peak resident (VmHWM) | Kept as timer.ini.bad |'
  echo '|---|---|---|---|---|---|'
  local name label
  for name in "${cases[@]}"; do
    for label in "${programs[@]}"; do
      [[ -n $(kept_of "$name" "$label") ]] || continue
      printf '| %s | %s | %s ms | %s ms | %s MiB | %s |\n' "$(describe "$name")" "$label" \
        "$(median 3 "$name" "$label")" "$(median 4 "$name" "$label")" \
        "$(median 5 "$name" "$label")" "$(kept_of "$name" "$label")"
    done
  done
  echo
  local worst_tip worst_peak
  worst_tip=$(awk -F'|' '$2 == "kelmora" { print $4 }' "$results" | sort -g | tail -n 1)
  worst_peak=$(awk -F'|' '$2 == "kelmora" { print $5 }' "$results" | sort -g | tail -n 1)
  echo '| Target (kelmora, every file, every start) | Measured (worst) | |'
  echo '|---|---|---|'
  echo "| first tip within $TARGET_TIP_MS ms of the start | $worst_tip ms | $(verdict "$worst_tip" "$TARGET_TIP_MS" '<=') |"
  echo "| under $TARGET_PEAK_MIB MiB peak resident | $worst_peak MiB | $(verdict "$worst_peak" "$TARGET_PEAK_MIB" '<') |"
  echo
  echo "Medians of $HUGE_RUNS starts each. Measured $(date -u +%Y-%m-%d) on $(nproc) CPUs (load average $(cut -d' ' -f1-3 /proc/loadavg)), files in the page cache, real clock, $(basename "$(dirname "$(dirname "$KEL_PROGRAM")")") build${HUGE_BASELINE:+; \"before\": $HUGE_BASELINE}."
}
verdict() { if awk -v v="$1" -v l="$2" "BEGIN { exit !(v $3 l) }"; then echo met; else echo "**missed**"; fi; }

make_files
kel_start_desktop
kel_start_item_monitor
for name in "${cases[@]}"; do
  for ((run = 1; run <= HUGE_RUNS; run++)); do
    measure "$name" kelmora "$KEL_PROGRAM" "$name"
    # The program before the change takes long and much memory on the huge files: once is enough.
    # (Not on the sparse file: it would try to hold all 16 GiB.)
    if [[ -n $HUGE_BASELINE && $name != sparse-16g ]] && ((run == 1)); then
      measure "$name" before "$HUGE_BASELINE" "$name"
    fi
  done
done
report >"$KEL_DIR/report.md"
cat "$KEL_DIR/report.md"
if [[ $HUGE_DOC != none ]]; then
  replace_block "$HUGE_DOC" huge_file "$KEL_DIR/report.md"
  kel_log "updated $HUGE_DOC"
fi
