#!/usr/bin/env bash
# An alarm rings on time while the alarm editor is open. On Xfce the user opens the main window
# from the tray, presses "♪" and then "設定": the window goes to the tray, the editor stays open.
# The one-shot alarm due 14 s after the start fires on the tick after its second, heard, the
# editor still open. Closing the editor then rings nothing again, and the alarm file written at
# the end no longer holds the line.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_xfce
kel_start_sound

kel_make_tone "$KEL_DIR/tone.wav" 440
due=$(kel_fake_time_plus 14)
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$due"$'\t0z\t0\t'"$KEL_DIR/tone.wav"
capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
started=$(kel_capture_seconds)
kel_start_program
kel_wait_for_item 20

kel_item_call Activate
kel_wait_until 10 "the main window to be shown" kel_window_visible
main=$(kel_visible_windows | head -1)
kel_open_editor "$main"
xdotool mousemove --window "$main" 108 14 click 1 # "設定", 88 to 129 pixels from the left
kel_wait_until 5 "the main window to go to the tray" kel_no_window_visible
kel_wait_for_item 10

kel_wait_for_firing 14 20
kel_editor_visible || kel_fail "the editor is no longer open when the alarm rings"
fired=$(kel_capture_seconds)
kel_wait_until 10 "the recording to pass the tone" kel_capture_longer_than "$(kel_plus "$fired" 3)"
due_at=$(kel_plus "$started" 14.5)
quiet=$(kel_sound_stat "$capture" 'Maximum amplitude' trim 0 "$due_at")
heard=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$due_at")
kel_log "until the due second maximum amplitude $quiet; after it RMS amplitude $heard"
kel_greater 0.01 "$quiet" || kel_fail "sound was played before the alarm was due ($quiet)"
kel_greater "$heard" 0.05 || kel_fail "the alarm was not heard (RMS amplitude $heard)"

kel_close_window "$KEL_EDITOR"
kel_wait_until 5 "the editor to close" kel_not kel_editor_visible
closed=$(kel_capture_seconds)
kel_wait_until 10 "3 s of recording after the close" kel_capture_longer_than "$(kel_plus "$closed" 3)"
again=$(kel_sound_stat "$capture" 'Maximum amplitude' trim "$closed")
kel_log "after closing the editor: maximum amplitude $again"
kel_greater 0.01 "$again" || kel_fail "closing the editor rang the alarm again ($again)"

kel_stop_program TERM
[[ ! -s $KEL_DATA/timer.ini ]] || kel_fail "the fired line was saved: $(cat -A "$KEL_DATA/timer.ini")"
kel_pass
