#!/bin/sh
# Builds the optimised shared build and makes its Debian packages in build/packages; install
# them with: apt install ./build/packages/*.deb
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --all
cmake --preset package
cmake --build --preset package -j "$(nproc)"
rm -rf build/packages
cpack -G DEB --config build/package/CPackConfig.cmake -B build/packages
ls -l build/packages/*.deb
