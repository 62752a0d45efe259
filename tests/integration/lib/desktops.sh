# The real desktops, for lib.sh (which sources this file): Xfce's window manager and panel on
# X11, sway on Wayland, and the desktops most people use: GNOME Shell on X11 and on Wayland, and
# KDE Plasma on X11, these three run as KEL_USER (the tests name nobody) on the test's own buses.
# Nothing is activated over D-Bus, so everything a desktop needs is started here by hand and ended
# by the exit trap.
#
#   kel_start_xfce                               Xvfb, xfconfd, xfwm4, xfce4-panel
#   kel_start_sway tray|none                     sway, with a bar and its tray or without
#   kel_start_gnome x11|wayland [EXTENSION...]   GNOME Shell with those extensions on
#   kel_start_plasma                             kwin_x11, kded, plasmashell; no tray watcher yet
#
# GNOME Shell is asked through org.gnome.Shell.Eval (it runs in unsafe mode): the program's
# windows (kel_gnome_windows), the pointer (kel_gnome_click), and screenshots for kel_screen_art
# and kel_red_spot. Under Xfce and Plasma, the X11 tools of lib/display.sh do.

# The AppIndicator extension as Debian 12 installs it: hosts status notifier items in the top bar.
# shellcheck disable=SC2034 # for the tests
KEL_APPINDICATOR=ubuntu-appindicators@ubuntu.com

# ---------------------------------------------------------------------------------------------
# Xfce

# Xvfb with Xfce's window manager (xfwm4, frames windows and keeps the work area) and panel, with
# the panel's default layout: a dark strip along the top whose notification area is the status
# notifier watcher and host, and an XEmbed tray. xfconfd, which the panel reads its layout from,
# is started by hand: the private bus starts no services.
kel_start_xfce() {
  kel_require_tools xfwm4 xfce4-panel import
  local xfconfd channels=$XDG_CONFIG_HOME/xfce4/xfconf/xfce-perchannel-xml
  xfconfd=$(compgen -G '/usr/lib/*/xfce4/xfconf/xfconfd' | head -1) ||
    kel_fail "xfconfd not found (install xfconf)"
  [[ -f /etc/xdg/xfce4/panel/default.xml ]] || kel_fail "no panel layout (install xfce4-panel)"
  mkdir -p "$channels"
  cp /etc/xdg/xfce4/panel/default.xml "$channels/xfce4-panel.xml"
  export NO_AT_BRIDGE=1
  kel_start_xvfb
  kel_start_logged xfconfd "$xfconfd"
  kel_wait_until 10 "xfconfd on the bus" kel_bus_name_owned org.xfce.Xfconf
  kel_start_logged xfwm4 xfwm4 --compositor=off
  kel_wait_until 10 "xfwm4 to manage the screen" kel_wm_running
  kel_start_logged xfce4-panel xfce4-panel --disable-wm-check
  kel_wait_until 15 "the panel's notification area on the bus" kel_host_registered
  kel_wait_until 10 "the panel to take its strip off the work area" kel_work_area_below_top
  kel_log "Xfce: xfwm4 and xfce4-panel, work area $(kel_work_area)"
}

# ---------------------------------------------------------------------------------------------
# sway

# kel_start_sway tray|none: sway with no screen or input devices, drawing in software, run as
# KEL_USER (sway refuses root). With "tray", its bar's tray is the status notifier watcher and
# host; with "none" there is no bar and no notification area at all. Sets WAYLAND_DISPLAY and
# SWAYSOCK for the program and swaymsg, and XDG_SESSION_TYPE as a sway session has it (no
# XWayland: no DISPLAY).
kel_start_sway() {
  kel_require_tools sway swaymsg
  [[ -n ${KEL_USER:-} ]] || kel_fail "sway refuses root: set KEL_USER before kel_init"
  export XDG_SESSION_TYPE=wayland
  local config=$KEL_DIR/sway-$1.config
  printf 'xwayland disable\n' >"$config"
  if [[ $1 == tray ]]; then printf 'bar {\n  tray_output *\n}\n' >>"$config"; fi
  kel_start_logged sway "${KEL_AS_USER[@]}" env WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 \
    WLR_RENDERER=pixman sway --config "$config"
  KEL_SWAY_PID=$KEL_STARTED_PID
  kel_wait_until 10 "sway to answer" kel_sway_answers
  if [[ $1 == tray ]]; then
    kel_wait_until 10 "sway's bar to host tray items" kel_host_registered
  fi
  kel_log "sway ($1) on $WAYLAND_DISPLAY"
}

