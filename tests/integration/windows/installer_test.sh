#!/usr/bin/env bash
# kelmora.exe's packages (the target kelmora_package, built in dist/ of the build folder first),
# under Wine in a fresh copy of the prepared prefix:
# - the portable zip holds Kelmora\kelmora.exe, with its version, icon and manifest, README.txt and
#   LICENSE.txt; unpacked, the program shows its window "!Kelmora", and closed, writes its files
#   beside itself;
# - the installer, run silently, puts the program under Program Files, its Start-menu entry, its
#   start at sign-in and its entry among the system's apps (the Uninstall key and its values);
# - the uninstaller, run silently, takes all of them away and keeps the user's files in
#   %APPDATA%\Kelmora.
source "$(dirname "$0")/lib.sh"
kw_init "$0" "$@"
kel_require_tools makensis unzip cmake x86_64-w64-mingw32-windres
build=$(cd "$(dirname "$1")/.." && pwd)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
kw_start_session
main='!Kelmora'
drive=$WINEPREFIX/drive_c

KEL_LOGS+=("$KEL_DIR/package.log")
cmake --build "$build" --target kelmora_package >"$KEL_DIR/package.log" 2>&1 ||
  kel_fail "the target kelmora_package did not build"
zip=$build/dist/kelmora-$version-windows-x86_64.zip
setup=$build/dist/kelmora-$version-windows-x86_64-setup.exe
kel_log "${zip##*/} $(stat -c %s "$zip") bytes, ${setup##*/} $(stat -c %s "$setup") bytes"

# ---- the portable zip
unzip -q "$zip" -d "$KEL_DIR/portable" || kel_fail "cannot unpack ${zip##*/}"
KEL_DATA=$KEL_DIR/portable/Kelmora
for file in kelmora.exe README.txt LICENSE.txt; do
  [[ -f $KEL_DATA/$file ]] || kel_fail "${zip##*/} holds no Kelmora/$file"
done
KW_EXE=$KEL_DATA/kelmora.exe
# Its resources: the version, the icon's three sizes, the manifest.
resources=$(x86_64-w64-mingw32-windres -i "$KW_EXE" -O rc) || kel_fail "no resources in kelmora.exe"
for want in "\"ProductVersion\", \"$version\"" 'Has 3 elements' PerMonitorV2 Common-Controls; do
  [[ $resources == *"$want"* ]] || kel_fail "kelmora.exe's resources lack $want"
done
kw_start_program
kel_wait_until 20 "the zip's program to show its window" kw_window_visible "$main"
kw_close "$main"
kw_expect_exit 10 "when its window closes"
kel_expect_start_files "beside the zip's program"
kel_log "the zip's program showed its window and wrote its files beside itself"

# ---- the installer
# reg_value KEY NAME: the value's data, or nothing.
reg_value() {
  wine reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$2  *REG_[A-Z_]*  *//p"
}
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Kelmora'
run='HKCU\Software\Microsoft\Windows\CurrentVersion\Run'
program_dir="$drive/Program Files/Kelmora"
shortcut="$drive/ProgramData/Microsoft/Windows/Start Menu/Programs/Kelmora.lnk"
wine "$setup" /S || kel_fail "the installer failed"
[[ -f $program_dir/kelmora.exe ]] || kel_fail "no kelmora.exe under Program Files"
[[ -f $shortcut ]] || kel_fail "no Start-menu entry"
[[ $(reg_value "$run" Kelmora) == '"C:\Program Files\Kelmora\kelmora.exe"' ]] ||
  kel_fail "no start at sign-in: '$(reg_value "$run" Kelmora)'"
declare -A want=([DisplayName]=Kelmora [DisplayVersion]=$version [NoModify]=0x1 [NoRepair]=0x1
  [Publisher]='The Kelmora developers' [UninstallString]='"C:\Program Files\Kelmora\uninstall.exe"'
  [DisplayIcon]='C:\Program Files\Kelmora\kelmora.exe,0')
for name in "${!want[@]}"; do
  [[ $(reg_value "$uninstall" "$name") == "${want[$name]}" ]] ||
    kel_fail "$uninstall $name is '$(reg_value "$uninstall" "$name")', not '${want[$name]}'"
done
(($(reg_value "$uninstall" EstimatedSize) > 0)) || kel_fail "no EstimatedSize"
kel_log "the installer put in the program, its shortcut, its start at sign-in and its Uninstall key"

# ---- the uninstaller, with the user's files in place
data=$(winepath -u "$(wine cmd /c echo %APPDATA% | tr -d '\r')")/Kelmora
mkdir -p "$data" && echo kept >"$data/timer.ini"
wine "$program_dir/uninstall.exe" /S || kel_fail "the uninstaller failed"
# It runs on from a copy of itself in the temporary folder.
kel_wait_until 30 "the uninstaller to remove the program's folder" test ! -e "$program_dir"
[[ ! -e $shortcut ]] || kel_fail "the Start-menu entry stayed"
[[ -z $(reg_value "$run" Kelmora) ]] || kel_fail "the start at sign-in stayed"
! wine reg query "$uninstall" >/dev/null 2>&1 || kel_fail "the Uninstall key stayed"
[[ $(<"$data/timer.ini") == kept ]] || kel_fail "the user's files in %APPDATA%\\Kelmora went"
kel_log "the uninstaller removed all it had put in place and kept the user's files"
kel_pass
