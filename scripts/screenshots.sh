#!/bin/bash
# Renders README's pictures from the programs' screenshot modes, on simulated instruments:
#   scripts/screenshots.sh [build-dir [picture-dir]]
# Without a build dir it builds the three programs of the release preset first; the pictures
# go to docs/images unless another folder is given.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-}
out=${2:-docs/images}
if [ -z "$build" ]; then
    cmake --preset release
    cmake --build --preset release --target ixo-setups ixo-states ixo-instrument-sim
    build=build/release
fi
setups=$build/apps/ixo-setups/ixo-setups
states=$build/apps/ixo-states/ixo-states
sim=$build/apps/ixo-instrument-sim/ixo-instrument-sim
mkdir -p "$out"
work=$(mktemp -d)
sim_pid=
cleanup() {
    [ -z "$sim_pid" ] || kill "$sim_pid" 2> /dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen
# Settings and recent resources of a user's own ixo-setups stay out of the pictures.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

# A simulator on loopback whose setups the states capture; the pictures compare them with a
# freshly started simulated instrument. On its standard ports (root) the Connect dialog's
# discovery finds it too; where they are taken or not ours, on free ones.
start_sim() {
    "$sim" --no-mdns "$@" > "$work/sim.log" 2>&1 &
    sim_pid=$!
    for _ in $(seq 100); do
        grep -q 'hislip0' "$work/sim.log" && return 0
        kill -0 "$sim_pid" 2> /dev/null || return 1
        sleep 0.1
    done
    return 1
}
if ! start_sim; then
    kill "$sim_pid" 2> /dev/null || true
    start_sim --socket-port 0 --hislip-port 0 --vxi11-port 0 || { cat "$work/sim.log" >&2; exit 1; }
fi
resource=$(grep -o 'TCPIP::127.0.0.1::[0-9]*::SOCKET' "$work/sim.log")
hislip=$(grep -o 'TCPIP::127.0.0.1::hislip0[0-9,]*::INSTR' "$work/sim.log")
port=${resource#TCPIP::127.0.0.1::}
port=${port%::SOCKET}
scpi() {
    exec 3<> "/dev/tcp/127.0.0.1/$port"
    printf '%s\n' "$@" >&3
    exec 3>&-
}
capture() {
    "$states" capture "$work/demo.ixs" --instrument "$resource" --name "$1" --description "$2" \
        > /dev/null
}
scpi ':FREQ 2.4E9' ':POW -20' ':OUTP ON'
capture Carrier "2.4 GHz, -20 dBm, on"
scpi ':AM:STAT ON' ':AM:DEPT 80'
capture "AM test" "carrier with 80 % AM"

"$setups" --screenshot "$out/ixo-setups.png" --select "AM test" "$work/demo.ixs"
"$setups" --instrument "$hislip" --screenshot-connect "$out/connect-dialog.png"
"$setups" --demo-bench --screenshot "$out/bench.png"
for picture in ixo-setups.png connect-dialog.png bench.png; do
    [ -s "$out/$picture" ] || { echo "screenshots.sh: no $out/$picture" >&2; exit 1; }
done
echo "Pictures written to $out: ixo-setups.png connect-dialog.png bench.png"
