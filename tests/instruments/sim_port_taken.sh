#!/usr/bin/env bash
# A second simulator on the ports of a first one says which option names the taken port.
# Usage: sim_port_taken.sh <ixo-instrument-sim> <work directory>
set -euo pipefail
sim=$1 work=$2
mkdir -p "$work"
log=$work/first.log
"$sim" --socket-port 0 --vxi11-port 0 --hislip-port 0 --no-mdns >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q 'portmapper port' "$log" && break
    sleep 0.1
done
socket=$(sed -n 's/.*::\([0-9]*\)::SOCKET.*/\1/p' "$log")
portmapper=$(sed -n 's/.*portmapper port \([0-9]*\),.*/\1/p' "$log")
hislip=$(sed -n 's/.*hislip0,\([0-9]*\)::INSTR.*/\1/p' "$log")
[[ -n $socket && -n $portmapper && -n $hislip ]] || { echo "first simulator did not start: $(cat "$log")" >&2; exit 1; }

check() {
    local option=$1; shift
    set +e
    out=$("$sim" "$@" 2>&1)
    code=$?
    set -e
    [[ $code == 1 && $out == *"(--$option)"* ]] || { echo "taken --$option: $code $out" >&2; exit 1; }
}
check socket-port --socket-port "$socket" --vxi11-port 0 --hislip-port 0 --no-mdns
check vxi11-port --socket-port 0 --vxi11-port "$portmapper" --hislip-port 0 --no-mdns
check hislip-port --socket-port 0 --vxi11-port 0 --hislip-port "$hislip" --no-mdns
echo "taken ports named"
