#!/usr/bin/env bash
# The tray goes away under the icon (the panel crashed or restarts): the program is not left
# without a way back. While the status notifier watcher runs, no stand-in shows; once it has left
# the bus, the icon is withdrawn and the stand-in shows in the lower right corner of the screen at
# once. When a watcher with a host is back, the icon returns to the tray, registered once, and the
# stand-in goes; a button released on the icon then still brings the main window back.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools import
kel_start_desktop
kel_write_red_24h_settings
kel_start_program

# The process id of the watcher started last.
watcher_pid() {
  local i
  for ((i = ${#KEL_PIDS[@]} - 1; i >= 0; i--)); do
    if [[ ${KEL_NAMES[i]} == status-notifier-watcher ]]; then
      echo "${KEL_PIDS[i]}"
      return 0
    fi
  done
  return 1
}

# shellcheck disable=SC2317 # called through kel_wait_until
icon_has_red() { [[ $(kel_icon_art 16) == *R* ]]; }
# Exactly one registered item and no stand-in: the icon is shown once.
# shellcheck disable=SC2317 # called through kel_holds_for
shown_once_in_tray() {
  [[ $(kel_sni_items | grep -c .) -eq 1 ]] && kel_not kel_other_window_visible
}

kel_wait_for_item 20
kel_holds_for 1 "no stand-in while the watcher runs" kel_not kel_other_window_visible
first_item="$KEL_ITEM $KEL_ITEM_PATH"

# The panel crashes: its watcher ends without a word.
pid=$(watcher_pid) || kel_fail "no status notifier watcher was started"
kill -KILL "$pid"
wait "$pid" 2>/dev/null || true
kel_wait_until 5 "the watcher to leave the bus" kel_not kel_bus_name_owned org.kde.StatusNotifierWatcher
kel_log "the watcher ($pid) was killed"

# Nothing polls while the icon is in the tray: the watcher leaving the bus brings the stand-in.
kel_wait_for_stand_in 5
kel_wait_until 5 "the stand-in to show red digits" \
  kel_screen_has_red "$KEL_STAND_IN_X" "$KEL_STAND_IN_Y" 32 32
# With the watcher gone the item must stop answering itself: a hidden QSystemTrayIcon.
kel_wait_until 5 "the tray item ($first_item) to be withdrawn" \
  kel_not kel_sni_alive "$KEL_ITEM" "$KEL_ITEM_PATH"
kel_no_window_visible || kel_fail "the main window was shown when the tray went away"
kel_expect_running

# The panel is back: the watcher taking its name and its host registering hand the icon back.
kel_start_watcher
kel_wait_for_item 15
kel_wait_until 5 "the stand-in to go away" kel_not kel_other_window_visible
kel_wait_until 5 "the tray icon to show red digits" icon_has_red
kel_holds_for 1 "one tray item, no stand-in" shown_once_in_tray
kel_log "the icon is back in the tray as $KEL_ITEM $KEL_ITEM_PATH; the stand-in is gone"

kel_item_call Activate
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
kel_log "the left button on the returned icon brought the main window back"

kel_stop_program TERM
kel_pass