# Finds the running sway's sockets: its IPC socket is named after its process id.
kel_sway_answers() {
  local display uid
  display=$(compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" | head -1) || return 1
  uid=$(id -u "$KEL_USER")
  export WAYLAND_DISPLAY=${display##*/} SWAYSOCK=$XDG_RUNTIME_DIR/sway-ipc.$uid.$KEL_SWAY_PID.sock
  swaymsg -t get_version >/dev/null 2>&1
}

kel_stop_sway() {
  kel_end_process "$KEL_SWAY_PID" sway
  unset WAYLAND_DISPLAY SWAYSOCK
}

# The titles of the program's windows that sway shows, one a line ("" for an untitled one).
kel_sway_windows() {
  swaymsg -t get_tree |
    jq -r '.. | objects | select(.app_id? == "kelmora" and .visible) | .name // ""'
}
kel_sway_window_visible() { grep -qxF '!Kelmora' <<<"$(kel_sway_windows)"; }
kel_sway_no_window_visible() { ! kel_sway_window_visible; }
# A window of the program other than the main window: the tray stand-in.
kel_sway_other_window_visible() {
  local windows
  windows=$(kel_sway_windows)
  [[ -n $windows ]] && grep -qvxF '!Kelmora' <<<"$windows"
}

# ---------------------------------------------------------------------------------------------
# GNOME Shell

# A second private bus, for what expects a system bus (GNOME Shell does not start without one).
kel_start_system_bus() {
  local dir=$KEL_DIR/system-bus
  mkdir -m 700 "$dir"
  [[ -z ${KEL_USER:-} ]] || chmod 711 "$dir"
  kel_write_bus_config "$KEL_DIR/system-bus.conf" "$dir"
  dbus-daemon --config-file="$KEL_DIR/system-bus.conf" --nofork --print-address=3 \
    3>"$KEL_DIR/system-bus.address" >"$KEL_DIR/system-bus.log" 2>&1 &
  kel_track $! system-bus
  KEL_LOGS+=("$KEL_DIR/system-bus.log")
  kel_wait_until 10 "the system bus to listen" test -s "$KEL_DIR/system-bus.address"
  DBUS_SYSTEM_BUS_ADDRESS=$(head -n 1 "$KEL_DIR/system-bus.address")
  export DBUS_SYSTEM_BUS_ADDRESS
}

# GNOME's settings, kept in a key file (GSETTINGS_BACKEND=keyfile): the private bus starts no
# dconf service. Animations off, so the Overview closes at once; no screen lock (whose notice
# would cover the top bar without a display manager); the extensions named are on.
kel_write_gnome_settings() {
  local file=$XDG_CONFIG_HOME/glib-2.0/settings/keyfile list='' uuid
  for uuid in "$@"; do list+="${list:+, }'$uuid'"; done
  mkdir -p "${file%/*}"
  printf '[org/gnome/desktop/interface]\nenable-animations=false\n\n' >"$file"
  printf '[org/gnome/desktop/screensaver]\nlock-enabled=false\n\n' >>"$file"
  printf '[org/gnome/shell]\nenabled-extensions=[%s]\n' "$list" >>"$file"
  [[ -z ${KEL_USER:-} ]] || chown -R "$KEL_USER:" "$XDG_CONFIG_HOME/glib-2.0"
}

# kel_gnome_eval SCRIPT: runs JavaScript in GNOME Shell and prints its value as JSON; fails, with
# the error on standard error, when the script throws.
kel_gnome_eval() {
  local reply
  reply=$(kel_busctl --json=short call org.gnome.Shell /org/gnome/Shell org.gnome.Shell Eval s \
    "$1") || return 1
  if ! jq -e '.data[0]' <<<"$reply" >/dev/null; then
    jq -r '.data[1]' <<<"$reply" >&2
    return 1
  fi
  jq -r '.data[1]' <<<"$reply"
}

kel_gnome_started() {
  [[ $(kel_gnome_eval 'Main.layoutManager._startingUp' 2>/dev/null) == false ]]
}
kel_gnome_overview_hidden() {
  [[ $(kel_gnome_eval 'Main.overview.hide(); Main.overview.visible' 2>/dev/null) == false ]]
}

# kel_start_gnome x11|wayland [EXTENSION...]: GNOME Shell as KEL_USER, with the extensions named
# turned on, the Overview it opens with closed. On X11 it manages a fresh Xvfb; on Wayland it
# runs headless on a virtual monitor of 1024x768 and starts its own XWayland, whose DISPLAY and
# XAUTHORITY are exported. Either way the program sees the environment of a GNOME session.
kel_start_gnome() {
  local session=$1
  shift
  kel_require_tools gnome-shell dbus-daemon convert
  [[ -n ${KEL_USER:-} ]] || kel_fail "GNOME Shell runs as a user: set KEL_USER before kel_init"
  [[ $session == wayland ]] || kel_require_tools Xvfb
  local uuid
  for uuid in "$@"; do
    [[ -d /usr/share/gnome-shell/extensions/$uuid ]] || kel_fail "missing GNOME Shell extension $uuid"
  done
  kel_start_system_bus
  kel_write_gnome_settings "$@"
  export XDG_SESSION_TYPE=$session XDG_CURRENT_DESKTOP=GNOME GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1
  local options=(--x11)
  if [[ $session == wayland ]]; then
    KEL_WAYLAND_NAME=kelmora-wayland
    options=(--wayland --headless --virtual-monitor 1024x768 --wayland-display="$KEL_WAYLAND_NAME")
  else
    kel_start_xvfb +extension GLX  # GNOME Shell composites with GLX
  fi
  kel_start_logged gnome-shell "${KEL_AS_USER[@]}" env gnome-shell "${options[@]}" --unsafe-mode
  KEL_GNOME_PID=$KEL_STARTED_PID
  kel_wait_until 30 "GNOME Shell to finish starting" kel_gnome_started
  kel_wait_until 10 "the Overview to close" kel_gnome_overview_hidden
  if [[ $session == wayland ]]; then
    export WAYLAND_DISPLAY=$KEL_WAYLAND_NAME
    DISPLAY=$(kel_gnome_eval 'imports.gi.GLib.getenv("DISPLAY")' | jq -r .)
    XAUTHORITY=$(kel_gnome_eval 'imports.gi.GLib.getenv("XAUTHORITY")' | jq -r .)
    export DISPLAY XAUTHORITY
    [[ $DISPLAY == :* ]] || kel_fail "GNOME Shell started no XWayland"
  fi
  # The virtual pointer is made now, before any program that watches the pointer's devices.
  kel_gnome_pointer 512 384
  mkdir -p "$XDG_RUNTIME_DIR/shots"
  [[ -z ${KEL_USER:-} ]] || chown "$KEL_USER:" "$XDG_RUNTIME_DIR/shots"
  KEL_GRAB=kel_gnome_grab
  kel_log "GNOME Shell on $session (display $DISPLAY${WAYLAND_DISPLAY:+, $WAYLAND_DISPLAY})${*:+, extensions $*}"
}

# Turns an extension on while the shell runs, as the Extensions application does.
kel_gnome_enable_extension() {
  gdbus call --session --timeout 5 -d org.gnome.Shell -o /org/gnome/Shell \
    -m org.gnome.Shell.Extensions.EnableExtension "$1" | grep -q true ||
    kel_fail "GNOME Shell did not turn on $1"
}

# The windows GNOME Shell shows, bottom of the stack first, one a line:
# "NAME TYPE ABOVE CLIENT X Y WIDTH HEIGHT CLIENT-X CLIENT-Y": NAME the title (blanks as "_"),
# except for the program's own windows other than "!Kelmora" and "アラーム": "tip" for its tool
# tip (on Wayland a popup), "stand-in" for the tray stand-in; X Y WIDTH HEIGHT the frame's rectangle, CLIENT-X
# CLIENT-Y where the window's own content starts; TYPE a Meta.WindowType name (NORMAL, UTILITY,
# TOOLTIP...), ABOVE true or false, CLIENT x11 or wayland.
kel_gnome_windows() {
  kel_gnome_eval '(() => {
      const Meta = imports.gi.Meta;
      const types = Object.keys(Meta.WindowType);
      const shown = global.get_window_actors().filter(a => a.visible).map(a => a.meta_window);
      // A Wayland popup (a tool tip) has no class of its own: its parent tells whose it is.
      const owner = w => w.get_wm_class() || (w.get_transient_for()?.get_wm_class() ?? "");
      const name = (w, type) => {
        const title = w.get_title() || "-";
        if (owner(w) !== "kelmora" || ["!Kelmora", "アラーム"].includes(title))
          return title.replace(/ /g, "_");
        return ["TOOLTIP", "DROPDOWN_MENU"].includes(type) ? "tip" : "stand-in";
      };
      return global.display.sort_windows_by_stacking(shown).map(w => {
        const r = w.get_frame_rect(), c = w.frame_rect_to_client_rect(r);
        const type = types.find(t => Meta.WindowType[t] === w.get_window_type());
        return [name(w, type), type, w.is_above(),
                w.get_client_type() === Meta.WindowClientType.X11 ? "x11" : "wayland",
                r.x, r.y, r.width, r.height, c.x, c.y].join(" ");
      });
    })()' | jq -r '.[]'
}

