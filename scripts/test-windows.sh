#!/usr/bin/env bash
# Runs the tests of a Windows build folder under Wine for `make test-windows`: in the Wine prefix
# WINEPREFIX (the Makefile's: one inside the build folder, made by wineboot on the first run and
# used again by later ones), with one wineserver kept up for the whole run so that each test
# program starts at once, in the C.UTF-8 locale and with Wine's debug output off. The run itself
# and its summary are scripts/test.sh's, as for `make test`. No display is needed: the unit tests
# open no window, and the tests of the program under Wine start a virtual one of their own.
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
wineserver -p </dev/null >/dev/null 2>&1
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -e "$WINEPREFIX/system.reg" ]; then
  bash "$here/step.sh" "Preparing the Wine prefix ${WINEPREFIX#"$PWD"/} (once)" wineboot -i
fi
bash "$here/test.sh" "$@"
