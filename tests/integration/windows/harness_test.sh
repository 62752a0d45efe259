#!/usr/bin/env bash
# The harness itself, on the bare tray program: its icon shows in Wine's tray with its pixels, a
# left and a right click on it reach the program, its tip is read while the pointer rests on the
# icon, and the session's end reaches it as WM_QUERYENDSESSION and WM_ENDSESSION.
source "$(dirname "$0")/lib.sh"
kw_init "$0" "$@"
kw_start_session
kw_start_program
kel_wait_until 10 "the icon in Wine's tray" kw_tray_has_icon

frame=BBBBBBBBBBBBBBBB
inside=BRRRRRRRRRRRRRRB
expected=$(
  echo "$frame"
  for _ in {1..14}; do echo "$inside"; done
  echo "$frame"
)
kel_wait_until 5 "the icon to show its red square in a blue frame" kw_icon_is "$expected"

# shellcheck disable=SC2317 # called through kel_wait_until
said() { tr -d '\r' <"$KEL_DIR/program.log" | grep -qxF "$1"; }
kw_click_icon 1
kel_wait_until 5 "the left click to reach the program" said "left button up"
kw_click_icon 3
kel_wait_until 5 "the right click to reach the program" said "right button up"
tip=$(kw_tip) || kel_fail "no tip showed while the pointer rested on the icon"
[[ $tip == "bare tray" ]] || kel_fail "the tip is \"$tip\", expected \"bare tray\""
kel_log "icon, clicks and tip \"$tip\" seen"

kw_end_session
kel_wait_until 5 "WM_QUERYENDSESSION" said "query end session"
kel_wait_until 5 "WM_ENDSESSION" said "end session"
kw_expect_exit 10 "at the session's end"
kel_pass
