# The tray, for lib.sh (which sources this file): the status notifier watcher and its stand-in
# host, the XEmbed tray, the program's stand-in window where no tray is, and the tray item
# (StatusNotifierItem): its icon, its tip and its buttons.


# dbus-monitor writing the tray item's and the watcher's signals into KEL_MONITOR_LOG, from the
# moment it listens (a probe signal of our own shows when).
kel_start_item_monitor() {
  KEL_MONITOR_LOG=$KEL_DIR/monitor.log
  dbus-monitor --session "type='signal',interface='org.kde.StatusNotifierItem'" \
    "type='signal',interface='org.kde.StatusNotifierWatcher'" >"$KEL_MONITOR_LOG" 2>&1 &
  kel_track $! dbus-monitor
  kel_wait_until 10 "dbus-monitor to listen" kel_monitor_heard_probe
}
kel_monitor_heard_probe() {
  gdbus emit --session -o /StatusNotifierItem -s org.kde.StatusNotifierItem.NewTitle >/dev/null 2>&1
  grep -q 'member=NewTitle' "$KEL_MONITOR_LOG"
}

kel_host_registered() {
  kel_busctl --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher IsStatusNotifierHostRegistered 2>/dev/null |
    jq -e '.data == true' >/dev/null
}

# The watcher, and a stand-in host registered with it: Qt shows its icon over D-Bus only when
# the watcher says a host is there.
kel_start_watcher() {
  status-notifier-watcher >"$KEL_DIR/watcher.log" 2>&1 &
  kel_track $! status-notifier-watcher
  KEL_LOGS+=("$KEL_DIR/watcher.log")
  kel_wait_until 10 "the status notifier watcher on the bus" \
    kel_bus_name_owned org.kde.StatusNotifierWatcher
  gdbus call --session --timeout 3 -d org.kde.StatusNotifierWatcher -o /StatusNotifierWatcher \
    -m org.kde.StatusNotifierWatcher.RegisterStatusNotifierHost org.kde.StatusNotifierHost-test \
    >/dev/null
  kel_wait_until 5 "the host to be registered" kel_host_registered
  kel_log "status notifier watcher with a registered host"
}

# An XEmbed system tray (trayer) in the top left corner, for when no watcher runs; trayer options
# that follow override these (a dark tint, say). Sets KEL_XEMBED_TRAY_PID.
kel_start_xembed_tray() {
  kel_require_tools trayer
  trayer --edge top --align left --widthtype pixel --width 100 --heighttype pixel --height 24 \
    --SetDockType true --transparent false --expand false "$@" >"$KEL_DIR/trayer.log" 2>&1 &
  # shellcheck disable=SC2034 # for the caller
  KEL_XEMBED_TRAY_PID=$!
  kel_track $! trayer
  KEL_LOGS+=("$KEL_DIR/trayer.log")
  kel_wait_until 10 "the XEmbed tray to take the selection" kel_xembed_tray_owned
  kel_log "XEmbed tray (trayer)"
}

# trayer maps its panel once it holds the tray selection.
kel_xembed_tray_owned() { xdotool search --onlyvisible --class '^trayer$' >/dev/null 2>&1; }

# ---------------------------------------------------------------------------------------------
# The stand-in window

# Ids of visible windows of the program that are not its main window (the tray stand-in, the
# XEmbed tray icon).
kel_other_windows() {
  local window
  for window in $(xdotool search --onlyvisible --classname '^kelmora$' 2>/dev/null); do
    [[ $(xdotool getwindowname "$window" 2>/dev/null) == '!Kelmora' ]] || echo "$window"
  done
}
kel_other_window_visible() { [[ -n $(kel_other_windows) ]]; }

