# Harness for Kelmora's integration tests: runs the real program on a private virtual desktop.
#
# Each test gets its own Xvfb display, its own session bus (dbus-run-session), a status notifier
# watcher with a registered stand-in host (so Qt shows the tray icon over D-Bus), its own PulseAudio
# whose only sink is a pipe the test records, its own HOME, XDG_RUNTIME_DIR and XDG_CONFIG_HOME,
# and a clock faked with libfaketime that starts at a chosen time and then runs on. Everything the
# harness starts is recorded by process id and ended by the exit trap, which also removes the
# temporary folder (set KEL_KEEP=1 to keep it for a look afterwards).
#
# Use from a test script:
#   source "$(dirname "$0")/lib.sh"
#   kel_init "$0" "$@"          # re-runs the script under its own session bus, then sets up
#   kel_start_desktop           # Xvfb + watcher + host (+ kel_start_sound for PulseAudio)
#   ...
#   kel_pass
#
# A test that must run its programs as an unprivileged user (sway refuses root) names that user
# in KEL_USER before kel_init: the bus then lets any user in, the test's folders are handed to
# that user, and kel_start_program and kel_start_sway run as that user (KEL_AS_USER).
#
# Conventions: functions print progress on standard output prefixed with the test's name; a failed
# check calls kel_fail, which prints the reason and the logs of everything started, and exits 1
# (kel_check_failed records a fault and lets the test go on). A missing tool fails the test, with
# a message naming it: CI installs everything. KEL_LIBFAKETIME names libfaketime.so.1 where it is
# not found alone.

set -euo pipefail

# The clock every test starts the program at, read as local time in KEL_TZ. A zone ahead of UTC
# makes a program that shows UTC instead of local time show the wrong hour.
KEL_FAKE_START=${KEL_FAKE_START:-'2003-11-09 14:07:00'}
KEL_TZ=${KEL_TZ:-JST-9}
KEL_POLL=0.1 # seconds between two looks at a condition

KEL_PIDS=()  # processes started by the harness, in start order
KEL_NAMES=() # their names, for messages
KEL_LOGS=()  # log files worth showing when a test fails
KEL_PROGRAM_PID=''
KEL_CAPTURE_PID=''

kel_log() { printf '[%s] %s\n' "${KEL_TEST:-integration}" "$*"; }

# Prints the reason, the tail of every log and exits 1 (the exit trap then cleans up).
kel_fail() {
  printf '[%s] FAIL: %s\n' "${KEL_TEST:-integration}" "$*" >&2
  if [[ -n ${KEL_ITEM:-} ]] && kel_sni_alive "$KEL_ITEM" "$KEL_ITEM_PATH"; then
    printf 'tray item %s: tip "%s", 16x16 icon:\n' "$KEL_ITEM" "$(kel_tip)" >&2
    kel_icon_art 16 >&2 || true
  fi
  local log
  for log in "${KEL_LOGS[@]}"; do
    if [[ -s $log ]]; then
      printf -- '----- %s (last 40 lines) -----\n' "${log##*/}" >&2
      tail -n 40 "$log" >&2
    fi
  done
  exit 1
}

# A failed check that lets the test go on, so one run reports every fault it meets; kel_pass
# then fails the test.
KEL_FAILURES=()
kel_check_failed() {
  printf '[%s] FAILED CHECK: %s\n' "${KEL_TEST:-integration}" "$*" >&2
  KEL_FAILURES+=("$*")
}

