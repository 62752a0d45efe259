#!/usr/bin/env bash
# What kelmora.exe costs under Wine while it sits in the tray, beside the bare Win32 tray program
# (bench/win/bare_tray.cpp) measured in the same run: resident and proportional memory of the
# program's process, its CPU time and wake-ups (voluntary context switches of all its threads),
# and the CPU time of Wine's desktop process (explorer, which draws the tray) and of the
# wineserver over the same window, since under Wine a tray update costs there too. One Wine
# session on a private virtual desktop (the Windows tests' harness), the programs one after the
# other, the real clock; the sizes of kelmora.exe and of the portable zip.
#
# Usage: scripts/windows-resource.sh [SECONDS [BUILD-FOLDER]]
#   SECONDS       length of each measured window (default 60), starting 3 s after the icon showed
#   BUILD-FOLDER  the cross build with its tests (default build-windows-test, as make test-windows
#                 makes it): bin/kelmora.exe, bench/win/kelmora_bare_tray.exe, the window probe
#   Writes a Markdown table to standard output and between "<!-- windows-resource:begin -->" and
#   "<!-- windows-resource:end -->" of docs/PERFORMANCE.md (RESOURCE_DOC names another file,
#   RESOURCE_DOC=none leaves it alone).
set -euo pipefail

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
seconds=${1:-60}
build=$(cd "${2:-$repo/build-windows-test}" && pwd)
doc=${RESOURCE_DOC:-$repo/docs/PERFORMANCE.md}
if ! [[ $seconds =~ ^[0-9]+$ ]] || ((seconds < 5)); then
  echo "usage: $0 [seconds (5 or more)] [build folder]" >&2
  exit 2
fi
# shellcheck source=../tests/integration/windows/lib.sh
source "$repo/tests/integration/windows/lib.sh"
# shellcheck source=../bench/doc_block.sh
source "$repo/bench/doc_block.sh"

readonly SETTLE_SECONDS=3
kelmora=$build/bin/kelmora.exe
bare=$build/bench/win/kelmora_bare_tray.exe
export KELMORA_WINE_PREFIX=${KELMORA_WINE_PREFIX:-$build/tests/integration/windows/wine-prefix}
export KELMORA_WINDOW_PROBE=${KELMORA_WINDOW_PROBE:-$build/tests/integration/windows/kelmora_window_probe.exe}
for exe in "$kelmora" "$bare" "$KELMORA_WINDOW_PROBE"; do
  [[ -f $exe ]] || {
    echo "$exe not found: build the cross build with its tests first (make test-windows)" >&2
    exit 1
  }
done
KEL_TEST=windows-resource
kw_prepare_prefix "$KELMORA_WINE_PREFIX"
kw_init "$0" "$kelmora"
cp "$bare" "$KEL_DIR/program/"

# ---------------------------------------------------------------------------------------------
# Samples from /proc

# The process of this session's prefix whose command line holds NAME.
session_pid() {
  local pid
  for pid in $(pgrep -f "$1"); do
    if tr '\0' '\n' <"/proc/$pid/environ" 2>/dev/null | grep -qxF "WINEPREFIX=$WINEPREFIX"; then
      echo "$pid"
      return 0
    fi
  done
  kel_fail "no process \"$1\" in this session"
}

# take_sample PID: "cpu-ticks run-time-ns voluntary-switches" of the process, all threads.
take_sample() {
  local pid=$1 task ticks run=0 switches=0 value
  ticks=$(awk '{ sub(/.*\) /, ""); print $12 + $13 }' "/proc/$pid/stat")
  for task in "/proc/$pid/task/"*; do
    read -r value _ <"$task/schedstat"
    run=$((run + value))
    value=$(awk '/^voluntary_ctxt_switches/ { print $2 }' "$task/status")
    switches=$((switches + value))
  done
  echo "$ticks $run $switches"
}

# memory PID: "VmRSS-kB Pss-kB threads".
memory() {
  echo "$(awk '/^VmRSS/ { print $2 }' "/proc/$1/status")" \
    "$(awk '/^Pss:/ { print $2 }' "/proc/$1/smaps_rollup")" \
    "$(find "/proc/$1/task" -mindepth 1 -maxdepth 1 | wc -l)"
}

# ms_a_minute TICKS-OR-NS UNIT: a count over the window as milliseconds a minute.
per_minute() { awk -v v="$1" -v s="$seconds" -v scale="$2" 'BEGIN { printf "%.1f", v * scale * 60 / s }'; }

