#!/usr/bin/env bash
# Alarm sounds that cannot be played give the built-in chime (about 1 kHz) instead of silence.
# Three alarms, each fired on the tick after its second (the tip pattern shows seconds, so the tip
# set on firing tells when), each firing heard as the chime:
#   14:07:04  a file that does not exist;
#   14:07:07  a file that starts like a WAV and then holds nothing a decoder can read;
#   14:07:10  a WAV cut short after its 44-byte header (an interrupted copy).
# Then SIGTERM still ends the program. Failed checks are collected, so one run shows them all.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_sound

missing_file=$KEL_DIR/no-such-sound.wav
garbled=$KEL_DIR/garbled.wav
truncated=$KEL_DIR/truncated.wav
{
  printf 'RIFF\000\020\000\000WAVE'
  head -c 4000 /dev/zero | tr '\0' 'x'
} >"$garbled"
kel_make_tone "$KEL_DIR/whole.wav" 440
head -c 44 "$KEL_DIR/whole.wav" >"$truncated"
alarm() { printf '%s\t0z\t0\t%s' "$(kel_fake_time_plus "$1")" "$2"; }
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$(alarm 4 "$missing_file")" "$(alarm 7 "$garbled")" "$(alarm 10 "$truncated")"

kel_start_capture "$KEL_DIR/capture.raw"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
recorded_at_start=$(kel_capture_seconds)
kel_start_program
kel_wait_for_item 20

kel_wait_for_firing 4
kel_wait_for_firing 7
kel_wait_for_firing 10

kel_wait_until 10 "the recording to pass the last chime" \
  kel_capture_longer_than "$(kel_plus "$recorded_at_start" 12.5)"
kel_stop_capture

capture=$KEL_DIR/capture.raw
quiet=$(kel_sound_stat "$capture" 'Maximum amplitude' trim 0 "$(kel_plus "$recorded_at_start" 4.5)")
kel_greater 0.01 "$quiet" ||
  kel_check_failed "sound was played before the first alarm was due (maximum amplitude $quiet)"
# check_chime WHAT FROM TO: between FROM and TO seconds after the start the chime was heard.
check_chime() {
  local from to heard frequency
  from=$(kel_plus "$recorded_at_start" "$2")
  to=$(kel_plus "$recorded_at_start" "$3")
  heard=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$from" "=$to")
  frequency=$(kel_sound_stat "$capture" 'Rough frequency' trim "$from" "=$to" silence 1 0.01 1% trim 0 0.4)
  kel_log "$1: RMS amplitude $heard, rough frequency $frequency Hz"
  if ! kel_greater "$heard" 0.03; then
    kel_check_failed "$1: no sound at all (RMS amplitude $heard), expected the chime"
  elif ! kel_between 950 1120 "$frequency"; then
    kel_check_failed "$1: what was heard is not the chime of about 1 kHz ($frequency Hz)"
  fi
}
check_chime "alarm with a missing file" 4.5 7.4
check_chime "alarm with a garbled WAV" 7.5 10.4
check_chime "alarm with a WAV cut short after its header" 10.5 12.5

kel_program_running || kel_fail "the program has exited unexpectedly"
kill -TERM "$KEL_PROGRAM_PID"
if kel_wait_for 10 kel_program_gone; then
  : >"$KEL_DIR/alarms.expected"
  kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIGTERM"
  kel_log "the program exited after SIGTERM"
else
  kel_check_failed "the program did not exit within 10 s of SIGTERM; its main thread: $(kel_main_thread_stack)"
fi
kel_pass
