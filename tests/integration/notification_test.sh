#!/usr/bin/env bash
# An alarm that rings in the tray says so on the desktop: one notification through the session's
# notification service (here a stand-in that logs what it gets) with the summary "アラーム", the
# due time as the tip shows it and the sound file's name, the program's name, icon and desktop
# entry, urgency critical, and the actions "停止" and "スヌーズ (5分)". Choosing "停止" silences a 20 s song within half a second and takes the
# notification away; the program goes on: the next alarm rings, is said again, and its short
# sound, ending by itself, takes its notification away.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_sound
kel_start_notifications

sox -q -n -r 44100 -c 2 -b 16 "$KEL_DIR/song.wav" synth 20 sine 440 vol 0.8 pad 0 0.3
kel_make_tone "$KEL_DIR/tone660.wav" 660
first=$(kel_fake_time_plus 3)
second=$(kel_fake_time_plus 10)
tab=$'\t'
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$first${tab}0z${tab}0$tab$KEL_DIR/song.wav" \
  "$second${tab}0z${tab}0$tab$KEL_DIR/tone660.wav"

capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
kel_start_program
kel_wait_for_item 20

# check_notification N DUE SOUND: the N-th notification and what it says; sets notified_id.
check_notification() {
  local id replaces app icon summary body actions entry expire urgency
  id=$(kel_notify_field "$1" id) replaces=$(kel_notify_field "$1" replaces)
  app=$(kel_notify_field "$1" app) icon=$(kel_notify_field "$1" icon)
  summary=$(kel_notify_field "$1" summary) body=$(kel_notify_field "$1" body)
  actions=$(kel_notify_field "$1" actions) entry=$(kel_notify_field "$1" entry)
  expire=$(kel_notify_field "$1" expire) urgency=$(kel_notify_field "$1" urgency)
  kel_log "notification $1: id $id, replaces $replaces, \"$summary\", \"$body\", actions $actions, icon $icon, entry $entry, expires $expire, urgency $urgency"
  [[ $summary == 'アラーム' && $body == "$2\\n$3" ]] ||
    kel_fail "notification $1 says \"$summary\" / \"$body\", expected \"アラーム\" / \"$2\\n$3\""
  [[ $actions == 'stop,停止,snooze,スヌーズ (5分)' && $icon == kelmora && $entry == kelmora &&
    $app == Kelmora && $urgency == 2 ]] ||
    kel_fail "notification $1: actions \"$actions\", icon \"$icon\", desktop entry \"$entry\", app \"$app\", urgency \"$urgency\""
  notified_id=$id
}

# The first alarm: the song starts and the notification says so.
kel_wait_until 10 "the first notification" kel_notified 1
check_notification 1 "$first" song.wav
song_id=$notified_id
at_notice=$(kel_capture_seconds)
kel_wait_until 5 "a second of the song" kel_capture_longer_than "$(kel_plus "$at_notice" 1.2)"
playing=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$(kel_plus "$at_notice" 0.2)" 1)
kel_greater "$playing" 0.05 || kel_fail "the song is not heard before 停止 (RMS amplitude $playing)"

# 停止: silence within half a second, and the notification goes.
kel_choose_and_hear_silence "$song_id" stop 停止 "$capture"
kel_expect_running

# The program goes on: the next alarm rings, is said, and its sound ends by itself.
kel_wait_until 12 "the second notification" kel_notified 2
check_notification 2 "$second" tone660.wav
tone_id=$notified_id
at_tone=$(kel_capture_seconds)
kel_wait_until 8 "the notification to go when the tone ends by itself" kel_closed "$tone_id"
kel_wait_until 5 "the recording to pass the tone" kel_capture_longer_than "$(kel_plus "$at_tone" 1.5)"
frequency=$(kel_sound_stat "$capture" 'Rough frequency' trim "$at_tone" silence 1 0.01 1% trim 0 0.5)
kel_between 630 690 "$frequency" || kel_fail "the second alarm's 660 Hz tone was not heard ($frequency Hz)"

kel_stop_program TERM
kel_pass