# measure NAME DESCRIPTION EXE: starts EXE in a session of its own, waits for its icon, lets it
# settle, and measures it and Wine's desktop and server over the window; appends a table row to
# rows.
measure() {
  local name=$1 what=$2 exe=$3 pid explorer server
  kel_log "measuring $name ($what) for $seconds s"
  kw_start_session
  KW_EXE=$exe
  kw_start_program
  pid=$KEL_PROGRAM_PID
  kel_wait_until 20 "the icon of $name in Wine's tray" kw_tray_has_icon
  grep -q "${exe##*/}" "/proc/$pid/cmdline" || kel_fail "process $pid is not ${exe##*/}"
  sleep "$SETTLE_SECONDS"
  explorer=$(session_pid 'explorer.exe /desktop')
  server=$KW_WINESERVER_PID
  local before desk_before server_before after desk_after server_after
  before=$(take_sample "$pid")
  desk_before=$(take_sample "$explorer")
  server_before=$(take_sample "$server")
  sleep "$seconds"
  after=$(take_sample "$pid")
  desk_after=$(take_sample "$explorer")
  server_after=$(take_sample "$server")
  local rss pss threads ticks run switches desk server_run
  read -r rss pss threads < <(memory "$pid")
  read -r ticks run switches < <(paste -d' ' <(echo "$after") <(echo "$before") |
    awk '{ print $1 - $4, $2 - $5, $3 - $6 }')
  desk=$(paste -d' ' <(echo "$desk_after") <(echo "$desk_before") | awk '{ print $2 - $5 }')
  server_run=$(paste -d' ' <(echo "$server_after") <(echo "$server_before") | awk '{ print $2 - $5 }')
  printf '| %s | %s | %s MiB | %s MiB | %s ms | %s ms | %s | %s ms | %s ms | %s |\n' "$name" "$what" \
    "$(awk -v k="$rss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(awk -v k="$pss" 'BEGIN { printf "%.1f", k / 1024 }')" \
    "$(per_minute "$ticks" 10)" "$(per_minute "$run" 1e-6)" "$(per_minute "$switches" 1)" \
    "$(per_minute "$desk" 1e-6)" "$(per_minute "$server_run" 1e-6)" "$threads" >>"$KEL_DIR/rows"
  kw_end_wine
}

# Settings that start kelmora in the tray: the start values, then 24-hour digits.
kelmora_in_tray() {
  rm -f "$KEL_DATA/Varnlock.ini" "$KEL_DATA/timer.ini"
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' 1.0 "$@" 0 0 0 0 0 0 0 0
}

: >"$KEL_DIR/rows"
load_before=$(cut -d' ' -f1-3 /proc/loadavg)
measure bare "an icon, never changed" "$KEL_DIR/program/${bare##*/}"
kelmora_in_tray 0 0
measure kelmora-default "modes 0/0: analog face" "$KEL_DIR/program/kelmora.exe"
kelmora_in_tray 2 0
measure kelmora-digits "modes 2/0: 24-hour digits" "$KEL_DIR/program/kelmora.exe"
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

zip=$(find "$build" -maxdepth 2 -name 'kelmora-*-windows-x86_64.zip' | head -n 1)
sizes="kelmora.exe $(awk -v b="$(stat -c %s "$kelmora")" 'BEGIN { printf "%.2f", b / 1048576 }') MiB"
if [[ -n $zip ]]; then
  sizes+=", the portable zip ${zip##*/} $(awk -v b="$(stat -c %s "$zip")" 'BEGIN { printf "%.2f", b / 1048576 }') MiB"
else
  sizes+=" (no portable zip in $build)"
fi

{
  echo '| Program | Modes | VmRSS | Pss | CPU a minute (utime+stime) | CPU a minute (run time) | Wake-ups a minute (all threads) | Wine desktop CPU a minute | wineserver CPU a minute | Threads |'
  echo '|---|---|---|---|---|---|---|---|---|---|'
  cat "$KEL_DIR/rows"
  echo
  echo "Sizes: $sizes."
  echo
  echo "Measured $(date +%F) on $(nproc) CPUs (load average $load_before before, $load_after after)," \
    "$seconds s windows starting $SETTLE_SECONDS s after the icon showed in Wine's tray, real clock," \
    "$(wine --version 2>/dev/null) on Xvfb, build ${build##*/}."
} >"$KEL_DIR/table.md"
cat "$KEL_DIR/table.md"
if [[ $doc != none ]]; then
  replace_block "$doc" windows-resource "$KEL_DIR/table.md"
  kel_log "rewrote the block in $doc"
fi
kel_pass