# kel_gnome_window NAME: "TYPE ABOVE CLIENT X Y WIDTH HEIGHT CLIENT-X CLIENT-Y" of the window of
# that name (as kel_gnome_windows names them); fails when it is not shown.
kel_gnome_window() {
  kel_gnome_windows | awk -v n="$1" '$1 == n { $1 = ""; print substr($0, 2); found = 1; exit }
                                     END { exit !found }'
}
kel_gnome_window_shown() { kel_gnome_window "$1" >/dev/null; }
kel_gnome_window_gone() { ! kel_gnome_window_shown "$1"; }

# kel_gnome_above NAME OTHER: the window NAME is stacked above the window OTHER.
kel_gnome_above() {
  kel_gnome_windows | awk -v a="$1" -v b="$2" '$1 == a { at_a = NR } $1 == b { at_b = NR }
                                              END { exit !(at_a && at_b && at_a > at_b) }'
}

# kel_gnome_close NAME: closes that window as its close button does.
kel_gnome_close() {
  local title=$1
  [[ $title != stand-in && $title != tip ]] || kel_fail "kel_gnome_close takes a title"
  kel_gnome_eval "global.get_window_actors().map(a => a.meta_window)
      .find(w => w.get_title() === '$title').delete(global.get_current_time())" >/dev/null
}

