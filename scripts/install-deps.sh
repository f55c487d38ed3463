#!/bin/sh
# Installs every build, test, benchmark and packaging dependency on Debian 12. Run as root.
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
    cmake ninja-build g++ ccache pkg-config \
    qt6-base-dev libqt6sql6-sqlite qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools libgl-dev \
    libqt6sql6-psql postgresql-15 \
    libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev \
    fonts-dejavu-core \
    qt6-serialport-dev \
    python3-dev pybind11-dev python3-pytest python3-mypy \
    python3-pyvisa python3-pyvisa-py python3-serial python3-zeroconf lxi-tools \
    xvfb xdotool \
    dpkg-dev help2man lintian desktop-file-utils
