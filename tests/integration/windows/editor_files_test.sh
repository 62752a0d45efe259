#!/usr/bin/env bash
# The alarm editor and the files' bytes under Wine. kelmora.exe starts in the tray on an alarm
# file carried over from a Japanese Windows system: one line whose sound path is CP932 bytes, one
# plain line. A click on the icon shows the window, "♪" opens the editor "アラーム", and "登録"
# registers its fresh entry (today at the current hour and minute, second 00, no repetition, no
# count, Windows' own sound). Closing the editor, then the window, writes the alarm file: the
# fresh line in its sorted place, and the two lines read at start byte for byte as they were.
source "$(dirname "$0")/lib.sh"
kw_init "$0" "$@"
kel_require_tools iconv
kw_start_session
main='!Kelmora'
tab=$'\t'

kw_write_red_24h_settings
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
carried=$(printf '2099/01/01 07:30:00\t1d\tE\tC:\\サウンド\\ベル.wav' | iconv -f UTF-8 -t CP932)
plain="2099/12/31 23:59:00${tab}0z${tab}0${tab}C:\\sounds\\bell.wav"
printf '%s\r\n' "$carried" "$plain" >"$KEL_DATA/timer.ini"
kw_start_program
kel_wait_until 20 "the icon in Wine's tray" kw_tray_has_icon

kw_click_icon 1
kel_wait_until 5 "a click on the icon to show the window" kw_window_visible "$main"
kw_click_control "$main" ♪
kel_wait_until 10 "♪ to open the editor" kw_window_visible アラーム
before=$(date '+%Y/%m/%d %H:%M')
kw_click_control アラーム 登録
after=$(date '+%Y/%m/%d %H:%M')
[[ $before == "$after" ]] || kel_fail "the minute turned while 登録 was pressed: run again"
kel_log "登録 pressed at $before"
kw_close アラーム
kel_wait_until 5 "the editor to close" kel_not kw_window_visible アラーム
kw_close "$main"
kw_expect_exit 10 "when its window closes"

printf '%s\r\n' "$before:00${tab}0z${tab}E${tab}C:\\windows\\media\\The Microsoft Sound.wav" \
  "$carried" "$plain" >"$KEL_DIR/alarms.expected"
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file after 登録"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file at close"
kel_pass
