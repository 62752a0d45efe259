#!/usr/bin/env bash
# Installs the Debian packages a Kelmora task needs, by group; apt-get runs only when something
# is missing. Uses sudo when not run as root. Where KELMORA_LOG names a log file (the make
# targets), it says in one line how many packages it installs, with apt's progress, and apt's
# output goes to the log (scripts/step.sh).
#
# usage: scripts/install-deps.sh [GROUP...]          (default: run)
#        scripts/install-deps.sh --list [GROUP...]   prints the packages, one entry a line
#   run          build and run: compiler, CMake, Qt 6, libxcb and a Japanese font for the texts
#   display      a virtual display, for running on a machine without one
#   screenshots  the virtual desktop of the README's pictures and the font they are drawn in
#   unit         the unit tests: GoogleTest, a session bus and a sound server of their own, and
#                libSM, which the integration tests' helpers build with
#   test         every test: the unit group, the package group (the package test builds one) and
#                the integration tests' (virtual desktops, sound, panels, Wayland, a fresh Debian)
#   fuzz         libFuzzer (clang)
#   tidy         clang-tidy, and clang for the compile commands it reads
#   bench        Google Benchmark
#   windows      the Windows build and its tests: mingw-w64, Wine, NSIS and zip for the package,
#                GoogleTest's sources, and what the tests of the program under Wine use
#   package      the Debian package (debhelper) and its checks (lintian)
#   all          every group (CI)
set -euo pipefail

# An entry "a|b|c" is satisfied by any one of its packages; when none is installed, the first is.
# Any common Japanese gothic font will do: the small Motoya L Cedar (1.9 MB) comes first.
japanese_font='fonts-motoya-l-cedar|fonts-noto-cjk|fonts-vlgothic|fonts-takao-gothic'
japanese_font+='|fonts-ipafont-gothic|fonts-ipaexfont-gothic'
# The integration tests' harness (tests/integration/lib.sh): Xvfb, a session bus with a tray host,
# window and screen tools, a faked clock.
desktop=(xvfb x11-utils xdotool imagemagick dbus libglib2.0-bin haskell-status-notifier-item-utils
  systemd jq libfaketime trayer procps)

# Adds the packages of one group to the list.
wanted=()
add_group() {
  case $1 in
    run) wanted+=(cmake g++ make pkg-config qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins
      libgl-dev libxcb1-dev libqt6multimedia6 qt6-gtk-platformtheme "$japanese_font") ;;
    display) wanted+=(xvfb dbus) ;;
    # The pictures come out the same on any machine only in the same font.
    screenshots) wanted+=("${desktop[@]}" fonts-dejavu-core fonts-motoya-l-cedar) ;;
    # The player's tests hear it through a PulseAudio of their own; the tray's and notifier's
    # talk over a dbus-daemon of their own.
    unit) wanted+=(libgtest-dev libgmock-dev libsm-dev dbus pulseaudio) ;;
    # Sound through a private PulseAudio, the package, install and manual page checks, a fresh
    # Debian in a chroot, and the real desktops: Xfce's window manager and panel, sway with Qt's
    # Wayland platform, GNOME Shell (X11, and Wayland with XWayland) with its AppIndicator
    # extension, and Plasma (KWin, plasmashell, kded, the activity manager), run as another user
    # (setpriv, from util-linux).
    test)
      add_group unit
      add_group package
      wanted+=("${desktop[@]}" pulseaudio-utils sox strace man-db desktop-file-utils appstream
        debootstrap git xfwm4 xfce4-panel xfconf sway qt6-wayland util-linux gnome-shell mutter
        gnome-shell-extension-appindicator xwayland kwin-x11 plasma-workspace plasma-desktop kded5
        kactivitymanagerd)
      ;;
    fuzz) wanted+=(clang libclang-rt-14-dev) ;;
    tidy) wanted+=(clang clang-tidy) ;;
    bench) wanted+=(libbenchmark-dev python3) ;;
    # Cross-built with the -posix mingw-w64 compiler and run under Wine (libwine holds its
    # PulseAudio driver); GoogleTest built from Debian's sources; the Japanese locale the tests
    # run in made from Debian's locales. The tests of the program under Wine: a virtual display,
    # its pictures and keys, a private PulseAudio and a sound's samples.
    windows) wanted+=(cmake make g++-mingw-w64-x86-64-posix wine wine64 libwine nsis zip googletest
      locales "$japanese_font" xvfb x11-utils imagemagick xdotool pulseaudio pulseaudio-utils sox) ;;
    # dpkg-buildpackage also wants build-essential, which debian/control need not name.
    package) wanted+=(build-essential dpkg-dev debhelper lintian) ;;
    all) for group in run display screenshots test fuzz tidy bench package windows; do
      add_group "$group"
    done ;;
    *)
      echo "install-deps.sh: unknown group \"$1\" (see its first lines)" >&2
      exit 2
      ;;
  esac
}

