# The virtual display, for lib.sh (which sources this file): Xvfb, the window manager's work area
# and frames, the program's windows, and what the screen shows.

# Arguments are further Xvfb options (+extension GLX, say).
kel_start_xvfb() {
  local displayfile=$KEL_DIR/display
  : >"$displayfile"
  # -displayfd: the server picks a free display number itself and writes it when ready.
  Xvfb -displayfd 3 -noreset -nolisten tcp "$@" -screen 0 1024x768x24 \
    3>"$displayfile" >"$KEL_DIR/xvfb.log" 2>&1 &
  kel_track $! Xvfb
  KEL_LOGS+=("$KEL_DIR/xvfb.log")
  kel_wait_until 10 "Xvfb to report its display" test -s "$displayfile"
  DISPLAY=:$(tr -d '[:space:]' <"$displayfile")
  export DISPLAY
  kel_wait_until 10 "display $DISPLAY to answer" xwininfo -root >/dev/null 2>&1
  kel_log "Xvfb on display $DISPLAY"
}

kel_start_desktop() {
  [[ -n ${DBUS_SESSION_BUS_ADDRESS:-} ]] || kel_fail "no private session bus"
  kel_start_xvfb
  kel_start_watcher
}

# ---------------------------------------------------------------------------------------------
# The window manager: its work area and frames

kel_wm_running() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# The work area the window manager leaves beside its panels (_NET_WORKAREA of the first
# desktop): "x y width height".
kel_work_area() {
  xprop -root _NET_WORKAREA 2>/dev/null |
    awk -F'[=,]' 'NF >= 5 { print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }'
}
kel_work_area_below_top() {
  local x y width height
  read -r x y width height < <(kel_work_area) && ((y > 0))
}

# A window's outer rectangle, the frame of the window manager included (_NET_FRAME_EXTENTS):
# "x y width height"; kel_framed tells whether the frame is there yet.
kel_framed() { xprop -id "$1" _NET_FRAME_EXTENTS 2>/dev/null | grep -q '='; }
kel_frame_geometry() {
  local x y width height left right top bottom
  read -r x y width height < <(kel_window_geometry "$1")
  read -r left right top bottom < <(xprop -id "$1" _NET_FRAME_EXTENTS |
    awk -F'[=,]' 'NF >= 5 { print $2 + 0, $3 + 0, $4 + 0, $5 + 0 }')
  echo $((x - left)) $((y - top)) $((width + left + right)) $((height + top + bottom))
}

# The window is framed, its outer rectangle's lower right corner on the work area's ("x y width
# height", as kel_work_area prints it), and its top inside the work area.
kel_framed_in_corner() {
  local window=$1 area_x=$2 area_y=$3 area_width=$4 area_height=$5 x y width height
  kel_framed "$window" || return 1
  read -r x y width height < <(kel_frame_geometry "$window")
  ((x + width == area_x + area_width && y + height == area_y + area_height && y >= area_y))
}

# kel_expect_main_window_in_corner X Y WIDTH HEIGHT: the main window shows, and its frame ends at
# the lower right corner of that work area; sets main to the window.
kel_expect_main_window_in_corner() {
  kel_wait_until 20 "the main window to be shown" kel_window_visible
  main=$(kel_visible_windows | head -n 1)
  kel_wait_for 5 kel_framed_in_corner "$main" "$@" ||
    kel_fail "the framed window ($(kel_frame_geometry "$main")) does not end at the lower right" \
      "corner of the work area ($*)"
  kel_log "the framed window $(kel_frame_geometry "$main") ends at the work area's corner"
}

# ---------------------------------------------------------------------------------------------
# Windows

# Ids of the program's visible windows titled "!Kelmora".
kel_visible_windows() { xdotool search --onlyvisible --name '^!Kelmora$' 2>/dev/null; }
kel_window_visible() { [[ -n $(kel_visible_windows) ]]; }
kel_no_window_visible() { ! kel_window_visible; }

# The alarm editor "アラーム": kel_open_editor MAIN presses "♪" (128 to 153 pixels from the main
# window's left, 4 to 25 from its top) and waits for the editor; sets KEL_EDITOR.
kel_editor_windows() { xdotool search --onlyvisible --name '^アラーム$' 2>/dev/null; }
kel_editor_visible() { [[ -n $(kel_editor_windows) ]]; }
kel_open_editor() {
  xdotool mousemove --window "$1" 140 14 click 1
  kel_wait_until 10 "the alarm editor to be shown" kel_editor_visible
  KEL_EDITOR=$(kel_editor_windows | head -1)
  kel_log "the alarm editor is window $KEL_EDITOR"
}

# kel_close_window WINDOW: the user brings the window to the front and closes it with Alt+F4, which
# the window manager (xfwm4) turns into a close request.
kel_close_window() {
  timeout -k 1 5 xdotool windowactivate --sync "$1" ||
    kel_fail "the window manager did not bring window $1 to the front"
  xdotool key alt+F4
}

# "x y width height" of a window, from the server's point of view.
kel_window_geometry() {
  xwininfo -id "$1" |
    awk '/Absolute upper-left X/ { x = $NF } /Absolute upper-left Y/ { y = $NF }
         /^ *Width:/ { w = $NF } /^ *Height:/ { h = $NF } END { print x, y, w, h }'
}

# kel_grab_screen X Y WIDTH HEIGHT: that part of the screen in ImageMagick's text form, one
# pixel a line. The X server's picture by default; a desktop that composites the screen itself
# (GNOME Shell) sets KEL_GRAB to a function of its own that takes the same arguments.
kel_grab_screen() {
  if [[ -n ${KEL_GRAB:-} ]]; then
    "$KEL_GRAB" "$@"
  else
    import -window root -depth 8 -crop "${3}x${4}+${1}+${2}" +repage txt:-
  fi
}

# kel_screen_art X Y WIDTH HEIGHT: that part of the screen as ASCII art, "R" for pure red
# (#FF0000), "." for anything else, one row per line.
kel_screen_art() {
  kel_grab_screen "$@" |
    awk -v h="$4" 'NR > 1 { split($1, at, /[,:]/); row[at[2]] = row[at[2]] ($3 == "#FF0000" ? "R" : ".") }
                   END { for (y = 0; y < h; y++) print row[y] }'
}

# kel_screen_is X Y WIDTH HEIGHT ART: that part of the screen shows ART.
kel_screen_is() { [[ $(kel_screen_art "$1" "$2" "$3" "$4") == "$5" ]]; }
kel_screen_has_red() { [[ $(kel_screen_art "$1" "$2" "$3" "$4") == *R* ]]; }


# kel_red_spot X Y WIDTH HEIGHT: "count x y" of the strongly red pixels (red at least 180, green
# and blue at most 60: a red face scaled by a tray blends its edges) in that part of the screen,
# x y their centre on the screen.
kel_red_spot() {
  kel_grab_screen "$@" |
    awk -v x0="$1" -v y0="$2" '
      NR > 1 { split($1, at, /[,:]/); colour = $2; gsub(/[()]/, "", colour); split(colour, c, ",")
               if (c[1] >= 180 && c[2] <= 60 && c[3] <= 60) { n++; sx += at[1]; sy += at[2] } }
      END { if (n) printf "%d %d %d\n", n, x0 + sx / n, y0 + sy / n; else print 0, 0, 0 }'
}
