#!/usr/bin/env bash
# The simulator serving a bench: each role answers *IDN? with its own identity over its raw
# socket and HiSLIP (two of a family told apart by serial number) and is listed by mDNS; a fault
# sent to one instrument leaves the others alone; SIGTERM ends the simulator cleanly.
# Usage: bench_sim.sh <ixo-instrument-sim> <ixo-states> <work directory>
set -euo pipefail
sim=$1 states=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
export XDG_CONFIG_HOME=$work/config

source "$(dirname "$0")/simulator.sh"

fail() { echo "$*" >&2; exit 1; }

# ROLE=FAMILY|manufacturer and model as *IDN? names them
bench=(
    "generator=keysight-33500|Keysight Technologies 33522B"
    "scope=rigol-ds1000z|RIGOL TECHNOLOGIES DS1104Z"
    "supply=keysight-e36300|Keysight Technologies E36312A"
    "second-supply=keysight-e36300|Keysight Technologies E36312A"
)
start_bench "${bench[@]%%|*}"
roles=("${!socket[@]}")

for entry in "${bench[@]}"; do
    role=${entry%%=*} identity=${entry#*|}
    for resource in "${socket[$role]}" "${hislip[$role]}"; do
        out=$("$states" profiles --instrument "$resource")
        [[ $out == *"$resource ($identity) uses "* ]] || fail "$role over $resource: $out"
    done
    [[ $(scpi "$(port_of "${socket[$role]}")" "*IDN?") == "${idn[$role]}" ]] ||
        fail "$role does not answer *IDN? with ${idn[$role]}"
done
[[ $(printf '%s\n' "${idn[@]}" | sort -u | wc -l) == "${#bench[@]}" ]] ||
    fail "identities repeat: $(printf '%s; ' "${idn[@]}")"

"$states" discover --json --timeout 800 --no-usb --no-vxi11 --no-multicast \
    --mdns-target "127.0.0.1:$mdns" >"$work/found.json"
for role in "${roles[@]}"; do printf '%s\t%s\n' "${hislip[$role]}" "${idn[$role]}"; done >"$work/expected"
/usr/bin/python3 - "$work/found.json" "$work/expected" <<'PY'
import json, sys
found = sorted((i["resource"], i["identity"]) for i in json.load(open(sys.argv[1])))
expected = sorted(tuple(line.rstrip("\n").split("\t")) for line in open(sys.argv[2]))
assert found == expected, (found, expected)
PY

# GARBAGE replaces the next answer of the instrument it was sent to, and of no other.
for faulty in "${roles[@]}"; do
    scpi "$(port_of "${socket[$faulty]}")" ":SIMulate:FAULt GARBAGE"
    for role in "${roles[@]}"; do
        [[ $role == "$faulty" ]] && continue
        [[ $(scpi "$(port_of "${socket[$role]}")" "*IDN?") == "${idn[$role]}" ]] ||
            fail "a fault sent to $faulty reached $role"
    done
    [[ $(scpi "$(port_of "${socket[$faulty]}")" "*IDN?") != "${idn[$faulty]}" ]] ||
        fail "$faulty answered despite its fault"
done

# A client still connected does not keep the simulator from ending.
exec 4<>"/dev/tcp/127.0.0.1/$(port_of "${socket[generator]}")"
kill -TERM "${pids[-1]}"
for _ in $(seq 50); do
    kill -0 "${pids[-1]}" 2>/dev/null || break
    sleep 0.1
done
kill -0 "${pids[-1]}" 2>/dev/null && fail "still running after SIGTERM"
status=0
wait "${pids[-1]}" || status=$?
[[ $status == 0 ]] || fail "SIGTERM ended the simulator with $status: $(cat "$work"/sim*.log)"
echo "bench checks passed"
