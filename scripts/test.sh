#!/bin/sh
# Builds the tests twice, plainly and under the sanitizers, and runs both; then runs each
# fuzz target for IXO_FUZZ_SECONDS (default 30, 0 skips them).
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)
for preset in dev asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
fuzz_seconds="${IXO_FUZZ_SECONDS:-30}"
if [ "$fuzz_seconds" -gt 0 ]; then
    ./scripts/fuzz.sh "$fuzz_seconds"
fi
