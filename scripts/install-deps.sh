#!/usr/bin/env bash
# Installs the Debian packages Morvane needs to build, run and test on Linux, skipping apt when all
# of them are present already (the Windows build and its Wine test install their own). Run as
# root, or as a user who may use sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    libglew-dev libboost-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
    libx11-dev libxtst-dev libxrandr-dev libgtk-3-dev libgtksourceview-4-dev
    binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64
    googletest libgtest-dev
    xvfb xauth openbox x11-utils x11-xserver-utils xdotool xclip imagemagick
    fonts-dejavu-core
    valgrind
)

exec "$(dirname "$0")/install-packages.sh" "${packages[@]}"
