#!/usr/bin/env bash
# Alarms firing in the tray. The clock starts at 14:07:00; an alarm due at 14:07:04 stands in
# the tip, fires on the first tick after its second (14:07:05), and its sound, a 440 Hz tone of
# our own, reaches the sound server then and not before. The tip pattern shows seconds, so the
# tip that firing sets (the bare time, no alarm part) tells the second it fired in. While it fires
# the tray shows the program's own icon; the next redraw puts the face back. Two alarms, one run
# each:
#   - "0z" with count "0": fires once and leaves the list; the tip loses its alarm part and the
#     alarm file is written empty (the program is ended with SIGHUP);
#   - "1h" with count "E": fires and moves on by one hour, which the tip then shows, and the
#     alarm file keeps the moved line (the program is ended with SIGINT).
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_sound

kel_make_tone "$KEL_DIR/tone440.wav" 440
due=$(kel_fake_time_plus 4)
moved=$(kel_fake_time_plus 3604)
tip_format='yyyy/mm/dd hh:nn:ss aaa'
fired_tip='2003/11/09 14:07:05 日'
tab=$'\t'


# run_alarm_case NAME INTERVAL COUNT TIP-AFTER-PATTERN ALARM-LINE-AFTER SIGNAL
run_alarm_case() {
  local name=$1 interval=$2 count=$3 tip_after=$4 line_after=$5 signal=$6
  kel_log "--- case $name: alarm due $due, interval $interval, count $count"
  rm -rf "$KEL_DATA"
  kel_write_settings "$tip_format" 1.0 2 0 255 255 255 255 0 0 0 0
  kel_write_alarms "$due$tab$interval$tab$count$tab$KEL_DIR/tone440.wav"

  local capture=$KEL_DIR/capture-$name.raw
  kel_start_capture "$capture"
  kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
  local recorded_at_start
  recorded_at_start=$(kel_capture_seconds)
  kel_start_program
  kel_wait_for_item 20

  kel_wait_until 8 "the tip to show the alarm due at $due" kel_tip_has "[♪$due]"
  kel_log "before the alarm the tip is \"$(kel_tip)\""
  local face
  face=$(kel_icon_art 16)

  # Firing sets the tip to the bare time, with the program's own icon until the next redraw.
  kel_wait_until 8 "the alarm to fire" kel_not kel_tip_has "[♪$due]"
  local firing_tip firing_icon
  firing_tip=$(kel_tip)
  firing_icon=$(kel_icon_art 16)
  kel_log "the alarm fired: the tip is \"$firing_tip\", the icon:"
  printf '%s\n' "$firing_icon"
  [[ $firing_tip == "$fired_tip" ]] ||
    kel_fail "firing the alarm due at $due: the tip is \"$firing_tip\", expected \"$fired_tip\" (fired on the tick at 14:07:05, alarm part gone)"
  [[ $firing_icon != "$face" && $firing_icon == *Y* ]] ||
    kel_fail "while the alarm fires the tray does not show the program's own icon (yellow dots)"

  kel_wait_until 8 "the tip to show \"$tip_after\" after the alarm" kel_tip_matches "$tip_after"
  kel_wait_until 4 "the next redraw to put the clock face back" kel_icon_is "$face"
  kel_log "after the alarm the tip is \"$(kel_tip)\" and the face is back"
  kel_no_window_visible || kel_fail "the main window became visible"

  # The sound: nothing before the due second has passed, the tone after it.
  kel_wait_until 10 "the recording to pass the tone" \
    kel_capture_longer_than "$(kel_plus "$recorded_at_start" 7.5)"
  kel_stop_capture
  local due_at quiet heard frequency
  due_at=$(kel_plus "$recorded_at_start" 4.5)
  quiet=$(kel_sound_stat "$capture" 'Maximum amplitude' trim 0 "$due_at")
  heard=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$due_at")
  frequency=$(kel_sound_stat "$capture" 'Rough frequency' trim "$due_at" silence 1 0.01 1% trim 0 0.5)
  kel_log "recording: up to 4.5s after the start maximum amplitude $quiet; after it RMS amplitude $heard, rough frequency $frequency Hz"
  kel_greater 0.01 "$quiet" || kel_fail "sound was played before the alarm was due (maximum amplitude $quiet)"
  kel_greater "$heard" 0.05 || kel_fail "the alarm's sound was not heard (RMS amplitude $heard)"
  kel_between 420 460 "$frequency" ||
    kel_fail "what was heard is not the alarm's 440 Hz tone (rough frequency $frequency Hz)"

  kel_stop_program "$signal"
  if [[ -n $line_after ]]; then
    printf '%s\r\n' "$line_after" >"$KEL_DIR/alarms.expected"
  else
    : >"$KEL_DIR/alarms.expected"
  fi
  kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIG$signal"
}

# The tip after the alarm, as a shell pattern: the next redraws show later seconds.
run_alarm_case once 0z 0 '2003/11/09 14:07:0[6-9] 日' '' HUP
run_alarm_case hourly 1h E "2003/11/09 14:07:0[6-9] 日\\[♪$moved\\]" "$moved${tab}1h${tab}E$tab$KEL_DIR/tone440.wav" INT
kel_pass
