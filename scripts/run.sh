#!/usr/bin/env bash
# Starts Kelmora for `make run`: on the desktop when there is one, else on a virtual display of its
# own (Xvfb), so it still keeps time and rings alarms. Each step says so in one line.
#
# usage: scripts/run.sh PROGRAM
set -euo pipefail
program=$1

# The data folder, found as the program finds it: $XDG_CONFIG_HOME when it is an absolute path,
# else ~/.config.
config=${XDG_CONFIG_HOME:-}
[[ $config == /* ]] || config=$HOME/.config
echo "Kelmora keeps its settings and alarms in $config/kelmora"

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  echo "Starting Kelmora. Stop it with Ctrl+C here, or by closing its window \"!Kelmora\"."
  exec "$program"
fi

echo "No display found: starting a virtual display (Xvfb) for Kelmora"
bash "$(dirname "$0")/install-deps.sh" display
work=$(mktemp -d "${TMPDIR:-/tmp}/kelmora-run.XXXXXX")
xvfb=''
bus=''
# shellcheck disable=SC2317 # called by the trap
cleanup() {
  local pid
  for pid in $bus $xvfb; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$work"
}
trap cleanup EXIT

# The display, the session bus and the program run in sessions of their own, so Ctrl+C reaches
# only this script, which ends the program first (it writes its files), then the rest. A
# background job of a script is never a process group leader, so setsid starts it in place and $!
# is its process id.
#
# Xvfb chooses a display no other server holds (the lock files in a private /tmp do not show them
# all) and writes its number, then a line end, once it accepts connections. The files the servers
# report into exist before they start, so the waits below can read them from the first moment.
: >"$work/display"
: >"$work/bus"
setsid Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset \
  3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
for _ in $(seq 100); do
  [ "$(wc -l <"$work/display")" -eq 0 ] || break
  kill -0 "$xvfb" 2>/dev/null || break
  sleep 0.1
done
read -r display <"$work/display" || true
if ! [[ $display =~ ^[0-9]+$ ]] || ! kill -0 "$xvfb" 2>/dev/null ||
  ! [ -S "/tmp/.X11-unix/X$display" ]; then
  echo "The virtual display did not start (Xvfb -displayfd wrote \"${display:-nothing}\"):" >&2
  cat "$work/xvfb.log" >&2
  exit 1
fi
export DISPLAY=":$display" QT_QPA_PLATFORM=xcb
if [ -z "${XDG_RUNTIME_DIR:-}" ]; then
  mkdir -m 700 "$work/runtime"
  export XDG_RUNTIME_DIR=$work/runtime
fi

# A session bus of the program's own, for the single-instance check and the tray; what the bus
# says (as root, that it cannot raise its file limit) goes to a file, not to the terminal.
setsid dbus-daemon --session --nofork --print-address=3 3>"$work/bus" >"$work/bus.log" 2>&1 &
bus=$!
for _ in $(seq 100); do
  [ "$(wc -l <"$work/bus")" -eq 0 ] || break
  kill -0 "$bus" 2>/dev/null || break
  sleep 0.1
done
read -r DBUS_SESSION_BUS_ADDRESS <"$work/bus" || true
if [ -z "$DBUS_SESSION_BUS_ADDRESS" ]; then
  echo "The session bus for Kelmora did not start:" >&2
  cat "$work/bus.log" >&2
  exit 1
fi
export DBUS_SESSION_BUS_ADDRESS

setsid "$program" &
app=$!
# shellcheck disable=SC2317 # called by the trap
stop_program() { kill -TERM "$app" 2>/dev/null || true; }
trap stop_program INT TERM HUP
echo "Kelmora is running on the virtual display :$display. Stop it with Ctrl+C."
# A trapped signal ends a wait early: wait on while the program is there (until it is reaped).
while :; do
  status=0
  wait "$app" || status=$?
  kill -0 "$app" 2>/dev/null || break
done
echo "Kelmora has ended."
exit "$status"
