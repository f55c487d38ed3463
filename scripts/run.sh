#!/bin/sh
# Builds the release programs and runs the demo on the simulated instrument.
set -eu
cd "$(dirname "$0")/.."
cmake --preset release
cmake --build --preset release -j "$(nproc)"
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-offscreen}"
exec ./build/release/apps/ixo-states/ixo-states demo "${1:-build/demo}"
