# Sourced by the command-line tests: start_sim [options...] starts ixo-instrument-sim ($sim) on
# free ports, logging into $work, and sets resource (its raw socket) and hislip (its HiSLIP
# resource). Not run in a subshell, so that the caller's EXIT trap can stop every simulator in
# pids.
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
