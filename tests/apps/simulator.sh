# Sourced by the command-line tests: start_sim [options...] starts ixo-instrument-sim ($sim) on
# free ports, logging into $work, and sets resource (its raw socket) and hislip (its HiSLIP
# resource); start_bench ROLE=FAMILY... starts it as a bench of those instruments. Not run in a
# subshell, so that the caller's EXIT trap can stop every simulator in pids.
start_sim() {
    local log=$work/sim${#pids[@]}.log
    "$sim" --port 0 --hislip-port 0 --vxi11-port 0 --no-mdns "$@" >"$log" 2>&1 &
    pids+=($!)
    for _ in $(seq 100); do
        if grep -q 'listening on .*hislip0' "$log"; then
            resource=$(sed -n 's/.*listening on \(TCPIP::[^ ]*::SOCKET\).*/\1/p' "$log")
            hislip=$(sed -n 's/.*listening on \(TCPIP::[^ ]*hislip0[^ ]*::INSTR\).*/\1/p' "$log")
            return
        fi
        sleep 0.1
    done
    echo "simulator did not start: $(cat "$log")" >&2
    exit 1
}

# Sets, by role, socket, vxi11, hislip and idn (resources and *IDN?) from the line the bench
# prints for each instrument, and mdns (its mDNS port). Options for the simulator itself go in
# the array bench_options. Fails, with the simulator's output, when the simulator ends first.
start_bench() {
    local log=$work/sim${#pids[@]}.log options=("${bench_options[@]}") entry role raw instr hs
    local identity
    for entry in "$@"; do options+=(--instrument "$entry"); done
    "$sim" "${options[@]}" >"$log" 2>&1 &
    pids+=($!)
    declare -gA socket=() vxi11=() hislip=() idn=()
    for _ in $(seq 100); do
        if [[ $(grep -c '::SOCKET' "$log" 2>/dev/null) == "$#" ]]; then
            while read -r _ role raw instr hs identity; do
                socket[$role]=$raw vxi11[$role]=$instr hislip[$role]=$hs idn[$role]=$identity
            done < <(grep '::SOCKET' "$log")
            mdns=$(sed -n 's/.*answering mDNS on port \([0-9]*\).*/\1/p' "$log")
            return
        fi
        kill -0 "${pids[-1]}" 2>/dev/null || break
        sleep 0.1
    done
    echo "bench did not start: $(cat "$log")" >&2
    return 1
}

# Sends one SCPI line to a raw socket port and prints the answer when it is a query (a query
# may take parameters after its "?").
scpi() {
    local port=$1 line=$2
    exec 3<>"/dev/tcp/127.0.0.1/$port"
    printf '%s\n' "$line" >&3
    if [[ $line == *\?* ]]; then
        IFS= read -r -t 5 answer <&3
        printf '%s\n' "${answer%$'\r'}"
    fi
    exec 3>&-
}

port_of() { echo "$1" | cut -d: -f5; }