list=''
if [ "${1:-}" = --list ]; then
  list=1
  shift
fi
groups=("$@")
[ ${#groups[@]} -gt 0 ] || groups=(run)

for group in "${groups[@]}"; do add_group "$group"; done
if [ "${KELMORA_EXTRA_PACKAGES:-}" != "" ]; then
  read -r -a extra <<<"$KELMORA_EXTRA_PACKAGES"
  wanted+=("${extra[@]}")
fi

installed() {
  [ "$(dpkg-query -W -f='${db:Status-Status}' "$1" 2>/dev/null || true)" = installed ]
}

satisfied() {
  local p
  for p in "$@"; do installed "$p" && return 0; done
  return 1
}

if [ -n "$list" ]; then
  printf '%s\n' "${wanted[@]}" | awk '!seen[$0]++'
  exit 0
fi

missing=()
for entry in "${wanted[@]}"; do
  IFS='|' read -r -a alternatives <<<"$entry"
  satisfied "${alternatives[@]}" && continue
  [[ " ${missing[*]} " == *" ${alternatives[0]} "* ]] || missing+=("${alternatives[0]}")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=(env DEBIAN_FRONTEND=noninteractive)
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null; then
    echo "Installing ${missing[*]} needs root: run \`make deps\` as root in this folder" \
      "(\`make test-deps\` for the tests), or install sudo" >&2
    exit 1
  fi
  # sudo starts apt-get with an environment of its own: env passes the frontend on.
  as_root=(sudo "${as_root[@]}")
fi
step=(bash "$(dirname "$0")/step.sh")
[ -n "${KELMORA_LOG:-}" ] || echo "Installing: ${missing[*]}"
"${step[@]}" '' "${as_root[@]}" apt-get update -qq
# What apt would do, in its own words: "N upgraded, N newly installed" and the disk space it
# takes. The progress counts the upgraded packages too: apt sets them up with the new ones.
plan=$("${as_root[@]}" LC_ALL=C apt-get install --assume-no --no-install-recommends "${missing[@]}" \
  2>&1 || true)
count=$(sed -n 's/.* \([0-9][0-9]*\) newly installed.*/\1/p' <<<"$plan")
upgraded=$(sed -n 's/^\([0-9][0-9]*\) upgraded, .*/\1/p' <<<"$plan")
space=$(sed -n 's/^After this operation, \(.*\) of additional disk space.*/ (\1 on disk)/p' <<<"$plan")
packages="${count:-${#missing[@]}} Debian packages"
[ "${count:-}" != 1 ] || packages="1 Debian package"
# With a log, apt's status lines come among its output for the step's progress (sudo passes on no
# other file descriptor).
status_fd=()
[ -z "${KELMORA_LOG:-}" ] || status_fd=(-o APT::Status-Fd=1)
"${step[@]}" --progress apt --total "$((${count:-${#missing[@]}} + ${upgraded:-0}))" \
  "Installing $packages$space" \
  "${as_root[@]}" apt-get install -y -qq --no-install-recommends "${status_fd[@]}" "${missing[@]}"
