#!/usr/bin/env bash
# Starts Kelmora on the desktop; with no display, on a virtual one, so it still keeps time and
# rings alarms.
set -euo pipefail
program=$1
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$program"
fi
echo "No display found: running Kelmora on a virtual display (Xvfb). Stop it with Ctrl+C."
bash "$(dirname "$0")/install-deps.sh" display
for n in $(seq 90 120); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
export DISPLAY=":$n" QT_QPA_PLATFORM=xcb
if command -v dbus-run-session >/dev/null; then
  dbus-run-session -- "$program"
else
  "$program"
fi
