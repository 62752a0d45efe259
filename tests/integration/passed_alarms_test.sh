#!/usr/bin/env bash
# Alarms that fell due while the program was not running ring nothing, and the user hears of them
# once: a notice (summary "アラーム", normal urgency, no buttons) that counts them and names the
# first due times; unreadable lines are no alarms. Later the clock jumps an hour forward, as when
# the machine wakes from sleep: the first alarm due rings, late, and a second notice tells of the
# firings that passed meanwhile.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
KEL_FAKE_JUMPS=1
kel_start_desktop
kel_start_sound
kel_start_notifications

tab=$'\t'
kel_make_tone "$KEL_DIR/tone.wav" 660
daily=$(kel_fake_time_plus $((-2 * 86400 - 3600)))
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$daily${tab}1d${tab}E$tab" \
  "$(kel_fake_time_plus -600)${tab}0z${tab}0$tab" \
  "$(kel_fake_time_plus -300)${tab}1x" \
  "$(kel_fake_time_plus 60)${tab}10m${tab}E$tab$KEL_DIR/tone.wav"

kel_start_program
kel_wait_for_item 20

# notice N LEAD COUNT DUE...: the N-th notification is a plain notice of COUNT alarms passed,
# naming the DUE times (a last "…" for more).
notice() {
  local n=$1 lead=$2 count=$3 names app summary body actions entry urgency
  shift 3
  names=$(printf '%s, ' "$@")
  app=$(kel_notify_field "$n" app) summary=$(kel_notify_field "$n" summary)
  body=$(kel_notify_field "$n" body) actions=$(kel_notify_field "$n" actions)
  entry=$(kel_notify_field "$n" entry) urgency=$(kel_notify_field "$n" urgency)
  kel_log "notification $n: \"$summary\", \"$body\", actions \"$actions\", urgency $urgency"
  [[ $summary == 'アラーム' && $body == "$lead $count 件のアラームが過ぎました: ${names%, }" ]] ||
    kel_fail "notification $n says \"$summary\" / \"$body\""
  [[ -z $actions && $urgency == 1 && $app == Kelmora && $entry == kelmora ]] ||
    kel_fail "notification $n: actions \"$actions\", urgency \"$urgency\", app \"$app\", entry \"$entry\""
}

kel_wait_until 10 "the notice of the alarms that passed" kel_notified 1
notice 1 '起動していない間に' 4 "$daily" "$(kel_fake_time_plus $((-86400 - 3600)))" \
  "$(kel_fake_time_plus -3600)" '…'
kel_holds_for 2 "no alarm to ring at the start" kel_not kel_notified 2
kel_expect_running

# An hour passes at once: the alarm due at 60 s rings, late; its five later firings passed.
kel_jump_clock 3600
kel_wait_until 10 "the alarm due at 60 s to ring" kel_notified 2
body=$(kel_notify_field 2 body)
[[ $body == "$(kel_fake_time_plus 60)\\ntone.wav" ]] || kel_fail "the late alarm says \"$body\""
kel_wait_until 5 "the notice of the firings the jump passed over" kel_notified 3
notice 3 'スリープ中または時刻の変更で' 5 "$(kel_fake_time_plus 660)" "$(kel_fake_time_plus 1260)" \
  "$(kel_fake_time_plus 1860)" '…'

kel_stop_program TERM
kel_pass
