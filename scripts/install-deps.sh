#!/usr/bin/env bash
# Installs the Debian 12 packages that building, playing and testing need.
set -euo pipefail
packages=(
  build-essential cmake pkg-config
  libsdl2-dev libsdl2-mixer-dev libsdl2-ttf-dev libsdl2-image-dev fonts-dejavu-core
  googletest libgtest-dev libbenchmark-dev
  clang-14 libclang-rt-14-dev
  xvfb openbox xdotool x11-utils imagemagick
  weston pulseaudio pulseaudio-utils
  wmctrl xserver-xorg-video-dummy
  lintian desktop-file-utils appstream
  emscripten opus-tools chromium chromium-driver python3-selenium
)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -q
$sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
