#!/usr/bin/env bash
# The save on a disk that fails: with save_faults.so preloaded (a disk that fails on cue), every
# open, write, fchmod, fsync, close and rename that the save makes in the data folder fails in
# turn, once with ENOSPC, once with EIO and once with EROFS, on the real program ended by SIGTERM
# (and once by SIGHUP). After each run the program has exited with status 0, both files hold
# byte for byte either what they held before or what the program writes, no temporary file is
# left, and the failure was reported at once on standard error and through the desktop's
# notification service ("!Kelmora"), each naming the file. A first run without a fault counts
# the calls (how many the start makes, how many the save) and gives the new files. Then the
# session manager (a stand-in, session_manager.cpp) asks the program to save, every call of that
# save failing in turn with ENOSPC: the program tells it the same way, shows no box, answers the
# session manager and runs on, and its save at SIGTERM then writes both files.
# A missing tool fails this test.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
[[ -f ${KELMORA_SAVE_FAULTS:-} ]] || kel_fail "no fault library: set KELMORA_SAVE_FAULTS"
kel_start_desktop
kel_start_notifications

faults_log=$KEL_DIR/faults.log
export KELMORA_FAULT_FOLDER=$KEL_DATA KELMORA_FAULT_LOG=$faults_log
KEL_PRELOAD=$KELMORA_SAVE_FAULTS
tab=$'\t'

# The files as a user might have left them: LF line ends, numbers without blanks, alarms out of
# order. The program writes them back in its own form, so the old and the new bytes differ.
write_old_files() {
  rm -rf "$KEL_DATA"
  mkdir -p "$KEL_DATA"
  printf 'yyyy/mm/dd hh:mm aaa\n1.0\n2\n0\n255\n255\n255\n255\n0\n0\n0\n0\n' >"$KEL_DATA/Varnlock.ini"
  printf '%s\n' "2003/11/10 07:30:00${tab}1h${tab}E${tab}/sounds/b.wav" \
    "2003/11/09 18:00:00${tab}0z${tab}E${tab}" >"$KEL_DATA/timer.ini"
}
write_old_files
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/Varnlock.ini.old"
cp "$KEL_DATA/timer.ini" "$KEL_DIR/timer.ini.old"

# run_program SIGNAL: starts the program on the old files, waits for its tray icon (the files are
# read by then: START_CALLS counted calls) and ends it with SIGNAL; fails unless it exits with
# status 0.
run_program() {
  write_old_files
  : >"$faults_log"
  : >"$KEL_DIR/kelmora.log"
  : >"$KEL_NOTIFY_LOG"
  kel_start_program
  kel_wait_for_item 20
  START_CALLS=$(calls | wc -l)
  kel_stop_program "$1"
}

# The counted calls of the run: "COUNT CALL NAME RESULT..." lines.
calls() { cat "$faults_log"; }

kel_log "--- a run without faults"
unset KELMORA_FAULT_AT
run_program TERM
total_calls=$(calls | wc -l)
first_save_call=$((START_CALLS + 1))
calls | awk '$2 == "open" && $3 ~ /\.tmp-/ { found = 1 } END { exit !found }' ||
  kel_fail "the save made no temporary file: $(calls | tr '\n' ';')"
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/Varnlock.ini.new"
cp "$KEL_DATA/timer.ini" "$KEL_DIR/timer.ini.new"
for file in Varnlock.ini timer.ini; do
  ! cmp -s "$KEL_DIR/$file.old" "$KEL_DIR/$file.new" || kel_fail "the save left $file as it was"
done
kel_log "the start makes $((first_save_call - 1)) counted calls, the save calls $first_save_call..$total_calls"

# The file a counted call belongs to: the data file itself for its temporary, and for a call on
# the folder (the flush after a rename) the file renamed just before.
file_of_call() {
  calls | awk -v n="$1" '
    $3 ~ /^Varnlock\.ini/ { file = "Varnlock.ini" }
    $3 ~ /^timer\.ini/ { file = "timer.ini" }
    $1 == n { print file; exit }'
}

