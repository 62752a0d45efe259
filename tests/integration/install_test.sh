#!/usr/bin/env bash
# The installed tree: `make install-local` (scripts/install-local.sh) of the build folder (the
# program's folder's parent) into a fresh prefix puts the program, its sound player and the player's module, its
# default sound, the menu entry, the AppStream description, the manual page and the icons in their
# places; the desktop file and the metainfo pass their validators (appstreamcli's pedantic checks
# too); every icon is the program's own 16x16 icon scaled up by a whole factor; the installed
# program, started on the virtual desktop, shows in the tray and plays its installed default sound
# for an alarm with an empty sound path. The default sound (three bell strikes, about 1.5 s) is
# told from the built-in chime (0.6 s) by still sounding a second after it starts. Then `make
# uninstall-local` removes every file the install put there and the folders it made, and leaves
# the data folder and a file of another program in the prefix alone.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"

# The validators come from packages the harness does not name; a missing one fails the test,
# naming the package to install.
for tool in desktop-file-validate:desktop-file-utils appstreamcli:appstream cmake:cmake \
  convert:imagemagick identify:imagemagick; do
  if ! command -v "${tool%%:*}" >/dev/null 2>&1; then
    printf '[%s] FAIL: missing tool %s: install the Debian package %s\n' "$KEL_TEST" \
      "${tool%%:*}" "${tool#*:}" >&2
    exit 1
  fi
done

build=$(dirname "$(dirname "$KEL_PROGRAM")")
prefix=$KEL_DIR/prefix
metainfo=share/metainfo/io.github.kelmora.kelmora.metainfo.xml
install_local=${KELMORA_SOURCE_DIR:?KELMORA_SOURCE_DIR names the source tree}/scripts/install-local.sh
# Another program's menu entry, there before Kelmora and after it.
mkdir -p "$prefix/share/applications"
echo '[Desktop Entry]' >"$prefix/share/applications/other.desktop"
KEL_LOGS+=("$KEL_DIR/install.log")
bash "$install_local" install "$build" "$prefix" >"$KEL_DIR/install.log" 2>&1 ||
  kel_fail "install-local.sh install $build $prefix failed"
kel_log "installed $build into $prefix"

icon_sizes=(16 32 48 64 128)
expected_files=(bin/kelmora lib/kelmora/kelmora_sound.so lib/kelmora/kelmora_play
  share/kelmora/sounds/alarm.wav
  share/applications/kelmora.desktop
  "$metainfo" share/doc/kelmora/copyright share/man/man1/kelmora.1 share/kelmora/installed-files)
for size in "${icon_sizes[@]}"; do
  expected_files+=("share/icons/hicolor/${size}x$size/apps/kelmora.png")
done
for file in "${expected_files[@]}"; do
  [[ -f $prefix/$file ]] || kel_check_failed "the install lacks $file"
done
[[ -x $prefix/bin/kelmora ]] || kel_fail "bin/kelmora is not executable"
[[ -x $prefix/lib/kelmora/kelmora_play ]] || kel_fail "lib/kelmora/kelmora_play is not executable"
# The program looks for its default sound beside its own folder: <prefix>/bin/../share/...
kel_expect_bytes "$prefix/bin/../share/kelmora/sounds/alarm.wav" \
  "$build/share/kelmora/sounds/alarm.wav" "the default sound as the installed program finds it"

# ---- The menu entry

desktop=$prefix/share/applications/kelmora.desktop
desktop-file-validate "$desktop" >"$KEL_DIR/desktop-validate.log" 2>&1 || {
  KEL_LOGS+=("$KEL_DIR/desktop-validate.log")
  kel_fail "desktop-file-validate rejects kelmora.desktop"
}
for entry in Type=Application Name=Kelmora Exec=kelmora Icon=kelmora Terminal=false \
  'Categories=Utility;Clock;' StartupNotify=false; do
  grep -qxF "$entry" "$desktop" || kel_check_failed "kelmora.desktop lacks the line $entry"
done
grep -qE '^Comment=[ -~]+$' "$desktop" || kel_check_failed "kelmora.desktop lacks an English Comment"
grep -qP '^Comment\[ja\]=.*[\x{3040}-\x{30FF}\x{4E00}-\x{9FFF}]' "$desktop" ||
  kel_check_failed "kelmora.desktop lacks a Japanese Comment[ja]"
kel_log "kelmora.desktop is valid"

# ---- The AppStream description

# Not even a pedantic note: the log holds only the line that says the validation passed.
if ! appstreamcli validate --pedantic --no-net "$prefix/$metainfo" \
  >"$KEL_DIR/appstream-validate.log" 2>&1 ||
  grep -vqE '^$|Validation was successful\.$' "$KEL_DIR/appstream-validate.log"; then
  KEL_LOGS+=("$KEL_DIR/appstream-validate.log")
  kel_fail "appstreamcli validate --pedantic finds fault with the metainfo"
fi
grep -qF '<launchable type="desktop-id">kelmora.desktop</launchable>' "$prefix/$metainfo" ||
  kel_fail "the metainfo does not launch kelmora.desktop"
