#!/usr/bin/env bash
# Files edited by hand while the program runs are not lost: a line appended to timer.ini with a
# text editor, and Varnlock.ini rewritten, while the program sits in the tray. At SIGTERM each
# file on disk is first kept beside it as "<name>.changed-<yyyymmdd-hhmmss>" (the program's clock
# then), byte for byte as edited, the program writes its own version as before, and it says so on
# standard error and through the desktop's notification service. A file nobody touched is kept
# nowhere. A missing tool fails this test.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_notifications
tab=$'\t'

kel_write_red_24h_settings
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected"
kel_write_alarms "2003/11/10 07:30:00${tab}1h${tab}E${tab}/sounds/a.wav"
cp "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected"

kel_log "--- nothing edited"
kel_start_program
kel_wait_for_item 20
kel_stop_program TERM
kept=$(find "$KEL_DATA" -name '*.changed-*' -printf '%f ')
[[ -z $kept ]] || kel_check_failed "files nobody edited were kept: $kept"

kel_log "--- both files edited while the program runs"
: >"$KEL_DIR/kelmora.log"
kel_start_program
kel_wait_for_item 20
# An editor appends a line to the alarm file and saves the settings file in its own form.
printf '%s\r\n' "2003/11/12 08:00:00${tab}0z${tab}E${tab}/sounds/b.wav" >>"$KEL_DATA/timer.ini"
cp "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.edited"
kel_write_settings 'yyyy/mm/dd hh:nn:ss' 2.0 2 0 255 255 255 255 0 0 0 0
cp "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.edited"
kel_stop_program TERM

for name in timer.ini Varnlock.ini; do
  kept=$(compgen -G "$KEL_DATA/$name.changed-20031109-1407[0-5][0-9]" | head -n 1) || true
  if [[ -z $kept ]]; then
    kel_check_failed "$name, edited while the program ran, was not kept as $name.changed-<time> ($(ls "$KEL_DATA" | tr '\n' ' '))"
    continue
  fi
  edited=$KEL_DIR/alarms.edited
  [[ $name == timer.ini ]] || edited=$KEL_DIR/settings.edited
  kel_expect_bytes "$kept" "$edited" "the kept edit of $name"
  grep -qF "kelmora: $KEL_DATA/$name was changed while Kelmora ran; kept it as $kept" \
    "$KEL_DIR/kelmora.log" || kel_check_failed "standard error does not tell that $name was kept"
  kel_notified_about '!Kelmora' "$kept" ||
    kel_check_failed "no notification \"!Kelmora\" tells that $name was kept as $kept"
done
kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "the alarm file written at the end"
kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" \
  "the settings file written at the end"
kel_pass