# kel_wait_for_stand_in SECONDS: waits for the tray stand-in window and checks it is 32x32 in the
# lower right corner of the work area (the 1024x768 screen where no window manager tells one);
# sets KEL_STAND_IN_X and KEL_STAND_IN_Y.
kel_wait_for_stand_in() {
  kel_wait_until "$1" "the tray stand-in window to be shown" kel_other_window_visible
  local window width height area_x area_y area_width area_height right=1024 bottom=768
  if read -r area_x area_y area_width area_height < <(kel_work_area); then
    right=$((area_x + area_width)) bottom=$((area_y + area_height))
  fi
  window=$(kel_other_windows | head -1)
  read -r KEL_STAND_IN_X KEL_STAND_IN_Y width height < <(kel_window_geometry "$window")
  kel_log "stand-in window $window at $KEL_STAND_IN_X,$KEL_STAND_IN_Y size ${width}x$height"
  ((width == 32 && height == 32 && KEL_STAND_IN_X == right - 32 && KEL_STAND_IN_Y == bottom - 32)) ||
    kel_fail "the stand-in is at $KEL_STAND_IN_X,$KEL_STAND_IN_Y size ${width}x$height, expected 32x32 in the lower right corner of the work area (ending at $right,$bottom)"
}

# ---------------------------------------------------------------------------------------------
# The tray item (StatusNotifierItem)

# The registered items, one "service object-path" per line (watchers write "service/path", or
# "service@/path" as GNOME's AppIndicator extension does, or the service alone).
kel_sni_items() {
  kel_busctl --json=short get-property org.kde.StatusNotifierWatcher /StatusNotifierWatcher \
    org.kde.StatusNotifierWatcher RegisteredStatusNotifierItems 2>/dev/null |
    jq -r '.data[] | if test("/") then sub("@?/"; " /") else . + " /StatusNotifierItem" end'
}

# Does SERVICE answer at PATH with a StatusNotifierItem?
kel_sni_alive() {
  kel_busctl get-property "$1" "$2" org.kde.StatusNotifierItem Id >/dev/null 2>&1
}

# The first registered item that answers; sets KEL_ITEM (service) and KEL_ITEM_PATH.
kel_find_item() {
  local service path
  while read -r service path; do
    [[ -n $service ]] || continue
    if kel_sni_alive "$service" "$path"; then
      KEL_ITEM=$service
      KEL_ITEM_PATH=$path
      return 0
    fi
  done < <(kel_sni_items)
  return 1
}

kel_wait_for_item() {
  kel_wait_until "${1:-15}" "the tray item to be registered" kel_find_item
  kel_log "tray item $KEL_ITEM $KEL_ITEM_PATH"
}

# The item is gone: no longer listed by the watcher, or no longer answering on the bus.
kel_item_gone() {
  ! kel_sni_items | grep -q "^$KEL_ITEM " || ! kel_sni_alive "$KEL_ITEM" "$KEL_ITEM_PATH"
}

kel_no_item_registered() { [[ -z $(kel_sni_items) ]]; }

kel_item_property() {
  kel_busctl --json=short get-property "$KEL_ITEM" "$KEL_ITEM_PATH" \
    org.kde.StatusNotifierItem "$1"
}

# The tip: the title of the ToolTip property ("" when it cannot be read).
kel_tip() { kel_item_property ToolTip 2>/dev/null | jq -r '.data[2]' || true; }
kel_tip_is() { [[ $(kel_tip) == "$1" ]]; }
kel_tip_has() { [[ $(kel_tip) == *"$1"* ]]; }
# shellcheck disable=SC2053 # the argument is a pattern
kel_tip_matches() { [[ $(kel_tip) == $1 ]]; }

# The sizes held by IconPixmap, one "width height" per line.
kel_icon_sizes() { kel_item_property IconPixmap | jq -r '.data[] | "\(.[0]) \(.[1])"'; }

