# The program, for lib.sh (which sources this file): its start on the faked clock, its stop, its
# alarms firing, and where its main thread waits when it hangs.

KEL_PROGRAM_PID=''

# Starts the program on the virtual desktop with its clock starting at KEL_FAKE_START and running
# on (libfaketime's "@" form; child processes keep the same clock; with KEL_FAKE_JUMPS=1 read
# from a file, so that kel_jump_clock can move it), on Qt's platform KEL_QPA (xcb by default;
# "default" leaves the choice to the program, as a user's start does), with the libraries named
# in KEL_PRELOAD preloaded too.
kel_start_program() {
  local faketime platform=(QT_QPA_PLATFORM="${KEL_QPA:-xcb}") clock=(FAKETIME="@$KEL_FAKE_START")
  faketime=$(kel_libfaketime)
  [[ ${KEL_QPA:-} != default ]] || platform=(-u QT_QPA_PLATFORM)
  if [[ ${KEL_FAKE_JUMPS:-} == 1 ]]; then
    KEL_FAKE_FILE=$KEL_DIR/faketime
    printf '@%s\n' "$KEL_FAKE_START" >"$KEL_FAKE_FILE"
    clock=(FAKETIME_TIMESTAMP_FILE="$KEL_FAKE_FILE")
  fi
  KEL_LOGS+=("$KEL_DIR/kelmora.log")
  kel_log "starting kelmora at $KEL_FAKE_START (TZ=$TZ)"
  "${KEL_AS_USER[@]}" env "${platform[@]}" \
    LD_PRELOAD="$faketime${KEL_PRELOAD:+ $KEL_PRELOAD}" "${clock[@]}" \
    FAKETIME_DONT_RESET=1 FAKETIME_NO_CACHE=1 \
    "$KEL_PROGRAM" >>"$KEL_DIR/kelmora.log" 2>&1 &
  KEL_PROGRAM_PID=$!
  kel_track "$KEL_PROGRAM_PID" kelmora
}

kel_program_running() { kel_is_running "$KEL_PROGRAM_PID"; }
kel_program_gone() { ! kel_is_running "$KEL_PROGRAM_PID"; }

# Sends SIGNAL (TERM by default) and waits for the program to exit; fails unless it exits with 0.
kel_stop_program() {
  local signal=${1:-TERM} rc=0
  kel_program_running || kel_fail "the program is no longer running before SIG$signal"
  kill -s "$signal" "$KEL_PROGRAM_PID"
  kel_wait_for 10 kel_program_gone ||
    kel_fail "the program did not exit within 10 s of SIG$signal; main thread: $(kel_main_thread_stack)"
  wait "$KEL_PROGRAM_PID" || rc=$?
  ((rc == 0)) || kel_fail "the program exited with status $rc after SIG$signal"
  kel_log "the program exited after SIG$signal"
}

# kel_stop_program_within MS: sends SIGTERM and waits up to 5 s for the program to exit; a check
# fails (the test goes on) unless it exited with 0 within MS milliseconds.
kel_stop_program_within() {
  local limit_ms=$1 sent took_ms rc=0
  kel_program_running || kel_fail "the program has exited unexpectedly"
  sent=$(date +%s%N)
  kill -TERM "$KEL_PROGRAM_PID"
  while kel_program_running && (($(date +%s%N) - sent < 5000000000)); do sleep 0.02; done
  took_ms=$((($(date +%s%N) - sent) / 1000000))
  kel_program_gone ||
    kel_fail "the program did not exit within 5 s of SIGTERM; its main thread: $(kel_main_thread_stack)"
  wait "$KEL_PROGRAM_PID" || rc=$?
  kel_log "the program exited with status $rc ${took_ms} ms after SIGTERM"
  ((took_ms <= limit_ms)) || kel_check_failed "the program took $took_ms ms to exit after SIGTERM"
  ((rc == 0)) || kel_check_failed "the program exited with status $rc after SIGTERM"
}

# kel_wait_for_firing SECONDS [LIMIT]: the alarm due SECONDS after the start stands in the tip,
# then fires, within LIMIT seconds (8 by default), on the tick one second after its due second,
# which sets the tip to the bare time of that tick (the tip pattern must show seconds and the
# weekday, as "yyyy/mm/dd hh:nn:ss aaa" does).
kel_wait_for_firing() {
  local due fired_tip tip
  due=$(kel_fake_time_plus "$1")
  fired_tip="$(kel_fake_time_plus $(($1 + 1))) 日"
  kel_wait_until 10 "the tip to show the alarm due at $due" kel_tip_has "[♪$due]"
  kel_wait_until "${2:-8}" "the alarm due at $due to fire" kel_not kel_tip_has "[♪$due]"
  tip=$(kel_tip)
  [[ $tip == "$fired_tip" ]] ||
    kel_check_failed "firing the alarm due at $due: the tip is \"$tip\", expected \"$fired_tip\""
  kel_log "the alarm due at $due fired: the tip is \"$tip\""
}

# Where the program's main thread waits: a stack from gdb when there is one, else the kernel's
# wait channel.
kel_main_thread_stack() {
  if command -v gdb >/dev/null 2>&1; then
    timeout -k 2 8 gdb -p "$KEL_PROGRAM_PID" -batch -iex 'set debuginfod enabled off' \
      -ex 'bt 16' 2>/dev/null |
      awk '/^#/ { sub(/ \(.*/, ""); printf "%s | ", $0 }'
  else
    printf 'wchan %s' "$(cat "/proc/$KEL_PROGRAM_PID/wchan" 2>/dev/null)"
  fi
}

# Fails the test unless the program is still running.
kel_expect_running() {
  kel_program_running || kel_fail "the program has exited unexpectedly"
}
