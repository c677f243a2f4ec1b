#!/usr/bin/env bash
# Builds the fuzz targets (fuzz/, with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, in build-fuzz/) and runs each in turn for a bounded time, from the
# seeds in fuzz/corpus/TARGET/ and what earlier runs found in build-fuzz/corpus/TARGET/.
# Usage: scripts/fuzz.sh [seconds-per-target] [target...]   (default 60 seconds, every target)
# Fails when a target does not build, crashes, or breaks one of its properties; the input that
# did it is kept in build-fuzz/crashes/TARGET/ and the run's log in build-fuzz/logs/TARGET.log.
# Ends with one line per target (executions, coverage, corpus) and "N passed, N failed".
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true
if ! [[ "$seconds" =~ ^[1-9][0-9]*$ ]]; then
    echo "The time per target must be a whole number of seconds, as in scripts/fuzz.sh 600." >&2
    exit 2
fi
dir=${MORVANE_FUZZ_BUILD:-"$root/build-fuzz"}
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
    targets=()
    for seeds in "$root"/fuzz/corpus/*/; do
        targets+=("$(basename "$seeds")")
    done
fi

echo "=== Fuzz targets build"
if ! cmake -S "$root" -B "$dir" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DMORVANE_FUZZ=ON \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null ||
    ! cmake --build "$dir" -j"$(nproc)"; then
    echo "The fuzz targets did not build."
    echo "0 passed, 1 failed"
    exit 1
fi

# The targets that read files make their scratch folders here, removed at the end.
scratch="$dir/scratch"
mkdir -p "$scratch" "$dir/logs"
passed=0
failed=0
lines=()
for target in "${targets[@]}"; do
    program="$dir/fuzz/fuzz_$target"
    if [ ! -x "$program" ] || [ ! -d "$root/fuzz/corpus/$target" ]; then
        echo "There is no fuzz target $target (fuzz/$target.cpp with seeds in fuzz/corpus/$target/)."
        failed=$((failed + 1))
        lines+=("$target: no such target")
        continue
    fi
    echo "=== $target for $seconds s"
    corpus="$dir/corpus/$target"
    crashes="$dir/crashes/$target"
    log="$dir/logs/$target.log"
    mkdir -p "$corpus" "$crashes"
    TMPDIR="$scratch" "$program" "$corpus" "$root/fuzz/corpus/$target" -max_total_time="$seconds" \
        -timeout=30 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$crashes/" >"$log" 2>&1
    status=$?
    runs=$(grep -oE '^stat::number_of_executed_units: *[0-9]+' "$log" | grep -oE '[0-9]+$' | tail -n 1)
    coverage=$(grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9]+[a-zA-Z]*' "$log" | tail -n 1)
    summary="$target: ${runs:-?} executions in $seconds s, ${coverage:-no coverage figures}"
    if [ "$status" = 0 ] && grep -q '^Done [0-9]* runs\|DONE' "$log"; then
        passed=$((passed + 1))
        lines+=("$summary: passed")
    else
        failed=$((failed + 1))
        lines+=("$summary: FAILED (exit $status; see $log and $crashes/)")
        grep -E 'ERROR: |Property broken|SUMMARY: |Test unit written' "$log" | head -n 5
    fi
done
rm -rf "$scratch"

echo
echo "=== Fuzzing summary"
for line in "${lines[@]}"; do
    echo "$line"
done
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
