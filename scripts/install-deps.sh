#!/usr/bin/env bash
# Installs the Debian packages Kelmora needs to build, test and run; apt-get runs only when
# something is missing. Uses sudo when not run as root.
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev qt6-multimedia-dev qt6-qpa-plugins libgl-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  # runtime: sound through PulseAudio
  libqt6multimedia6 qt6-gtk-platformtheme
  # integration tests on a virtual desktop
  xvfb x11-utils xdotool imagemagick dbus libglib2.0-bin haskell-status-notifier-item-utils
  systemd trayer pulseaudio pulseaudio-utils sox libfaketime strace procps
  # packaging and its checks
  dpkg-dev desktop-file-utils appstream
  # fuzzing with libFuzzer
  clang libclang-rt-14-dev
)
if [ "${KELMORA_EXTRA_PACKAGES:-}" != "" ]; then
  read -r -a extra <<<"$KELMORA_EXTRA_PACKAGES"
  packages+=("${extra[@]}")
fi

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = "installed" ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "Installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
