#!/usr/bin/env bash
# Drives ixo-setups on a virtual X display with real clicks and keys, as a user would: capture
# a state, rename it, compare, restore (through the preview), save, reopen; then checks the
# saved document with ixo-states and the instrument's setting on the simulator.
# Usage: desktop_e2e.sh <ixo-setups> <ixo-states> <ixo-instrument-sim> <work directory>
set -euo pipefail
setups=$1 states=$2 sim=$3 work=$4
for tool in Xvfb xdotool; do
    if ! command -v "$tool" >/dev/null; then
        echo "SKIPPED: $tool is not installed (Debian packages xvfb and xdotool)"
        exit 77
    fi
done
rm -rf "$work" && mkdir -p "$work/config"
pids=()
trap 'kill "${pids[@]}" 2>/dev/null || true' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

# A display number nobody uses.
display=
for n in $(seq 90 140); do
    if [[ ! -e /tmp/.X11-unix/X$n && ! -e /tmp/.X$n-lock ]]; then display=:$n; break; fi
done
[[ -n $display ]] || fail "no free X display number"
Xvfb "$display" -screen 0 1280x900x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
export DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_CONFIG_HOME=$work/config
for _ in $(seq 50); do xdotool getmouselocation >/dev/null 2>&1 && break; sleep 0.1; done

source "$(dirname "$0")/simulator.sh"
start_sim
port=$(port_of "$resource")

# Waits for a window whose title matches and prints its id.
window() {
    for _ in $(seq 100); do
        local id
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
        if [[ -n $id ]]; then echo "$id"; return; fi
        sleep 0.1
    done
    fail "no window \"$1\" appeared"
}
# Clicks at x, y of a window (with an xdotool modifier such as ctrl, optional).
click() {
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.2
    if [[ -n ${4:-} ]]; then xdotool keydown "$4" click 1 keyup "$4"; else xdotool click 1; fi
    sleep 0.5
}
keys() { xdotool key --delay 50 "$@"; sleep 0.5; }
type_text() { xdotool type --delay 30 "$1"; sleep 0.3; }
# Replaces the text of the name dialog's name box and confirms.
name_dialog() {
    local dialog
    dialog=$(window "$1")
    xdotool windowfocus --sync "$dialog" 2>/dev/null || true
    keys ctrl+a
    type_text "$2"
    keys Return
}

# Positions in the window of the control (its design layout) and of the list rows.
capture_at=(349 64) restore_at=(349 132) edit_name_at=(53 232)
row1_at=(60 69) row2_at=(60 84)

"$setups" --instrument "$resource" >"$work/setups1.log" 2>&1 &
pids+=($!)
win=$(window 'Untitled.*IxoInstrSetups')
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5

# Capture the instrument's setup as it is, then rename the state.
scpi "$port" ":FREQ 1.5E9"
click "$win" "${capture_at[@]}"
name_dialog 'Capture|Name|State' "Bench first"
click "$win" "${row1_at[@]}"
click "$win" "${edit_name_at[@]}"
name_dialog 'Edit|Name|State' "Bench A"
# The instrument moves on; a second state is captured and the two are compared.
scpi "$port" ":FREQ 2.5E9"
click "$win" "${capture_at[@]}"
name_dialog 'Capture|Name|State' "Bench B"
click "$win" "${row1_at[@]}"
click "$win" "${row2_at[@]}" ctrl
# Restore the first state: the preview asks, Return accepts.
click "$win" "${row1_at[@]}"
click "$win" "${restore_at[@]}"
preview=$(window 'Restore preview')
xdotool windowfocus --sync "$preview" 2>/dev/null || true
keys Return
sleep 0.5
freq=$(scpi "$port" ":FREQ?")
[[ $freq == 1.5* || $freq == 1.50* ]] || fail "restore did not reach the instrument: :FREQ is $freq"

# Save under a new name through the file dialog, then quit.
xdotool windowfocus --sync "$win" 2>/dev/null || true
keys ctrl+s
dialog=$(window 'Save document as')
xdotool windowfocus --sync "$dialog" 2>/dev/null || true
type_text "$work/e2e.ixs"
keys Return
for _ in $(seq 50); do [[ -e $work/e2e.ixs ]] && break; sleep 0.1; done
[[ -e $work/e2e.ixs ]] || fail "the document was not saved"
window 'e2e.ixs.*IxoInstrSetups' >/dev/null
xdotool windowfocus --sync "$win" 2>/dev/null || true
keys ctrl+q
wait "${pids[-1]}" || fail "ixo-setups ended with an error: $(cat "$work/setups1.log")"

# Reopen: the list is back; saving again keeps the previous file as .bak.
"$setups" --instrument "$resource" "$work/e2e.ixs" >"$work/setups2.log" 2>&1 &
pids+=($!)
win=$(window 'e2e.ixs.*IxoInstrSetups')
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5
keys ctrl+s
for _ in $(seq 50); do [[ -e $work/e2e.ixs.bak ]] && break; sleep 0.1; done
[[ -e $work/e2e.ixs.bak ]] || fail "saving again kept no backup"
keys ctrl+q
wait "${pids[-1]}" || fail "ixo-setups ended with an error: $(cat "$work/setups2.log")"

listing=$(QT_QPA_PLATFORM=offscreen "$states" list "$work/e2e.ixs" --json)
echo "$listing"
for name in '"name": "Bench A"' '"name": "Bench B"'; do
    grep -q "$name" <<<"$listing" || fail "the saved document lacks $name"
done
grep -q 'Bench first' <<<"$listing" && fail "the rename was not saved"
# The two states differ in the frequency only where the instrument was moved.
if QT_QPA_PLATFORM=offscreen "$states" diff "$work/e2e.ixs:Bench A" "$work/e2e.ixs:Bench B" \
    >"$work/diff.txt"; then
    fail "the two saved states are the same"
fi
grep -q ':FREQ' "$work/diff.txt" || fail "the states differ elsewhere: $(cat "$work/diff.txt")"
echo "end-to-end run passed"
