#!/usr/bin/env bash
# A start with a settings file: the program lives in the tray. Its icon shows the time 14:07 in
# red 24-hour digits on a transparent background, its tip the date, time and weekday; a button
# released on the icon (Activate, the left button) brings the window back and takes the icon
# away; SIGTERM writes both files and ends the program.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop

# 24-hour digits (mode 2), no lower line, all four upper cells red (colour 255).
kel_write_red_24h_settings
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_start_program

kel_wait_for_item 20
kel_no_window_visible || kel_fail "the main window is visible although the settings file exists"
kel_expect_icon "$KEL_FACE_1407"
kel_log "the tray icon shows 14:07 (sizes checked: $KEL_ICON_SIZES_CHECKED)"
kel_wait_until 6 'the tip "2003/11/09 14:07 日"' kel_tip_is '2003/11/09 14:07 日'
kel_log "the tip is \"$(kel_tip)\""
kel_expect_icon "$KEL_FACE_1407"
kel_no_window_visible || kel_fail "the main window became visible while in the tray"

# The left button released on the icon: the window comes back in the lower right corner of the
# screen (no task bar on this desktop), and the icon goes.
kel_item_call Activate
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
read -r x y width height < <(kel_window_geometry "$(kel_visible_windows | head -1)")
kel_log "the window is shown at $x,$y size ${width}x$height; the tray item is gone"
((x + width == 1024 && y + height == 768)) ||
  kel_fail "the window ($x,$y ${width}x$height) is not in the lower right corner of 1024x768"
kel_holds_for 1 "the window stays visible" kel_window_visible

kel_stop_program TERM
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file after SIGTERM"
: >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIGTERM"
kel_pass
