# Desktop notifications, for lib.sh (which sources this file): a stand-in service that logs each
# call into KEL_NOTIFY_LOG (see notification_service.cpp for the lines it writes), what those
# lines say, and the user's choice of an action.

kel_start_notifications() {
  local service=${KELMORA_NOTIFICATION_SERVICE:-}
  [[ -x $service ]] || kel_fail "no stand-in notification service: set KELMORA_NOTIFICATION_SERVICE"
  KEL_NOTIFY_LOG=$KEL_DIR/notifications.log
  : >"$KEL_NOTIFY_LOG"
  "$service" "$KEL_NOTIFY_LOG" >"$KEL_DIR/notification-service.log" 2>&1 &
  kel_track $! notification-service
  KEL_LOGS+=("$KEL_DIR/notification-service.log" "$KEL_NOTIFY_LOG")
  kel_wait_until 10 "the notification service on the bus" \
    kel_bus_name_owned org.freedesktop.Notifications
  kel_log "stand-in notification service"
}

# kel_notify_line N: the N-th "notify" line of the log (from 1).
kel_notify_line() { grep $'^notify\t' "$KEL_NOTIFY_LOG" | sed -n "${1}p"; }
# kel_notify_field N FIELD: one field of it, from 1 ("notify"); an empty one stays empty.
kel_notify_field() { kel_notify_line "$1" | cut -f "$2"; }
kel_notified() { [[ -n $(kel_notify_line "$1") ]]; }
kel_closed() { grep -q $'^close\t'"$1"'$' "$KEL_NOTIFY_LOG"; }

# kel_invoke_action ID KEY: the user chooses the action KEY on notification ID.
kel_invoke_action() {
  gdbus call --session --timeout 3 -d org.freedesktop.Notifications -o /test \
    -m org.kelmora.TestNotifications.Invoke "$1" "$2" >/dev/null
}

# kel_choose_and_hear_silence ID KEY LABEL CAPTURE: the user chooses the action KEY (shown as
# LABEL) on notification ID while its sound plays into CAPTURE: the notification goes, and the
# recording is silent from half a second after the choice on.
kel_choose_and_hear_silence() {
  local id=$1 key=$2 label=$3 capture=$4 chosen_at after
  kel_invoke_action "$id" "$key"
  chosen_at=$(kel_capture_seconds)
  kel_wait_until 5 "the notification to be closed after $label" kel_closed "$id"
  kel_wait_until 6 "the recording to pass $label" kel_capture_longer_than "$(kel_plus "$chosen_at" 3)"
  after=$(kel_sound_stat "$capture" 'Maximum amplitude' trim "$(kel_plus "$chosen_at" 0.5)" 2.5)
  kel_log "after $label at ${chosen_at}s of the recording: maximum amplitude $after"
  kel_greater 0.01 "$after" || kel_fail "the sound still plays half a second after $label ($after)"
}
