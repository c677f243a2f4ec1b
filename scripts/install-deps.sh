#!/usr/bin/env bash
# Installs the Debian packages Morvane needs to build, run, package and test on Linux, skipping apt
# when all of them are present already (the Windows build and its Wine test install their own), and
# generates the German and Turkish locales the tests run the viewer under. Run as root, or as a
# user who may use sudo.
set -euo pipefail

packages=(
    build-essential cmake pkg-config git
    libglew-dev libboost-dev libgl1-mesa-dev libgl1-mesa-dri mesa-utils
    # Rendering to files with no X server (EGL's surfaceless platform), films made by ffmpeg, and
    # long renders spread over many jobs with GNU Parallel.
    libegl-dev libegl-mesa0 mesa-utils-bin ffmpeg parallel libpng-dev
    libx11-dev libxtst-dev libxrandr-dev libgtk-3-dev libgtksourceview-4-dev
    libpng-dev libjpeg62-turbo-dev
    binutils-mingw-w64-x86-64 gcc-mingw-w64-x86-64
    googletest libgtest-dev
    xvfb xauth openbox x11-utils x11-xserver-utils xdotool xclip imagemagick
    xfwm4 metacity icewm dbus-daemon locales
    tesseract-ocr
    fonts-dejavu-core
    valgrind
    # The fuzz targets (scripts/fuzz.sh): clang with its libFuzzer and sanitizer runtimes.
    clang libclang-rt-dev
    # The Debian package (cpack -G DEB with dpkg-shlibdeps), its validators, and what the
    # launcher uses: the dialog and the documents folder's name.
    dpkg-dev file desktop-file-utils appstream zenity xdg-user-dirs
)

"$(dirname "$0")/install-packages.sh" "${packages[@]}"

# The locale tests compare the viewer under these with C.UTF-8; locale-gen runs only when one is
# missing.
locales=(de_DE.UTF-8 tr_TR.UTF-8)
missing=()
for name in "${locales[@]}"; do
    # `locale -a` spells them de_DE.utf8.
    if ! locale -a 2>/dev/null | grep -qix "${name%.UTF-8}.utf8"; then
        missing+=("$name")
    fi
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=
    if [ "$(id -u)" != 0 ]; then
        sudo=sudo
    fi
    echo "Generating the locales: ${missing[*]}"
    for name in "${missing[@]}"; do
        $sudo sed -i -E "s/^# *(${name//./\\.} UTF-8)\$/\\1/" /etc/locale.gen
        grep -qx "$name UTF-8" /etc/locale.gen || echo "$name UTF-8" | $sudo tee -a /etc/locale.gen >/dev/null
    done
    $sudo locale-gen
fi
