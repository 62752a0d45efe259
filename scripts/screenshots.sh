#!/usr/bin/env bash
# Takes the README's screenshots of Kelmora on a private virtual desktop, with the integration
# tests' harness (Xvfb, private session bus and folders, the clock faked to 2003-11-09 14:07:00),
# and writes them to docs/images:
#   tray-analog.png, tray-one-line.png, tray-two-lines.png  the tray (trayer, XEmbed) showing the
#                                                            face, scaled up four times
#   tray-dark-panel.png                                      a light analog face in a dark tray
#   main-window.png                                          the main window at the first start
#   alarm-editor.png                                         the alarm editor with two alarms
# The windows are drawn in the fonts of the install step's screenshots group and in no others
# (DejaVu Sans, Motoya L Cedar for the Japanese texts), so the pictures come out the same on any
# machine. Everything started is ended by the harness's exit trap.
#
# usage: scripts/screenshots.sh [path-to-kelmora]   (default: build/bin/kelmora); `make
# screenshots` installs what it needs first
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# shellcheck source=tests/integration/lib.sh
source "$repo/tests/integration/lib.sh"
kel_init "$0" "${1:-$repo/build/bin/kelmora}"
kel_require_tools import convert trayer

OUT=${KEL_SHOTS_OUT:-$repo/docs/images}
mkdir -p "$OUT"

TRAY_WIDTH=100 # trayer's panel, as the harness places it: top left, 100x24
TRAY_HEIGHT=24
SCALE=4 # the tray is enlarged so the 16x16 face can be seen, pixel for pixel

# Colour values: red in the low byte, then green, then blue.
RED=255
BLUE=16711680
DARK_GREEN=32768
PURPLE=8388736
BLACK=0
WHITE=16777215
YELLOW=65535
LIGHT_GREY=12632256
DARK_PANEL=0x353535 # the tint of the dark tray, as Xfce's dark panel

# A fontconfig of its own: only these fonts, drawn the same way everywhere.
use_fixed_fonts() {
  local dir dirs=(/usr/share/fonts/truetype/dejavu /usr/share/fonts/truetype/motoya-l-cedar)
  for dir in "${dirs[@]}"; do
    [[ -d $dir ]] || kel_fail "no fonts in $dir: run scripts/install-deps.sh screenshots"
  done
  cat >"$KEL_DIR/fonts.conf" <<EOF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <dir>${dirs[0]}</dir>
  <dir>${dirs[1]}</dir>
  <cachedir>$KEL_DIR/fontconfig</cachedir>
  <alias binding="same"><family>Sans Serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <alias binding="same"><family>sans-serif</family><prefer><family>DejaVu Sans</family></prefer></alias>
  <match target="font">
    <edit name="antialias" mode="assign"><bool>true</bool></edit>
    <edit name="hinting" mode="assign"><bool>true</bool></edit>
    <edit name="hintstyle" mode="assign"><const>hintslight</const></edit>
    <edit name="rgba" mode="assign"><const>none</const></edit>
  </match>
</fontconfig>
EOF
  export FONTCONFIG_FILE=$KEL_DIR/fonts.conf
}

# kel_write_settings with the start tip pattern and interval.
write_face_settings() { kel_write_settings 'yyyy/mm/dd hh:mm aaa' 1.0 "$@"; }

# shoot_crop FILE X Y WIDTH HEIGHT [CONVERT-OPTION...]: that part of the screen into docs/images.
shoot_crop() {
  local file=$1 x=$2 y=$3 width=$4 height=$5
  shift 5
  import -window root "$KEL_DIR/screen.png"
  convert "$KEL_DIR/screen.png" -crop "${width}x${height}+${x}+${y}" +repage "$@" \
    -strip "$OUT/$file"
  kel_log "wrote $OUT/$file"
}

# face_drawn X Y WIDTH HEIGHT: that part of the screen holds more than its background colour.
# shellcheck disable=SC2317 # called through kel_wait_until
face_drawn() {
  local colours
  colours=$(import -window root -crop "${3}x${4}+${1}+${2}" +repage -format %k info:)
  ((colours > 1))
}

# shoot_tray FILE MODE1 MODE2 C0..C7: starts the program with these settings, waits for its face
# in the tray, photographs the tray strip and stops the program.
shoot_tray() {
  local file=$1
  shift
  write_face_settings "$@"
  kel_start_program
  kel_wait_until 20 "the icon to be docked in the tray" kel_other_window_visible
  local icon x y width height
  icon=$(kel_other_windows | head -1)
  read -r x y width height < <(kel_window_geometry "$icon")
  kel_wait_until 5 "the docked icon to show a face" face_drawn "$x" "$y" "$width" "$height"
  sleep 0.3 # the tray's own repaint around the icon
  # The strip from the tray's left edge to a little past the icon.
  local strip=$((x + width + 8 < TRAY_WIDTH ? x + width + 8 : TRAY_WIDTH))
  shoot_crop "$file" 0 0 "$strip" "$TRAY_HEIGHT" -sample "$((SCALE * 100))%"
  kel_stop_program TERM
}

alarm_editor_windows() { xdotool search --onlyvisible --name '^アラーム$' 2>/dev/null; }
# shellcheck disable=SC2317 # called through kel_wait_until
alarm_editor_visible() { [[ -n $(alarm_editor_windows) ]]; }

shoot_window() {
  local file=$1 window=$2 x y width height
  read -r x y width height < <(kel_window_geometry "$window")
  shoot_crop "$file" "$x" "$y" "$width" "$height"
}

use_fixed_fonts
kel_start_xvfb
kel_start_xembed_tray

# Analog: minute hand red, hour hand blue, dial dots black.
shoot_tray tray-analog.png 0 0 "$RED" "$BLUE" "$BLACK" 0 0 0 0 0
# One line of 24-hour time: the hour red, the minutes blue.
shoot_tray tray-one-line.png 2 0 "$RED" "$RED" "$BLUE" "$BLUE" 0 0 0 0
# Two lines: 24-hour time above, month and day below.
shoot_tray tray-two-lines.png 2 3 "$RED" "$RED" "$BLUE" "$BLUE" \
  "$DARK_GREEN" "$DARK_GREEN" "$PURPLE" "$PURPLE"

# A dark tray, where the start colours (black) are hard to see: the minute hand white, the hour
# hand yellow, the dial dots light grey.
kel_end_process "$KEL_XEMBED_TRAY_PID" trayer
kel_start_xembed_tray --transparent true --alpha 0 --tint "$DARK_PANEL"
shoot_tray tray-dark-panel.png 0 0 "$WHITE" "$YELLOW" "$LIGHT_GREY" 0 0 0 0 0

# The first start (no settings file) shows the main window; its "♪" opens the alarm editor.
rm -f "$KEL_DATA/Varnlock.ini"
kel_write_alarms $'2003/11/09 15:00:00\t1h\tE\t' $'2003/11/10 07:30:00\t0z\tE\t'
kel_start_program
kel_wait_until 20 "the main window to be shown" kel_window_visible
main=$(kel_visible_windows | head -1)
sleep 0.5 # the first paint of the window's contents
shoot_window main-window.png "$main"

xdotool mousemove --window "$main" 140 14 click 1
kel_wait_until 10 "the alarm editor to be shown" alarm_editor_visible
editor=$(alarm_editor_windows | head -1)
sleep 0.5
shoot_window alarm-editor.png "$editor"
kel_stop_program TERM
kel_pass
