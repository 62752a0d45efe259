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
#
# The harness's functions are kept by topic in lib/, sourced here in this order:
#   lib/life.sh           the test's life: set-up, messages, pass, fail, processes, clean-up, waits
#   lib/clock.sh          the faked clock
#   lib/files.sh          the program's files
#   lib/program.sh        the program: start, stop, alarms firing
#   lib/display.sh        the virtual display, the window manager, the windows and the screen
#   lib/tray.sh           the tray: watcher, host, XEmbed tray, stand-in, tray item, icon, tip
#   lib/sound.sh          sound: PulseAudio, the recording, its measures
#   lib/notifications.sh  desktop notifications
#   lib/desktops.sh       the real desktops: Xfce, sway, GNOME Shell, KDE Plasma

set -euo pipefail

# shellcheck source=lib/life.sh
source "${BASH_SOURCE[0]%/*}/lib/life.sh"
# shellcheck source=lib/clock.sh
source "${BASH_SOURCE[0]%/*}/lib/clock.sh"
# shellcheck source=lib/files.sh
source "${BASH_SOURCE[0]%/*}/lib/files.sh"
# shellcheck source=lib/program.sh
source "${BASH_SOURCE[0]%/*}/lib/program.sh"
# shellcheck source=lib/display.sh
source "${BASH_SOURCE[0]%/*}/lib/display.sh"
# shellcheck source=lib/tray.sh
source "${BASH_SOURCE[0]%/*}/lib/tray.sh"
# shellcheck source=lib/sound.sh
source "${BASH_SOURCE[0]%/*}/lib/sound.sh"
# shellcheck source=lib/notifications.sh
source "${BASH_SOURCE[0]%/*}/lib/notifications.sh"
# shellcheck source=lib/desktops.sh
source "${BASH_SOURCE[0]%/*}/lib/desktops.sh"
