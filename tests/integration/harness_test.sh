#!/usr/bin/env bash
# The virtual desktop itself, without the program: when this fails, the other integration tests'
# failures say nothing about Kelmora. Checks the display, the tray watcher and host, the sound
# capture (a tone played with paplay is heard, the silence before it is not) and the faked clock.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_require_tools paplay
kel_start_desktop
kel_start_sound

root=$(xwininfo -root | awk '/^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print w "x" h }')
[[ $root == 1024x768 ]] || kel_fail "the root window is $root, expected 1024x768"

kel_host_registered || kel_fail "the watcher reports no host"
kel_no_item_registered || kel_fail "an item is registered before any program started"

# Sound: one second of silence, then the tone; the recording holds both, in that order.
kel_make_tone "$KEL_DIR/tone.wav" 440
kel_start_capture "$KEL_DIR/capture.raw"
kel_wait_until 5 "one second of recording" kel_capture_longer_than 1.0
played_at=$(kel_capture_seconds)
paplay "$KEL_DIR/tone.wav" || kel_fail "paplay could not play the test tone"
kel_wait_until 5 "the recording to pass the tone" kel_capture_longer_than "$(kel_plus "$played_at" 1.5)"
kel_stop_capture
before=$(kel_sound_stat "$KEL_DIR/capture.raw" 'Maximum amplitude' trim 0 0.9)
during=$(kel_sound_stat "$KEL_DIR/capture.raw" 'RMS amplitude' trim "$played_at" 1.0)
frequency=$(kel_sound_stat "$KEL_DIR/capture.raw" 'Rough frequency' silence 1 0.01 1% trim 0 0.5)
kel_log "before the tone: maximum amplitude $before; during it: RMS amplitude $during, rough frequency $frequency Hz"
kel_greater 0.01 "$before" || kel_fail "sound recorded before anything was played ($before)"
kel_greater "$during" 0.05 || kel_fail "the tone played with paplay was not recorded ($during)"
kel_between 420 460 "$frequency" || kel_fail "the tone was recorded at $frequency Hz, not 440 Hz"

# Clock: the faked start, then running on; local time in the test's zone.
faketime=$(kel_libfaketime)
clock=$(env LD_PRELOAD="$faketime" FAKETIME="@$KEL_FAKE_START" FAKETIME_DONT_RESET=1 \
  bash -c 'date "+%Y/%m/%d %H:%M:%S"; sleep 1.2; date "+%Y/%m/%d %H:%M:%S"; echo "$$"')
# libfaketime leaves the clock it shared with the shell's children behind; take it away.
shell=$(sed -n 3p <<<"$clock")
rm -f "/dev/shm/faketime_shm_$shell" "/dev/shm/sem.faketime_sem_$shell"
first=$(sed -n 1p <<<"$clock")
second=$(sed -n 2p <<<"$clock")
[[ $first == "$(kel_fake_time_plus 0)" ]] || kel_fail "the faked clock starts at $first"
[[ $second == "$(kel_fake_time_plus 1)" ]] || kel_fail "the faked clock does not run on: $second"
kel_log "faked clock: $first, then $second"
kel_pass
