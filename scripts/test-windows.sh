#!/usr/bin/env bash
# Tests the Windows build under Wine:
#
#   scripts/test-windows.sh [BUILD_DIR]        (default: build-win in the source tree)
#
# Installs what is missing (mingw-w64, GoogleTest's sources, Wine, fonts, Xvfb, openbox and the X
# tools), builds morvane.exe, its zip and the tests that run on both systems with
# scripts/build-windows.sh, checks that the zip holds morvane.exe and the default scene, runs those
# tests under Wine through CTest (the build's emulator, cmake/MingwToolchain.cmake), then the
# end-to-end smoke test (tests/windows/smoke-test.sh). The smoke test's screenshots are kept in
# BUILD_DIR/smoke-shots. Ends with the line "N passed, N failed, N skipped", counting the zip check,
# CTest's tests (those CTest skipped apart) and the smoke test's checks, and a non-zero status when
# anything failed.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-win}
mkdir -p "$build"
build=$(cd "$build" && pwd)

passed=0
failed=0
skipped=0
finish() {
    echo "$passed passed, $failed failed, $skipped skipped"
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

echo "=== Building morvane.exe and the tests"
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

echo "=== The Windows zip"
# It holds morvane.exe and glsl/ with the default scene, as built, and nothing else.
zip=$build/morvane-windows.zip
unpacked=$(mktemp -d "${TMPDIR:-/tmp}/morvane-zip-XXXXXX")
listing=$( (cd "$unpacked" && cmake -E tar xvf "$zip") 2>&1 | sed 's/^x //' | grep -v '/$' | sort | tr '\n' ' ')
if [ "$listing" = "glsl/pixelShader.glsl glsl/vertexShader.glsl morvane.exe " ] &&
    cmp -s "$unpacked/morvane.exe" "$exe" &&
    cmp -s "$unpacked/glsl/vertexShader.glsl" "$root/glsl/vertexShader.glsl" &&
    cmp -s "$unpacked/glsl/pixelShader.glsl" "$root/glsl/pixelShader.glsl"; then
    echo "PASS the zip holds morvane.exe and glsl/ with the default scene"
    passed=$((passed + 1))
else
    echo "FAIL the zip $zip should hold morvane.exe and glsl/ with the default scene, as built; it holds: $listing"
    failed=$((failed + 1))
fi
rm -rf "$unpacked"

echo "=== Tests under Wine (CTest)"
log=$(mktemp)
ctest --test-dir "$build" --output-on-failure --timeout 300 2>&1 | tee "$log"
line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
# CTest counts a skipped test among those that did not fail, and lists it as "(Skipped)".
skips=$(grep -cE '^[[:space:]]+[0-9]+ - .+ \(Skipped\)$' "$log")
rm -f "$log"
if [ -n "$line" ]; then
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad - skips))
    skipped=$((skipped + skips))
    failed=$((failed + bad))
else
    echo "FAIL CTest ran no tests of the Windows build"
    failed=$((failed + 1))
fi

echo "=== Smoke test under Wine"
rm -rf "$build/smoke-shots"
log=$(mktemp)
"$root/tests/windows/smoke-test.sh" "$exe" "$build/smoke-shots" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
passed=$((passed + $(grep -c '^PASS ' "$log")))
failed=$((failed + $(grep -c '^FAIL ' "$log")))
if [ "$status" != 0 ] && ! grep -q '^FAIL ' "$log"; then
    echo "FAIL the smoke test ended with status $status"
    failed=$((failed + 1))
fi
rm -f "$log"

finish