# kel_icon_art SIZE: the SIZE x SIZE image of IconPixmap (ARGB32, big-endian) as ASCII art, one
# row per line: "." transparent (alpha 0), "R" opaque red, "G" opaque green, "B" opaque blue,
# "Y" opaque yellow, "K" opaque black, "W" opaque white, "?" anything else.
kel_icon_art() {
  kel_item_property IconPixmap | jq -r --argjson n "$1" '
    .data[] | select(.[0] == $n and .[1] == $n) | .[2] as $b
    | range(0; $n) as $y
    | [range(0; $n) as $x | $b[(($y * $n + $x) * 4):(($y * $n + $x) * 4 + 4)]
       | if .[0] == 0 then "."
         elif . == [255, 255, 0, 0] then "R"
         elif . == [255, 0, 255, 0] then "G"
         elif . == [255, 0, 0, 255] then "B"
         elif . == [255, 255, 255, 0] then "Y"
         elif . == [255, 0, 0, 0] then "K"
         elif . == [255, 255, 255, 255] then "W"
         else "?" end]
    | join("")'
}

# The distinct pixel values of the SIZE image as "aarrggbb x count", for failure messages.
kel_icon_colours() {
  kel_item_property IconPixmap | jq -r --argjson n "$1" '
    def hex: "0123456789abcdef" as $d | $d[(. / 16 | floor):(. / 16 | floor) + 1] + $d[(. % 16):(. % 16) + 1];
    .data[] | select(.[0] == $n and .[1] == $n) | .[2] as $b
    | [range(0; $n * $n) as $i | $b[($i * 4):($i * 4 + 4)] | map(hex) | join("")]
    | group_by(.) | map("\(.[0]) x \(length)") | .[]'
}

kel_icon_is() { [[ $(kel_icon_art 16) == "$1" ]]; }

# ASCII art scaled up by a whole factor, nearest neighbour.
kel_scale_art() {
  awk -v k="$1" '{ row = ""; for (i = 1; i <= length($0); i++) for (j = 0; j < k; j++)
                     row = row substr($0, i, 1);
                   for (j = 0; j < k; j++) print row }'
}

# kel_expect_icon ART: the 16x16 image must equal ART (16 lines), and each larger image whose
# size is a whole multiple of 16 must be ART scaled up by that factor.
kel_expect_icon() {
  local expected=$1 found size width height
  found=$(kel_icon_art 16)
  if [[ $found != "$expected" ]]; then
    printf 'expected 16x16 icon:\n%s\nfound:\n%s\npixel values (aarrggbb x count):\n' \
      "$expected" "$found" >&2
    kel_icon_colours 16 >&2
    kel_fail "the tray icon is not the expected face"
  fi
  local checked=16
  while read -r width height; do
    ((width == height && width > 16 && width % 16 == 0)) || continue
    size=$width
    if [[ $(kel_icon_art "$size") != "$(kel_scale_art $((size / 16)) <<<"$expected")" ]]; then
      printf 'found %sx%s icon:\n%s\n' "$size" "$size" "$(kel_icon_art "$size")" >&2
      kel_fail "the ${size}x${size} icon is not the 16x16 face scaled by $((size / 16))"
    fi
    checked+=" $size"
  done < <(kel_icon_sizes)
  # shellcheck disable=SC2034 # for the tests' messages
  KEL_ICON_SIZES_CHECKED=$checked
}

# Settings for a face easy to state: the start tip pattern and interval, 24-hour digits (mode 2)
# as the only line, colour 255 (red) for its four cells.
kel_write_red_24h_settings() {
  kel_write_settings 'yyyy/mm/dd hh:mm aaa' 1.0 2 0 255 255 255 255 0 0 0 0
}
# The face these settings give at 14:07: 1, 4, 0, 7 in the digit font, in rows 4 to 10.
# shellcheck disable=SC2034 # for the tests
KEL_FACE_1407='................
................
................
................
.R..R.R..RRR.RRR
RR..R.R..R.R.R.R
.R..R.R..R.R.R.R
.R..RRR..R.R...R
.R....R..R.R...R
.R....R..R.R...R
RRR...R..RRR...R
................
................
................
................
................'

# kel_item_call METHOD: Activate (left button) or ContextMenu (right button) at 5,5.
kel_item_call() {
  gdbus call --session --timeout 3 -d "$KEL_ITEM" -o "$KEL_ITEM_PATH" \
    -m "org.kde.StatusNotifierItem.$1" 5 5 >/dev/null
}
