#!/usr/bin/env bash
# What the whole program costs while it sits in the tray: resident and proportional memory, CPU
# time, wake-ups (voluntary context switches) of the main thread and of all threads, tray updates,
# and the time from start to the tray icon. Measured on a private virtual desktop (Xvfb, session
# bus, status notifier watcher with a stand-in host) with the real clock, and compared with a bare
# Qt tray program built here from a few lines (never part of the project's build); then again
# under an XEmbed tray (trayer, the watcher gone), where Qt draws the icon itself.
#
# Usage: bench/resource.sh [SECONDS [PATH-TO-KELMORA]]
#   SECONDS  length of each measured window (default 120); start-up is left out of the window
#   Writes a Markdown table to standard output and between "<!-- resource:begin -->" and
#   "<!-- resource:end -->" of docs/PERFORMANCE.md (RESOURCE_DOC names another file, RESOURCE_DOC=
#   none leaves it alone). RESOURCE_STARTS: starts timed for the tray icon (default 9).
#   RESOURCE_BASELINE: another build of kelmora (an earlier version, say) measured in the same
#   runs as this one, its rows named "before-...".
set -euo pipefail

bench_dir=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
repo=$(dirname "$bench_dir")
if [[ -z ${KEL_IN_SESSION:-} ]]; then
  export RESOURCE_SECONDS=${1:-120}
  export RESOURCE_PROGRAM=${2:-$repo/build/bin/kelmora}
  export RESOURCE_DOC=${RESOURCE_DOC:-$repo/docs/PERFORMANCE.md}
  export RESOURCE_STARTS=${RESOURCE_STARTS:-9}
  export RESOURCE_BASELINE=${RESOURCE_BASELINE:-}
  if ! [[ $RESOURCE_SECONDS =~ ^[0-9]+$ ]] || ((RESOURCE_SECONDS < 5)); then
    echo "usage: $0 [seconds (5 or more)] [path to kelmora]" >&2
    exit 2
  fi
fi
# shellcheck source-path=SCRIPTDIR source=../tests/integration/lib.sh
source "$repo/tests/integration/lib.sh"
# shellcheck source-path=SCRIPTDIR source=doc_block.sh
source "$repo/bench/doc_block.sh"
kel_init "$0" "$RESOURCE_PROGRAM"
kel_require_tools dbus-monitor g++ pkg-config awk

# Targets for the program in the default modes (0/0 and 2/0) with the default tip.
readonly TARGET_MAIN_SWITCHES=2 # voluntary context switches of the main thread a minute, at most
readonly TARGET_RSS_MIB=26      # resident memory, below
readonly TARGET_CPU_MS=1        # CPU run time a minute, below
readonly TARGET_ICON_MS=150     # from start to the tray icon, at most
# Start-up left out of the measured window, counted from the tray icon's appearance.
readonly SETTLE_SECONDS=3

results=$KEL_DIR/results # one line a measured run, fields separated by "|"
threads=$KEL_DIR/threads # per-thread figures of the runs
: >"$results"
: >"$threads"

# ---------------------------------------------------------------------------------------------
# The bare Qt tray program: an icon in the tray and nothing else; with "--every-second" it sets a
# new icon every second, with "--timer-only" a timer wakes it every second and does nothing (what
# a wake-up of the event loop costs on this machine).

build_bare_tray() {
  local dir=$KEL_DIR/bare
  mkdir -p "$dir"
  cat >"$dir/bare_tray.cpp" <<'EOF'
#include <QApplication>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <cstring>

static QIcon Face(int n) {
  QPixmap pixmap(16, 16);
  pixmap.fill(n % 2 ? Qt::red : Qt::blue);
  return QIcon(pixmap);
}

int main(int argc, char** argv) {
  const char* what = argc > 1 ? argv[1] : "";
  QApplication app(argc, argv);
  QSystemTrayIcon tray(Face(0));
  tray.show();
  int n = 0;
  QTimer timer;
  timer.setTimerType(Qt::PreciseTimer);
  if (std::strcmp(what, "--every-second") == 0) {
    QObject::connect(&timer, &QTimer::timeout, [&] { tray.setIcon(Face(++n)); });
  }
  if (std::strcmp(what, "--every-second") == 0 || std::strcmp(what, "--timer-only") == 0) {
    timer.start(1000);
  }
  return app.exec();
}
EOF
  # shellcheck disable=SC2046 # pkg-config's words are meant to split
  g++ -std=c++17 -O2 -fPIC -o "$dir/bare_tray" "$dir/bare_tray.cpp" \
    $(pkg-config --cflags --libs Qt6Widgets) || kel_fail "cannot build the bare Qt tray program"
  BARE_TRAY=$dir/bare_tray
}

