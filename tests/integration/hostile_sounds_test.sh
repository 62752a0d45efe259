#!/usr/bin/env bash
# Alarm sounds that once hung or crashed the program: each gives the chime or its own sound, never
# silence; the main thread never waits for them (every alarm fires on its tick, the tip moves on
# every second); a two-hour WAV streams in little memory; and SIGTERM during it ends the program
# within a second, both files written.
# Alarms four seconds apart, each bad one followed by a good 440 Hz tone that must be heard:
#    +4  a WAV cut to its first 100 bytes                                  the chime
#   +12  a 660 Hz tone whose RIFF and data sizes are 0xFFFFFFFF            its own sound
#   +20  a header no sound card plays: rate 0xFFFFFFFF, 8 channels, 32 bits  the chime
#   +28  a pipe nobody writes to, as a disk that does not answer           the chime, 1.5 s late
#   +36  two hours of WAV (1.27 GB, sparse): a second of 550 Hz, then silence  its own sound
#   +8, +16, +24, +32, +44  the good tone (the last replaces the long sound still playing)
#   +48  the long WAV again, then SIGTERM.
# A missing tool fails this test.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools mkfifo truncate dd
kel_start_desktop
kel_start_sound

# le32 N: N as four little-endian bytes, written as printf escapes.
le32() { printf '\\x%02x' $(($1 & 255)) $(($1 >> 8 & 255)) $(($1 >> 16 & 255)) $(($1 >> 24 & 255)); }
# overwrite FILE OFFSET BYTES: BYTES (printf escapes) over FILE's bytes from OFFSET on.
overwrite() {
  # shellcheck disable=SC2059 # the escapes are the format
  printf "$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none
}

good=$KEL_DIR/good.wav
cut=$KEL_DIR/cut.wav
piped=$KEL_DIR/piped.wav
absurd=$KEL_DIR/absurd.wav
stuck=$KEL_DIR/stuck.wav
long=$KEL_DIR/long.wav
long_bytes=$((7200 * 44100 * 4))
kel_make_tone "$good" 440 # 44-byte header, 16-bit stereo
head -c 100 "$good" >"$cut"
kel_make_tone "$piped" 660
overwrite "$piped" 4 "$(le32 0xFFFFFFFF)"
overwrite "$piped" 40 "$(le32 0xFFFFFFFF)"
cp "$good" "$absurd"
overwrite "$absurd" 22 '\x08\x00'              # channels
overwrite "$absurd" 24 "$(le32 0xFFFFFFFF)"    # sample rate
overwrite "$absurd" 32 '\x20\x00\x20\x00'      # bytes per frame, bits per sample
mkfifo "$stuck"
kel_make_tone "$long" 550
overwrite "$long" 4 "$(le32 $((36 + long_bytes)))"
overwrite "$long" 40 "$(le32 "$long_bytes")"
truncate -s $((44 + long_bytes)) "$long"

alarm() { printf '%s\t0z\t0\t%s' "$(kel_fake_time_plus "$1")" "$2"; }
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_write_alarms "$(alarm 4 "$cut")" "$(alarm 8 "$good")" "$(alarm 12 "$piped")" \
  "$(alarm 16 "$good")" "$(alarm 20 "$absurd")" "$(alarm 24 "$good")" "$(alarm 28 "$stuck")" \
  "$(alarm 32 "$good")" "$(alarm 36 "$long")" "$(alarm 44 "$good")" "$(alarm 48 "$long")"

capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
recorded_at_start=$(kel_capture_seconds)
kel_start_program
kel_wait_for_item 20
kel_wait_until 10 "the tip to show the first alarm" kel_tip_has "[♪$(kel_fake_time_plus 4)]"
# Read at start: from now on only the program's writing at the end brings them back.
rm "$KEL_DATA/Varnlock.ini" "$KEL_DATA/timer.ini"


# The resident memory of the program and its sound player processes together, in MiB.
resident_mib() {
  local pid statuses=("/proc/$KEL_PROGRAM_PID/status")
  for pid in $(cat "/proc/$KEL_PROGRAM_PID/task/"*/children 2>/dev/null); do
    statuses+=("/proc/$pid/status")
  done
  awk '/^VmRSS:/ { kib += $2 } END { printf "%.1f", kib / 1024 }' "${statuses[@]}" 2>/dev/null
}

# next_tip: waits for the tip to change, as it does every second unless the main thread is held.
next_tip() {
  local tip
  tip=$(kel_tip)
  kel_wait_until 3 "the tip to move on from \"$tip\"" kel_not kel_tip_is "$tip"
}

for due in 4 8 12 16 20 24 28 32 36; do kel_wait_for_firing "$due"; done
# The long WAV plays: the tip goes on, memory stays far below the file's 1.27 GB.
most=0
for _ in 1 2 3; do
  next_tip
  rss=$(resident_mib)
  kel_greater "$rss" "$most" && most=$rss
done
kel_log "resident memory of the program and its player while the two-hour WAV plays: at most $most MiB"
kel_greater 100 "$most" || kel_check_failed "resident memory $most MiB while the long WAV plays"
kel_wait_for_firing 44
kel_wait_for_firing 48
next_tip

# SIGTERM while the long WAV plays.
kel_stop_program_within 1000
: >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIGTERM"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file after SIGTERM"

# check_sound DUE WHAT LOW HIGH: in the four seconds after the alarm due DUE seconds after the
# start fired, a sound was heard whose first 0.4 s have a frequency between LOW and HIGH Hz.
check_sound() {
  local from to loudest frequency
  from=$(kel_plus "$recorded_at_start" "$(($1 + 1))")
  to=$(kel_plus "$from" 3.9)
  loudest=$(kel_sound_stat "$capture" 'Maximum amplitude' trim "$from" "=$to")
  frequency=$(kel_sound_stat "$capture" 'Rough frequency' trim "$from" "=$to" silence 1 0.01 1% trim 0 0.4)
  kel_log "alarm +$1 ($2): maximum amplitude $loudest, rough frequency $frequency Hz"
  if ! kel_greater "$loudest" 0.2; then
    kel_check_failed "alarm +$1 ($2): nothing heard (maximum amplitude $loudest)"
  elif ! kel_between "$3" "$4" "$frequency"; then
    kel_check_failed "alarm +$1 ($2): heard $frequency Hz, expected $3..$4 Hz"
  fi
}
check_sound 4 "cut to 100 bytes: the chime" 950 1120
check_sound 12 "sizes 0xFFFFFFFF: its own 660 Hz" 630 690
check_sound 20 "absurd header: the chime" 950 1120
check_sound 28 "a pipe that never opens: the chime" 950 1120
check_sound 36 "two hours: its own 550 Hz" 520 580
for due in 8 16 24 32 44; do check_sound "$due" "the good tone" 420 460; done
kel_pass
