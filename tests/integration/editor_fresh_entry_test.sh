#!/usr/bin/env bash
# The alarm editor opens on a fresh entry under a real window manager. Under xfwm4 the editor
# takes the focus as it opens, its list the keyboard focus with it; "登録" pressed at once
# registers the fresh entry (today at the current hour and minute, second 00, no repetition, no
# count, the installed default sound), not a copy of the list's first line. Closing the editor
# and ending the program writes both lines.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_xfce

tab=$'\t'
first="2003/11/10 07:30:00${tab}1h${tab}3$tab/usr/share/sounds/bell.wav"
default_sound=${KEL_PROGRAM%/bin/*}/share/kelmora/sounds/alarm.wav
kel_write_red_24h_settings
kel_write_alarms "$first"
kel_start_program
kel_wait_for_item 20

kel_item_call Activate
kel_wait_until 10 "the main window to be shown" kel_window_visible
kel_open_editor "$(kel_visible_windows | head -1)"
# shellcheck disable=SC2317 # called through kel_wait_until
editor_active() { [[ $(xdotool getactivewindow 2>/dev/null) == "$KEL_EDITOR" ]]; }
kel_wait_until 5 "the editor to take the focus" editor_active

# "登録": 4 to 153 pixels from the editor's left, 176 to 197 from its top.
xdotool mousemove --window "$KEL_EDITOR" 78 186 click 1
kel_close_window "$KEL_EDITOR"
kel_wait_until 5 "the editor to close" kel_not kel_editor_visible
kel_stop_program TERM

printf '%s\r\n' "2003/11/09 14:07:00${tab}0z${tab}E$tab$default_sound" "$first" \
  >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after 登録"
kel_pass
