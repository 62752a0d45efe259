#!/usr/bin/env bash
# A sound server that stops answering (here: PulseAudio stopped with SIGSTOP) holds up only the
# sounds' own player processes: the alarm due at +4 fires on its tick, the tip moves on every
# second while the sound and then the chime standing in for it wait on the server, and SIGTERM
# still ends the program within a second with both files written. A missing tool fails this test.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_sound
server=${KEL_PIDS[-1]} # kel_start_sound's PulseAudio

kel_make_tone "$KEL_DIR/good.wav" 440
due=$(kel_fake_time_plus 4)
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_write_alarms "$(printf '%s\t0z\t0\t%s' "$due" "$KEL_DIR/good.wav")"
kel_start_program
kel_wait_for_item 20
kel_wait_until 10 "the tip to show the alarm due at $due" kel_tip_has "[♪$due]"
rm "$KEL_DATA/Varnlock.ini" "$KEL_DATA/timer.ini"
kill -STOP "$server"
kel_log "PulseAudio ($server) stopped"

kel_wait_until 8 "the alarm due at $due to fire" kel_not kel_tip_has "[♪$due]"
fired_tip="$(kel_fake_time_plus 5) 日"
[[ $(kel_tip) == "$fired_tip" ]] ||
  kel_check_failed "the alarm fired late: the tip is \"$(kel_tip)\", expected \"$fired_tip\""
# The sound, then the chime, each given 1.5 s to begin: the tip goes on meanwhile.
for _ in 1 2 3 4; do
  tip=$(kel_tip)
  kel_wait_until 3 "the tip to move on from \"$tip\"" kel_not kel_tip_is "$tip"
done

kel_stop_program_within 1000
kill -CONT "$server"
: >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIGTERM"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file after SIGTERM"
kel_pass
