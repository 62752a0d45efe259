# The faked clock, for lib.sh (which sources this file): the time every test starts the program
# at, libfaketime that fakes it, times in the alarm file's form counted from the start, and the
# clock's jump forward.

# The clock every test starts the program at, read as local time in KEL_TZ. A zone ahead of UTC
# makes a program that shows UTC instead of local time show the wrong hour.
KEL_FAKE_START=${KEL_FAKE_START:-'2003-11-09 14:07:00'}
KEL_TZ=${KEL_TZ:-JST-9}

# The faked clock, SECONDS (maybe negative) after the start, in the alarm file's form
# "yyyy/mm/dd hh:nn:ss".
kel_fake_time_plus() {
  date -d "@$(($(date -d "$KEL_FAKE_START" +%s) + $1))" '+%Y/%m/%d %H:%M:%S'
}

# Seconds from the start to a time in the alarm file's form.
kel_seconds_after_start() {
  echo $(($(date -d "${1//\//-}" +%s) - $(date -d "$KEL_FAKE_START" +%s)))
}

# kel_jump_clock SECONDS: the program's faked clock (wall and monotonic) jumps forward, as when
# the machine wakes from sleep. Only for a program started with KEL_FAKE_JUMPS=1, whose clock
# libfaketime reads from a file (KEL_FAKE_FILE) at every look.
kel_jump_clock() {
  [[ -n ${KEL_FAKE_FILE:-} ]] || kel_fail "kel_jump_clock needs KEL_FAKE_JUMPS=1 before kel_start_program"
  KEL_FAKE_JUMPED=$((${KEL_FAKE_JUMPED:-0} + $1))
  printf '@%s\n' "$(kel_fake_time_plus "$KEL_FAKE_JUMPED" | tr / -)" >"$KEL_FAKE_FILE.new"
  mv "$KEL_FAKE_FILE.new" "$KEL_FAKE_FILE"
  kel_log "the clock jumps $1 s forward"
}

kel_libfaketime() {
  local candidate
  for candidate in "${KEL_LIBFAKETIME:-}" \
    /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    /usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1 \
    /usr/lib/faketime/libfaketime.so.1 /usr/local/lib/faketime/libfaketime.so.1; do
    if [[ -n $candidate && -f $candidate ]]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "[$KEL_TEST] FAIL: libfaketime not found (install libfaketime or set KEL_LIBFAKETIME)" >&2
  exit 1
}
