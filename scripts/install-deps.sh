#!/usr/bin/env bash
# Installs the Debian packages Morvane needs to build, run and test on Linux, skipping apt when all
# of them are present already (the Windows build and its Wine test install their own). Run as
# root, or as a user who may use sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    libglew-dev libboost-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
    libx11-dev libxtst-dev libgtk-3-dev libgtksourceview-4-dev
    binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64
    googletest libgtest-dev
    xvfb xauth openbox x11-utils x11-xserver-utils xdotool xclip imagemagick
    fonts-dejavu-core
    valgrind
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

sudo=
if [ "$(id -u)" != 0 ]; then
    sudo=sudo
fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -q
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