# A window that covers the work area: xmessage, maximised by the shell; KEL_COVER names it.
kel_gnome_start_cover() {
  kel_require_tools xmessage
  KEL_COVER=cover
  kel_start_logged xmessage "${KEL_AS_USER[@]}" xmessage -title "$KEL_COVER" "$KEL_COVER"
  kel_wait_until 10 "the covering window to be shown" kel_gnome_window_shown "$KEL_COVER"
  kel_gnome_eval "global.get_window_actors().map(a => a.meta_window)
      .find(w => w.get_title() === '$KEL_COVER').maximize(imports.gi.Meta.MaximizeFlags.BOTH)" \
    >/dev/null
  kel_wait_until 5 "the covering window to be maximised" kel_gnome_cover_maximised
}
kel_gnome_cover_maximised() {
  [[ $(kel_gnome_eval "global.get_window_actors().map(a => a.meta_window)
      .find(w => w.get_title() === '$KEL_COVER').get_maximized()") == 3 ]]
}

# The work area beside the top bar: "x y width height".
kel_gnome_work_area() {
  kel_gnome_eval '(r => [r.x, r.y, r.width, r.height].join(" "))(
      Main.layoutManager.getWorkAreaForMonitor(0))' | jq -r .
}

# kel_gnome_pointer X Y [BUTTON]: moves the pointer to X Y on the screen and, with BUTTON (1 left,
# 2 middle, 3 right), clicks there, through a virtual pointer of the shell's own, which reaches
# X11 and Wayland clients alike. "BUTTON BUTTON" double-clicks.
kel_gnome_pointer() {
  local buttons=${*:3}
  kel_gnome_eval "(() => {
      const Clutter = imports.gi.Clutter, GLib = imports.gi.GLib;
      globalThis.kelPointer ??= Clutter.get_default_backend().get_default_seat()
          .create_virtual_device(Clutter.InputDeviceType.POINTER_DEVICE);
      const now = GLib.get_monotonic_time();
      // A pointer comes from somewhere: the last step moves inside the window it ends on.
      kelPointer.notify_absolute_motion(now - 2000, $1 - 1, $2 - 1);
      kelPointer.notify_absolute_motion(now, $1, $2);
      [${buttons// /,}].forEach((button, i) => {
        kelPointer.notify_button(now + 1000 * (2 * i + 1), button, Clutter.ButtonState.PRESSED);
        kelPointer.notify_button(now + 1000 * (2 * i + 2), button, Clutter.ButtonState.RELEASED);
      });
    })()" >/dev/null
}

