#!/usr/bin/env bash
# A sound server that stops answering for over a minute (PulseAudio stopped with SIGSTOP) while an
# alarm rings every 5 s costs nothing lasting: the program's threads never grow and its
# descriptors stay within a few of what they were before the first alarm (at most one stuck
# attempt at a time, each new alarm replacing it); once the server answers again both come back
# to exactly the figures before the first alarm, and the next alarm is heard. The figures are
# logged ("figures:" lines) for docs/PERFORMANCE.md. A missing tool fails this test.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_sound
server=${KEL_PIDS[-1]} # kel_start_sound's PulseAudio

readonly STUCK_SECONDS=65 # how long the server stays stopped
readonly FD_SLACK=4       # descriptors a stuck attempt may hold while it is the current one

kel_make_tone "$KEL_DIR/good.wav" 440
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
first_due=$(kel_fake_time_plus 6)
kel_write_alarms "$(printf '%s\t5s\tE\t%s' "$first_due" "$KEL_DIR/good.wav")"
kel_start_capture "$KEL_DIR/capture.raw"
kel_start_program
started=$EPOCHREALTIME
kel_wait_for_item 20
kel_wait_until 10 "the tip to show the first alarm due at $first_due" kel_tip_has "[♪$first_due]"

# The tip shows the time of one of the last three seconds of the faked clock.
tip_keeps_time() {
  local now offset
  now=$(awk -v a="$started" -v b="$EPOCHREALTIME" 'BEGIN { printf "%d", b - a }')
  for offset in "$now" $((now - 1)) $((now - 2)); do
    kel_tip_has "$(kel_fake_time_plus "$offset") 日" && return 0
  done
  return 1
}
threads() { find "/proc/$KEL_PROGRAM_PID/task" -mindepth 1 -maxdepth 1 | wc -l; }
fds() { find "/proc/$KEL_PROGRAM_PID/fd" -mindepth 1 -maxdepth 1 | wc -l; }
at_start() { [[ $(threads) == "$start_threads" && $(fds) == "$start_fds" ]]; }

# The figures once start-up has settled, just before the first alarm.
before_first() { kel_tip_has "$(kel_fake_time_plus 4) 日" || kel_tip_has "$(kel_fake_time_plus 5) 日"; }
kel_wait_until 10 "the last seconds before the first alarm" before_first
start_threads=$(threads)
start_fds=$(fds)
kel_log "figures: before the first alarm: $start_threads threads, $start_fds descriptors"

kill -STOP "$server"
kel_log "PulseAudio ($server) stopped for ${STUCK_SECONDS}s"
most_threads=0 most_fds=0
stop_until=$((SECONDS + STUCK_SECONDS))
while ((SECONDS < stop_until)); do
  kel_expect_running
  t=$(threads) f=$(fds)
  ((t > most_threads)) && most_threads=$t
  ((f > most_fds)) && most_fds=$f
  sleep 0.5
done
tip=$(kel_tip)
kel_log "figures: server stopped ${STUCK_SECONDS}s: at most $most_threads threads, $most_fds descriptors (now $(threads), $(fds)); tip \"$tip\""
((most_threads <= start_threads)) ||
  kel_check_failed "threads grew from $start_threads to $most_threads while the server was stopped"
((most_fds <= start_fds + FD_SLACK)) ||
  kel_check_failed "descriptors grew from $start_fds to $most_fds while the server was stopped"
tip_keeps_time || kel_check_failed "the tip \"$tip\" fell behind the clock while the server was stopped"

kill -CONT "$server"
resumed_at=$(kel_capture_seconds)
kel_log "PulseAudio resumed at ${resumed_at}s of the recording"
if kel_wait_for 15 at_start; then
  kel_log "figures: after the server answered again: $(threads) threads, $(fds) descriptors"
else
  kel_check_failed "15 s after the server answered again the program has $(threads) threads and $(fds) descriptors, against $start_threads and $start_fds before the first alarm"
fi
heard() { kel_greater "$(kel_sound_stat "$KEL_CAPTURE" 'RMS amplitude' trim "$resumed_at")" 0.05; }
kel_wait_for 15 heard || kel_check_failed "no alarm was heard within 15 s of the server answering again"
kel_stop_program TERM
kel_pass
