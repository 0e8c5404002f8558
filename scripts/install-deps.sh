#!/usr/bin/env bash
# Installs the Debian packages the viewer, its tests and its tools need (as root, or
# through sudo). Packages already present are left alone, so a second run is quick.
set -euo pipefail

packages=(
  build-essential cmake pkg-config clang-format ccache git
  qt6-base-dev qt6-base-dev-tools libgl-dev libxcb1-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  xvfb xauth xdotool wmctrl x11-utils xclip openbox imagemagick poppler-utils xdg-utils
  libjpeg62-turbo-dev libjpeg-turbo-progs libmagickcore-6.q16-6-extra feh nsxiv qimgv
  python3 python3-pyatspi python3-xlib at-spi2-core dbus dbus-x11
  python3-numpy python3-pil python3-skimage
  fonts-dejavu-core fonts-liberation2 fonts-opensymbol fonts-wqy-zenhei fonts-symbola
  desktop-file-utils appstream dpkg-dev libglib2.0-bin librsvg2-bin man-db gzip
  trayer shared-mime-info lintian
  weston qt6-wayland wl-clipboard
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then
  sudo="sudo"
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
