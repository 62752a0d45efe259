# shellcheck shell=bash
# Harness for the Windows tests: runs a Win32 program (kelmora.exe, the bare tray program) under
# Wine on a private virtual desktop, as an ordinary user or as root.
#
# Each test gets its own Xvfb display, its own copy of a Wine prefix prepared once per build (the
# prefix set-up test makes it: `wineboot -i` takes 13 to 25 s, a copy about 3), its own
# wineserver, kept up for the whole test (`wineserver -p`) and ended at the end (`wineserver -k`),
# its own HOME and XDG_RUNTIME_DIR, and, when it asks, its own PulseAudio whose only sink is a pipe
# the test records (the Linux harness's, which winepulse plays to). Without an X tray Wine's
# desktop process (explorer) shows the tray icons in a small window of its own, "Wine System
# Tray"; the test finds it on the display and reads the icon's pixels there, clicks it with
# xdotool and reads its tip from explorer's trace (WINEDEBUG=+tooltips) while the pointer rests on
# the icon. Win32's own view of a window (rectangle, visibility, topmost) and of the work area
# comes from window_probe.exe, run in the same session. The program's clock is the real one
# (libfaketime cannot reach into Wine): times are written relative to it.
#
# Use from a test script (CTest passes the exe; KELMORA_WINE_PREFIX names the prepared prefix and
# KELMORA_WINDOW_PROBE the probe):
#   source "$(dirname "$0")/lib.sh"
#   kw_init "$0" "$@"        # private folders; the exe copied into a folder of its own
#   kw_start_session         # Xvfb, the prefix's copy, wineserver, Wine's desktop
#   kw_start_program
#   ...
#   kel_pass
#
# The functions of the Linux harness for the test's life (messages, fail, pass, waits, processes),
# the program's files and sound are used as they are (../lib/).

set -euo pipefail

# shellcheck source=../lib/life.sh
source "${BASH_SOURCE[0]%/*}/../lib/life.sh"
# shellcheck source=../lib/files.sh
source "${BASH_SOURCE[0]%/*}/../lib/files.sh"
# shellcheck source=../lib/sound.sh
source "${BASH_SOURCE[0]%/*}/../lib/sound.sh"
# shellcheck source=../lib/display.sh
source "${BASH_SOURCE[0]%/*}/../lib/display.sh"

# Wine's own processes report nothing; the tray's tool tips are traced for kw_tip.
KW_WINEDEBUG=-all
KW_TRAY_TRACE=-all,+tooltips
# No prompts to install Mono or Gecko, which nothing here needs.
export WINEDLLOVERRIDES='mscoree,mshtml='

# ---------------------------------------------------------------------------------------------
# The prepared prefix

# What a prepared prefix was made with: a new Wine or another Japanese font makes it anew.
kw_prefix_stamp() {
  printf '%s %s\n' "$(wine --version 2>/dev/null)" "$(kw_japanese_font)"
}

# The family of an installed font that has Japanese (fontconfig's first name for it).
kw_japanese_font() {
  fc-list :lang=ja family | head -n 1 | cut -d, -f1
}

# kw_prepare_prefix DIR: a Wine prefix in DIR, made once: booted, with "MS UI Gothic" (the font
# Japanese Windows draws dialogs in) replaced by an installed Japanese font, and no crash dialog
# that would wait for a click. Made aside and renamed into place, so a broken run leaves none.
kw_prepare_prefix() {
  local dir=$1 stamp font
  kel_require_tools wine wineboot wineserver fc-list
  stamp=$(kw_prefix_stamp)
  if [[ -f $dir/kelmora-stamp && $(<"$dir/kelmora-stamp") == "$stamp" ]]; then
    kel_log "prefix $dir is ready ($stamp)"
    return 0
  fi
  font=$(kw_japanese_font)
  [[ -n $font ]] || kel_fail "no font with Japanese is installed (fc-list :lang=ja)"
  rm -rf "$dir" "$dir.new"
  kel_log "preparing the Wine prefix $dir ($stamp; MS UI Gothic = $font)"
  (
    export WINEPREFIX=$dir.new WINEDEBUG=$KW_WINEDEBUG
    unset DISPLAY
    wineboot -i
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v 'MS UI Gothic' /d "$font" /f
    wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
    wineserver -w
  ) >"$dir.log" 2>&1 || {
    tail -n 20 "$dir.log" >&2
    kel_fail "wineboot could not prepare $dir"
  }
  printf '%s\n' "$stamp" >"$dir.new/kelmora-stamp"
  chmod -R a+rX "$dir.new"
  mv "$dir.new" "$dir"
}

