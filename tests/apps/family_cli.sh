#!/usr/bin/env bash
# ixo-states against the simulator speaking instrument families: a network analyser whose
# setup travels as a file in its own memory, checked step by step, captured, restored and
# verified over the raw socket and HiSLIP; a supply that keeps setups only in registers is
# refused with a pointer to a settings list.
# Usage: family_cli.sh <ixo-instrument-sim> <ixo-states> <work directory>
set -euo pipefail
sim=$1 states=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
export XDG_CONFIG_HOME=$work/config

source "$(dirname "$0")/simulator.sh"

fail() { echo "$*" >&2; exit 1; }

start_sim --family rs-znb
check=$("$states" profiles --check --instrument "$resource")
[[ $check == *"Checking profile rs-znb"* && $check == *"query block MMEMory:DATA? 'C:\\Temp\\IXO"*".znx'  -> "*" bytes"* && $check == *"cleanup: send MMEMory:DELete"* && $check == *"The capture works."* ]] ||
    fail "unexpected check: $check"

for resource in "$resource" "$hislip"; do
    doc=$work/znb.ixs
    rm -f "$doc"
    "$states" capture "$doc" --instrument "$resource" --name Sweep >/dev/null
    out=$("$states" restore "$doc" Sweep --instrument "$resource" --verify 2>&1)
    [[ $out == *"restored Sweep"* && $out != *warning* ]] || fail "restore over $resource: $out"
done

start_sim --family keysight-e364x
status=0
out=$("$states" capture "$work/supply.ixs" --instrument "$resource" --name A 2>&1) || status=$?
[[ $status == 4 && $out == *"only in *SAV/*RCL registers"* && $out == *'"settings"'* ]] ||
    fail "registers-only supply not refused as expected ($status): $out"
echo "family CLI checks passed"
