#!/usr/bin/env bash
# A second start while the program sits in the tray: the second program asks the running one to
# show its window and exits at once, writing nothing; the running one shows its window, leaves
# the tray, and writes its files when it ends.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_write_red_24h_settings
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_start_program
kel_wait_for_item 20
kel_no_window_visible || kel_fail "the main window is visible although the settings file exists"

kel_log "starting a second program"
rc=0
timeout 15 env QT_QPA_PLATFORM=xcb "$KEL_PROGRAM" >"$KEL_DIR/second.log" 2>&1 || rc=$?
KEL_LOGS+=("$KEL_DIR/second.log")
((rc == 0)) || kel_fail "the second program exited with status $rc"
kel_wait_until 5 "the running program to show its window" kel_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
(($(kel_visible_windows | wc -l) == 1)) || kel_fail "more than one main window is visible"
kel_expect_running
[[ ! -e $KEL_DATA/timer.ini ]] || kel_fail "the second program wrote the alarm file"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file after the second start"
kel_log "the second program exited; the first shows its window"

kel_stop_program TERM
: >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after SIGTERM"
kel_pass
