#!/usr/bin/env bash
# Buttons on the tray item: the middle button (SecondaryActivate) and the wheel (Scroll) do
# nothing; the right button (ContextMenu) brings the main window back, without a menu, and the
# item goes away.
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
kel_start_desktop
kel_write_red_24h_settings
kel_start_program
kel_wait_for_item 20
kel_wait_until 6 "the first redraw's tip" kel_tip_is '2003/11/09 14:07 日'

kel_item_call SecondaryActivate
gdbus call --session --timeout 3 -d "$KEL_ITEM" -o "$KEL_ITEM_PATH" \
  -m org.kde.StatusNotifierItem.Scroll 1 vertical >/dev/null
kel_holds_for 1 "the middle button and the wheel leave the window hidden" kel_no_window_visible
kel_find_item || kel_fail "the tray item went away after the middle button or the wheel"
kel_log "the middle button and the wheel did nothing"

kel_item_call ContextMenu
kel_wait_until 5 "the main window to be shown" kel_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
# Only the main window: no popup menu of the toolkit's own.
[[ -z $(kel_other_windows) ]] || kel_fail "another window appeared with the main window (a menu?)"
kel_log "the right button brought the main window back; the item is gone"

kel_stop_program TERM
kel_pass
