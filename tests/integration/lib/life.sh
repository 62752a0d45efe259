# The test's life, for lib.sh (which sources this file): set-up under a private session bus and
# private folders, progress and failure messages, pass, fail and skip, the processes the harness
# starts and ends, the exit trap that cleans up, and the waits on a condition.

KEL_POLL=0.1 # seconds between two looks at a condition

KEL_PIDS=()  # processes started by the harness, in start order
KEL_NAMES=() # their names, for messages
KEL_LOGS=()  # log files worth showing when a test fails

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

# ---------------------------------------------------------------------------------------------
# The session bus

# busctl on the session bus, given at most three seconds: a program that hangs must not stall
# the test for the bus's own 25 s timeout.
kel_busctl() { timeout -k 1 3 busctl --user "$@"; }

kel_bus_name_owned() {
  gdbus call --session --timeout 3 -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true
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
