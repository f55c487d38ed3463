#!/usr/bin/env bash
# ixo-states' bench commands against a simulated bench of four instruments reached over the raw
# socket, VXI-11 and HiSLIP: a bench state captured at once comes back on every instrument, one
# restore is taken back, single-instrument commands pick their instrument by role, bench states
# are renamed, dropped, exported and imported. An instrument that cannot be reached fails the
# capture and changes no list; a restore failing part-way reports every role and says how to
# put back the ones it restored. Instruments simulated in ixo-states itself ("SIM::<family>")
# make a bench too.
# Usage: bench_cli.sh <ixo-instrument-sim> <ixo-states> <work directory>
set -euo pipefail
sim=$1 states=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
export XDG_CONFIG_HOME=$work/config
source "$(dirname "$0")/simulator.sh"
doc=$work/bench.ixs

fail() { echo "FAIL: $*" >&2; exit 1; }

# ROLE|FAMILY|TRANSPORT|QUERY OF A SETTING|COMMAND CHANGING IT
bench=(
    "generator|keysight-33500|socket|:SOURce1:FREQuency?|:SOURce1:FREQuency 2500"
    "scope|keysight-infiniivision|vxi11|:TIMebase:SCALe?|:TIMebase:SCALe 0.5"
    "supply|keysight-e36300|hislip|SOURce:VOLTage? (@1)|SOURce:VOLTage 5,(@1)"
    "meter|keysight-truevolt|socket|:VOLTage:DC:RANGe?|:VOLTage:DC:RANGe 100"
)
roles=() families=()
declare -A transport query change golden changed
for row in "${bench[@]}"; do
    IFS='|' read -r role family via ask set <<<"$row"
    roles+=("$role") families+=("$role=$family")
    transport[$role]=$via query[$role]=$ask change[$role]=$set
done

# VISA clients find VXI-11 through the portmapper on port 111; when another program holds it,
# the scope is reached over HiSLIP instead.
bench_options=(--no-mdns --vxi11-port 111)
if ! start_bench "${families[@]}" 2>"$work/no-vxi11.txt"; then
    echo "note: port 111 taken, no VXI-11 this run: $(cat "$work/no-vxi11.txt")"
    bench_options=(--no-mdns)
    start_bench "${families[@]}"
    transport[scope]=hislip
fi

resource_of() {
    case ${transport[$1]} in
    socket) echo "${socket[$1]}" ;;
    vxi11) echo "${vxi11[$1]}" ;;
    hislip) echo "${hislip[$1]}" ;;
    esac
}

# Talks to a role's instrument over its raw socket, as a person at the bench would.
ask() { scpi "$(port_of "${socket[$1]}")" "$2"; }
setting() { ask "$1" "${query[$1]}"; }
change_all() { for role in "${roles[@]}"; do ask "$role" "${change[$role]}"; done; }
expect_setting() {
    local now
    now=$(setting "$1")
    [[ $now == "$2" ]] || fail "$1: ${query[$1]} answers $now, not $2 ($3)"
}

# expect CODE TEXT... -- ARGUMENTS: runs ixo-states with the arguments and checks its exit code
# and that its output holds each text; leaves standard output in out, both streams in all.
expect() {
    local code=$1 texts=() status=0
    shift
    while [[ $1 != -- ]]; do texts+=("$1") && shift; done
    shift
    out=$("$states" "$@" 2>"$work/stderr") || status=$?
    all=$out$'\n'$(cat "$work/stderr")
    [[ $status == "$code" ]] || fail "ixo-states $* exited $status, not $code: $all"
    for text in "${texts[@]}"; do
        [[ $all == *"$text"* ]] || fail "ixo-states $*: no \"$text\" in: $all"
    done
}
# json PYTHON-EXPRESSION [ARGUMENT...]: holds for the JSON document in out, named j, and the
# arguments, named a.
json() {
    /usr/bin/python3 -c 'import json, sys; j, a = json.loads(sys.argv[1]), sys.argv[3:]
assert eval(sys.argv[2])' "$out" "$@" 2>/dev/null || fail "not $1 in: $out"
}

# The bench, added and listed.
for role in "${roles[@]}"; do
    expect 0 "a bench of" -- bench add "$doc" "$role" "$(resource_of "$role")"
done
expect 4 "is no role name" -- bench add "$doc" "2nd" "${socket[meter]}"
expect 4 "Invalid resource string \"bogus\"" -- bench add "$doc" spare bogus

# Instruments simulated in ixo-states' own process, by family.
in_process=$work/in-process.ixs
expect 0 "a bench of" -- bench add "$in_process" scope SIM::tektronix-mso
expect 0 "a bench of 2 instruments" -- bench add "$in_process" supply sim::Keysight-E36300
expect 4 "no family \"nope\"" "tektronix-mso" "keysight-e36300" -- \
    bench add "$in_process" spare SIM::nope
expect 0 "state Here: scope, supply" -- bench capture "$in_process" --name Here
expect 0 "scope: restored" "supply: restored" -- bench restore "$in_process" Here
expect 0 "a bench of 4 instruments" -- bench list "$doc"
for role in "${roles[@]}"; do
    [[ $out =~ $'\n'"  $role"\ +"$(resource_of "$role")  0 states, 0 restores to take back" ]] ||
        fail "bench list does not show the $role: $out"
done
expect 0 -- bench list "$doc" --json
json '[r["role"] for r in j["roles"]] == ["generator", "scope", "supply", "meter"]'
json '[r["resource"] for r in j["roles"]] == a' "$(resource_of generator)" "$(resource_of scope)" \
    "$(resource_of supply)" "$(resource_of meter)"
