#!/usr/bin/env bash
# On Wayland: sway (headless, no XWayland), run as an unprivileged user since sway refuses root.
# With no X server, the program chooses Qt's Wayland platform itself. A Wayland program cannot
# place its windows; the compositor decides. The first
# start shows the main window, and SIGTERM writes both files with the start values. Started
# with a settings file, the program registers its tray item with sway's bar showing the face;
# Activate brings the window back. Without a tray host the stand-in window shows instead.
# shellcheck disable=SC2034 # read by lib.sh
KEL_USER=nobody
source "$(dirname "$0")/lib.sh"
kel_init "$0" "$@"
# shellcheck disable=SC2034 # read by lib.sh
KEL_QPA=default
compgen -G '/usr/lib/*/qt6/plugins/platforms/libqwayland-generic.so' >/dev/null ||
  kel_fail "missing Qt's Wayland platform: install qt6-wayland"
kel_start_sway tray

# ---- The first start.
kel_start_program
kel_wait_until 20 "the main window to be shown" kel_sway_window_visible
kel_holds_for 1 "the main window stays shown" kel_sway_window_visible
kel_stop_program TERM
kel_expect_start_files "after SIGTERM"

# ---- In the tray: red 24-hour digits, 14:07.
kel_write_red_24h_settings
kel_start_program
kel_wait_for_item 20
kel_sway_no_window_visible || kel_fail "the main window is shown although the settings file exists"
kel_expect_icon "$KEL_FACE_1407"
kel_log "the tray item shows 14:07 (sizes checked: $KEL_ICON_SIZES_CHECKED)"
kel_item_call Activate
kel_wait_until 5 "the main window to be shown" kel_sway_window_visible
kel_wait_until 5 "the tray item to go away" kel_item_gone
kel_stop_program TERM

# ---- No tray host: the stand-in window.
kel_stop_sway
kel_start_sway none
kel_start_program
kel_wait_until 20 "the tray stand-in window to be shown" kel_sway_other_window_visible
kel_sway_no_window_visible || kel_fail "the main window is shown although the settings file exists"
kel_log "the stand-in window shows: $(kel_sway_windows | tr '\n' ' ')"
kel_stop_program TERM
kel_pass
