#!/usr/bin/env bash
# kelmora.exe's packages (the target kelmora_package, in dist/ of the build folder), under Wine in
# a fresh prefix on a virtual display of their own:
# - the portable zip holds Kelmora\kelmora.exe, README.txt and LICENSE.txt; unpacked, the program
#   shows its window "!Kelmora", and closed, it leaves its settings beside itself;
# - the installer, run silently, puts the program under Program Files, its Start-menu entry, its
#   start at sign-in and its entry among the system's apps (the Uninstall key and its values);
# - the uninstaller, run silently, takes all of them away and keeps the user's files in
#   %APPDATA%\Kelmora.
# Usage: installer_test.sh BUILD/bin/kelmora.exe (the package is built in BUILD first).
set -euo pipefail
test_name=installer_test
fail() {
  printf '[%s] FAIL: %s\n' "$test_name" "$*" >&2
  exit 1
}
log() { printf '[%s] %s\n' "$test_name" "$*"; }
for tool in wine:wine wineboot:wine wineserver:wine Xvfb:xvfb xdotool:xdotool makensis:nsis \
  unzip:unzip; do
  command -v "${tool%%:*}" >/dev/null 2>&1 ||
    fail "missing tool ${tool%%:*}: install the Debian package ${tool#*:}"
done

build=$(cd "$(dirname "${1:?usage: installer_test.sh BUILD/bin/kelmora.exe}")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
cmake --build "$build" --target kelmora_package >/dev/null || fail "kelmora_package did not build"
zip=$build/dist/kelmora-$version-windows-x86_64.zip
setup=$build/dist/kelmora-$version-windows-x86_64-setup.exe
[[ -f $zip && -f $setup ]] || fail "no $zip and $setup"

work=$(mktemp -d)
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEDLLOVERRIDES=winemenubuilder.exe=d
xvfb=
finish() {
  wineserver -k 2>/dev/null || true
  [[ -z $xvfb ]] || kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap finish EXIT
Xvfb -displayfd 3 -nolisten tcp -screen 0 1024x768x24 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
wait_until() {  # SECONDS WHAT COMMAND...
  local seconds=$1 what=$2 tries
  shift 2
  for ((tries = seconds * 4; tries > 0; tries--)); do
    "$@" && return 0
    sleep 0.25
  done
  fail "waited $seconds s for $what"
}
wait_until 10 "Xvfb's display" test -s "$work/display"
DISPLAY=:$(tr -d '[:space:]' <"$work/display")
export DISPLAY
wineboot -i >/dev/null 2>&1 || fail "wineboot could not make a prefix"
drive=$WINEPREFIX/drive_c
appdata=$(wine cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')

# ---- the portable zip
unzip -q "$zip" -d "$drive/portable" || fail "cannot unpack ${zip##*/}"
for file in kelmora.exe README.txt LICENSE.txt; do
  [[ -f $drive/portable/Kelmora/$file ]] || fail "${zip##*/} holds no Kelmora/$file"
done
wine 'C:\portable\Kelmora\kelmora.exe' >"$work/portable.log" 2>&1 &
program=$!
wait_until 30 "the window !Kelmora" xdotool search --name '^!Kelmora$' >/dev/null
# Without /f, taskkill asks the program's windows to close, as the user does.
wine taskkill /im kelmora.exe >/dev/null 2>&1 || fail "kelmora.exe would not be asked to close"
wait_until 20 "the portable program to end" test ! -d "/proc/$program"
[[ -f $drive/portable/Kelmora/Varnlock.ini ]] || fail "the portable program kept no settings beside it"
log "the zip's program started, showed its window and kept its settings beside itself"

# ---- the installer
reg_value() {  # KEY NAME: the value's data, or nothing
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2  *REG_[A-Z_]*  *//p"
}
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelmora'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
program_dir="$drive/Program Files/Kelmora"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelmora.lnk"
wine "$setup" /S || fail "the installer failed"
[[ -f $program_dir/kelmora.exe ]] || fail "no kelmora.exe under Program Files"
[[ -f $shortcut ]] || fail "no Start-menu entry"
[[ -n $(reg_value "$run" Kelmora) ]] || fail "no start at sign-in"
declare -A want=([DisplayName]=Kelmora [DisplayVersion]=$version [NoModify]=0x1 [NoRepair]=0x1
  [Publisher]='The Kelmora developers' [UninstallString]='"C:\Program Files\Kelmora\uninstall.exe"'
  [DisplayIcon]='C:\Program Files\Kelmora\kelmora.exe,0')
for name in "${!want[@]}"; do
  [[ $(reg_value "$uninstall" "$name") == "${want[$name]}" ]] ||
    fail "$uninstall $name is '$(reg_value "$uninstall" "$name")'"
done
(($(reg_value "$uninstall" EstimatedSize) > 0)) || fail "no EstimatedSize"
log "the installer put in the program, its shortcut, its start at sign-in and its Uninstall key"

# ---- the uninstaller, with the user's files in place
data=$(winepath -u "$appdata")/Kelmora
mkdir -p "$data" && echo kept >"$data/timer.ini"
wine "$program_dir/uninstall.exe" /S || fail "the uninstaller failed"
# It runs from a copy of itself in the temporary folder, which ends after it returns.
wait_until 30 "the uninstaller to remove the program" test ! -e "$program_dir"
[[ ! -e $shortcut ]] || fail "the Start-menu entry stayed"
[[ -z $(reg_value "$run" Kelmora) ]] || fail "the start at sign-in stayed"
! wine reg query "$uninstall" >/dev/null 2>&1 || fail "the Uninstall key stayed"
[[ $(cat "$data/timer.ini") == kept ]] || fail "the user's files went"
log "the uninstaller removed everything it had put in place and kept the user's files"
log PASS
