#!/usr/bin/env bash
# A settings file that exists but cannot be read (here a folder of that name, with a file of the
# user's inside) is reported at start in a message box; a folder does not count as a settings
# file, so the start is a first start (window shown). At close it is moved aside as
# "Varnlock.ini.bad", untouched, and the new file is written with the start values.
# Three runs: the box answered with OK, then the program ended with SIGTERM; SIGTERM while the box
# is still open (before the alarm file is loaded), which must end the program all the same without
# losing the alarms of the alarm file; and both files unreadable, where the one SIGTERM that
# closes the first box must also keep the second from waiting.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop

kel_start_settings_bytes >"$KEL_DIR/settings.expected"
: >"$KEL_DIR/alarms.expected"

# A folder in the settings file's place, holding something the user would not want lost.
make_unreadable_settings() {
  rm -rf "$KEL_DATA"
  mkdir -p "$KEL_DATA/Varnlock.ini"
  printf 'keep me\n' >"$KEL_DATA/Varnlock.ini/notes.txt"
}

expect_files_after_close() {
  kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "$1: new settings file"
  [[ -d $KEL_DATA/Varnlock.ini.bad && $(cat "$KEL_DATA/Varnlock.ini.bad/notes.txt") == 'keep me' ]] ||
    kel_fail "$1: the unreadable settings folder was not kept aside as Varnlock.ini.bad"
}

# A visible "!Kelmora" window that is not the message box.
# shellcheck disable=SC2317 # called through kel_wait_until
main_window_instead_of_box() {
  local windows
  windows=$(kel_visible_windows)
  [[ -n $windows && $windows != *"$box"* ]]
}

# The one visible "!Kelmora" window at start is the message box (the main window shows later).
wait_for_message_box() {
  kel_wait_until 20 "the message box reporting the unreadable settings file" kel_window_visible
  box=$(kel_visible_windows | head -1)
  read -r _ _ width height < <(kel_window_geometry "$box")
  kel_log "message box $box (${width}x$height)"
  (($(kel_visible_windows | wc -l) == 1)) || kel_fail "more than one window at start"
}

kel_log "--- answering the message box"
make_unreadable_settings
kel_start_program
wait_for_message_box
xdotool windowfocus --sync "$box" key Return
kel_wait_until 5 "the message box to close and the main window to show" main_window_instead_of_box
kel_no_item_registered || kel_fail "a tray item was registered although no settings file was read"
kel_stop_program TERM
expect_files_after_close "after OK and SIGTERM"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "after OK and SIGTERM: alarm file"

kel_log "--- SIGTERM while the message box is open"
make_unreadable_settings
kel_write_alarms $'2003/11/10 07:30:00\t1h\tE\t/usr/share/sounds/alarm.wav'
cp "$KEL_DATA/timer.ini" "$KEL_DIR/alarms-kept.expected"
kel_start_program
wait_for_message_box
kill -TERM "$KEL_PROGRAM_PID"
kel_wait_for 3 kel_program_gone || true
if ! cmp -s "$KEL_DATA/timer.ini" "$KEL_DIR/alarms-kept.expected"; then
  kel_check_failed "SIGTERM while the start-up message box was open replaced the alarm file (not loaded yet) with: $(od -c "$KEL_DATA/timer.ini" | head -3 | tr '\n' ' ')"
fi
if kel_wait_for 7 kel_program_gone; then
  expect_files_after_close "after SIGTERM with the box open"
  kel_log "the program exited"
else
  ls -la "$KEL_DATA" >&2
  kel_check_failed "the program did not exit within 10 s of SIGTERM while its start-up message box was open; main thread: $(kel_main_thread_stack)"
fi

kel_log "--- both files unreadable: one SIGTERM while the first box is open"
make_unreadable_settings
mkdir -p "$KEL_DATA/timer.ini"
kel_start_program
wait_for_message_box
kill -TERM "$KEL_PROGRAM_PID"
kel_wait_for 5 kel_program_gone ||
  kel_fail "one SIGTERM did not end the load step with both files unreadable; main thread: $(kel_main_thread_stack)"
expect_files_after_close "after one SIGTERM with both files unreadable"
[[ -d $KEL_DATA/timer.ini.bad ]] || kel_fail "the unreadable alarm folder was not kept aside"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "after one SIGTERM: alarm file"
kel_pass
