#!/bin/sh
# Builds the tests twice, plainly and under the sanitizers, and runs both.
set -eu
cd "$(dirname "$0")/.."
jobs=$(nproc)
for preset in dev asan; do
    cmake --preset "$preset"
    cmake --build --preset "$preset" -j "$jobs"
    ctest --preset "$preset" -j "$jobs"
done
