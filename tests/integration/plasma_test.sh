#!/usr/bin/env bash
# KDE Plasma 5.27 on X11 (kwin_x11 and plasmashell, its panel along the bottom). The first start
# shows the framed main window ending at the lower right corner of the work area, above the
# panel. "設定" sends it to the stand-in while the panel's tray has no status notifier watcher
# yet; once kded loads it, the icon moves into the tray within two seconds. Back from the tray,
# the alarm editor opens framed with its lower edge on the main window's upper edge, whole inside
# the work area. Started with red digits, the face shows in the tray in red, its tip is the date
# and time and the panel shows it while the pointer rests on the face, and a click on it brings
# the window back to the corner.
# shellcheck disable=SC2034 # read by lib.sh
KEL_USER=nobody
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_plasma
read -r area_x area_y area_width area_height < <(kel_work_area)
area_right=$((area_x + area_width))
area_bottom=$((area_y + area_height))

press_set() { xdotool mousemove --window "$main" 108 14 click 1; } # "設定"
# The red face in the panel's system tray, at its right end.
# shellcheck disable=SC2317 # called through kel_wait_until
red_face_in_tray() {
  local count
  read -r count face_x face_y < <(kel_red_spot $((area_right / 2)) "$area_bottom" \
    $((area_right / 2)) $((768 - area_bottom)))
  ((count >= 20))
}
editor_windows() { xdotool search --onlyvisible --name '^アラーム$' 2>/dev/null; }
# shellcheck disable=SC2317 # called through kel_wait_until
editor_visible() { [[ -n $(editor_windows) ]]; }
# The editor, framed, its frame's lower edge on the main window's frame's upper edge.
# shellcheck disable=SC2317 # called through kel_wait_for
editor_on_main_window() {
  local main_y
  kel_framed "$1" || return 1
  read -r _ main_y _ _ < <(kel_frame_geometry "$main")
  read -r editor_x editor_y editor_width editor_height < <(kel_frame_geometry "$1")
  ((editor_y + editor_height == main_y))
}

# ---- The first start, no tray watcher yet: "設定" shows the stand-in.
kel_start_program
kel_expect_main_window_in_corner "$area_x" "$area_y" "$area_width" "$area_height"
press_set
kel_wait_until 5 "the main window to go" kel_no_window_visible
kel_wait_for_stand_in 10

# ---- kded loads the tray watcher: the icon moves into the tray.
kel_plasma_load_tray_watcher
started=$EPOCHREALTIME
kel_wait_for 2 kel_find_item || kel_check_failed "no tray item within 2 s of the tray's host"
kel_wait_for_item 10
kel_log "the tray item came $(kel_plus "$EPOCHREALTIME" "-$started") s after the host"
kel_wait_until 5 "the stand-in to go" kel_not kel_other_window_visible

# ---- Back from the tray, the editor opens on the main window, whole inside the work area.
kel_item_call Activate
kel_expect_main_window_in_corner "$area_x" "$area_y" "$area_width" "$area_height"
xdotool mousemove --window "$main" 140 14 click 1 # "♪"
kel_wait_until 10 "the alarm editor to be shown" editor_visible
editor=$(editor_windows | head -n 1)
kel_wait_for 5 editor_on_main_window "$editor" ||
  kel_check_failed "the framed editor ($(kel_frame_geometry "$editor")) does not stand on the" \
    "framed main window ($(kel_frame_geometry "$main"))"
((editor_x >= area_x && editor_y >= area_y && editor_x + editor_width <= area_right &&
  editor_y + editor_height <= area_bottom)) ||
  kel_check_failed "the editor ($editor_x $editor_y $editor_width $editor_height) is not inside the work area"
kel_log "the framed editor is at $editor_x,$editor_y size ${editor_width}x$editor_height"
kel_stop_program TERM

# ---- Red digits: the face in the tray, its tip, a click restores.
kel_write_red_24h_settings
kel_start_program
kel_wait_until 20 "the red face to show in the tray" red_face_in_tray
kel_wait_for_item 5
kel_wait_until 5 "the tip to show the date and time" kel_tip_is '2003/11/09 14:07 日'
kel_log "the face shows in the tray around $face_x,$face_y, its tip \"$(kel_tip)\""
xdotool mousemove $((face_x - 1)) "$face_y" mousemove "$face_x" "$face_y"
kel_wait_for 5 kel_plasma_tooltip_shown ||
  kel_check_failed "the panel shows no tip while the pointer rests on the face"
xdotool click 1
kel_expect_main_window_in_corner "$area_x" "$area_y" "$area_width" "$area_height"
kel_wait_until 5 "the face to leave the tray" kel_not red_face_in_tray
kel_stop_program TERM
kel_pass
