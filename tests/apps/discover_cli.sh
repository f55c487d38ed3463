#!/usr/bin/env bash
# ixo-states discover --json finds a simulator program over loopback by both mechanisms and
# lists it once, under HiSLIP, with its *IDN?; a malformed option is a usage error.
# Usage: discover_cli.sh <ixo-instrument-sim> <ixo-states> <work directory>
set -euo pipefail
sim=$1 states=$2 work=$3
mkdir -p "$work"
log=$work/sim.log
"$sim" --socket-port 0 --vxi11-port 0 --hislip-port 0 --mdns-port 0 >"$log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    grep -q 'answering mDNS' "$log" && break
    sleep 0.1
done
portmapper=$(sed -n 's/.*portmapper port \([0-9]*\),.*/\1/p' "$log")
mdns=$(sed -n 's/.*answering mDNS on port \([0-9]*\).*/\1/p' "$log")
hislip=$(sed -n 's/.*hislip0,\([0-9]*\)::INSTR.*/\1/p' "$log")
[[ -n $portmapper && -n $mdns && -n $hislip ]] || { echo "simulator did not start: $(cat "$log")" >&2; exit 1; }

"$states" discover --json --timeout 800 --no-usb --no-multicast --broadcast 127.0.0.1 \
    --portmapper-port "$portmapper" --mdns-target "127.0.0.1:$mdns" >"$work/found.json"
/usr/bin/python3 - "$work/found.json" "$hislip" <<'PY'
import json, sys
found = json.load(open(sys.argv[1]))
expected = [{"resource": f"TCPIP::127.0.0.1::hislip0,{sys.argv[2]}::INSTR",
             "identity": "IXO,SG-100,000001,2.1.0", "mechanism": "mdns", "problem": ""}]
assert found == expected, found
PY

set +e
out=$("$states" discover --mdns-target 127.0.0.1 2>&1)
code=$?
set -e
[[ $code == 2 && $out == *"--mdns-target takes ADDRESS:PORT"* ]] || { echo "bad target: $code $out" >&2; exit 1; }
# A port another program holds without sharing it leaves the simulator serving, with a warning.
warned=$(/usr/bin/python3 - "$sim" <<'PY'
import socket, subprocess, sys, time
held = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
held.bind(("127.0.0.1", 0))
sim = subprocess.Popen([sys.argv[1], "--socket-port", "0", "--vxi11-port", "0", "--hislip-port",
                        "0", "--mdns-port", str(held.getsockname()[1])],
                       stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
try:
    for line in sim.stdout:
        print(line, end="")
        if "hislip0" in line:
            break
finally:
    sim.kill()
    sim.wait()
PY
)
[[ $warned == *"warning: no mDNS on 127.0.0.1 port"*"(--mdns-port)"*"hislip0"* ]] || { echo "taken mDNS port: $warned" >&2; exit 1; }
echo "discovered the simulator"
