#!/usr/bin/env bash
# Tests the Windows build under Wine:
#
#   scripts/test-windows.sh [BUILD_DIR]        (default: build-win in the source tree)
#
# Installs what is missing (mingw-w64, Wine, fonts, Xvfb, openbox and the X tools), builds
# morvane.exe with scripts/build-windows.sh, runs the foundation checks (tests/windows/
# FoundationChecks.cpp, built for Windows) and the end-to-end smoke test (tests/windows/
# smoke-test.sh) under Wine. The smoke test's screenshots are kept in BUILD_DIR/smoke-shots.
# Ends with the line "N passed, N failed" and a non-zero status when anything failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)

passed=0
failed=0
finish() {
    echo "$passed passed, $failed failed"
    [ "$failed" = 0 ]
    exit
}

packages=(
    wine64 wine fonts-wine fonts-liberation fonts-dejavu-core
    libgl1 libgl1-mesa-dri libxrender1 libxrandr2 libxcursor1 libxi6 libxcomposite1 libxinerama1 libxxf86vm1
    xvfb xauth openbox x11-utils xdotool xclip imagemagick
)
if ! "$root/scripts/install-packages.sh" "${packages[@]}"; then
    echo "FAIL installing the packages the Windows test needs"
    failed=$((failed + 1))
    finish
fi

echo "=== Building morvane.exe"
build_log="$build/build-windows.log"
if ! "$root/scripts/build-windows.sh" "$build" >"$build_log" 2>&1; then
    tail -n 60 "$build_log"
    echo "FAIL the Windows build (log: $build_log)"
    failed=$((failed + 1))
    finish
fi
exe=$(tail -n 1 "$build_log")
echo "Built $exe"
grep '^morvane.exe imports only' "$build_log"

# Adds the PASS and FAIL lines of a log to the totals.
count() {
    passed=$((passed + $(grep -c '^PASS ' "$1")))
    failed=$((failed + $(grep -c '^FAIL ' "$1")))
}

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64

echo "=== Foundation checks under Wine"
checks="$build/foundation-checks.exe"
if x86_64-w64-mingw32-g++-posix -std=c++17 -O2 -Wall -Wextra -Werror -municode -static -I"$root" \
    "$root/tests/windows/FoundationChecks.cpp" \
    "$build/common/libmorvane_common.a" "$build/platform/libmorvane_platform.a" -o "$checks"; then
    folder=$(mktemp -d "${TMPDIR:-/tmp}/morvane-checks-XXXXXX")
    log="$folder.log"
    # Wine's console output has Windows line ends.
    (cd "$folder" && WINEPREFIX="$folder-prefix" wine "$checks") 2>/dev/null | tr -d '\r' | tee "$log"
    status=${PIPESTATUS[0]}
    WINEPREFIX="$folder-prefix" wineserver -k >/dev/null 2>&1
    count "$log"
    if [ "$status" != 0 ] && ! grep -q '^FAIL ' "$log"; then
        echo "FAIL the foundation checks ended with status $status"
        failed=$((failed + 1))
    fi
    rm -rf "$folder" "$folder-prefix" "$log"
else
    echo "FAIL building the foundation checks for Windows"
    failed=$((failed + 1))
fi

echo "=== Smoke test under Wine"
rm -rf "$build/smoke-shots"
log=$(mktemp)
"$root/tests/windows/smoke-test.sh" "$exe" "$build/smoke-shots" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
count "$log"
if [ "$status" != 0 ] && ! grep -q '^FAIL ' "$log"; then
    echo "FAIL the smoke test ended with status $status"
    failed=$((failed + 1))
fi
rm -f "$log"

finish
