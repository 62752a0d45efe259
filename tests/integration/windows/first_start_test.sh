#!/usr/bin/env bash
# kelmora.exe's first start and its way to the tray and back under Wine. Without a settings file
# the main window "!Kelmora" shows, topmost, its rectangle ending at the work area's lower right
# corner, with no tray icon. "設定" hides it and puts the icon in the tray: the face its preview
# showed. A left click on the icon brings the window back to the corner and takes the icon away.
# In the tray again, a second start shows the first's window and exits. Closing the window
# writes the settings file with the start values and an empty alarm file.
source "$(dirname "$0")/lib.sh"
kw_init "$0" "$@"
kw_start_session
main='!Kelmora'

kw_start_program
kel_wait_until 20 "the main window to show" kw_window_visible "$main"
kel_wait_until 5 "the window in the work area's lower right corner ($KW_WORK)" \
  kw_window_in_corner "$main"
[[ $(kw_window "$main" topmost) == 1 ]] || kel_fail "the main window is not topmost"
kel_log "the window $(kw_window "$main" window) is topmost in the corner of $KW_WORK"
kel_holds_for 2 "no icon in the tray on a first start" kw_tray_empty

# The 16x16 preview (Picture1, 8 pixels into the client area) as ASCII art: "K" for black, the
# start colour of every hand and dot, "." for anything else.
preview_art() {
  local x y
  read -r x y < <(kw_window "$main" client)
  import -window root -depth 8 -crop "16x16+$((x + 8))+$((y + 8))" +repage txt:- | kw_art
}
# shellcheck disable=SC2317 # called through kel_wait_until
icon_shows_face() { [[ $(kw_icon_art) == "$face" ]]; }

face=$(preview_art)
[[ $face == *K* ]] || kel_fail "the preview shows no face:"$'\n'"$face"
kw_click_control "$main" 設定
kel_wait_until 5 "設定 to hide the window" kw_window_hidden "$main"
kel_wait_until 5 "the icon in Wine's tray" kw_tray_has_icon
kel_wait_for 5 icon_shows_face ||
  kel_fail "the tray icon is not the face the preview showed:"$'\n'"$face"$'\n'"found:"$'\n'"$(kw_icon_art)"
kel_log "the tray shows the face of the preview:"
printf '%s\n' "$face"

kw_click_icon 1
kel_wait_until 5 "a click on the icon to show the window" kw_window_visible "$main"
kel_wait_until 5 "the icon to leave the tray" kw_tray_empty
kw_window_in_corner "$main" || kel_fail "the window came back at $(kw_window "$main" window)"
kel_log "the click on the icon brought the window back to the corner"

kw_click_control "$main" 設定
kel_wait_until 5 "設定 to hide the window" kw_window_hidden "$main"
first=$KEL_PROGRAM_PID
kw_start_program
kw_expect_exit 15 "as a second start"
KEL_PROGRAM_PID=$first
kel_wait_until 5 "the second start to show the first's window" kw_window_visible "$main"
kel_log "the second start showed the first's window and exited"

kw_close "$main"
kw_expect_exit 10 "when its window closes"
kel_expect_start_files "after the window closed"
kel_pass
