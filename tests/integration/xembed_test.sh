#!/usr/bin/env bash
# The tray over XEmbed (trayer, no status notifier watcher), a smoke check: the icon is docked in
# the tray and shows red digits; a click on it brings the main window back and the icon goes.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools import
kel_start_xvfb
kel_start_xembed_tray
kel_write_red_24h_settings
kel_start_program

kel_wait_until 20 "the icon to be docked in the tray" kel_other_window_visible
icon=$(kel_other_windows | head -1)
read -r x y width height < <(kel_window_geometry "$icon")
kel_log "tray icon window $icon at $x,$y size ${width}x$height"
((x + width <= 100 && y + height <= 24)) || kel_fail "the icon is not inside the tray (0,0 100x24)"
kel_no_window_visible || kel_fail "the main window is visible although the settings file exists"
# The tray scales the icon to its own size; the digits stay red.
kel_wait_until 5 "the docked icon to show red digits" \
  kel_screen_has_red "$x" "$y" "$width" "$height"

xdotool mousemove --window "$icon" $((width / 2)) $((height / 2)) click 1
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the tray icon to go away" kel_not kel_other_window_visible
kel_log "a click on the icon brought the main window back; the icon is gone"
kel_stop_program TERM
kel_pass
