#!/usr/bin/env bash
# スヌーズ (5分) on a ringing alarm's notification: the song stops at once and the notification
# goes; five minutes later (the faked clock jumps most of the way) the alarm rings again with the
# same sound, from a line that fires once and goes, so the file written at the end holds none.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
KEL_FAKE_JUMPS=1
kel_start_desktop
kel_start_sound
kel_start_notifications

sox -q -n -r 44100 -c 2 -b 16 "$KEL_DIR/song.wav" synth 20 sine 440 vol 0.8 pad 0 0.3
due=$(kel_fake_time_plus 3)
tab=$'\t'
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$due${tab}0z${tab}0$tab$KEL_DIR/song.wav"

capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
kel_start_program
kel_wait_for_item 20

# notification N: sets id, body and actions of the N-th notification.
notification() {
  id=$(kel_notify_field "$1" id) body=$(kel_notify_field "$1" body)
  actions=$(kel_notify_field "$1" actions)
  kel_log "notification $1: id $id, \"$body\", actions $actions, urgency $(kel_notify_field "$1" urgency)"
}

kel_wait_until 10 "the alarm's notification" kel_notified 1
notification 1
[[ $actions == 'stop,停止,snooze,スヌーズ (5分)' ]] || kel_fail "the alarm offers \"$actions\""
[[ $body == "$due\\nsong.wav" ]] || kel_fail "the alarm's notification says \"$body\""
first_id=$id
at_notice=$(kel_capture_seconds)
kel_wait_until 5 "a second of the song" kel_capture_longer_than "$(kel_plus "$at_notice" 1.2)"

# スヌーズ: silence within half a second, the notification goes, the program goes on.
kel_choose_and_hear_silence "$first_id" snooze スヌーズ "$capture"
kel_expect_running

# Most of the five minutes pass at once; the alarm rings again at its second, with its song.
kel_jump_clock 285
kel_wait_until 25 "the snoozed alarm's notification" kel_notified 2
notification 2
again=${body%%\\n*}
offset=$(kel_seconds_after_start "$again")
# Chosen a second or so after the alarm fired at 4 s: due five minutes after that.
((offset >= 304 && offset <= 310)) ||
  kel_fail "the snoozed alarm says \"$body\": due ${offset}s after the start, expected 304-310"
[[ $body == "$again\\nsong.wav" ]] || kel_fail "the snoozed alarm plays \"$body\", not song.wav"
at_again=$(kel_capture_seconds)
kel_wait_until 5 "a second of the song again" kel_capture_longer_than "$(kel_plus "$at_again" 1.2)"
playing=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$(kel_plus "$at_again" 0.2)" 1)
kel_greater "$playing" 0.05 || kel_fail "the snoozed alarm is not heard (RMS amplitude $playing)"

kel_stop_program TERM
[[ ! -s $KEL_DATA/timer.ini ]] || kel_fail "the snooze line outlived its firing: $(cat "$KEL_DATA/timer.ini")"
kel_pass
