#!/usr/bin/env bash
# An alarm under Wine, in the tray, on the real clock. kelmora.exe starts in the tray with red
# 24-hour digits and a tip that shows the seconds: the icon is the face of the time, the tip
# (read from Wine's tray) names the alarm due a few seconds later. The alarm ("1h", count "E")
# fires on the first tick after its second: its sound, a 440 Hz tone of our own, reaches the
# private PulseAudio through winepulse then and not before, and the tip moves on to the next due
# time, an hour later. The session's end (wineboot -e) writes the moved line to the alarm file
# and the settings file as it was read.
source "$(dirname "$0")/lib.sh"
kw_init "$0" "$@"
kel_start_sound
kw_start_session

kel_make_tone "$KEL_DIR/tone440.wav" 440
sound=$(kw_windows_path "$KEL_DIR/tone440.wav")
tab=$'\t'
kw_write_red_24h_settings 'yyyy/mm/dd hh:nn:ss aaa'
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
due_epoch=$(($(date +%s) + 10))
due=$(date -d "@$due_epoch" '+%Y/%m/%d %H:%M:%S')
moved=$(date -d "@$((due_epoch + 3600))" '+%Y/%m/%d %H:%M:%S')
kel_write_alarms "$due${tab}1h${tab}E$tab$sound"

capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
# The recording's second 0 in the real clock's seconds (the sink runs on the system clock).
capture_epoch=$(awk -v now="$(date +%s.%N)" -v rec="$(kel_capture_seconds)" 'BEGIN { printf "%.3f", now - rec }')
kw_start_program
kel_wait_until 20 "the icon in Wine's tray" kw_tray_has_icon
kel_wait_until 5 "the icon to show the time in red digits" kw_icon_shows_time
# shellcheck disable=SC2317 # called through kel_wait_until
tip_has() { [[ $(kw_tip) == *"$1"* ]]; }
kel_wait_until 8 "the tip to name the alarm due at $due" tip_has "[♪$due]"
kel_log "before the alarm the icon shows $(date +%H:%M) and the tip is \"$(kw_last_tip)\""

kel_wait_until 15 "the tip to name the alarm's next time, $moved" tip_has "[♪$moved]"
kel_log "after the alarm the tip is \"$(kw_last_tip)\""
kw_window_hidden '!Kelmora' || kel_fail "the main window showed"

# The sound: nothing until the due second has passed, the tone after it.
due_at=$(awk -v due="$due_epoch" -v zero="$capture_epoch" 'BEGIN { printf "%.2f", due + 1 - zero }')
kel_wait_until 10 "the recording to pass the tone" kel_capture_longer_than "$(kel_plus "$due_at" 2.5)"
kel_stop_capture
quiet=$(kel_sound_stat "$capture" 'Maximum amplitude' trim 0 "$(kel_plus "$due_at" -0.3)")
heard=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$due_at" 1.5)
frequency=$(kel_sound_stat "$capture" 'Rough frequency' trim "$due_at" silence 1 0.01 1% trim 0 0.5)
kel_log "recording: until ${due_at}s maximum amplitude $quiet; then RMS amplitude $heard," \
  "rough frequency $frequency Hz"
kel_greater 0.01 "$quiet" || kel_fail "sound was played before the alarm was due (maximum $quiet)"
kel_greater "$heard" 0.05 || kel_fail "the alarm's sound was not heard (RMS amplitude $heard)"
kel_between 420 460 "$frequency" || kel_fail "what was heard is not the 440 Hz tone ($frequency Hz)"

kw_end_session
kw_expect_exit 10 "at the session's end"
printf '%s\r\n' "$moved${tab}1h${tab}E$tab$sound" >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file at the session's end"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" \
  "settings file at the session's end"
kel_pass
