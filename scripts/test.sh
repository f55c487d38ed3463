#!/bin/bash
# Builds the tests twice, plainly (gcc) and under the sanitizers (clang, with the libFuzzer
# targets), runs both, and runs each fuzz target for IXO_FUZZ_SECONDS (default 30, 0 skips
# them). Work that only compiles or fuzzes runs at a low priority beside the tests, so that
# the tests' deadlines still see the machine as theirs.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --all
jobs=$(nproc)
logs=build/test-logs
mkdir -p "$logs"

cmake --preset dev
cmake --build --preset dev -j "$jobs"
cmake --preset asan

ctest --preset dev -j "$jobs" > "$logs/dev.log" 2>&1 &
dev_tests=$!
nice -n 10 cmake --build --preset asan -j "$jobs"
dev_status=0
wait "$dev_tests" || dev_status=$?
cat "$logs/dev.log"
[ "$dev_status" -eq 0 ] || exit "$dev_status"

fuzz_seconds="${IXO_FUZZ_SECONDS:-30}"
fuzzing=
if [ "$fuzz_seconds" -gt 0 ]; then
    IXO_FUZZ_BUILT=1 nice -n 10 ./scripts/fuzz.sh "$fuzz_seconds" > "$logs/fuzz.log" 2>&1 &
    fuzzing=$!
fi
asan_status=0
ctest --preset asan -j "$jobs" || asan_status=$?
if [ -n "$fuzzing" ]; then
    fuzz_status=0
    wait "$fuzzing" || fuzz_status=$?
    cat "$logs/fuzz.log"
    [ "$fuzz_status" -eq 0 ] || exit "$fuzz_status"
fi
exit "$asan_status"