# kw_copy_prefix FROM TO: a fresh copy of the prepared prefix. Wine's own files in it, which
# nothing writes, are hard-linked where the file system and the files' owner allow it, so the copy
# takes a fraction of a second; the registry and the rest are copied.
kw_copy_prefix() {
  local from=$1 to=$2
  mkdir -p "$to"
  if ! cp -a --link "$from/drive_c" "$to/" 2>/dev/null; then
    rm -rf "$to/drive_c"
    cp -a "$from/drive_c" "$to/"
  fi
  # Everything beside drive_c, .update-timestamp too: without it Wine would update the prefix
  # (12 s), writing through the links.
  find "$from" -mindepth 1 -maxdepth 1 ! -name drive_c -exec cp -a {} "$to/" \;
  # Whatever programs write under drive_c/users goes to files of the copy's own.
  rm -rf "$to/drive_c/users"
  cp -a "$from/drive_c/users" "$to/drive_c/"
}

# ---------------------------------------------------------------------------------------------
# Set-up and clean-up

# kw_init SCRIPT PROGRAM: private folders and environment; the exit trap. The program (an exe) is
# copied into a writable folder of its own, KW_EXE, which is also its data folder (KEL_DATA).
kw_init() {
  local script=$1
  KEL_TEST=windows.$(basename "$script" .sh)
  [[ $# -ge 2 ]] || {
    echo "usage: $script <path-to-exe>" >&2
    exit 2
  }
  kel_require_tools wine wineserver wineboot Xvfb xdotool xwininfo import perl
  [[ -f $2 ]] || kel_fail "program not found: $2"
  [[ -f ${KELMORA_WINE_PREFIX:-}/kelmora-stamp ]] ||
    kel_fail "no prepared Wine prefix in KELMORA_WINE_PREFIX (the prefix set-up test makes it)"
  [[ -f ${KELMORA_WINDOW_PROBE:-} ]] || kel_fail "KELMORA_WINDOW_PROBE names no window_probe.exe"
  KEL_DIR=$(mktemp -d "${TMPDIR:-/tmp}/kelmora-$KEL_TEST.XXXXXX")
  trap kw_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM HUP

  export HOME=$KEL_DIR/home XDG_RUNTIME_DIR=$KEL_DIR/runtime XDG_CONFIG_HOME=$KEL_DIR/config
  mkdir -p "$HOME" "$XDG_CONFIG_HOME"
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  # Wine needs a UTF-8 locale for file names that are not ASCII.
  export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=${KEL_TZ:-JST-9}
  unset DISPLAY WAYLAND_DISPLAY PULSE_SERVER DBUS_SESSION_BUS_ADDRESS WINEPREFIX
  mkdir -p "$KEL_DIR/program"
  cp "$2" "$KEL_DIR/program/"
  KW_EXE=$KEL_DIR/program/${2##*/}
  KEL_DATA=$KEL_DIR/program
  KW_PROBE=$KEL_DIR/window_probe.exe
  cp "$KELMORA_WINDOW_PROBE" "$KW_PROBE"
  kel_log "program $KW_EXE, folder $KEL_DIR"
}

kw_cleanup() {
  local rc=$? i
  trap - EXIT INT TERM HUP
  if [[ -n ${WINEPREFIX:-} ]]; then timeout -k 1 10 wineserver -k 2>/dev/null || true; fi
  for ((i = ${#KEL_PIDS[@]} - 1; i >= 0; i--)); do
    kel_end_process "${KEL_PIDS[i]}" "${KEL_NAMES[i]}"
  done
  if [[ -n ${KEL_KEEP:-} ]]; then
    kel_log "kept $KEL_DIR"
  else
    rm -rf "$KEL_DIR"
  fi
  exit "$rc"
}

# The session: a private display, a fresh copy of the prefix, its wineserver, and Wine's desktop
# process, started by the first Win32 program (the probe, asking for the work area) with the tool
# tips traced into explorer.log. Sets KW_WORK ("left top right bottom"). A test may end a session
# (kw_end_wine) and start another, on a display and a prefix of its own.
KW_SESSIONS=0
kw_start_session() {
  kel_start_xvfb
  local started=$SECONDS
  KW_SESSIONS=$((KW_SESSIONS + 1))
  export WINEPREFIX=$KEL_DIR/wine$KW_SESSIONS
  kw_copy_prefix "$KELMORA_WINE_PREFIX" "$WINEPREFIX"
  kel_log "prefix copied in $((SECONDS - started)) s"
  kel_start_logged wineserver wineserver -f -p
  KW_WINESERVER_PID=$KEL_STARTED_PID
  KEL_LOGS+=("$KEL_DIR/explorer.log")
  KW_WORK=$(WINEDEBUG=$KW_TRAY_TRACE wine "$KW_PROBE" 2>>"$KEL_DIR/explorer.log" |
    tr -d '\r' | sed -n 's/^work //p')
  [[ -n $KW_WORK ]] || kel_fail "Wine's desktop did not start"
  export WINEDEBUG=$KW_WINEDEBUG
  kel_log "Wine's desktop is up in $((SECONDS - started)) s; work area $KW_WORK"
}

# Ends every Wine process of the session and its wineserver.
kw_end_wine() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
}

# ---------------------------------------------------------------------------------------------
# The program

# kw_start_program [ARGUMENT...]: starts the program (a new one each call) in the background;
# KEL_PROGRAM_PID is the last one's wine process.
kw_start_program() {
  KEL_LOGS+=("$KEL_DIR/program.log")
  wine "$KW_EXE" "$@" >>"$KEL_DIR/program.log" 2>&1 &
  KEL_PROGRAM_PID=$!
  kel_track "$KEL_PROGRAM_PID" "${KW_EXE##*/}"
}
kel_program_gone() { ! kel_is_running "$KEL_PROGRAM_PID"; }

# kw_expect_exit SECONDS WHAT: the last program started exits, with status 0, within SECONDS.
kw_expect_exit() {
  local rc=0
  kel_wait_until "$1" "the program to exit $2" kel_program_gone
  wait "$KEL_PROGRAM_PID" || rc=$?
  ((rc == 0)) || kel_fail "the program exited with status $rc $2"
}

# The session ends as at a logout: Wine asks every program (WM_QUERYENDSESSION, WM_ENDSESSION).
kw_end_session() {
  kel_log "ending the session (wineboot -e)"
  wineboot -e >>"$KEL_DIR/program.log" 2>&1 || kel_fail "wineboot -e failed"
}

# ---------------------------------------------------------------------------------------------
# Windows, as Win32 sees them

# kw_probe ARGUMENT...: window_probe.exe's answer (see window_probe.cpp).
kw_probe() { wine "$KW_PROBE" "$@" 2>/dev/null | tr -d '\r'; }

# kw_window TITLE FIELD: one line of the probe's answer on that window, without its name.
kw_window() { kw_probe "$1" | sed -n "s/^$2 //p"; }
kw_window_visible() { [[ $(kw_window "$1" visible) == 1 ]]; }
kw_window_hidden() { [[ $(kw_window "$1" visible) == 0 ]]; }
kw_window_gone() { ! kw_probe "$1" >/dev/null; }

# kw_window_in_corner TITLE: the window's rectangle ends at the work area's lower right corner.
kw_window_in_corner() {
  local left top right bottom area_left area_top area_right area_bottom
  read -r left top right bottom < <(kw_window "$1" window)
  read -r area_left area_top area_right area_bottom <<<"$KW_WORK"
  ((right == area_right && bottom == area_bottom && top >= area_top && left >= area_left))
}

# kw_click_control TITLE TEXT [BUTTON]: a click (left by default) in the middle of the window's
# control of that text, through the X server as a user's click.
kw_click_control() {
  local x y width height
  read -r x y width height < <(kw_probe "$1" "$2" | sed -n 's/^control //p') ||
    kel_fail "window \"$1\" has no control \"$2\""
  xdotool mousemove $((x + width / 2)) $((y + height / 2)) click "${3:-1}"
}

# kw_close TITLE: the window is asked to close, as its close box does.
kw_close() { kw_probe --close "$1" >/dev/null || kel_fail "no window \"$1\" to close"; }

# ---------------------------------------------------------------------------------------------
# Wine's tray window

kw_tray_window() { xdotool search --onlyvisible --name '^Wine System Tray$' 2>/dev/null | head -n 1; }

# "x y" of the first icon's top-left pixel on the screen: icons stand in square slots as high as
# the tray window, each centred in its slot.
kw_icon_origin() {
  local window x y width height
  window=$(kw_tray_window)
  [[ -n $window ]] || return 1
  read -r x y width height < <(kel_window_geometry "$window")
  echo $((x + (height - 16) / 2)) $((y + (height - 16) / 2))
}
kw_tray_has_icon() { [[ -n $(kw_tray_window) ]]; }
kw_tray_empty() { [[ -z $(kw_tray_window) ]]; }

# The 16x16 icon in Wine's tray as ASCII art (kw_art), one row per line; the tray's own background
# shows where the icon is transparent.
kw_icon_art() {
  local x y
  read -r x y < <(kw_icon_origin) || return 1
  import -window root -depth 8 -crop "16x16+$x+$y" +repage txt:- | kw_art
}

# ImageMagick's text form of a 16x16 picture as ASCII art: "R" red (#FF0000), "Y" yellow
# (#FFFF00), "B" blue (#0000FF), "K" black, "." anything else.
kw_art() {
  awk 'NR > 1 { split($1, at, /[,:]/)
                c = $3 == "#FF0000" ? "R" : $3 == "#FFFF00" ? "Y" : $3 == "#0000FF" ? "B" : "."
                if ($3 == "#000000") c = "K"
                row[at[2]] = row[at[2]] c }
       END { for (y = 0; y < 16; y++) print row[y] }'
}
kw_icon_is() { [[ $(kw_icon_art) == "$1" ]]; }

# kw_click_icon [BUTTON]: the pointer goes to the icon's middle and clicks (left by default).
kw_click_icon() {
  local x y
  read -r x y < <(kw_icon_origin) || kel_fail "no icon in Wine's tray to click"
  xdotool mousemove $((x + 8)) $((y + 8)) click "${1:-1}"
}

# The tip Wine's tray last showed, from explorer's trace ("TOOLTIPS_Show Show tooltip 0,
# L"text", ..."; Wine writes characters outside ASCII as a backslash and four hex digits).
kw_last_tip() {
  grep -a 'TOOLTIPS_Show Show tooltip' "$KEL_DIR/explorer.log" | tail -n 1 |
    perl -CS -ne 'if (/L"((?:[^"\\]|\\.)*)"/) { my $t = $1;
      $t =~ s/\\([0-9a-fA-F]{4})|\\(.)/defined $1 ? chr(hex $1) : $2/ge; print "$t\n" }'
}

# kw_tip: rests the pointer on the icon until the tray shows its tip, and prints it. The pointer
# first leaves the tray, so each call sees the tip shown anew.
kw_tip() {
  local x y shown
  read -r x y < <(kw_icon_origin) || return 1
  shown=$(grep -ac 'TOOLTIPS_Show Show tooltip' "$KEL_DIR/explorer.log" || true)
  xdotool mousemove 512 384
  sleep 0.2
  xdotool mousemove $((x + 8)) $((y + 8))
  kw_tip_shown_after "$shown" || kel_wait_for 3 kw_tip_shown_after "$shown" || return 1
  kw_last_tip
}
kw_tip_shown_after() { (($(grep -ac 'TOOLTIPS_Show Show tooltip' "$KEL_DIR/explorer.log") > $1)); }
kw_tip_is() { [[ $(kw_tip) == "$1" ]]; }

# ---------------------------------------------------------------------------------------------
# The real clock, in the alarm file's form

# kw_time_plus SECONDS: the local time SECONDS from now as "yyyy/mm/dd hh:nn:ss".
kw_time_plus() { date -d "@$(($(date +%s) + $1))" '+%Y/%m/%d %H:%M:%S'; }
