#!/usr/bin/env bash
# On a real X11 desktop: Xfce's window manager (xfwm4, which frames windows) and panel (its default
# layout, a strip along the top whose notification area hosts status notifier items). At the
# first start the framed window ends at the lower right corner of the work area and stays below
# the panel; the alarm editor opens framed, its lower edge on the main window's upper edge, inside
# the work area; "設定" sends the window into the panel. Started with red digits, the face shows
# in the panel; a click on it there brings the window back to the corner, and "設定" sends it
# back into the panel.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_xfce
read -r area_x area_y area_width area_height < <(kel_work_area)
area_right=$((area_x + area_width))
area_bottom=$((area_y + area_height))

# The "設定" button, 88 to 129 pixels from the window's left, 4 to 25 from its top.
press_set() { xdotool mousemove --window "$main" 108 14 click 1; }
# The red face in the panel's notification area, at its right end (the task list at its left
# shows the window's icon, which is the face too).
# shellcheck disable=SC2317 # called through kel_wait_until
red_face_in_panel() {
  local count
  read -r count face_x face_y < <(kel_red_spot $((area_right / 2)) 0 $((area_right / 2)) "$area_y")
  ((count >= 20))
}

# ---- The first start: no settings file, the start colours (black).
kel_start_program
kel_expect_main_window_in_corner "$area_x" "$area_y" "$area_width" "$area_height"
read -r main_x main_y _ _ < <(kel_frame_geometry "$main")

editor_windows() { xdotool search --onlyvisible --name '^アラーム$' 2>/dev/null; }
# shellcheck disable=SC2317 # called through kel_wait_until
editor_visible() { [[ -n $(editor_windows) ]]; }
xdotool mousemove --window "$main" 140 14 click 1 # "♪"
kel_wait_until 10 "the alarm editor to be shown" editor_visible
editor=$(editor_windows | head -1)
kel_wait_until 5 "the window manager to frame the editor" kel_framed "$editor"
read -r x y width height < <(kel_frame_geometry "$editor")
kel_log "the framed editor is at $x,$y size ${width}x$height"
((x == main_x && y + height == main_y)) ||
  kel_check_failed "the editor ($x $y $width $height) does not stand on the main window (frame" \
    "at $main_x,$main_y)"
((x >= area_x && y >= area_y && x + width <= area_right && y + height <= area_bottom)) ||
  kel_check_failed "the editor ($x $y $width $height) is not inside the work area"

press_set
kel_wait_until 5 "the main window to go into the panel" kel_no_window_visible
kel_wait_for_item 10
kel_stop_program TERM

# ---- Red digits: the face is found in the panel by its colour.
kel_write_red_24h_settings
kel_start_program
kel_wait_until 20 "the red face to show in the panel" red_face_in_panel
kel_log "the face shows in the panel around $face_x,$face_y"
xdotool mousemove "$face_x" "$face_y" click 1
kel_expect_main_window_in_corner "$area_x" "$area_y" "$area_width" "$area_height"
kel_wait_until 5 "the face to leave the panel" kel_not red_face_in_panel
press_set
kel_wait_until 5 "the main window to go into the panel" kel_no_window_visible
kel_wait_until 10 "the red face to show in the panel again" red_face_in_panel
kel_log "設定 sent the window back into the panel"
kel_stop_program TERM
kel_pass
