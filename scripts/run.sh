#!/bin/sh
# Builds the desktop program alone (optimised, unity sources) and starts it on the simulated
# instrument. Without a display it renders the window to build/ixo-setups.png instead.
set -eu
cd "$(dirname "$0")/.."
cmake --preset release
cmake --build --preset release -j "$(nproc)" --target ixo-setups
app=./build/release/apps/ixo-setups/ixo-setups
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    exec "$app" "$@"
fi
echo "No display: rendering the window on the simulated instrument to build/ixo-setups.png"
QT_QPA_PLATFORM=offscreen exec "$app" --screenshot build/ixo-setups.png "$@"
