#!/usr/bin/env bash
# The first start, without a settings file: the main window "!Kelmora" is shown, on top, in the
# lower right corner, and no tray item is registered; SIGTERM writes the settings file with the
# start values and an empty alarm file.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_start_program

kel_wait_until 20 "the main window to be shown" kel_window_visible
window=$(kel_visible_windows | head -1)
read -r x y width height < <(kel_window_geometry "$window")
kel_log "the window is shown at $x,$y size ${width}x$height"
((x + width == 1024 && y + height == 768)) ||
  kel_fail "the window ($x,$y ${width}x$height) is not in the lower right corner of 1024x768"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_ABOVE ||
  kel_fail "the window is not kept above others: $(xprop -id "$window" _NET_WM_STATE)"
# Registration with the watcher takes milliseconds; two seconds without one mean none.
kel_holds_for 2 "no tray item is registered on a first start" kel_no_item_registered
kel_expect_running

kel_stop_program TERM
kel_expect_start_files "after SIGTERM"
kel_pass
