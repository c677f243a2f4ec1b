#!/usr/bin/env bash
# Installs what is missing, builds Morvane twice (a normal build, and one with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs every test in both, then the Windows build's tests and smoke
# test under Wine when that script is present, and the fuzz targets for a short time each. Ends
# with the summary of all runs, "N passed, N failed, N skipped" (a skipped test says why in its
# output).
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

"$root/scripts/install-deps.sh" || { echo "Could not install the packages Morvane needs."; exit 1; }

passed=0
failed=0
skipped=0
summaries=()

# How many of a CTest run's tests were skipped (a test that ends with its SKIP_RETURN_CODE): CTest
# counts them among those that did not fail and lists them as "(Skipped)" under "The following
# tests did not run".
ctest_skipped() {  # log file
    grep -cE '^[[:space:]]+[0-9]+ - .+ \(Skipped\)$' "$1"
}

run_ctest() {
    local name=$1 dir=$2
    shift 2
    echo "=== $name build"
    if ! "$root/scripts/build.sh" "$dir" "$@"; then
        echo "The $name build failed."
        failed=$((failed + 1))
        summaries+=("$name: build failed")
        return
    fi
    echo "=== $name tests"
    local log
    log=$(mktemp)
    ctest --test-dir "$dir" --output-on-failure -j2 --timeout 600 2>&1 | tee "$log"
    local line total bad skips
    line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$log" | tail -n 1)
    skips=$(ctest_skipped "$log")
    rm -f "$log"
    if [ -z "$line" ]; then
        failed=$((failed + 1))
        summaries+=("$name: no test summary")
        return
    fi
    bad=$(sed -E 's/.*, ([0-9]+) tests? failed.*/\1/' <<<"$line")
    total=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
    passed=$((passed + total - bad - skips))
    failed=$((failed + bad))
    skipped=$((skipped + skips))
    summaries+=("$name: $line, $skips skipped")
}

run_ctest "Normal" "$root/build"
run_ctest "Sanitizer" "$root/build-asan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMORVANE_SANITIZE=ON

if [ -x "$root/scripts/test-windows.sh" ]; then
    echo "=== Windows build under Wine"
    log=$(mktemp)
    "$root/scripts/test-windows.sh" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
    rm -f "$log"
    if [ -n "$line" ]; then
        passed=$((passed + $(cut -d' ' -f1 <<<"$line")))
        failed=$((failed + $(cut -d' ' -f3 <<<"$line" | tr -d ,)))
        skipped=$((skipped + $(sed -nE 's/.*, ([0-9]+) skipped.*/\1/p' <<<"$line" | grep . || echo 0)))
        summaries+=("Windows: $line")
    fi
    if [ "$status" != 0 ] && { [ -z "$line" ] || [ "$(cut -d' ' -f3 <<<"$line" | tr -d ,)" = 0 ]; }; then
        failed=$((failed + 1))
        summaries+=("Windows: the tests under Wine failed (exit $status)")
    fi
fi

# The fuzz targets, each for a short bounded time; scripts/fuzz.sh with a longer time fuzzes more.
echo "=== Fuzzing"
log=$(mktemp)
"$root/scripts/fuzz.sh" "${MORVANE_FUZZ_SECONDS:-30}" 2>&1 | tee "$log"
status=${PIPESTATUS[0]}
line=$(grep -E '^[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1)
rm -f "$log"
if [ -n "$line" ]; then
    passed=$((passed + $(cut -d' ' -f1 <<<"$line")))
    failed=$((failed + $(cut -d' ' -f3 <<<"$line")))
    summaries+=("Fuzzing: $line")
fi
if [ "$status" != 0 ] && { [ -z "$line" ] || [ "$(cut -d' ' -f3 <<<"$line")" = 0 ]; }; then
    failed=$((failed + 1))
    summaries+=("Fuzzing: the fuzz targets failed (exit $status)")
fi

echo
echo "=== Summary"
for summary in "${summaries[@]}"; do
    echo "$summary"
done
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" = 0 ]