kel_pass() {
  if ((${#KEL_FAILURES[@]})); then
    kel_fail "${#KEL_FAILURES[@]} check(s) failed (see FAILED CHECK above)"
  fi
  kel_log "PASS"
  exit 0
}

# kel_cannot REASON: the test cannot run here for a reason no package mends (it needs root or the
# network). Outside CI it says so and ends as skipped (status 77, which CTest reports as
# skipped); in CI, which gives it everything (CI is set there), it fails.
KEL_SKIPPED=77
kel_cannot() {
  if [[ -n ${CI:-} ]]; then kel_fail "$* (CI=$CI: in CI this test must run)"; fi
  printf '[%s] SKIPPED: %s\n' "${KEL_TEST:-integration}" "$*"
  exit "$KEL_SKIPPED"
}

# ---------------------------------------------------------------------------------------------
# Set-up and clean-up

kel_require_tools() {
  local tool missing=()
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  if ((${#missing[@]})); then
    printf '[%s] FAIL: missing tools: %s\n' "${KEL_TEST:-integration}" "${missing[*]}" >&2
    printf 'install them with: scripts/install-deps.sh test\n' >&2
    exit 1
  fi
}

# The session bus's configuration: a private socket, no service activation, so nothing the
# program asks for on the bus starts a daemon that could outlive the test. With KEL_USER, any
# user may connect (the socket's folder can then be passed through, not listed).
kel_write_bus_config() {
  local users=''
  [[ -z ${KEL_USER:-} ]] || users='<allow user="*"/>'
  cat >"$1" <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:dir=$2</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
    $users
  </policy>
</busconfig>
EOF
}

# kel_init SCRIPT PROGRAM: first call re-runs SCRIPT under dbus-run-session with a private bus;
# inside it, sets up the private folders and environment and installs the exit trap.
kel_init() {
  local script=$1
  shift
  KEL_TEST=$(basename "$script" .sh)
  if [[ -z ${KEL_IN_SESSION:-} ]]; then
    [[ $# -ge 1 ]] || {
      echo "usage: $script <path-to-kelmora>" >&2
      exit 2
    }
    kel_require_tools dbus-run-session
    local dir
    dir=$(mktemp -d "${TMPDIR:-/tmp}/kelmora-$KEL_TEST.XXXXXX")
    mkdir -m 700 "$dir/bus"
    # KEL_USER must pass through these folders to reach the bus socket.
    [[ -z ${KEL_USER:-} ]] || chmod 711 "$dir" "$dir/bus"
    kel_write_bus_config "$dir/bus.conf" "$dir/bus"
    export KEL_IN_SESSION=1 KEL_DIR=$dir
    local rc=0
    dbus-run-session --config-file="$dir/bus.conf" -- bash "$script" "$@" || rc=$?
    # A folder mounted inside (a chroot's /dev) is never followed.
    if [[ -z ${KEL_KEEP:-} ]]; then rm -rf --one-file-system "$dir"; fi
    exit "$rc"
  fi

  KEL_PROGRAM=$(readlink -f "$1")
  [[ -x $KEL_PROGRAM ]] || kel_fail "program not found or not executable: $1"
  kel_require_tools Xvfb xdotool xprop xwininfo gdbus busctl jq status-notifier-watcher
  trap kel_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  # Private folders: nothing of the user's desktop, sound server or settings is seen or touched.
  export HOME=$KEL_DIR/home
  export XDG_RUNTIME_DIR=$KEL_DIR/runtime
  export XDG_CONFIG_HOME=$KEL_DIR/config
  export XDG_DATA_HOME=$KEL_DIR/home/.local/share
  export XDG_CACHE_HOME=$KEL_DIR/home/.cache
  export XDG_STATE_HOME=$KEL_DIR/home/.local/state
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_STATE_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  KEL_DATA=$XDG_CONFIG_HOME/kelmora # the program's data folder
  KEL_AS_USER=() # the command prefix that runs a program as KEL_USER
  [[ -z ${KEL_USER:-} ]] || kel_hand_to_user
  export LC_ALL=C.UTF-8 TZ=$KEL_TZ
  unset WAYLAND_DISPLAY DISPLAY PULSE_SERVER XDG_SESSION_TYPE XDG_CURRENT_DESKTOP \
    QT_QPA_PLATFORMTHEME SESSION_MANAGER DESKTOP_SESSION
  kel_log "program $KEL_PROGRAM, folder $KEL_DIR"
}

# Hands the private folders to KEL_USER and copies the program, with the files it finds beside
# its folder, where that user can reach it: the build folder may lie in a folder only root may
# enter.
kel_hand_to_user() {
  kel_require_tools setpriv
  mkdir -p "$KEL_DATA"
  chown -R "$KEL_USER:" "$HOME" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  KEL_AS_USER=(setpriv --reuid="$KEL_USER" --regid="$(id -g "$KEL_USER")" --clear-groups --)
  local from to=$KEL_DIR/program part
  from=$(dirname "$(dirname "$KEL_PROGRAM")")
  mkdir -p "$to/bin" "$to/lib" "$to/share"
  cp "$KEL_PROGRAM" "$to/bin/"
  for part in lib/kelmora share/kelmora; do
    if [[ -d $from/$part ]]; then cp -r "$from/$part" "$to/$part"; fi
  done
  chmod -R a+rX "$to"
  KEL_PROGRAM=$to/bin/${KEL_PROGRAM##*/}
  "${KEL_AS_USER[@]}" test -x "$KEL_PROGRAM" -a -w "$XDG_RUNTIME_DIR" ||
    kel_fail "$KEL_USER cannot reach $KEL_DIR (TMPDIR must be a folder others may pass through)"
}

# Registers a started process for the exit trap.
kel_track() {
  KEL_PIDS+=("$1")
  KEL_NAMES+=("$2")
}

kel_is_running() { kill -0 "$1" 2>/dev/null; }

# kel_end_process PID [NAME]: ends one process by its id: SIGTERM, then SIGKILL if it is still
# there after two seconds.
kel_end_process() {
  local pid=$1 name=${2:-process} i
  kel_is_running "$pid" || return 0
  kill -TERM "$pid" 2>/dev/null || true
  for ((i = 0; i < 20; i++)); do
    kel_is_running "$pid" || break
    sleep "$KEL_POLL"
  done
  if kel_is_running "$pid"; then
    kel_log "$name ($pid) ignored SIGTERM; killing it"
    kill -KILL "$pid" 2>/dev/null || true
  fi
  wait "$pid" 2>/dev/null || true
}

kel_cleanup() {
  local rc=$? i
  trap - EXIT INT TERM HUP
  for ((i = ${#KEL_PIDS[@]} - 1; i >= 0; i--)); do
    kel_end_process "${KEL_PIDS[i]}" "${KEL_NAMES[i]}"
    # libfaketime's shared clock state, left behind by a program that did not exit normally.
    rm -f "/dev/shm/faketime_shm_${KEL_PIDS[i]}" "/dev/shm/sem.faketime_sem_${KEL_PIDS[i]}"
  done
  kel_unbind_root
  if [[ -n ${KEL_KEEP:-} ]]; then kel_log "kept $KEL_DIR"; fi
  exit "$rc"
}

# kel_private_mounts COMMAND...: starts COMMAND in the background ($! is its id) in a mount
# namespace of its own, whose mounts this machine never sees; kel_in_mounts PID COMMAND... runs
# COMMAND in there, with the same root. Where / is a mount point that is unshare's --propagation
# private. In a chroot or a container whose / is only a folder there is no mount to make private:
# the namespace binds / onto itself, reaches that bind through "/.." (which ends on the topmost
# mount over the root, where "/" is the root itself), makes it private, binds what is mounted
# below / into it and changes root into it. Where the folder's mount is shared with the machine
# outside, that one bind of / shows there too, with nothing below it, until kel_cleanup takes it
# away; ended with -c, "/.." is not read as "/".
KEL_ROOT_BOUND=''
kel_private_mounts() {
  kel_require_tools unshare nsenter mountpoint chroot
  if mountpoint -q /; then
    unshare --mount --propagation private "$@" &
    return
  fi
  KEL_ROOT_BOUND=1
  # shellcheck disable=SC2016 # expanded by the namespace's shell
  unshare --mount --propagation unchanged sh -c '
    mount --bind / / && mount --no-canonicalize --make-private /.. || exit 1
    bound=""
    for point in $(cut -d " " -f 5 /proc/self/mountinfo | sort -u); do
      [ "$point" != / ] || continue
      below=""
      for top in $bound; do case $point in "$top"/*) below=1 ;; esac done
      [ -z "$below" ] || continue
      bound="$bound $point"
      mount --no-canonicalize --rbind "$point" "/..$point" || exit 1
    done
    mount --no-canonicalize --make-rprivate /.. && exec chroot /.. "$@"' kel-private-mounts "$@" &
}

kel_in_mounts() {
  local pid=$1
  shift
  nsenter --target "$pid" --mount --root --wd -- "$@"
}

# The bind of / that showed outside, once the namespace that made it is gone.
kel_unbind_root() {
  if [[ -n $KEL_ROOT_BOUND ]] && mountpoint -q /; then
    umount --no-canonicalize /.. || kel_log "could not unmount the bind of / onto itself"
  fi
}

# ---------------------------------------------------------------------------------------------
# Waiting

# kel_wait_for SECONDS COMMAND...: runs COMMAND every poll interval until it succeeds (status 0)
# or SECONDS have passed (status 1).
kel_wait_for() {
  local seconds=$1
  shift
  local deadline=$((SECONDS + seconds))
  # SECONDS counts whole seconds; one more round after the deadline keeps the limit honest.
  while true; do
    if "$@"; then return 0; fi
    if ((SECONDS > deadline)); then return 1; fi
    sleep "$KEL_POLL"
  done
}

# kel_wait_until SECONDS DESCRIPTION COMMAND...: as kel_wait_for, failing the test with
# DESCRIPTION when the time runs out.
kel_wait_until() {
  local seconds=$1 what=$2
  shift 2
  kel_wait_for "$seconds" "$@" || kel_fail "timed out after ${seconds}s waiting for: $what"
}

# kel_not COMMAND...: succeeds when COMMAND fails (for kel_wait_until and kel_holds_for).
kel_not() { ! "$@"; }

# kel_holds_for SECONDS DESCRIPTION COMMAND...: checks that COMMAND keeps succeeding for SECONDS.
kel_holds_for() {
  local seconds=$1 what=$2
  shift 2
  local deadline=$((SECONDS + seconds))
  while ((SECONDS <= deadline)); do
    "$@" || kel_fail "no longer true: $what"
    sleep "$KEL_POLL"
  done
}

# ---------------------------------------------------------------------------------------------
# Virtual desktop: Xvfb, session bus, status notifier watcher and host

# busctl on the session bus, given at most three seconds: a program that hangs must not stall
# the test for the bus's own 25 s timeout.
kel_busctl() { timeout -k 1 3 busctl --user "$@"; }

kel_bus_name_owned() {
  gdbus call --session --timeout 3 -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
}

# dbus-monitor writing the tray item's and the watcher's signals into KEL_MONITOR_LOG, from the
# moment it listens (a probe signal of our own shows when).
kel_start_item_monitor() {
  KEL_MONITOR_LOG=$KEL_DIR/monitor.log
  dbus-monitor --session "type='signal',interface='org.kde.StatusNotifierItem'" \
    "type='signal',interface='org.kde.StatusNotifierWatcher'" >"$KEL_MONITOR_LOG" 2>&1 &
  kel_track $! dbus-monitor
  kel_wait_until 10 "dbus-monitor to listen" kel_monitor_heard_probe
}
kel_monitor_heard_probe() {
  gdbus emit --session -o /StatusNotifierItem -s org.kde.StatusNotifierItem.NewTitle >/dev/null 2>&1
  grep -q 'member=NewTitle' "$KEL_MONITOR_LOG"
}

# Arguments are further Xvfb options (+extension GLX, say).
kel_start_xvfb() {
  local displayfile=$KEL_DIR/display
  : >"$displayfile"
  # -displayfd: the server picks a free display number itself and writes it when ready.
  Xvfb -displayfd 3 -noreset -nolisten tcp "$@" -screen 0 1024x768x24 \
    3>"$displayfile" >"$KEL_DIR/xvfb.log" 2>&1 &
  kel_track $! Xvfb
  KEL_LOGS+=("$KEL_DIR/xvfb.log")
  kel_wait_until 10 "Xvfb to report its display" test -s "$displayfile"
  DISPLAY=:$(tr -d '[:space:]' <"$displayfile")
  export DISPLAY
  kel_wait_until 10 "display $DISPLAY to answer" xwininfo -root >/dev/null 2>&1
  kel_log "Xvfb on display $DISPLAY"
}

kel_host_registered() {
  kel_busctl --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null |
    jq -e '.data == true' >/dev/null
}

# The watcher, and a stand-in host registered with it: Qt shows its icon over D-Bus only when
# the watcher says a host is there.
kel_start_watcher() {
  status-notifier-watcher >"$KEL_DIR/watcher.log" 2>&1 &
  kel_track $! status-notifier-watcher
  KEL_LOGS+=("$KEL_DIR/watcher.log")
  kel_wait_until 10 "the status notifier watcher on the bus" \
    kel_bus_name_owned org.kde.StatusNotifierWatcher
  gdbus call --session --timeout 3 -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
    -m org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost org.kde.StatusNotifierHost-test \
    >/dev/null
  kel_wait_until 5 "the host to be registered" kel_host_registered
  kel_log "status notifier watcher with a registered host"
}

# An XEmbed system tray (trayer) in the top left corner, for when no watcher runs; trayer options
# that follow override these (a dark tint, say). Sets KEL_XEMBED_TRAY_PID.
kel_start_xembed_tray() {
  kel_require_tools trayer
  trayer --edge top --align left --widthtype pixel --width 100 --heighttype pixel --height 24 \
    --SetDockType true --transparent false --expand false "$@" >"$KEL_DIR/trayer.log" 2>&1 &
  # shellcheck disable=SC2034 # for the caller
  KEL_XEMBED_TRAY_PID=$!
  kel_track $! trayer
  KEL_LOGS+=("$KEL_DIR/trayer.log")
  kel_wait_until 10 "the XEmbed tray to take the selection" kel_xembed_tray_owned
  kel_log "XEmbed tray (trayer)"
}

# trayer maps its panel once it holds the tray selection.
kel_xembed_tray_owned() { xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1; }

kel_start_desktop() {
  [[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || kel_fail "no private session bus"
  kel_start_xvfb
  kel_start_watcher
}

# ---------------------------------------------------------------------------------------------
# Sound: a private PulseAudio whose only sink writes into a pipe that the test records

kel_pulse_ready() { pactl info >/dev/null 2>&1 && [[ -p $KEL_DIR/sink.fifo ]]; }

kel_start_sound() {
  kel_require_tools pulseaudio pactl sox
  printf 'autospawn = no\n' >"$KEL_DIR/pulse-client.conf"
  # A cookie of our own spares the server and its clients the search for one.
  mkdir -p "$XDG_CONFIG_HOME/pulse"
  head -c 256 /dev/urandom >"$XDG_CONFIG_HOME/pulse/cookie"
  export PULSE_COOKIE=$XDG_CONFIG_HOME/pulse/cookie
  export PULSE_CLIENTCONFIG=$KEL_DIR/pulse-client.conf
  export PULSE_SERVER=unix:$KEL_DIR/pulse.sock
  pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit \
    --disable-shm=yes \
    -L "module-pipe-sink sink_name=cap file=$KEL_DIR/sink.fifo format=s16le rate=44100 channels=2 use_system_clock_for_timing=yes" \
    -L "module-native-protocol-unix auth-anonymous=1 socket=$KEL_DIR/pulse.sock" \
    >"$KEL_DIR/pulseaudio.log" 2>&1 &
  kel_track $! pulseaudio
  KEL_LOGS+=("$KEL_DIR/pulseaudio.log")
  kel_wait_until 10 "PulseAudio to answer" kel_pulse_ready
  kel_log "PulseAudio with the capture sink at $PULSE_SERVER"
}

# Records everything the sink plays, as raw 16-bit stereo at 44100 Hz, into FILE.
kel_start_capture() {
  KEL_CAPTURE=$1
  cat "$KEL_DIR/sink.fifo" >"$KEL_CAPTURE" &
  KEL_CAPTURE_PID=$!
  kel_track "$KEL_CAPTURE_PID" capture
}

kel_stop_capture() {
  kel_end_process "$KEL_CAPTURE_PID" capture
}

# Seconds of sound recorded so far.
kel_capture_seconds() {
  local bytes
  bytes=$(stat -c %s "$KEL_CAPTURE")
  awk -v b="$bytes" 'BEGIN { printf "%.2f", b / (44100 * 4) }'
}

kel_capture_longer_than() { kel_greater "$(kel_capture_seconds)" "$1"; }

# kel_sound_stat FILE FIELD [EFFECT...]: one value of sox's "stat" (e.g. "RMS amplitude",
# "Maximum amplitude", "Rough frequency"; blanks inside the name do not matter) over the left
# channel of the recording, after the given sox effects ("trim 2 1.5": the 1.5 s from 2 s on).
kel_sound_stat() {
  local file=$1 field=${2// /}
  shift 2
  sox -t raw -r 44100 -e signed -b 16 -c 2 "$file" -n remix 1 "$@" stat 2>&1 |
    awk -F: -v f="$field" '{ name = $1; gsub(/ /, "", name) } name == f { gsub(/ /, "", $2); print $2 }'
}

# Is a > b, for decimal numbers?
kel_greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a + 0 > b + 0) }'; }
# a + b, for decimal numbers.
kel_plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }
# kel_between LOW HIGH VALUE: LOW < VALUE < HIGH, for decimal numbers.
kel_between() { awk -v l="$1" -v h="$2" -v v="$3" 'BEGIN { exit !(l + 0 < v + 0 && v + 0 < h + 0) }'; }

# A test sound: a 1 s sine tone of the given frequency at 0.8 of full scale, then 0.3 s of silence
# (the sound player cuts the last fraction of a second).
kel_make_tone() {
  sox -q -n -r 44100 -c 2 -b 16 "$1" synth 1 sine "${2:-440}" vol 0.8 pad 0 0.3
}

# ---------------------------------------------------------------------------------------------
# Desktop notifications: a stand-in service that logs each call into KEL_NOTIFY_LOG (see
# notification_service.cpp for the lines it writes)

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

# ---------------------------------------------------------------------------------------------
# The program's files

# kel_write_settings TIP INTERVAL MODE1 MODE2 C0..C7: writes Varnlock.ini as the program does,
# CR LF line ends, numbers with a blank before a non-negative number and a blank after.
kel_write_settings() {
  local tip=$1 interval=$2 value
  shift 2
  mkdir -p "$KEL_DATA"
  {
    printf '%s\r\n%s\r\n' "$tip" "$interval"
    for value in "$@"; do
      if ((value >= 0)); then printf ' %d \r\n' "$value"; else printf '%d \r\n' "$value"; fi
    done
  } >"$KEL_DATA/Varnlock.ini"
}

# kel_write_alarms LINE...: writes timer.ini, one alarm line per argument, CR LF line ends.
kel_write_alarms() {
  mkdir -p "$KEL_DATA"
  if (($#)); then printf '%s\r\n' "$@"; fi >"$KEL_DATA/timer.ini"
}

# kel_start_settings_bytes: the settings file the program writes with its start values.
kel_start_settings_bytes() {
  printf 'yyyy/mm/dd hh:mm aaa\r\n1.0\r\n'
  for _ in 1 2 3 4 5 6 7 8 9 10; do printf ' 0 \r\n'; done
}

# kel_expect_start_files WHEN: the settings file holds the start values and the alarm file is
# empty, as a first start writes them.
kel_expect_start_files() {
  kel_start_settings_bytes >"$KEL_DIR/settings.expected"
  kel_expect_bytes "$KEL_DATA/Varnlock.ini" "$KEL_DIR/settings.expected" "settings file $1"
  : >"$KEL_DIR/alarms.expected"
  kel_expect_bytes "$KEL_DATA/timer.ini" "$KEL_DIR/alarms.expected" "alarm file $1"
}

# kel_expect_bytes FILE EXPECTED-FILE DESCRIPTION: the file must hold exactly these bytes.
kel_expect_bytes() {
  [[ -f $1 ]] || kel_fail "$3: $1 does not exist"
  if ! cmp -s "$1" "$2"; then
    printf 'expected:\n' >&2
    od -c "$2" | head -n 20 >&2
    printf 'found:\n' >&2
    od -c "$1" | head -n 20 >&2
    kel_fail "$3: $1 does not hold the expected bytes"
  fi
}

# The faked clock, SECONDS (maybe negative) after the start, in the alarm file's form
# "yyyy/mm/dd hh:nn:ss".
kel_fake_time_plus() {
  date -d "@$(($(date -d "$KEL_FAKE_START" +%s) + $1))" '+%Y/%m/%d %H:%M:%S'
}

# Seconds from the start to a time in the alarm file's form.
kel_seconds_after_start() {
  echo $(($(date -d "${1//\//-}" +%s) - $(date -d "$KEL_FAKE_START" +%s)))
}

# kel_jump_clock SECONDS: the program's faked clock (wall and monotonic) jumps forward, as when
# the machine wakes from sleep. Only for a program started with KEL_FAKE_JUMPS=1, whose clock
# libfaketime reads from a file (KEL_FAKE_FILE) at every look.
kel_jump_clock() {
  [[ -n ${KEL_FAKE_FILE:-} ]] || kel_fail "kel_jump_clock needs KEL_FAKE_JUMPS=1 before kel_start_program"
  KEL_FAKE_JUMPED=$((${KEL_FAKE_JUMPED:-0} + $1))
  printf '@%s\n' "$(kel_fake_time_plus "$KEL_FAKE_JUMPED" | tr / -)" >"$KEL_FAKE_FILE.new"
  mv "$KEL_FAKE_FILE.new" "$KEL_FAKE_FILE"
  kel_log "the clock jumps $1 s forward"
}

# ---------------------------------------------------------------------------------------------
# The program

kel_libfaketime() {
  local candidate
  for candidate in "${KEL_LIBFAKETIME:-}" \
    /usr/lib/x86_64-linux-gnu/faketime/libfaketime.so.1 \
    /usr/lib/aarch64-linux-gnu/faketime/libfaketime.so.1 \
    /usr/lib/faketime/libfaketime.so.1 /usr/local/lib/faketime/libfaketime.so.1; do
    if [[ -n $candidate && -f $candidate ]]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "[$KEL_TEST] FAIL: libfaketime not found (install libfaketime or set KEL_LIBFAKETIME)" >&2
  exit 1
}

# Starts the program on the virtual desktop with its clock starting at KEL_FAKE_START and running
# on (libfaketime's "@" form; child processes keep the same clock; with KEL_FAKE_JUMPS=1 read
# from a file, so that kel_jump_clock can move it), on Qt's platform KEL_QPA (xcb by default;
# "default" leaves the choice to the program, as a user's start does), with the libraries named
# in KEL_PRELOAD preloaded too.
kel_start_program() {
  local faketime platform=(QT_QPA_PLATFORM="${KEL_QPA:-xcb}") clock=(FAKETIME="@$KEL_FAKE_START")
  faketime=$(kel_libfaketime)
  [[ ${KEL_QPA:-} != default ]] || platform=(-u QT_QPA_PLATFORM)
  if [[ ${KEL_FAKE_JUMPS:-} == 1 ]]; then
    KEL_FAKE_FILE=$KEL_DIR/faketime
    printf '@%s\n' "$KEL_FAKE_START" >"$KEL_FAKE_FILE"
    clock=(FAKETIME_TIMESTAMP_FILE="$KEL_FAKE_FILE")
  fi
  KEL_LOGS+=("$KEL_DIR/kelmora.log")
  kel_log "starting kelmora at $KEL_FAKE_START (TZ=$TZ)"
  "${KEL_AS_USER[@]}" env "${platform[@]}" \
    LD_PRELOAD="$faketime${KEL_PRELOAD:+ $KEL_PRELOAD}" "${clock[@]}" \
    FAKETIME_DONT_RESET=1 FAKETIME_NO_CACHE=1 \
    "$KEL_PROGRAM" >>"$KEL_DIR/kelmora.log" 2>&1 &
  KEL_PROGRAM_PID=$!
  kel_track "$KEL_PROGRAM_PID" kelmora
}

kel_program_running() { kel_is_running "$KEL_PROGRAM_PID"; }
kel_program_gone() { ! kel_is_running "$KEL_PROGRAM_PID"; }

# Sends SIGNAL (TERM by default) and waits for the program to exit; fails unless it exits with 0.
kel_stop_program() {
  local signal=${1:-TERM} rc=0
  kel_program_running || kel_fail "the program is no longer running before SIG$signal"
  kill -s "$signal" "$KEL_PROGRAM_PID"
  kel_wait_for 10 kel_program_gone ||
    kel_fail "the program did not exit within 10 s of SIG$signal; main thread: $(kel_main_thread_stack)"
  wait "$KEL_PROGRAM_PID" || rc=$?
  ((rc == 0)) || kel_fail "the program exited with status $rc after SIG$signal"
  kel_log "the program exited after SIG$signal"
}

# kel_stop_program_within MS: sends SIGTERM and waits up to 5 s for the program to exit; a check
# fails (the test goes on) unless it exited with 0 within MS milliseconds.
kel_stop_program_within() {
  local limit_ms=$1 sent took_ms rc=0
  kel_program_running || kel_fail "the program has exited unexpectedly"
  sent=$(date +%s%N)
  kill -TERM "$KEL_PROGRAM_PID"
  while kel_program_running && (($(date +%s%N) - sent < 5000000000)); do sleep 0.02; done
  took_ms=$((($(date +%s%N) - sent) / 1000000))
  kel_program_gone ||
    kel_fail "the program did not exit within 5 s of SIGTERM; its main thread: $(kel_main_thread_stack)"
  wait "$KEL_PROGRAM_PID" || rc=$?
  kel_log "the program exited with status $rc ${took_ms} ms after SIGTERM"
  ((took_ms <= limit_ms)) || kel_check_failed "the program took $took_ms ms to exit after SIGTERM"
  ((rc == 0)) || kel_check_failed "the program exited with status $rc after SIGTERM"
}

# kel_wait_for_firing SECONDS [LIMIT]: the alarm due SECONDS after the start stands in the tip,
# then fires, within LIMIT seconds (8 by default), on the tick one second after its due second,
# which sets the tip to the bare time of that tick (the tip pattern must show seconds and the
# weekday, as "yyyy/mm/dd hh:nn:ss aaa" does).
kel_wait_for_firing() {
  local due fired_tip tip
  due=$(kel_fake_time_plus "$1")
  fired_tip="$(kel_fake_time_plus $(($1 + 1))) 日"
  kel_wait_until 10 "the tip to show the alarm due at $due" kel_tip_has "[♪$due]"
  kel_wait_until "${2:-8}" "the alarm due at $due to fire" kel_not kel_tip_has "[♪$due]"
  tip=$(kel_tip)
  [[ $tip == "$fired_tip" ]] ||
    kel_check_failed "firing the alarm due at $due: the tip is \"$tip\", expected \"$fired_tip\""
  kel_log "the alarm due at $due fired: the tip is \"$tip\""
}

# Where the program's main thread waits: a stack from gdb when there is one, else the kernel's
# wait channel.
kel_main_thread_stack() {
  if command -v gdb >/dev/null 2>&1; then
    timeout -k 2 8 gdb -p "$KEL_PROGRAM_PID" -batch -iex 'set debuginfod enabled off' \
      -ex 'bt 16' 2>/dev/null |
      awk '/^#/ { sub(/ \(.*/, ""); printf "%s | ", $0 }'
  else
    printf 'wchan %s' "$(cat "/proc/$KEL_PROGRAM_PID/wchan" 2>/dev/null)"
  fi
}

# Fails the test unless the program is still running.
kel_expect_running() {
  kel_program_running || kel_fail "the program has exited unexpectedly"
}

# ---------------------------------------------------------------------------------------------
# Windows

# Ids of the program's visible windows titled "!Kelmora".
kel_visible_windows() { xdotool search --onlyvisible --name '^!Kelmora$' 2>/dev/null; }
kel_window_visible() { [[ -n $(kel_visible_windows) ]]; }
kel_no_window_visible() { ! kel_window_visible; }

# The alarm editor "アラーム": kel_open_editor MAIN presses "♪" (128 to 153 pixels from the main
# window's left, 4 to 25 from its top) and waits for the editor; sets KEL_EDITOR.
kel_editor_windows() { xdotool search --onlyvisible --name '^アラーム$' 2>/dev/null; }
kel_editor_visible() { [[ -n $(kel_editor_windows) ]]; }
kel_open_editor() {
  xdotool mousemove --window "$1" 140 14 click 1
  kel_wait_until 10 "the alarm editor to be shown" kel_editor_visible
  KEL_EDITOR=$(kel_editor_windows | head -1)
  kel_log "the alarm editor is window $KEL_EDITOR"
}

# kel_close_window WINDOW: the user brings the window to the front and closes it with Alt+F4, which
# the window manager (xfwm4) turns into a close request.
kel_close_window() {
  timeout -k 1 5 xdotool windowactivate --sync "$1" ||
    kel_fail "the window manager did not bring window $1 to the front"
  xdotool key alt+F4
}

# "x y width height" of a window, from the server's point of view.
kel_window_geometry() {
  xwininfo -id "$1" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
         /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# kel_grab_screen X Y WIDTH HEIGHT: that part of the screen in ImageMagick's text form, one
# pixel a line. The X server's picture by default; a desktop that composites the screen itself
# (GNOME Shell) sets KEL_GRAB to a function of its own that takes the same arguments.
kel_grab_screen() {
  if [[ -n ${KEL_GRAB:-} ]]; then
    "$KEL_GRAB" "$@"
  else
    import -window root -depth 8 -crop "${3}x${4}+${1}+${2}" +repage txt:-
  fi
}

# kel_screen_art X Y WIDTH HEIGHT: that part of the screen as ASCII art, "R" for pure red
# (#FF0000), "." for anything else, one row per line.
kel_screen_art() {
  kel_grab_screen "$@" |
    awk -v h="$4" 'NR > 1 { split($1, at, /[,:]/); row[at[2]] = row[at[2]] ($3 == "#FF0000" ? "R" : ".") }
                   END { for (y = 0; y < h; y++) print row[y] }'
}

# kel_screen_is X Y WIDTH HEIGHT ART: that part of the screen shows ART.
kel_screen_is() { [[ $(kel_screen_art "$1" "$2" "$3" "$4") == "$5" ]]; }
kel_screen_has_red() { [[ $(kel_screen_art "$1" "$2" "$3" "$4") == *R* ]]; }

# Ids of visible windows of the program that are not its main window (the tray stand-in, the
# XEmbed tray icon).
kel_other_windows() {
  local window
  for window in $(xdotool search --onlyvisible --classname '^kelmora$' 2>/dev/null); do
    [[ $(xdotool getwindowname "$window" 2>/dev/null) == '!Kelmora' ]] || echo "$window"
  done
}
kel_other_window_visible() { [[ -n $(kel_other_windows) ]]; }

# kel_wait_for_stand_in SECONDS: waits for the tray stand-in window and checks it is 32x32 in the
# lower right corner of the work area (the 1024x768 screen where no window manager tells one);
# sets KEL_STAND_IN_X and KEL_STAND_IN_Y.
kel_wait_for_stand_in() {
  kel_wait_until "$1" "the tray stand-in window to be shown" kel_other_window_visible
  local window width height area_x area_y area_width area_height right=1024 bottom=768
  if read -r area_x area_y area_width area_height < <(kel_work_area); then
    right=$((area_x + area_width)) bottom=$((area_y + area_height))
  fi
  window=$(kel_other_windows | head -1)
  read -r KEL_STAND_IN_X KEL_STAND_IN_Y width height < <(kel_window_geometry "$window")
  kel_log "stand-in window $window at $KEL_STAND_IN_X,$KEL_STAND_IN_Y size ${width}x$height"
  ((width == 32 && height == 32 && KEL_STAND_IN_X == right - 32 && KEL_STAND_IN_Y == bottom - 32)) ||
    kel_fail "the stand-in is at $KEL_STAND_IN_X,$KEL_STAND_IN_Y size ${width}x$height, expected 32x32 in the lower right corner of the work area (ending at $right,$bottom)"
}

# ---------------------------------------------------------------------------------------------
# The tray item (StatusNotifierItem)

# The registered items, one "service object-path" per line (watchers write "service/path", or
# "service@/path" as GNOME's AppIndicator extension does, or the service alone).
kel_sni_items() {
  kel_busctl --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null |
    jq -r '.data[] | if test("/") then sub("@?/"; " /") else . + " /StatusNotifierItem" end'
}

# Does SERVICE answer at PATH with a StatusNotifierItem?
kel_sni_alive() {
  kel_busctl get-property "$1" "$2" org.kde.StatusNotifierItem Id >/dev/null 2>&1
}

# The first registered item that answers; sets KEL_ITEM (service) and KEL_ITEM_PATH.
kel_find_item() {
  local service path
  while read -r service path; do
    [[ -n $service ]] || continue
    if kel_sni_alive "$service" "$path"; then
      KEL_ITEM=$service
      KEL_ITEM_PATH=$path
      return 0
    fi
  done < <(kel_sni_items)
  return 1
}

kel_wait_for_item() {
  kel_wait_until "${1:-15}" "the tray item to be registered" kel_find_item
  kel_log "tray item $KEL_ITEM $KEL_ITEM_PATH"
}

# The item is gone: no longer listed by the watcher, or no longer answering on the bus.
kel_item_gone() {
  ! kel_sni_items | grep -q "^$KEL_ITEM " || ! kel_sni_alive "$KEL_ITEM" "$KEL_ITEM_PATH"
}

kel_no_item_registered() { [[ -z $(kel_sni_items) ]]; }

kel_item_property() {
  kel_busctl --json=short get-property "$KEL_ITEM" "$KEL_ITEM_PATH" \
    org.kde.StatusNotifierItem "$1"
}

# The tip: the title of the ToolTip property ("" when it cannot be read).
kel_tip() { kel_item_property ToolTip 2>/dev/null | jq -r '.data[2]' || true; }
kel_tip_is() { [[ $(kel_tip) == "$1" ]]; }
kel_tip_has() { [[ $(kel_tip) == *"$1"* ]]; }
# shellcheck disable=SC2053 # the argument is a pattern
kel_tip_matches() { [[ $(kel_tip) == $1 ]]; }

# The sizes held by IconPixmap, one "width height" per line.
kel_icon_sizes() { kel_item_property IconPixmap | jq -r '.data[] | "\(.[0]) \(.[1])"'; }

# kel_icon_art SIZE: the SIZE x SIZE image of IconPixmap (ARGB32, big-endian) as ASCII art, one
# row per line: "." transparent (alpha 0), "R" opaque red, "G" opaque green, "B" opaque blue,
# "Y" opaque yellow, "K" opaque black, "W" opaque white, "?" anything else.
kel_icon_art() {
  kel_item_property IconPixmap | jq -r --argjson n "$1" '
    .data[] | select(.[0] == $n and .[1] == $n) | .[2] as $b
    | range(0; $n) as $y
    | [range(0; $n) as $x | $b[(($y * $n + $x) * 4):(($y * $n + $x) * 4 + 4)]
       | if .[0] == 0 then "."
         elif . == [255, 255, 0, 0] then "R"
         elif . == [255, 0, 255, 0] then "G"
         elif . == [255, 0, 0, 255] then "B"
         elif . == [255, 255, 255, 0] then "Y"
         elif . == [255, 0, 0, 0] then "K"
         elif . == [255, 255, 255, 255] then "W"
         else "?" end]
    | join("")'
}

# The distinct pixel values of the SIZE image as "aarrggbb x count", for failure messages.
kel_icon_colours() {
  kel_item_property IconPixmap | jq -r --argjson n "$1" '
    def hex: "0123456789abcdef" as $d | $d[(. / 16 | floor):(. / 16 | floor) + 1] + $d[(. % 16):(. % 16) + 1];
    .data[] | select(.[0] == $n and .[1] == $n) | .[2] as $b
    | [range(0; $n * $n) as $i | $b[($i * 4):($i * 4 + 4)] | map(hex) | join("")]
    | group_by(.) | map("\(.[0]) x \(length)") | .[]'
}

kel_icon_is() { [[ $(kel_icon_art 16) == "$1" ]]; }

# ASCII art scaled up by a whole factor, nearest neighbour.
kel_scale_art() {
  awk -v k="$1" '{ row = ""; for (i = 1; i <= length($0); i++) for (j = 0; j < k; j++)
                     row = row substr($0, i, 1);
                   for (j = 0; j < k; j++) print row }'
}

# kel_expect_icon ART: the 16x16 image must equal ART (16 lines), and each larger image whose
# size is a whole multiple of 16 must be ART scaled up by that factor.
kel_expect_icon() {
  local expected=$1 found size width height
  found=$(kel_icon_art 16)
  if [[ $found != "$expected" ]]; then
    printf 'expected 16x16 icon:\n%s\nfound:\n%s\npixel values (aarrggbb x count):\n' \
      "$expected" "$found" >&2
    kel_icon_colours 16 >&2
    kel_fail "the tray icon is not the expected face"
  fi
  local checked=16
  while read -r width height; do
    ((width == height && width > 16 && width % 16 == 0)) || continue
    size=$width
    if [[ $(kel_icon_art "$size") != "$(kel_scale_art $((size / 16)) <<<"$expected")" ]]; then
      printf 'found %sx%s icon:\n%s\n' "$size" "$size" "$(kel_icon_art "$size")" >&2
      kel_fail "the ${size}x${size} icon is not the 16x16 face scaled by $((size / 16))"
    fi
    checked+=" $size"
  done < <(kel_icon_sizes)
  # shellcheck disable=SC2034 # for the tests' messages
  KEL_ICON_SIZES_CHECKED=$checked
}

# Settings for a face easy to state: the start tip pattern and interval, 24-hour digits (mode 2)
# as the only line, colour 255 (red) for its four cells.
kel_write_red_24h_settings() {
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' 1.0 2 0 255 255 255 255 0 0 0 0
}
# The face these settings give at 14:07: 1, 4, 0, 7 in the digit font, in rows 4 to 10.
# shellcheck disable=SC2034 # for the tests
KEL_FACE_1407='................
................
................
................
.R..R.R..RRR.RRR
RR..R.R..R.R.R.R
.R..R.R..R.R.R.R
.R..RRR..R.R...R
.R....R..R.R...R
.R....R..R.R...R
RRR...R..RRR...R
................
................
................
................
................'

# kel_item_call METHOD: Activate (left button) or ContextMenu (right button) at 5,5.
kel_item_call() {
  gdbus call --session --timeout 3 -d "$KEL_ITEM" -o "$KEL_ITEM_PATH" \
    -m "org.kde.StatusNotifierItem.$1" 5 5 >/dev/null
}

# ---------------------------------------------------------------------------------------------
# Real desktops: Xfce's window manager and panel on X11, sway on Wayland

# kel_start_logged NAME COMMAND...: starts COMMAND in the background with its output in NAME.log,
# for the exit trap and the failure report.
kel_start_logged() {
  local name=$1
  shift
  "$@" >"$KEL_DIR/$name.log" 2>&1 &
  KEL_STARTED_PID=$!
  kel_track $! "$name"
  KEL_LOGS+=("$KEL_DIR/$name.log")
}

kel_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The work area the window manager leaves beside its panels (_NET_WORKAREA of the first
# desktop): "x y width height".
kel_work_area() {
  xprop -root _NET_WORKAREA 2>/dev/null |
    awk -F'[=,]' 'NF >= 5 { print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}
kel_work_area_below_top() {
  local x y width height
  read -r x y width height < <(kel_work_area) && ((y > 0))
}

# A window's outer rectangle, the frame of the window manager included (_NET_FRAME_EXTENTS):
# "x y width height"; kel_framed tells whether the frame is there yet.
kel_framed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }
kel_frame_geometry() {
  local x y width height left right top bottom
  read -r x y width height < <(kel_window_geometry "$1")
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
    awk -F'[=,]' 'NF >= 5 { print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }')
  echo $((x - left)) $((y - top)) $((width + left + right)) $((height + top + bottom))
}

# The window is framed, its outer rectangle's lower right corner on the work area's ("x y width
# height", as kel_work_area prints it), and its top inside the work area.
kel_framed_in_corner() {
  local window=$1 area_x=$2 area_y=$3 area_width=$4 area_height=$5 x y width height
  kel_framed "$window" || return 1
  read -r x y width height < <(kel_frame_geometry "$window")
  ((x + width == area_x + area_width && y + height == area_y + area_height && y >= area_y))
}

# kel_expect_main_window_in_corner X Y WIDTH HEIGHT: the main window shows, and its frame ends at
# the lower right corner of that work area; sets main to the window.
kel_expect_main_window_in_corner() {
  kel_wait_until 20 "the main window to be shown" kel_window_visible
  main=$(kel_visible_windows | head -n 1)
  kel_wait_for 5 kel_framed_in_corner "$main" "$@" ||
    kel_fail "the framed window ($(kel_frame_geometry "$main")) does not end at the lower right" \
      "corner of the work area ($*)"
  kel_log "the framed window $(kel_frame_geometry "$main") ends at the work area's corner"
}

# Xvfb with Xfce's window manager (xfwm4, frames windows and keeps the work area) and panel, with
# the panel's default layout: a dark strip along the top whose notification area is the status
# notifier watcher and host, and an XEmbed tray. xfconfd, which the panel reads its layout from,
# is started by hand: the private bus starts no services.
kel_start_xfce() {
  kel_require_tools xfwm4 xfce4-panel import
  local xfconfd channels=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
  xfconfd=$(compgen -G '/usr/lib/*/xfce4/xfconf/xfconfd' | head -1) ||
    kel_fail "xfconfd not found (install xfconf)"
  [[ -f /etc/xdg/xfce4/panel/default.xml ]] || kel_fail "no panel layout (install xfce4-panel)"
  mkdir -p "$channels"
  cp /etc/xdg/xfce4/panel/default.xml "$channels/xfce4-panel.xml"
  export NO_AT_BRIDGE=1
  kel_start_xvfb
  kel_start_logged xfconfd "$xfconfd"
  kel_wait_until 10 "xfconfd on the bus" kel_bus_name_owned org.xfce.Xfconf
  kel_start_logged xfwm4 xfwm4 --compositor=off
  kel_wait_until 10 "xfwm4 to manage the screen" kel_wm_running
  kel_start_logged xfce4-panel xfce4-panel --disable-wm-check
  kel_wait_until 15 "the panel's notification area on the bus" kel_host_registered
  kel_wait_until 10 "the panel to take its strip off the work area" kel_work_area_below_top
  kel_log "Xfce: xfwm4 and xfce4-panel, work area $(kel_work_area)"
}

# kel_red_spot X Y WIDTH HEIGHT: "count x y" of the strongly red pixels (red at least 180, green
# and blue at most 60: a red face scaled by a tray blends its edges) in that part of the screen,
# x y their centre on the screen.
kel_red_spot() {
  kel_grab_screen "$@" |
    awk -v x0="$1" -v y0="$2" '
      NR > 1 { split($1, at, /[,:]/); colour = $2; gsub(/[()]/, "", colour); split(colour, c, ",")
               if (c[1] >= 180 && c[2] <= 60 && c[3] <= 60) { n++; sx += at[1]; sy += at[2] } }
      END { if (n) printf "%d %d %d\n", n, x0 + sx / n, y0 + sy / n; else print 0, 0, 0 }'
}

# kel_start_sway tray|none: sway with no screen or input devices, drawing in software, run as
# KEL_USER (sway refuses root). With "tray", its bar's tray is the status notifier watcher and
# host; with "none" there is no bar and no notification area at all. Sets WAYLAND_DISPLAY and
# SWAYSOCK for the program and swaymsg, and XDG_SESSION_TYPE as a sway session has it (no
# XWayland: no DISPLAY).
kel_start_sway() {
  kel_require_tools sway swaymsg
  [[ -n ${KEL_USER:-} ]] || kel_fail "sway refuses root: set KEL_USER before kel_init"
  export XDG_SESSION_TYPE=wayland
  local config=$KEL_DIR/sway-$1.config
  printf 'xwayland disable\n' >"$config"
  if [[ $1 == tray ]]; then printf 'bar {\n  tray_output *\n}\n' >>"$config"; fi
  kel_start_logged sway "${KEL_AS_USER[@]}" env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman sway --config "$config"
  KEL_SWAY_PID=$KEL_STARTED_PID
  kel_wait_until 10 "sway to answer" kel_sway_answers
  if [[ $1 == tray ]]; then
    kel_wait_until 10 "sway's bar to host tray items" kel_host_registered
  fi
  kel_log "sway ($1) on $WAYLAND_DISPLAY"
}

# Finds the running sway's sockets: its IPC socket is named after its process id.
kel_sway_answers() {
  local display uid
  display=$(compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" | head -1) || return 1
  uid=$(id -u "$KEL_USER")
  export WAYLAND_DISPLAY=${display##*/} SWAYSOCK=$XDG_RUNTIME_DIR/sway-ipc.$uid.$KEL_SWAY_PID.sock
  swaymsg -t get_version >/dev/null 2>&1
}

kel_stop_sway() {
  kel_end_process "$KEL_SWAY_PID" sway
  unset WAYLAND_DISPLAY SWAYSOCK
}

# The titles of the program's windows that sway shows, one a line ("" for an untitled one).
kel_sway_windows() {
  swaymsg -t get_tree |
    jq -r '.. | objects | select(.app_id? == "kelmora" and .visible) | .name // ""'
}
kel_sway_window_visible() { grep -qxF '!Kelmora' <<<"$(kel_sway_windows)"; }
kel_sway_no_window_visible() { ! kel_sway_window_visible; }
# A window of the program other than the main window: the tray stand-in.
kel_sway_other_window_visible() {
  local windows
  windows=$(kel_sway_windows)
  [[ -n $windows ]] && grep -qvxF '!Kelmora' <<<"$windows"
}

# GNOME Shell and KDE Plasma.
# shellcheck source=desktops.sh
source "${BASH_SOURCE[0]%/*}/desktops.sh"
