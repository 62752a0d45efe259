#!/usr/bin/env bash
# No notification area at all (no status notifier watcher, no XEmbed tray): the program is never
# left without a way back. It shows a stand-in instead, a small frameless window in the lower
# right corner of the screen with the icon scaled twice, nearest neighbour. The middle button does
# nothing; the right button released on it brings the main window back and the stand-in goes.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools import
kel_start_xvfb

kel_write_red_24h_settings
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_start_program


kel_wait_for_stand_in 20
kel_no_window_visible || kel_fail "the main window is visible although the settings file exists"
expected=$(kel_scale_art 2 <<<"$KEL_FACE_1407")
kel_wait_until 5 "the stand-in to show the face of 14:07 scaled twice" \
  kel_screen_is "$KEL_STAND_IN_X" "$KEL_STAND_IN_Y" 32 32 "$expected"
kel_log "the stand-in shows 14:07"

xdotool mousemove --sync $((KEL_STAND_IN_X + 16)) $((KEL_STAND_IN_Y + 16)) click 2
kel_holds_for 1 "the middle button does nothing" kel_no_window_visible
kel_other_window_visible || kel_fail "the stand-in went away after the middle button"

xdotool click 3
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the stand-in to go away" kel_not kel_other_window_visible
kel_log "the right button brought the main window back; the stand-in is gone"

kel_stop_program TERM
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file after SIGTERM"
kel_pass
