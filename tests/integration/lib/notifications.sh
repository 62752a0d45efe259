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

# The fields of a "notify" line, in the order notification_service.cpp writes them: the tests
# read them by these names, and this is the one place that knows where each stands.
KEL_NOTIFY_FIELDS=(kind id replaces app icon summary body actions entry expire urgency)

# kel_notify_column NAME: where the field NAME stands in a "notify" line (from 1); a name that is
# not in KEL_NOTIFY_FIELDS fails the test.
kel_notify_column() {
  local i
  for i in "${!KEL_NOTIFY_FIELDS[@]}"; do
    if [[ ${KEL_NOTIFY_FIELDS[i]} == "$1" ]]; then
      echo $((i + 1))
      return 0
    fi
  done
  kel_fail "a notification has no field \"$1\" (its fields: ${KEL_NOTIFY_FIELDS[*]})"
}

# kel_notify_line N: the N-th "notify" line of the log (from 1).
kel_notify_line() { grep $'^notify\t' "$KEL_NOTIFY_LOG" | sed -n "${1}p"; }
# kel_notify_field N NAME: the field NAME of it (body, say); an empty one stays empty.
kel_notify_field() {
  local column
  column=$(kel_notify_column "$2") || exit 1
  kel_notify_line "$1" | cut -f "$column"
}
kel_notified() { [[ -n $(kel_notify_line "$1") ]]; }
kel_closed() { grep -q $'^close\t'"$1"'$' "$KEL_NOTIFY_LOG"; }

# kel_notified_about SUMMARY TEXT: some notification has the summary SUMMARY and TEXT in its body.
kel_notified_about() {
  local summary body
  summary=$(kel_notify_column summary) || exit 1
  body=$(kel_notify_column body) || exit 1
  awk -F'\t' -v s="$summary" -v b="$body" -v want="$1" -v text="$2" \
    '$1 == "notify" && $s == want && index($b, text) { found = 1 } END { exit !found }' \
    "$KEL_NOTIFY_LOG"
}

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