# ---------------------------------------------------------------------------------------------
# Watching the tray's signals: one monitor for the whole script, started before any program, so
# every item registration and every NewIcon / NewToolTip is seen with the time it passed the bus.

# The monitored signals, one a line: "TIME MEMBER SENDER FIRST-STRING-ARGUMENT".
monitor_signals() {
  awk '
    function flush() { if (record != "") print record, (argument == "" ? "-" : argument); record = "" }
    /^signal / {
      flush()
      time = $2; sub(/^time=/, "", time)
      sender = $3; sub(/^sender=/, "", sender)
      member = $0; sub(/.*member=/, "", member)
      record = time " " member " " sender; argument = ""; next
    }
    record != "" && argument == "" && /^ *string "/ {
      argument = $0; sub(/^ *string "/, "", argument); sub(/"$/, "", argument)
    }
    END { flush() }' "$KEL_MONITOR_LOG"
}

# registration_after T0: "TIME SERVICE" of the first item registered after T0 (empty if none).
registration_after() {
  monitor_signals | awk -v t0="$1" '$2 == "StatusNotifierItemRegistered" && $1 + 0 >= t0 + 0 {
    service = $4; sub(/\/.*/, "", service); print $1, service; exit }'
}

# count_signals SENDER MEMBER FROM TO: signals of that member sent by SENDER in the window.
count_signals() {
  monitor_signals | awk -v s="$1" -v m="$2" -v from="$3" -v to="$4" '
    $3 == s && $2 == m && $1 + 0 >= from + 0 && $1 + 0 <= to + 0 { n++ } END { print n + 0 }'
}

# ---------------------------------------------------------------------------------------------
# Starting a program and sampling it

# start_measured NAME COMMAND...: starts COMMAND on the desktop, noting the time just before the
# exec in START_TIME and its process id in MEASURED_PID.
start_measured() {
  local name=$1
  shift
  local stamp=$KEL_DIR/$name.start
  KEL_LOGS+=("$KEL_DIR/$name.log")
  (
    export QT_QPA_PLATFORM=xcb
    printf '%s\n' "$EPOCHREALTIME" >"$stamp"
    exec "$@" >>"$KEL_DIR/$name.log" 2>&1
  ) &
  MEASURED_PID=$!
  kel_track "$MEASURED_PID" "$name"
  kel_wait_until 5 "$name to start" test -s "$stamp"
  START_TIME=$(<"$stamp")
}

