#!/bin/sh
# Installs the dependencies on Debian 12, as root:
#   install-deps.sh         what building and running the programs needs
#   install-deps.sh --all   also what the tests and the Debian packages need: the sanitizer
#                           compiler, PostgreSQL, the Python test tools, lintian ...
# Only packages that are missing are installed; test.sh and package.sh ask for --all themselves.
set -eu
build="cmake ninja-build g++ ccache pkg-config
    qt6-base-dev libqt6sql6-sqlite libqt6sql6-psql qt6-tools-dev qt6-tools-dev-tools
    qt6-l10n-tools libgl-dev qt6-serialport-dev fonts-dejavu-core
    python3-dev pybind11-dev libbenchmark-dev"
tests="libgtest-dev libgmock-dev clang libclang-rt-14-dev postgresql-15
    python3-pytest python3-mypy python3-pyvisa python3-pyvisa-py python3-serial
    python3-zeroconf lxi-tools xvfb xdotool
    dpkg-dev help2man lintian desktop-file-utils"
packages=$build
if [ "${1:-}" = "--all" ]; then
    packages="$build $tests"
fi
missing=
for package in $packages; do
    dpkg-query -W -f='${Status}' "$package" 2> /dev/null | grep -q 'ok installed' ||
        missing="$missing $package"
done
if [ -z "$missing" ]; then
    exit 0
fi
if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps.sh: these packages are missing; run this script as root to install them:$missing" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update
# shellcheck disable=SC2086 # one word per package
apt-get install -y --no-install-recommends $missing
