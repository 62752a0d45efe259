#!/usr/bin/env bash
# The tray over XEmbed (trayer, no status notifier watcher), a smoke check: the icon is docked in
# the tray and shows red digits; a click on it brings the main window back and the icon goes.
# Started before the tray, the program shows the stand-in until the tray comes, then the icon
# moves into it.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools import
kel_start_xvfb
kel_start_xembed_tray
kel_write_red_24h_settings
kel_start_program

# The program's only window other than the main window lies inside the tray.
# shellcheck disable=SC2317 # called through kel_wait_until
icon_docked() {
  local x y width height
  icon=$(kel_other_windows | head -1)
  [[ -n $icon ]] || return 1
  read -r x y width height < <(kel_window_geometry "$icon")
  ((x + width <= 100 && y + height <= 24))
}
kel_wait_until 20 "the icon to be docked in the tray" icon_docked
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

# ---- The tray comes after the program: the stand-in hands the icon over once it is there.
kel_end_process "$KEL_XEMBED_TRAY_PID" trayer
kel_start_program
kel_wait_for_stand_in 20
kel_start_xembed_tray
kel_wait_until 2 "the icon to be docked in the tray that came" icon_docked
kel_log "the tray that came after the program took the icon from the stand-in"
kel_stop_program TERM
kel_pass