# wait_for_icon: waits for the item registered after START_TIME; sets ICON_TIME, ITEM_SERVICE
# and ICON_MS (milliseconds from the exec to the registration). Under an XEmbed tray
# (ICON_IN=xembed), waits for the icon's window docked in the tray instead; ITEM_SERVICE is "-".
ICON_IN=sni
wait_for_icon() {
  if [[ $ICON_IN == xembed ]]; then
    wait_for_docked_icon
    return
  fi
  local found='' i
  for ((i = 0; i < 200; i++)); do
    found=$(registration_after "$START_TIME")
    [[ -n $found ]] && break
    sleep 0.05
  done
  [[ -n $found ]] || kel_fail "no tray item registered within 10 s of the start"
  read -r ICON_TIME ITEM_SERVICE <<<"$found"
  ICON_MS=$(awk -v a="$START_TIME" -v b="$ICON_TIME" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
}

# The program's window inside trayer's 100x24 strip at the top left.
icon_docked() {
  local window x y width height
  for window in $(kel_other_windows); do
    read -r x y width height < <(kel_window_geometry "$window")
    ((x + width <= 100 && y + height <= 24)) && return 0
  done
  return 1
}

wait_for_docked_icon() {
  local i
  for ((i = 0; i < 200; i++)); do
    icon_docked && break
    sleep 0.05
  done
  icon_docked || kel_fail "no icon docked in the XEmbed tray within 10 s of the start"
  ICON_TIME=$EPOCHREALTIME
  ITEM_SERVICE=-
  ICON_MS=$(awk -v a="$START_TIME" -v b="$ICON_TIME" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
}

# take_sample PID FILE: the time, the process's utime+stime (clock ticks) and, a line a thread,
# "task TID NAME VOLUNTARY NONVOLUNTARY RUN-NANOSECONDS".
take_sample() {
  local pid=$1 out=$2 task tid comm volunt nonvolunt run key value rest
  {
    printf 'time %s\n' "$EPOCHREALTIME"
    # After the name's closing parenthesis, utime and stime are the 12th and 13th fields.
    awk '{ sub(/.*\) /, ""); print "cpu", $12 + $13 }' "/proc/$pid/stat"
    for task in "/proc/$pid/task/"*; do
      tid=${task##*/}
      comm=$(tr ' ' '_' <"$task/comm" 2>/dev/null) || continue
      volunt=0 nonvolunt=0
      while read -r key value; do
        case $key in
        voluntary_ctxt_switches:) volunt=$value ;;
        nonvoluntary_ctxt_switches:) nonvolunt=$value ;;
        esac
      done <"$task/status"
      read -r run rest <"$task/schedstat"
      printf 'task %s %s %s %s %s\n' "$tid" "$comm" "$volunt" "$nonvolunt" "$run"
    done
  } >"$out" 2>/dev/null
}

kib_of() { awk -v k="$2" '$1 == k ":" { print $2 }' "$1"; }

# measure_run NAME MODE COMMAND...: starts the program, leaves out its start-up, samples it over
# RESOURCE_SECONDS and appends one line to the results:
#   name|mode|rss MiB|pss MiB|cpu ms/min (ticks)|cpu ms/min (run time)|main vol/min|all vol/min|
#   NewIcon/min|NewToolTip/min|ms to icon|threads
measure_run() {
  local name=$1 mode=$2
  shift 2
  kel_log "--- $name ($mode): ${RESOURCE_SECONDS}s window"
  start_measured "$name" "$@"
  local pid=$MEASURED_PID
  wait_for_icon
  kel_log "tray item $ITEM_SERVICE registered ${ICON_MS} ms after the start"
  # Start-up done: the window opens a few seconds after the icon appears.
  while kel_greater "$(kel_plus "$ICON_TIME" "$SETTLE_SECONDS")" "$EPOCHREALTIME"; do sleep 0.1; done
  kel_is_running "$pid" || kel_fail "$name exited during start-up"
  take_sample "$pid" "$KEL_DIR/$name.before"
  sleep "$RESOURCE_SECONDS"
  kel_is_running "$pid" || kel_fail "$name exited during the measured window"
  take_sample "$pid" "$KEL_DIR/$name.after"
  local rss pss
  rss=$(kib_of "/proc/$pid/status" VmRSS)
  pss=$(kib_of "/proc/$pid/smaps_rollup" Pss)
  kel_end_process "$pid" "$name"

  local from to icons=- tips=-
  from=$(awk '$1 == "time" { print $2 }' "$KEL_DIR/$name.before")
  to=$(awk '$1 == "time" { print $2 }' "$KEL_DIR/$name.after")
  if [[ $ITEM_SERVICE != - ]]; then
    icons=$(count_signals "$ITEM_SERVICE" NewIcon "$from" "$to")
    tips=$(count_signals "$ITEM_SERVICE" NewToolTip "$from" "$to")
  fi
  awk -v name="$name" -v mode="$mode" -v pid="$pid" -v rss="$rss" -v pss="$pss" \
    -v icons="$icons" -v tips="$tips" -v icon_ms="$ICON_MS" -v threads="$threads" '
    function rate(n) { return n == "-" ? "-" : sprintf("%.1f", n * per_minute) }
    FNR == 1 { file++ }
    $1 == "time" { t[file] = $2 }
    $1 == "cpu" { cpu[file] = $2 }
    $1 == "task" {
      name_of[$2] = $3; vol[file, $2] = $4; run[file, $2] = $6
      if (file == 2) tids[$2] = 1
    }
    END {
      per_minute = 60 / (t[2] - t[1])
      for (tid in tids) {
        dv = vol[2, tid] - vol[1, tid]; dr = run[2, tid] - run[1, tid]
        all_vol += dv; all_run += dr
        if (tid == pid) main_vol = dv
        printf "%s|%s|%s|%.1f|%.2f\n", name, (tid == pid ? "main" : name_of[tid]), tid,
          dv * per_minute, dr / 1e6 * per_minute >> threads
        count++
      }
      printf "%s|%s|%.1f|%.1f|%.0f|%.1f|%.1f|%.1f|%s|%s|%s|%d\n", name, mode,
        rss / 1024, pss / 1024, (cpu[2] - cpu[1]) * 10 * per_minute, all_run / 1e6 * per_minute,
        main_vol * per_minute, all_vol * per_minute, rate(icons), rate(tips), icon_ms, count
    }' "$KEL_DIR/$name.before" "$KEL_DIR/$name.after" >>"$results"
  kel_log "$(tail -n 1 "$results")"
}

# median_of VALUE...: "min median max".
median_of() {
  printf '%s\n' "$@" | sort -n |
    awk '{ v[NR] = $1 } END { printf "%d %d %d\n", v[1], v[int((NR + 1) / 2)], v[NR] }'
}

# time_starts: starts kelmora and the bare tray program RESOURCE_STARTS times each, in turn (so
# both meet the same load), each time until its tray item is registered; sets KEL_STARTS and
# BARE_STARTS to "min median max" of the milliseconds that took.
time_starts() {
  local i kel=() bare=()
  for ((i = 1; i <= RESOURCE_STARTS; i++)); do
    start_measured "kelmora-start$i" "$KEL_PROGRAM"
    wait_for_icon
    kel+=("$ICON_MS")
    kel_end_process "$MEASURED_PID" kelmora
    start_measured "bare-start$i" "$BARE_TRAY"
    wait_for_icon
    bare+=("$ICON_MS")
    kel_end_process "$MEASURED_PID" bare_tray
  done
  kel_log "kelmora: tray icon after ${kel[*]} ms"
  kel_log "bare Qt tray: tray icon after ${bare[*]} ms"
  KEL_STARTS=$(median_of "${kel[@]}")
  BARE_STARTS=$(median_of "${bare[@]}")
}

# ---------------------------------------------------------------------------------------------
# The runs

# Settings as the program writes them; their presence starts the program hidden in the tray.
# write_kelmora_settings MODE1 MODE2 [TIP-PATTERN]
write_kelmora_settings() {
  kel_write_settings "${3:-yyyy/mm/dd hh:mm aaa}" 1.0 "$1" "$2" 0 0 0 0 0 0 0 0
}

# measure_kelmora PREFIX PROGRAM: the program in the default modes and with a tip that shows the
# seconds (it changes at every redraw).
measure_kelmora() {
  local prefix=$1 program=$2
  write_kelmora_settings 0 0
  measure_run "$prefix-default" 'modes 0/0: analog face' "$program"
  write_kelmora_settings 2 0
  measure_run "$prefix-digits" 'modes 2/0: 24-hour digits' "$program"
  write_kelmora_settings 2 0 'yyyy/mm/dd hh:nn:ss aaa'
  measure_run "$prefix-seconds" 'modes 2/0, tip with seconds' "$program"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
build_bare_tray
kel_start_desktop
kel_start_item_monitor

write_kelmora_settings 0 0
time_starts
read -r kel_min kel_median kel_max <<<"$KEL_STARTS"
read -r bare_min bare_median bare_max <<<"$BARE_STARTS"

measure_kelmora kelmora "$KEL_PROGRAM"
[[ -z $RESOURCE_BASELINE ]] || measure_kelmora before "$RESOURCE_BASELINE"
measure_run bare-static 'one icon, never changed' "$BARE_TRAY"
measure_run bare-every-second 'a new icon every second' "$BARE_TRAY" --every-second
measure_run bare-timer-only 'an empty 1 s timer' "$BARE_TRAY" --timer-only

# Under an XEmbed tray: the watcher leaves, trayer docks the icons Qt draws itself.
# measure_xembed PREFIX PROGRAM
measure_xembed() {
  write_kelmora_settings 0 0
  measure_run "$1-xembed-default" 'modes 0/0 under XEmbed' "$2"
  write_kelmora_settings 2 0
  measure_run "$1-xembed-digits" 'modes 2/0 under XEmbed' "$2"
}
stop_watcher() {
  local i
  for ((i = 0; i < ${#KEL_PIDS[@]}; i++)); do
    [[ ${KEL_NAMES[i]} != status-notifier-watcher ]] || kel_end_process "${KEL_PIDS[i]}" watcher
  done
  kel_wait_until 5 "the watcher to leave the bus" kel_not kel_bus_name_owned \
    org.kde.StatusNotifierWatcher
}
stop_watcher
kel_start_xembed_tray
ICON_IN=xembed
measure_xembed kelmora "$KEL_PROGRAM"
[[ -z $RESOURCE_BASELINE ]] || measure_xembed before "$RESOURCE_BASELINE"

# ---------------------------------------------------------------------------------------------
# Report

verdict() { if awk -v v="$1" -v l="$2" "BEGIN { exit !(v $3 l) }"; then echo met; else echo "**missed**"; fi; }

# field NAME INDEX: one field of a run's line in the results (1: name).
field() { awk -F'|' -v n="$1" -v i="$2" '$1 == n { print $i }' "$results"; }

report() {
  echo '| Program | Modes | VmRSS | Pss | CPU a minute (utime+stime) | CPU a minute (run time) | Main thread wake-ups a minute | All threads wake-ups a minute | NewIcon a minute | NewToolTip a minute | Start to tray icon | Threads |'
  echo '|---|---|---|---|---|---|---|---|---|---|---|---|'
  local name mode r p c run mv av ni nt ms n
  while IFS='|' read -r name mode r p c run mv av ni nt ms n; do
    printf '| %s | %s | %s MiB | %s MiB | %s ms | %s ms | %s | %s | %s | %s | %s ms | %s |\n' \
      "$name" "$mode" "$r" "$p" "$c" "$run" "$mv" "$av" "$ni" "$nt" "$ms" "$n"
  done <"$results"
  echo
  echo "Wake-ups are voluntary context switches. Start to tray icon over $RESOURCE_STARTS further starts (min / median / max): kelmora $kel_min / $kel_median / $kel_max ms, bare Qt tray $bare_min / $bare_median / $bare_max ms. Under XEmbed there is no item on the bus (NewIcon and NewToolTip: -), and the start counts to the icon's window docked in the tray."
  echo
  echo '| Target (kelmora, default tip) | Measured | |'
  echo '|---|---|---|'
  local run_name main_vol cpu_run
  for run_name in kelmora-default kelmora-digits kelmora-xembed-default kelmora-xembed-digits; do
    main_vol=$(field "$run_name" 7)
    cpu_run=$(field "$run_name" 6)
    echo "| $(field "$run_name" 2): main thread at most $TARGET_MAIN_SWITCHES wake-ups a minute | $main_vol | $(verdict "$main_vol" "$TARGET_MAIN_SWITCHES" '<=') |"
    echo "| $(field "$run_name" 2): under $TARGET_CPU_MS ms CPU a minute (run time) | $cpu_run ms | $(verdict "$cpu_run" "$TARGET_CPU_MS" '<') |"
  done
  local rss
  rss=$(field kelmora-default 3)
  echo "| under $TARGET_RSS_MIB MiB resident (modes 0/0) | $rss MiB | $(verdict "$rss" "$TARGET_RSS_MIB" '<') |"
  echo "| tray icon within $TARGET_ICON_MS ms of the start (median) | $kel_median ms | $(verdict "$kel_median" "$TARGET_ICON_MS" '<=') |"
  if [[ -n $RESOURCE_BASELINE ]]; then
    for run_name in seconds default digits xembed-default xembed-digits; do
      main_vol=$(field "kelmora-$run_name" 7)
      echo "| $(field "kelmora-$run_name" 2): main-thread wake-ups no more than before ($(field "before-$run_name" 7)) | $main_vol | $(verdict "$main_vol" "$(field "before-$run_name" 7)" '<=') |"
    done
  fi
  echo
  echo 'Threads of kelmora in modes 0/0 (wake-ups and CPU run time a minute):'
  echo
  echo '| Thread | Wake-ups a minute | CPU a minute |'
  echo '|---|---|---|'
  awk -F'|' '$1 == "kelmora-default" { printf "| %s | %s | %s ms |\n", $2, $4, $5 }' "$threads" |
    sort -t'|' -k3 -rn
  echo
  echo "Measured $(date -u +%Y-%m-%d) on $(nproc) CPUs (load average $load_before before, $(cut -d' ' -f1-3 /proc/loadavg) after), ${RESOURCE_SECONDS} s windows starting ${SETTLE_SECONDS} s after the tray icon appeared, real clock, $(basename "$(dirname "$(dirname "$KEL_PROGRAM")")") build${RESOURCE_BASELINE:+; \"before\": $RESOURCE_BASELINE}; Qt $(pkg-config --modversion Qt6Widgets)."
}

report >"$KEL_DIR/report.md"
cat "$KEL_DIR/report.md"
echo
echo 'Threads (run|thread|tid|wake-ups a minute|CPU ms a minute):'
cat "$threads"
if [[ $RESOURCE_DOC != none ]]; then
  replace_block "$RESOURCE_DOC" resource "$KEL_DIR/report.md"
  kel_log "updated $RESOURCE_DOC"
fi
