#!/usr/bin/env bash
# GNOME Shell 43 on X11, as a new user meets it. Without the AppIndicator extension GNOME has no
# notification area: the stand-in shows the face in the lower right corner, above a maximised
# window; the pointer resting on it shows the tip; a click on it brings the main window back to
# the corner; the alarm editor opens with its frame's lower edge on the main window's frame, at
# its first opening; "設定" sends the window back to the stand-in. The extension turned on while the program
# runs takes the face into the top bar within two seconds. Started with the extension on, the
# face is in the top bar at once, and a double click on it (the extension activates an item on a
# double click; a single one does nothing) brings the window back to the corner.
# shellcheck disable=SC2034 # read by lib.sh
KEL_USER=nobody
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_gnome x11
kel_gnome_start_cover
read -r area_x area_y area_width area_height < <(kel_gnome_work_area)
area_right=$((area_x + area_width))
area_bottom=$((area_y + area_height))
face_twice=$(kel_scale_art 2 <<<"$KEL_FACE_1407")

# shellcheck disable=SC2317 # called through kel_wait_until
stand_in_shows_face() {
  local type above client x y width height
  read -r type above client x y width height _ < <(kel_gnome_window stand-in) || return 1
  ((x == area_right - 32 && y == area_bottom - 32 && width == 32 && height == 32)) &&
    [[ $above == true ]] && kel_screen_is "$x" "$y" 32 32 "$face_twice"
}
expect_stand_in() {
  kel_wait_for 10 stand_in_shows_face ||
    kel_fail "the stand-in ($(kel_gnome_window stand-in)) does not show the face in the corner" \
      "of the work area ($area_x $area_y $area_width $area_height) above the maximised window"
  kel_gnome_above stand-in "$KEL_COVER" ||
    kel_fail "the stand-in is stacked below the maximised window"
}
# shellcheck disable=SC2317 # called through kel_wait_for
main_window_in_corner() {
  local type above client x y width height
  read -r type above client x y width height main_x main_y < <(kel_gnome_window '!Kelmora') ||
    return 1
  ((x + width == area_right && y + height == area_bottom))
}
expect_main_window_in_corner() {
  kel_wait_for 10 main_window_in_corner ||
    kel_fail "the main window ($(kel_gnome_window '!Kelmora')) does not end at the corner of" \
      "the work area ($area_x $area_y $area_width $area_height)"
}
# shellcheck disable=SC2317 # called through kel_wait_until
face_in_top_bar() {
  local count
  read -r count face_x face_y < <(kel_red_spot $((area_right / 2)) 0 $((area_right / 2)) "$area_y")
  ((count >= 20))
}

# ---- No extension: the stand-in.
kel_write_red_24h_settings
kel_start_program
expect_stand_in
kel_log "the stand-in shows the face in the corner, above the maximised window"
kel_gnome_rest_pointer_for_tip $((area_right - 16)) $((area_bottom - 16)) 5 ||
  kel_check_failed "no tip shows while the pointer rests on the stand-in"
kel_gnome_pointer $((area_right - 16)) $((area_bottom - 16)) 1
kel_wait_until 5 "the main window to be shown" kel_gnome_window_shown '!Kelmora'
expect_main_window_in_corner
kel_wait_until 5 "the stand-in to go" kel_gnome_window_gone stand-in
kel_gnome_pointer $((main_x + 140)) $((main_y + 14)) 1 # "♪"
kel_wait_until 5 "the alarm editor to be shown" kel_gnome_window_shown アラーム
read -r _ _ _ frame_x frame_y _ _ < <(kel_gnome_window '!Kelmora')
read -r _ _ _ x y width height _ < <(kel_gnome_window アラーム)
((x == frame_x && y + height == frame_y)) ||
  kel_check_failed "the editor ($x $y $width $height) does not stand on the main window (frame" \
    "at $frame_x,$frame_y) at its first opening"
((x >= area_x && y >= area_y && x + width <= area_right)) ||
  kel_check_failed "the editor ($x $y $width $height) is not inside the work area"
kel_gnome_close アラーム
kel_wait_until 5 "the editor to close" kel_gnome_window_gone アラーム
kel_gnome_pointer $((main_x + 108)) $((main_y + 14)) 1 # "設定"
kel_wait_until 5 "the main window to go" kel_gnome_window_gone '!Kelmora'
expect_stand_in
kel_log "a click on the stand-in brought the window back to the corner; 設定 sent it back"

# ---- The extension turned on: the face moves into the top bar.
kel_gnome_enable_extension "$KEL_APPINDICATOR"
started=$SECONDS
kel_wait_for 2 face_in_top_bar ||
  kel_check_failed "the face is not in the top bar within 2 s of the extension's start"
kel_wait_until 10 "the face to show in the top bar" face_in_top_bar
kel_log "the face moved into the top bar $((SECONDS - started)) s after the extension's start"
kel_wait_until 5 "the stand-in to go" kel_gnome_window_gone stand-in
kel_wait_for_item 5
kel_stop_program TERM
kel_wait_until 5 "the face to leave the top bar" kel_not face_in_top_bar

# ---- Started with the extension on: the face in the top bar; a double click restores.
kel_start_program
kel_wait_for_item 20
kel_wait_until 10 "the face to show in the top bar" face_in_top_bar
kel_gnome_window_gone stand-in || kel_fail "the stand-in shows beside the face in the top bar"
kel_gnome_pointer "$face_x" "$face_y" 1 1
kel_wait_until 5 "the main window to be shown" kel_gnome_window_shown '!Kelmora'
expect_main_window_in_corner
kel_wait_until 5 "the face to leave the top bar" kel_not face_in_top_bar
kel_log "a double click on the face in the top bar brought the window back to the corner"
kel_stop_program TERM
kel_pass
