#!/usr/bin/env bash
# Captures and restores through ixo-states on a simulator reached over TCP, and checks the
# instrument's setting really changed back; an error queued before a capture is reported as a
# warning; a second simulator of another model is refused.
# Usage: instrument_loopback.sh <ixo-instrument-sim> <ixo-states> <work directory>
set -euo pipefail
sim=$1 states=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT

source "$(dirname "$0")/simulator.sh"

doc=$work/loopback.ixs
start_sim
port=$(port_of "$resource")

scpi "$port" ":FREQ 2.5E9"
"$states" capture "$doc" --instrument "$resource" --name "Carrier 2.5 GHz"
scpi "$port" ":FREQ 1E8"
[[ $(scpi "$port" ":FREQ?") == "1.000000E+08" ]] || { echo "setting did not change" >&2; exit 1; }

"$states" restore "$doc" "Carrier 2.5 GHz" --instrument "$resource"
got=$(scpi "$port" ":FREQ?")
[[ $got == "2.500000E+09" ]] || { echo "restore left :FREQ at $got" >&2; exit 1; }

# An error the user caused before is reported, not blamed on the capture, and not lost.
scpi "$port" ":BOGUS 1"
err=$("$states" capture "$doc" --instrument "$resource" --name "After an error" 2>&1 >/dev/null)
[[ $err == *"errors already queued before the capture: -113,"* ]] || { echo "no warning: $err" >&2; exit 1; }
left=$(scpi "$port" ":SYST:ERR?")
[[ $left == 0,* ]] || { echo "error queue still holds $left" >&2; exit 1; }

start_sim --model OTHER-9
set +e
out=$("$states" restore "$doc" "Carrier 2.5 GHz" --instrument "$resource" 2>&1)
code=$?
set -e
[[ $code == 3 && $out == *"was not restored"* ]] || { echo "restore onto another model: $code $out" >&2; exit 1; }
echo "loopback capture and restore passed"
