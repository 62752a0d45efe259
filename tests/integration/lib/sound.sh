# Sound, for lib.sh (which sources this file): a private PulseAudio whose only sink writes into a
# pipe that the test records, the recording, and its measures.

KEL_CAPTURE_PID=''

kel_pulse_ready() { pactl info >/dev/null 2>&1 && [[ -p $KEL_DIR/sink.fifo ]]; }

kel_start_sound() {
  kel_require_tools pulseaudio pactl sox
  printf 'autospawn = no\n' >"$KEL_DIR/pulse-client.conf"
  # A cookie of our own spares the server and its clients the search for one.
  mkdir -p "$XDG_CONFIG_HOME/pulse"
  head -c 256 /dev/urandom >"$XDG_CONFIG_HOME/pulse/cookie"
  export PULSE_COOKIE=$XDG_CONFIG_HOME/pulse/cookie
  export PULSE_CLIENTCONFIG=$KEL_DIR/pulse-client.conf
  export PULSE_SERVER=unix:$KEL_DIR/pulse.sock
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
    --disable-shm=yes \
    -L "module-pipe-sink sink_name=cap file=$KEL_DIR/sink.fifo format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$KEL_DIR/pulse.sock" \
    >"$KEL_DIR/pulseaudio.log" 2>&1 &
  kel_track $! pulseaudio
  KEL_LOGS+=("$KEL_DIR/pulseaudio.log")
  kel_wait_until 10 "PulseAudio to answer" kel_pulse_ready
  kel_log "PulseAudio with the capture sink at $PULSE_SERVER"
}

# Records everything the sink plays, as raw 16-bit stereo at 44100 Hz, into FILE.
kel_start_capture() {
  KEL_CAPTURE=$1
  cat "$KEL_DIR/sink.fifo" >"$KEL_CAPTURE" &
  KEL_CAPTURE_PID=$!
  kel_track "$KEL_CAPTURE_PID" capture
}

kel_stop_capture() {
  kel_end_process "$KEL_CAPTURE_PID" capture
}

# Seconds of sound recorded so far.
kel_capture_seconds() {
  local bytes
  bytes=$(stat -c %s "$KEL_CAPTURE")
  awk -v b="$bytes" 'BEGIN { printf "%.2f", b / (44100 * 4) }'
}

kel_capture_longer_than() { kel_greater "$(kel_capture_seconds)" "$1"; }

# kel_sound_stat FILE FIELD [EFFECT...]: one value of sox's "stat" (e.g. "RMS amplitude",
# "Maximum amplitude", "Rough frequency"; blanks inside the name do not matter) over the left
# channel of the recording, after the given sox effects ("trim 2 1.5": the 1.5 s from 2 s on).
kel_sound_stat() {
  local file=$1 field=${2// /}
  shift 2
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$file" -n remix 1 "$@" stat 2>&1 |
    awk -F: -v f="$field" '{ name = $1; gsub(/ /, "", name) } name == f { gsub(/ /, "", $2); print $2 }'
}

# Is a > b, for decimal numbers?
kel_greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }
# a + b, for decimal numbers.
kel_plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }
# kel_between LOW HIGH VALUE: LOW < VALUE < HIGH, for decimal numbers.
kel_between() { awk -v l="$1" -v h="$2" -v v="$3" 'BEGIN { exit !(l + 0 < v + 0 && v + 0 < h + 0) }'; }

# A test sound: a 1 s sine tone of the given frequency at 0.8 of full scale, then 0.3 s of silence
# (the sound player cuts the last fraction of a second).
kel_make_tone() {
  sox -q -n -r 44100 -c 2 -b 16 "$1" synth 1 sine "${2:-440}" vol 0.8 pad 0 0.3
}
