#!/usr/bin/env bash
# Installs every Debian package that building, running and testing Melodrift need.
# Idempotent: does nothing when all of them are present.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config git
  # static checks: .clang-tidy and .clang-format
  clang-tidy clang-format
  qt6-base-dev qt6-multimedia-dev libglib2.0-dev libpcre2-dev libxcb1-dev
  # the player is a GStreamer playbin (appsink for video, the stream volume interface); the demo
  # site encodes its MP3 songs with GStreamer's LAME encoder (in plugins-good)
  libgstreamer1.0-dev libgstreamer-plugins-base1.0-dev
  # fuzzing and sanitizers
  clang libclang-rt-14-dev
  # run: Qt Multimedia for the video view, GStreamer's plugins (PulseAudio's sink in plugins-good,
  # ALSA's for desktops without a sound server), a CJK font
  libqt6multimedia6 gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-libav gstreamer1.0-alsa
  glib-networking gsettings-desktop-schemas
  fonts-wqy-microhei
  qt6-qpa-plugins qt6-wayland qt6-translations-l10n
  # headless runs of the real window, the session bus for desktop controls, and the accessibility
  # bus with a reader of it for the keyboard-and-screen-reader run
  xvfb xauth xdotool dbus-daemon dbus-bin at-spi2-core python3-pyatspi
  # a Wayland compositor, a sound server to read the program's stream
  weston pulseaudio pulseaudio-utils
  # PipeWire as Debian 12's desktops run it, beside PulseAudio, for the run on PipeWire
  pipewire wireplumber pipewire-pulse
  # desktop files, the manual page and the Debian package
  desktop-file-utils appstream dpkg-dev man-db
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
$SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