# check_run WHAT N: the checks after a run whose N-th counted call was to fail.
check_run() {
  local what=$1 n=$2 file line
  line=$(calls | awk -v n="$n" '$1 == n')
  if [[ $line != *failed* ]]; then
    kel_check_failed "$what: call $n was not failed (the run made $(calls | wc -l) calls)"
    return
  fi
  file=$(file_of_call "$n")
  for name in Varnlock.ini timer.ini; do
    if ! cmp -s "$KEL_DATA/$name" "$KEL_DIR/$name.old" && ! cmp -s "$KEL_DATA/$name" "$KEL_DIR/$name.new"; then
      kel_check_failed "$what ($line): $name is neither the old nor the new version: $(od -c "$KEL_DATA/$name" 2>&1 | head -3 | tr '\n' ' ')"
    fi
  done
  local left
  left=$(find "$KEL_DATA" -name '*.tmp-*' -printf '%f ')
  [[ -z $left ]] || kel_check_failed "$what ($line): temporary files left: $left"
  grep -q "^kelmora: .*$file" "$KEL_DIR/kelmora.log" ||
    kel_check_failed "$what ($line): nothing on standard error names $file: $(tr '\n' ' ' <"$KEL_DIR/kelmora.log")"
  kel_notified_about '!Kelmora' "$file" ||
    kel_check_failed "$what ($line): no notification \"!Kelmora\" names $file"
}

for error in ENOSPC EIO EROFS; do
  kel_log "--- every call of the save failing with $error"
  export KELMORA_FAULT_ERRNO=$error
  for ((n = first_save_call; n <= total_calls; n++)); do
    export KELMORA_FAULT_AT=$n
    run_program TERM
    check_run "$error on call $n, SIGTERM" "$n"
  done
done

kel_log "--- the session's save request, every call of its save failing with ENOSPC"
[[ -x ${KELMORA_SESSION_MANAGER:-} ]] || kel_fail "no session manager: set KELMORA_SESSION_MANAGER"
mkfifo "$KEL_DIR/session.control"
"$KELMORA_SESSION_MANAGER" "$KEL_DIR/session.log" "$KEL_DIR/session.control" \
  >"$KEL_DIR/session.out" 2>"$KEL_DIR/session-manager.log" &
kel_track $! session-manager
KEL_LOGS+=("$KEL_DIR/session-manager.log" "$KEL_DIR/session.log")
kel_wait_until 5 "the session manager to listen" test -s "$KEL_DIR/session.out"
SESSION_MANAGER=$(head -n 1 "$KEL_DIR/session.out")
export SESSION_MANAGER
: >"$KEL_DIR/session.log"
session_lines() { grep -c "^$1 " "$KEL_DIR/session.log" || true; }
# more_session_lines KIND COUNT: the session manager has logged more than COUNT lines of KIND.
more_session_lines() { (($(session_lines "$1") > $2)); }

# save_for_session: starts the program on the old files, has the session manager ask it to save
# and waits for its answer (the save is over by then); sets START_CALLS and SAVE_CALLS.
save_for_session() {
  write_old_files
  : >"$faults_log"
  : >"$KEL_DIR/kelmora.log"
  : >"$KEL_NOTIFY_LOG"
  local registered done
  registered=$(session_lines registered) done=$(session_lines done)
  kel_start_program
  kel_wait_for_item 20
  kel_wait_until 10 "the program to register with the session manager" \
    more_session_lines registered "$registered"
  START_CALLS=$(calls | wc -l)
  echo save >"$KEL_DIR/session.control"
  kel_wait_until 10 "the program to answer the save request" more_session_lines done "$done"
  SAVE_CALLS=$(calls | wc -l)
  kel_expect_running
  ! kel_window_visible || kel_check_failed "a window showed during the session's save request"
}

unset KELMORA_FAULT_AT
save_for_session
session_first=$((START_CALLS + 1)) session_last=$SAVE_CALLS
kel_stop_program TERM
((session_last >= session_first)) || kel_fail "the session's save request wrote nothing"
kel_log "the session's save makes calls $session_first..$session_last"
export KELMORA_FAULT_ERRNO=ENOSPC
for ((n = session_first; n <= session_last; n++)); do
  export KELMORA_FAULT_AT=$n
  save_for_session
  check_run "ENOSPC on call $n of the session's save" "$n"
  kel_stop_program TERM
  for name in Varnlock.ini timer.ini; do
    cmp -s "$KEL_DATA/$name" "$KEL_DIR/$name.new" ||
      kel_check_failed "ENOSPC on call $n of the session's save: the save at SIGTERM left $name old"
  done
done
unset SESSION_MANAGER

kel_log "--- SIGHUP with the alarm file's first write failing"
n=$(calls | awk '$2 == "write" && $3 ~ /^timer\.ini/ { print $1; exit }')
export KELMORA_FAULT_ERRNO=ENOSPC KELMORA_FAULT_AT=$n
run_program HUP
check_run "ENOSPC on call $n, SIGHUP" "$n"
kel_pass
