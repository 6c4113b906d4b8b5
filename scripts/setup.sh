#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Installs the Debian packages Habitara needs (only those missing), then configures and builds
# the program and its content into build/. Usage: scripts/setup.sh [program|tests]
set -euo pipefail

top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
what=${1:-program}

packages=(cmake ninja-build g++ pkg-config
          qt6-base-dev qt6-base-private-dev qt6-multimedia-dev qt6-svg-dev libgif-dev
          qt6-speech-dev qt6-speech-flite-plugin qt6-declarative-dev
          libfontconfig-dev libxcb1-dev fonts-liberation2 fonts-wine)
if [ "$what" = tests ]; then
    packages+=(xvfb xauth xdotool x11-utils imagemagick poppler-utils clang-14 libclang-rt-14-dev strace
               desktop-file-utils appstream dpkg-dev lintian libx11-dev
               cups cups-client cups-bsd printer-driver-cups-pdf
               python3-pyatspi at-spi2-core dbus-x11 pulseaudio)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

tests=OFF
[ "$what" = tests ] && tests=ON
cmake -S "$top" -B "$top/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DHABITARA_TESTS=$tests >/dev/null
cmake --build "$top/build" -j2
