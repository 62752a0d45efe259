#!/usr/bin/env bash
# An update interval that stops the clock never holds up the start. With "0" in the settings file
# the program goes to the tray within a few seconds with its first face (a red 14:07) and shows no
# window, no message box. With "-1", an interval no user chooses, it does the same and says so on
# the desktop: a notification "!Kelmora" asks for an interval of at least 0.001.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_notifications

# shellcheck disable=SC2317 # called through kel_holds_for
no_window_of_the_program() { [[ -z $(xdotool search --onlyvisible --classname '^kelmora$') ]]; }

# start_with INTERVAL: the program starts into the tray with its first face and no window.
start_with() {
  kel_log "--- update interval \"$1\""
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' "$1" 2 0 255 255 255 255 0 0 0 0
  kel_start_program
  kel_wait_for_item 10
  kel_expect_icon "$KEL_FACE_1407"
  kel_holds_for 2 "no window or message box shows" no_window_of_the_program
  kel_expect_running
}

start_with 0
kel_notified 1 && kel_fail "an interval of 0 was told on the desktop: $(kel_notify_line 1)"
kel_stop_program TERM

start_with -1
kel_wait_until 5 "the notification of the interval" kel_notified 1
summary=$(kel_notify_field 1 summary) body=$(kel_notify_field 1 body)
kel_log "notification: \"$summary\", \"$body\""
[[ $summary == '!Kelmora' && $body == '更新時間を 0.001 以上に設定して下さい' ]] ||
  kel_fail "the notification says \"$summary\" / \"$body\""
kel_stop_program TERM
kel_pass
