#!/usr/bin/env bash
# ixo-states on setup libraries, SQLite and (when ctest started one) PostgreSQL: documents move
# in and out; stations capturing, renaming and restoring at once lose nothing and every conflict
# is reported; versions, releases and the audit trail; an unreachable library keeps the capture.
# Usage: library_cli.sh <ixo-states> <demo document> <work directory>
set -euo pipefail
states=$1 doc=$2 work=$3
rm -rf "$work" && mkdir -p "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }
export XDG_DATA_HOME=$work/data
stations=6

# Documents in and out, and a taken name refused.
moves() {
    local library=$1
    "$states" library import "$library?document=bench" "$doc" >/dev/null
    "$states" library list "$library" | grep -qx "  bench" || fail "bench is not listed"
    "$states" library export "$library" bench "$work/copy.ixs" >/dev/null
    [[ "$("$states" list "$work/copy.ixs" --json)" == "$("$states" list "$doc" --json | sed "s|$doc|$work/copy.ixs|g")" ]] ||
        fail "the exported document lists other states"
    local status=0
    "$states" library import "$library?document=bench" "$doc" 2>"$work/taken.txt" || status=$?
    [[ $status == 3 ]] && grep -q "has a document bench already" "$work/taken.txt" ||
        fail "a taken name was not refused (exit $status)"
}

# Several processes at once make a document, each capturing states of its own and restoring
# them; then all rename the same state. Every capture is kept, exactly one rename wins, and the others say why.
stations_at_once() {
    local document="$1?document=floor"
    # The document is new: every station finds none and makes it.
    for s in $(seq $stations); do
        (
            export IXO_STATION=station-$s
            for n in 1 2 3; do
                "$states" capture "$document" --name "s$s-$n" >/dev/null
                "$states" restore "$document" "s$s-$n" >/dev/null
            done
        ) &
    done
    wait
    local count
    count=$("$states" list "$document" --json | grep -c '"name"')
    [[ $count == $((stations * 3)) ]] || fail "$count states kept of $((stations * 3))"
    "$states" capture "$document" --name Shared >/dev/null
    for s in $(seq $stations); do
        (
            status=0
            IXO_STATION=station-$s "$states" rename "$document" Shared "By$s" \
                >/dev/null 2>"$work/rename-$s.txt" || status=$?
            echo $status >"$work/rename-$s.status"
        ) &
    done
    wait
    local won=0
    for s in $(seq $stations); do
        case $(cat "$work/rename-$s.status") in
        0) won=$((won + 1)) ;;
        3) grep -q "State Shared was changed by .* on station-" "$work/rename-$s.txt" ||
            fail "station $s: $(cat "$work/rename-$s.txt")" ;;
        # Read after the winner saved: the state has its new name already.
        4) grep -q "Shared" "$work/rename-$s.txt" || fail "station $s: $(cat "$work/rename-$s.txt")" ;;
        *) fail "station $s exited $(cat "$work/rename-$s.status")" ;;
        esac
    done
    [[ $won == 1 ]] || fail "$won renames of one state went through"
    [[ $("$states" library audit "$1" --json | grep -c '"station"') == $((stations * 3)) ]] ||
        fail "not every restore is in the audit trail"
}

# Versions: a released state is not renamed, changes by a new version, and its first version
# still restores; the audit trail tells which.
versions() {
    local document="$1?document=floor"
    "$states" library release "$document" s1-1 >/dev/null
    local status=0
    "$states" rename "$document" s1-1 gone 2>"$work/released.txt" || status=$?
    [[ $status == 3 ]] && grep -q "is released" "$work/released.txt" ||
        fail "a released state was renamed (exit $status)"
    "$states" capture "$document" --name s1-1 --new-version >/dev/null
    "$states" library history "$document" s1-1 --json >"$work/history.json"
    grep -q '"change": "revised"' "$work/history.json" || fail "no revised version"
    "$states" restore "$document" s1-1 --version 1 | grep -q "(version 1)" ||
        fail "version 1 did not restore"
    "$states" library audit "$1" --since 2000-01-01 | tail -1 | grep -q "s1-1 version 1 to IXO,SG-100" ||
        fail "the audit trail misses the restore of version 1"
}

run_on() {
    echo "-- $1"
    moves "$1"
    stations_at_once "$1"
    versions "$1"
}

# A station's login may not change states: its capture is refused and kept in a state file.
station_role() {
    local document="$1?document=floor" roles=$2
    psql -q "$1" -f "$roles" -c "DROP ROLE IF EXISTS station_cli" \
        -c "CREATE ROLE station_cli LOGIN PASSWORD 'cli-secret' IN ROLE ixo_station"
    cp "$PGPASSFILE" "$work/pgpass" && echo "*:*:*:station_cli:cli-secret" >>"$work/pgpass"
    chmod 600 "$work/pgpass"
    local station=${document/:\/\/*@/://station_cli@} status=0
    PGPASSFILE=$work/pgpass "$states" restore "$station" s2-1 >/dev/null ||
        fail "a station cannot restore"
    PGPASSFILE=$work/pgpass "$states" capture "$station" --name Mine 2>"$work/denied.txt" || status=$?
    [[ $status == 4 ]] && grep -q "does not allow this user to change it" "$work/denied.txt" ||
        fail "a station changed a state (exit $status): $(cat "$work/denied.txt")"
    local kept
    kept=$(sed -n 's/^The capture was kept in \(.*\.sta\):.*/\1/p' "$work/denied.txt")
    [[ -f $kept ]] || fail "the capture was not kept: $(cat "$work/denied.txt")"
    "$states" import "$work/recovered.ixs" "$kept" | grep -q "Mine" ||
        fail "the kept capture does not import"
}

run_on "sqlite:$work/lab.db"
server=${IXO_LIBRARY_SERVER:-}
if [[ -n $server && -f $server/address ]]; then
    export PGPASSFILE=$server/pgpass
    address=$(cat "$server/address")
    psql -q "$address" -c "DROP DATABASE IF EXISTS cli WITH (FORCE)" -c "CREATE DATABASE cli"
    run_on "${address%/*}/cli"
    station_role "${address%/*}/cli" "$(dirname "$0")/../../scripts/library-roles.sql"
    # libpq's service file names the server, as it does for psql.
    hostport=${address#*@} && hostport=${hostport%%/*}
    printf '[lab]\nhost=%s\nport=%s\nuser=%s\ndbname=cli\n' "${hostport%:*}" "${hostport#*:}" \
        "$(sed 's|postgresql://\([^@]*\)@.*|\1|' <<<"$address")" >"$work/services.conf"
    PGSERVICEFILE=$work/services.conf "$states" list "postgresql://?service=lab&document=floor" |
        grep -q "s2-1" || fail "a service file does not name the library"
else
    echo "PostgreSQL left out: ${server:+$(cat "$server/skip-reason" 2>/dev/null)}${server:-IXO_LIBRARY_SERVER is not set}"
fi

# Nothing listens there: the library cannot be reached, and nothing is left behind.
status=0
"$states" list "postgresql://nobody@127.0.0.1:9/none?document=d&connect_timeout=5" \
    2>"$work/unreachable.txt" || status=$?
[[ $status == 4 ]] && grep -q "cannot be reached" "$work/unreachable.txt" ||
    fail "an unreachable library was not reported (exit $status): $(cat "$work/unreachable.txt")"
echo "library commands: ok"
