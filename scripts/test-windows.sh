#!/usr/bin/env bash
# Runs the tests of a Windows build folder under Wine for `make test-windows`: in the Wine prefix
# WINEPREFIX (the Makefile's: one inside the build folder, made by wineboot on the first run and
# used again by later ones), with one wineserver kept up for the whole run so that each test
# program starts at once, in the C.UTF-8 locale and with Wine's debug output off. The run itself
# and its summary are scripts/test.sh's, as for `make test`. No display is needed: the unit tests
# of the Win32 windows and services make their windows on Wine's null graphics driver, and the
# tests of the program under Wine use prefixes and virtual displays of their own.
#
# usage: scripts/test-windows.sh BUILD JOBS [CTEST OPTION...]
set -euo pipefail
[ $# -ge 2 ] || {
  echo "usage: $0 BUILD JOBS [CTEST OPTION...]" >&2
  exit 2
}
here=$(dirname "$0")
export WINEPREFIX=${WINEPREFIX:-$(realpath "$1")/wine-prefix}
export WINEDEBUG=-all LANG=C.UTF-8
# No dialogs offering to install Wine's .NET and HTML engines, which the tests do not use.
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}

# The wineserver (which puts itself in the background) keeps none of the step's output open, or
# the step would never end; it goes, with every Wine program of the prefix, when the tests are done.
mkdir -p "$WINEPREFIX"
wineserver -p </dev/null >/dev/null 2>&1 || true # one may be up already
trap 'wineserver -k 2>/dev/null || true' EXIT
# Wine's own services start with the session, here and not in a test program, whose output pipe
# they would hold open (and ctest would wait on).
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  bash "$here/step.sh" "Preparing the Wine prefix ${WINEPREFIX#"$PWD"/} (once)" wineboot -i
else
  bash "$here/step.sh" '' wineboot
fi
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
bash "$here/test.sh" "$@"
