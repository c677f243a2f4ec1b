#!/usr/bin/env bash
# Cross-compiles the Windows program, morvane.exe, and the tests that run on both systems, from
# these sources with Debian's mingw-w64.
#
#   scripts/build-windows.sh [BUILD_DIR]        (default: build-win in the source tree)
#
# Installs the cross tools when they are missing, builds GLEW for Windows from Debian's source
# package (scripts/windows-glew.sh), gives mingw the Boost headers through a folder that holds only
# a `boost` link (adding /usr/include would pull in glibc's headers), configures with
# cmake/MingwToolchain.cmake and builds; GoogleTest is built from the sources of the googletest
# package (tests/CMakeLists.txt). Then it checks that morvane.exe imports no DLL beyond Windows'
# own, and packs it with the default scene into BUILD_DIR/morvane-windows.zip (morvane.exe and
# glsl/ side by side; cpack -G ZIP; the tests are not installed, so not packed). Prints the path
# of morvane.exe as its last line. The tests run under Wine with `ctest --test-dir BUILD_DIR`
# (scripts/test-windows.sh).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)

packages=(cmake make g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 dpkg-dev libboost-dev googletest)
"$root/scripts/install-packages.sh" "${packages[@]}"

"$root/scripts/windows-glew.sh" "$build/glew"

boost_include="$build/boost-include"
mkdir -p "$boost_include"
ln -sfn /usr/include/boost "$boost_include/boost"

cmake -S "$root" -B "$build" \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/MingwToolchain.cmake" \
    -DCMAKE_BUILD_TYPE=Release \
    -DMORVANE_TESTS=ON \
    -DGLEW_DIR="$build/glew/lib/cmake/glew" \
    -DBoost_INCLUDE_DIR="$boost_include" \
    -DBoost_NO_SYSTEM_PATHS=ON
cmake --build "$build" -j"$(nproc)"

exe=$(find "$build" -name morvane.exe -type f -not -path '*/CMakeFiles/*' -print -quit)
if [ -z "$exe" ]; then
    echo "error: the build made no morvane.exe" >&2
    exit 1
fi

# Everything else is linked in statically: only DLLs that every Windows has may be imported.
windows_dlls='^(kernel32|user32|gdi32|opengl32|comctl32|msvcrt|advapi32|shell32|ole32|oleaut32|ws2_32|imm32|version|winmm|comdlg32|uxtheme|dwmapi)\.dll$'
imports=$(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
foreign=$(printf '%s\n' "$imports" | grep -v -E "$windows_dlls" || true)
if [ -n "$foreign" ]; then
    echo "error: $exe needs DLLs that Windows does not have: $foreign" >&2
    exit 1
fi
echo "morvane.exe imports only: $(printf '%s ' $imports)"

# What Windows users get: a zip holding morvane.exe and the default scene's glsl/ folder.
(cd "$build" && cpack -G ZIP --config "$build/CPackConfig.cmake" -B "$build" >"$build/cpack.log" 2>&1) || {
    cat "$build/cpack.log" >&2
    echo "error: cpack could not make the zip" >&2
    exit 1
}
rm -rf "$build/_CPack_Packages"
echo "Windows zip: $build/morvane-windows.zip"
echo "$exe"
