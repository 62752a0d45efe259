#!/usr/bin/env bash
# The tray comes after the program (autostart order is not fixed): started with no notification
# area, the program shows the stand-in. A status notifier watcher that appears with no host yet
# changes nothing; once a host registers with it, the icon is in the tray within two seconds,
# showing the face, the stand-in goes, and a click on the icon brings the main window back.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools import
kel_start_xvfb
kel_write_red_24h_settings
kel_start_program
kel_wait_for_stand_in 20

status-notifier-watcher >"$KEL_DIR/watcher.log" 2>&1 &
kel_track $! status-notifier-watcher
KEL_LOGS+=("$KEL_DIR/watcher.log")
kel_wait_until 10 "the status notifier watcher on the bus" \
  kel_bus_name_owned org.kde.StatusNotifierWatcher
kel_holds_for 1 "no tray item while no host is registered" kel_not kel_find_item
kel_other_window_visible || kel_fail "the stand-in went while no host is registered"

gdbus call --session --timeout 3 -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
  -m org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost org.kde.StatusNotifierHost-test \
  >/dev/null
registered=$EPOCHREALTIME
kel_wait_for 2 kel_find_item || kel_check_failed "no tray item within 2 s of the host's registration"
kel_wait_for_item 10
kel_log "the tray item came $(kel_plus "$EPOCHREALTIME" "-$registered") s after the host registered"
kel_wait_until 5 "the stand-in to go" kel_not kel_other_window_visible
kel_wait_until 5 "the tray icon to show 14:07" kel_icon_is "$KEL_FACE_1407"
kel_item_call Activate
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
kel_stop_program TERM
kel_pass
