#!/usr/bin/env bash
# Installs what building, running and testing Tollvane needs on Debian 12. Safe to run again:
# packages already present are left alone. Needs root (or sudo).
set -euo pipefail

packages=(
  # build
  cmake g++ make pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev qt6-webengine-dev
  libpulse-dev libgtest-dev libgmock-dev googletest
  # Wayland: the client library, the xdg-activation protocol, Qt's native interface headers
  libwayland-dev wayland-protocols qt6-base-private-dev
  # fonts the windows use: a Comic Sans relative, Wine's Tahoma-metric faces for the Windows sans
  # and an Arial-metric sans where those are missing
  fonts-comic-neue fonts-wine fonts-liberation
  # tests: a display, a sound server with a null sink, window tools
  xvfb x11-utils xdotool xauth libx11-dev libxdamage-dev x11-apps imagemagick pulseaudio pulseaudio-utils python3
  # the program under headless Wayland compositors: Qt's Wayland platform, Weston (no frames of its
  # own, no activation) and sway (frames and xdg-activation), their screenshot tools
  qt6-wayland weston sway grim
  # the monkey's own D-Bus session and accessibility bus
  dbus dbus-bin at-spi2-core
  # the desktop files, the icons and the Debian package
  desktop-file-utils appstream librsvg2-bin dpkg-dev file lintian
  # the logout test's small session manager
  libsm-dev libice-dev
  # the time zones, for the days on which the clocks change
  tzdata
  # tests of the Windows build
  mingw-w64 wine wine64
  # the Windows installer and the portable zip
  nsis zip unzip
  # fuzzing
  clang clang-tidy libclang-rt-14-dev
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -q
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
fi