# kel_gnome_rest_pointer_for_tip X Y SECONDS: rests the pointer at X Y, moving it by a pixel now
# and then as a hand does, until the program's tool tip shows (success) or SECONDS have passed.
# A tip set after the pointer came to rest shows at its next move.
kel_gnome_rest_pointer_for_tip() {
  local deadline=$((SECONDS + $3)) step=0
  while ((SECONDS <= deadline)); do
    kel_gnome_pointer $(($1 + step % 2)) "$2"
    if kel_wait_for 1 kel_gnome_window_shown tip; then return 0; fi
    step=$((step + 1))
  done
  return 1
}

# For KEL_GRAB: a screenshot of an area through org.gnome.Shell.Screenshot, in ImageMagick's text
# form. The shell writes it into a folder of KEL_USER's.
kel_gnome_grab() {
  local file=$XDG_RUNTIME_DIR/shots/area.png
  rm -f "$file"
  kel_busctl call org.gnome.Shell /org/gnome/Shell/Screenshot org.gnome.Shell.Screenshot \
    ScreenshotArea iiiibs "$1" "$2" "$3" "$4" false "$file" >/dev/null &&
    convert "$file" -alpha off -depth 8 txt:-
}

# ---------------------------------------------------------------------------------------------
# KDE Plasma

# Plasma 5 on a fresh Xvfb: KWin (not compositing, which is all software here), kded, the
# activity manager and plasmashell with its default layout, a panel along the bottom whose
# system tray hosts status notifier items. kded is told not to load its tray watcher at its
# start (as "Background Services" in the settings do): kel_plasma_load_tray_watcher loads it,
# and the panel's tray then registers as its host.
kel_start_plasma() {
  kel_require_tools kwin_x11 kded5 plasmashell import
  [[ -n ${KEL_USER:-} ]] || kel_fail "Plasma runs as a user: set KEL_USER before kel_init"
  local activities
  activities=$(compgen -G '/usr/lib/*/libexec/kactivitymanagerd' | head -n 1) ||
    kel_fail "kactivitymanagerd not found (install kactivitymanagerd)"
  [[ -d /usr/share/plasma/shells/org.kde.plasma.desktop ]] ||
    kel_fail "no Plasma desktop shell (install plasma-desktop)"
  export XDG_CURRENT_DESKTOP=KDE KDE_FULL_SESSION=true KDE_SESSION_VERSION=5 XDG_SESSION_TYPE=x11
  printf '[Module-statusnotifierwatcher]\nautoload=false\n' >"$XDG_CONFIG_HOME/kded5rc"
  [[ -z ${KEL_USER:-} ]] || chown "$KEL_USER:" "$XDG_CONFIG_HOME/kded5rc"
  kel_start_xvfb
  kel_start_logged kwin "${KEL_AS_USER[@]}" env KWIN_COMPOSE=N kwin_x11
  kel_wait_until 15 "KWin to manage the screen" kel_wm_running
  kel_start_logged kded "${KEL_AS_USER[@]}" kded5
  kel_start_logged activities "${KEL_AS_USER[@]}" "$activities"
  kel_wait_until 15 "kded on the bus" kel_bus_name_owned org.kde.kded5
  kel_wait_until 15 "the activity manager on the bus" kel_bus_name_owned org.kde.ActivityManager
  kel_start_logged plasmashell "${KEL_AS_USER[@]}" plasmashell
  kel_wait_until 30 "the panel to take its strip off the work area" kel_work_area_above_bottom
  kel_log "Plasma: kwin_x11 and plasmashell, work area $(kel_work_area)"
}

kel_work_area_above_bottom() {
  local x y width height
  read -r x y width height < <(kel_work_area) && ((height > 0 && y + height < 768))
}

# plasmashell shows a tool tip (of the tray item under the pointer, say).
kel_plasma_tooltip_shown() {
  local window
  for window in $(xdotool search --onlyvisible --class '^plasmashell$' 2>/dev/null); do
    xprop -id "$window" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_TOOLTIP &&
      return 0
  done
  return 1
}

kel_plasma_load_tray_watcher() {
  gdbus call --session --timeout 5 -d org.kde.kded5 -o /kded \
    -m org.kde.kded5.loadModule statusnotifierwatcher | grep -q true ||
    kel_fail "kded did not load its status notifier watcher"
  kel_wait_until 10 "the panel's tray to register as a host" kel_host_registered
  kel_log "kded's status notifier watcher loaded; the panel's tray is its host"
}