json 'all(r["states"] == 0 and r["safetyCapture"] for r in j["roles"]) and j["benchStates"] == []'

# Captured at once, changed by hand, restored on every instrument.
for role in "${roles[@]}"; do golden[$role]=$(setting "$role"); done
expect 0 "state Golden: generator, scope, supply, meter" -- bench capture "$doc" --name Golden
expect 3 "is already a Captured State" -- bench capture "$doc" --name golden
change_all
for role in "${roles[@]}"; do
    changed[$role]=$(setting "$role")
    [[ ${changed[$role]} != "${golden[$role]}" ]] || fail "$role: ${change[$role]} changed nothing"
done
expect 0 "generator: restored" "scope: restored" "supply: restored" "meter: restored" -- \
    bench restore "$doc" Golden
for role in "${roles[@]}"; do expect_setting "$role" "${golden[$role]}" "after bench restore"; done
expect 0 "1 state, 1 restore to take back" -- bench list "$doc"

# One restore taken back: the scope alone gets its changed setting again.
expect 4 "say which role" -- undo-restore "$doc"
expect 0 "put back the setup of scope" -- undo-restore "$doc" --role scope
expect_setting scope "${changed[scope]}" "after undo-restore --role scope"
for role in generator supply meter; do expect_setting "$role" "${golden[$role]}" "undo of another"; done
expect 4 "No restore of scope is kept" -- undo-restore "$doc" --role scope

# Single-instrument commands, each on the instrument of its role.
expect 4 "say which role" -- list "$doc"
expect 0 "1 saved state (instrument 34465A" -- list "$doc" --role meter
expect 0 "2 saved states (instrument E36312A" -- capture "$doc" --role supply --name Solo
expect 0 "exported Solo" -- export "$doc" Solo "$work/solo.sta" --role supply
expect 0 "1 saved state" -- remove "$doc" Solo --role supply
expect 0 "2. Solo" -- import "$doc" "$work/solo.sta" --role supply
expect 3 "The imported state is for the E36312A" -- import "$doc" "$work/solo.sta" --role meter
expect 0 "2. Single" -- rename "$doc" Solo Single --role supply
expect 0 "restored Golden to 33522B" -- restore "$doc" Golden --role generator
expect 0 "state Golden: generator, scope, supply, meter" "state Single: supply" -- bench list "$doc"

# Bench states renamed, exported, dropped and imported again.
expect 0 "state Reference: generator, scope, supply, meter" -- \
    bench rename "$doc" Golden Reference --description "as calibrated"
expect 0 "exported bench state Reference" -- bench export "$doc" Reference "$work/reference.ixb"
expect 0 -- bench drop "$doc" Reference
[[ $out != *Reference* ]] || fail "bench drop left Reference: $out"
expect 0 "state Reference: generator, scope, supply, meter" -- \
    bench import "$doc" "$work/reference.ixb"
expect 3 "Give it another name with --name" -- bench import "$doc" "$work/reference.ixb"
expect 0 "state Copy: generator, scope, supply, meter" -- \
    bench import "$doc" "$work/reference.ixb" --name Copy
expect 0 "1. Reference - as calibrated" "2. Copy - as calibrated" -- list "$doc" --role scope
change_all
expect 0 "meter: restored" -- bench restore "$doc" Copy
for role in "${roles[@]}"; do expect_setting "$role" "${golden[$role]}" "after restoring Copy"; done

# An instrument whose port has closed: the capture fails naming it, and no list changes.
faulty=$work/faulty.ixs
cp "$doc" "$faulty"
start_sim --family keysight-truevolt
expect 0 "a bench of 5 instruments" -- bench add "$faulty" load "$resource"
expect 0 "state Extra: generator, scope, supply, meter, load" -- bench capture "$faulty" --name Extra
kill "${pids[-1]}" && wait "${pids[-1]}" 2>/dev/null || true
expect 0 -- bench list "$faulty" --json
before=$out
expect 4 "Bench state Again was not captured; no list changed" "load ($resource)" \
    "cannot be reached" -- bench capture "$faulty" --name Again
[[ $all != *"generator ("* && $all != *"scope ("* ]] || fail "roles that worked named: $all"
expect 0 -- bench list "$faulty" --json
[[ $out == "$before" ]] || fail "a failed capture changed the document: $out"

# A restore failing at the second role: every role reported, the first one can be put back.
change_all
ask scope ":SIMulate:FAULt GARBAGE"
expect 4 "generator: restored" "scope: failed: " "$(resource_of scope | sed 's/^TCPIP::/TCPIP0::/')" \
    "supply: not restored (an earlier role failed)" "meter: not restored (an earlier role failed)" \
    "to put the generator back: ixo-states undo-restore $doc --role generator" -- \
    bench restore "$doc" Reference
[[ $out != *"put the scope back"* && $out != *"put the supply back"* ]] ||
    fail "offers to put back roles that were not restored: $out"
expect_setting generator "${golden[generator]}" "restored before the failure"
expect_setting supply "${changed[supply]}" "not reached after the failure"
expect 0 "put back the setup of generator" -- undo-restore "$doc" --role generator
expect_setting generator "${changed[generator]}" "put back after the failure"
ask scope ":SIMulate:FAULt GARBAGE"
expect 4 -- bench restore "$doc" Reference --json
json 'j["failed"] and [r["result"] for r in j["roles"]] == ["restored", "failed", "not restored (an earlier role failed)", "not restored (an earlier role failed)"]'
json "j['putBack'] == ['ixo-states undo-restore $doc --role generator']"
ask scope ":SIMulate:FAULt GARBAGE"
expect 4 "the generator was restored with no safety capture" -- \
    bench restore "$doc" Reference --no-safety
echo "bench CLI checks passed"