version=$("$prefix/bin/kelmora" --version) || kel_fail "kelmora --version failed"
[[ $version =~ ^kelmora\ ([0-9]+\.[0-9]+\.[0-9]+)$ ]] ||
  kel_fail "kelmora --version printed \"$version\""
grep -qF "<release version=\"${BASH_REMATCH[1]}\"" "$prefix/$metainfo" ||
  kel_fail "the metainfo has no release for the program's version ${BASH_REMATCH[1]}"
kel_log "the metainfo is valid and names release ${BASH_REMATCH[1]}"

# ---- The icons: the program's own clock at three o'clock, crisp at every size

# "." transparent, "Y" opaque yellow, "R" opaque red, "?" anything else.
program_icon='................
........Y.......
....Y.......Y...
........R.......
..Y.....R.....Y.
........R.......
........R.......
........R.......
.Y......RRRRR..Y
................
................
................
..Y...........Y.
................
....Y.......Y...
........Y.......'

png_art() {
  convert "$1" -depth 8 txt:- |
    awk -v n="$2" 'NR > 1 { split($1, at, /[,:]/)
                            c = $3 ~ /00$/ ? "." : $3 == "#FF0000FF" ? "R" : $3 == "#FFFF00FF" ? "Y" : "?"
                            row[at[2]] = row[at[2]] c }
                   END { for (y = 0; y < n; y++) print row[y] }'
}

for size in "${icon_sizes[@]}"; do
  png=$prefix/share/icons/hicolor/${size}x$size/apps/kelmora.png
  if [[ $(identify -format '%w %h' "$png") != "$size $size" ]]; then
    kel_check_failed "the ${size}x$size icon is $(identify -format '%wx%h' "$png")"
    continue
  fi
  expected=$(kel_scale_art $((size / 16)) <<<"$program_icon")
  found=$(png_art "$png" "$size")
  if [[ $found != "$expected" ]]; then
    printf 'found:\n%s\n' "$found" >&2
    kel_check_failed "the ${size}x$size icon is not the program's icon scaled by $((size / 16))"
  fi
done
kel_log "icons ${icon_sizes[*]} are the program's icon, scaled crisply"

# ---- The installed program on the desktop: tray item, default sound for an empty sound path

KEL_PROGRAM=$prefix/bin/kelmora
kel_start_desktop
kel_start_sound
due=$(kel_fake_time_plus 4)
kel_write_settings 'yyyy/mm/dd hh:nn:ss aaa' 1.0 2 0 255 255 255 255 0 0 0 0
kel_write_alarms "$due"$'\t0z\t0\t'

plus() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", a + b }'; }

capture=$KEL_DIR/capture.raw
kel_start_capture "$capture"
kel_wait_until 5 "the capture to run" kel_capture_longer_than 0.2
recorded_at_start=$(kel_capture_seconds)
kel_start_program
# The process starts as env(1), which then runs the program in its place.
# shellcheck disable=SC2317 # called through kel_wait_until
running_installed() { [[ $(readlink -f "/proc/$KEL_PROGRAM_PID/exe") == "$prefix/bin/kelmora" ]]; }
kel_wait_until 5 "the installed program to run" running_installed
kel_wait_for_item 20
kel_no_window_visible || kel_fail "with a settings file the window shows instead of the tray icon"

kel_wait_until 8 "the tip to show the alarm due at $due" kel_tip_has "[♪$due]"
kel_wait_until 8 "the alarm to fire" kel_not kel_tip_has "[♪$due]"
kel_log "the alarm fired: the tip is \"$(kel_tip)\""
kel_wait_until 10 "the recording to pass the sound" \
  kel_capture_longer_than "$(plus "$recorded_at_start" 8)"
kel_stop_capture

due_at=$(plus "$recorded_at_start" 4.5)
heard=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$due_at")
# From the sound's start on (leading silence cut), the stretch from 0.9 s to 1.3 s.
late=$(kel_sound_stat "$capture" 'RMS amplitude' trim "$due_at" silence 1 0.01 1% trim 0.9 0.4)
kel_log "after the due time RMS amplitude $heard; 0.9 s to 1.3 s into the sound $late"
kel_greater "$heard" 0.05 || kel_fail "no sound was heard for the alarm (RMS amplitude $heard)"
kel_greater "$late" 0.05 ||
  kel_fail "the sound ended within a second: the chime played, not the installed default sound"

kel_stop_program TERM

# ---- make uninstall-local

[[ -f $KEL_DATA/Varnlock.ini ]] || kel_fail "the program wrote no Varnlock.ini"
bash "$install_local" uninstall "$build" "$prefix" >>"$KEL_DIR/install.log" 2>&1 ||
  kel_fail "install-local.sh uninstall $build $prefix failed"
left=$(cd "$prefix" && find . -mindepth 1 | sort | tr '\n' ' ')
[[ $left == "./share ./share/applications ./share/applications/other.desktop " ]] ||
  kel_check_failed "after uninstall-local the prefix holds: $left"
[[ -f $KEL_DATA/Varnlock.ini && -f $KEL_DATA/timer.ini ]] ||
  kel_check_failed "uninstall-local touched the data folder: $(ls -A "$KEL_DATA")"
kel_log "uninstall-local removed what install-local put in place"
kel_pass
