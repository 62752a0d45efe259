#!/usr/bin/env bash
# GNOME Shell 43 on Wayland (headless, a virtual monitor), with the environment of a GNOME
# session and no platform chosen: the program runs through XWayland, so its windows keep their
# places and stay on top. The first start shows the main window in the lower right corner of the
# work area, above a maximised window; "設定" sends it to the stand-in (GNOME has no notification
# area), which shows the face in the corner above the maximised window and shows the tip while
# the pointer rests on it; a click on it brings the main window back to the corner, still on top
# (the first start keeps it topmost for the rest of the run). With Wayland chosen by the user
# (QT_QPA_PLATFORM), the windows are Wayland ones, placed by the shell, and the stand-in's tip
# shows there too.
# shellcheck disable=SC2034 # read by lib.sh
KEL_USER=nobody
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
compgen -G '/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so' >/dev/null ||
  kel_fail "missing Qt's Wayland platform: install qt6-wayland"
kel_start_gnome wayland
kel_gnome_start_cover
read -r area_x area_y area_width area_height < <(kel_gnome_work_area)
area_right=$((area_x + area_width))
area_bottom=$((area_y + area_height))

# shellcheck disable=SC2317 # called through kel_wait_for
in_corner_on_top() {
  local type above client x y width height
  read -r type above client x y width height client_x client_y < <(kel_gnome_window "$1") ||
    return 1
  ((x + width == area_right && y + height == area_bottom)) && [[ $above == true ]] &&
    kel_gnome_above "$1" "$KEL_COVER"
}
# expect_in_corner_on_top NAME: the window ends at the lower right corner of the work area, stays
# above the others and is shown through XWayland.
expect_in_corner_on_top() {
  kel_wait_for 10 in_corner_on_top "$1" ||
    kel_fail "the $1 window ($(kel_gnome_window "$1")) does not end at the corner of the work" \
      "area ($area_x $area_y $area_width $area_height) above the maximised window"
  read -r _ _ client _ < <(kel_gnome_window "$1")
  [[ $client == x11 ]] || kel_check_failed "the $1 window is a $client client, not an X11 one"
  kel_log "the $1 window ends at the corner of the work area, above the maximised window ($client)"
}

# ---- The first start: the main window, topmost.
KEL_QPA=default
kel_start_program
kel_wait_until 20 "the main window to be shown" kel_gnome_window_shown '!Kelmora'
expect_in_corner_on_top '!Kelmora'
kel_gnome_pointer $((client_x + 108)) $((client_y + 14)) 1 # "設定"
kel_wait_until 5 "the main window to go" kel_gnome_window_gone '!Kelmora'

# ---- The stand-in, in the corner above the maximised window; its tip; a click restores.
expect_in_corner_on_top stand-in
kel_gnome_rest_pointer_for_tip $((area_right - 16)) $((area_bottom - 16)) 5 ||
  kel_check_failed "no tip shows while the pointer rests on the stand-in"
kel_gnome_pointer $((area_right - 16)) $((area_bottom - 16)) 1
kel_wait_until 5 "the main window to be shown" kel_gnome_window_shown '!Kelmora'
expect_in_corner_on_top '!Kelmora'
kel_wait_until 5 "the stand-in to go" kel_gnome_window_gone stand-in
kel_log "a click on the stand-in brought the main window back"
kel_stop_program TERM

# ---- The user chose Wayland: the shell places the windows, and the stand-in shows its tip.
kel_write_red_24h_settings
KEL_QPA=wayland
kel_start_program
kel_wait_until 20 "the stand-in to be shown" kel_gnome_window_shown stand-in
read -r _ _ client x y _ < <(kel_gnome_window stand-in)
[[ $client == wayland ]] || kel_fail "the stand-in is a $client client although Wayland was chosen"
kel_gnome_rest_pointer_for_tip $((x + 16)) $((y + 16)) 5 ||
  kel_check_failed "no tip shows while the pointer rests on the stand-in (Wayland)"
kel_log "chosen Wayland: the stand-in is a Wayland window at $x,$y and shows its tip"
kel_stop_program TERM
kel_pass
