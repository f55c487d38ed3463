#!/bin/bash
# library-test-server.sh start|stop|kill DIR
#
# A throw-away PostgreSQL server for the library tests, its data in DIR/data. It listens on
# 127.0.0.1 only and asks for a password over TCP, which only DIR/pgpass holds, so that the
# tests reach it as users reach theirs: through libpq's password file. DIR/address names the
# server's database, DIR/env the environment a test takes.
#
# start stops a server left running in DIR first, and starts an existing DIR/data again on its
# former port when it can. When no server can be started here, start writes why to
# DIR/skip-reason and still succeeds: the PostgreSQL cases then skip, saying so.
# stop shuts the server down cleanly; kill stops it at once, as a crash would.
set -u

role=ixo_admin
database=ixo_library

if [ $# -ne 2 ] || [[ ! $1 =~ ^(start|stop|kill)$ ]]; then
    echo "usage: $0 start|stop|kill DIR" >&2
    exit 2
fi
action=$1
mkdir -p "$2" && dir=$(cd "$2" && pwd) || exit 1
data=$dir/data
log=$dir/server.log
bindir=
server_user=

# Stops the server before saying why none is there, so that no half-started one is left.
skip() {
    stop_server immediate >/dev/null 2>&1
    rm -f "$dir/address" "$dir/env"
    printf '%s\n' "$1" >"$dir/skip-reason"
    echo "PostgreSQL test server not started: $1"
    exit 0
}

# The newest installed server, Debian's versioned directories first.
find_bindir() {
    local candidate
    for candidate in $(printf '%s\n' /usr/lib/postgresql/*/bin | sort -V -r) \
        $(pg_config --bindir 2>/dev/null); do
        if [ -x "$candidate/postgres" ] && [ -x "$candidate/initdb" ] &&
            [ -x "$candidate/pg_ctl" ]; then
            echo "$candidate"
            return 0
        fi
    done
    return 1
}

# initdb and postgres refuse to run as root: the package's postgres user runs them then.
as_server() {
    # A working directory the server's user may not enter makes initdb fail.
    if [ -n "$server_user" ]; then
        (cd / && runuser -u "$server_user" -- "$@")
    else
        (cd / && "$@")
    fi
}

# Sets server_user, or why none can run the server.
choose_user() {
    server_user=
    [ "$(id -u)" -ne 0 ] && return 0
    if ! id -u postgres >/dev/null 2>&1; then
        why="running as root, and there is no postgres user to run the server as"
        return 1
    fi
    server_user=postgres
    # A build tree under a home the server's user cannot enter (/root): the data go to /tmp,
    # named after the build tree so that each has its own.
    if ! as_server test -x "$dir"; then
        data=/tmp/ixo-library-server-$(printf '%s' "$dir" | md5sum | cut -c1-12)
        log=$data.log
        if ! as_server test -x /tmp; then
            why="the postgres user can enter neither $dir nor /tmp"
            return 1
        fi
    fi
}

server_running() {
    [ -f "$data/postmaster.pid" ] && as_server "$bindir/pg_ctl" status -D "$data" >/dev/null 2>&1
}

stop_server() {
    [ -n "$bindir" ] && server_running || return 0
    as_server "$bindir/pg_ctl" stop -D "$data" -m "$1" -w -t 30 ||
        as_server "$bindir/pg_ctl" stop -D "$data" -m immediate -w -t 30
}

# Nothing of a former cluster is worth keeping: the tests make their databases afresh.
init_cluster() {
    local password pwfile
    rm -rf "$data" "$dir/pgpass" "$dir/port"
    password=$(head -c 24 /dev/urandom | base64 | tr -dc 'A-Za-z0-9')
    mkdir -m 0700 "$data" || return 1
    pwfile=$data.password
    (umask 077 && printf '%s\n' "$password" >"$pwfile")
    if [ -n "$server_user" ]; then
        chown "$server_user": "$data" "$pwfile" || return 1
    fi
    as_server "$bindir/initdb" -D "$data" -U "$role" --pwfile="$pwfile" --auth=scram-sha-256 \
        --encoding=UTF8 --locale=C --no-sync >"$dir/initdb.log" 2>&1
    local status=$?
    rm -f "$pwfile"
    [ $status -eq 0 ] || return 1
    # Wildcards for the port: a restart may have to take another one.
    (umask 077 && printf '127.0.0.1:*:*:%s:%s\n' "$role" "$password" >"$dir/pgpass")
    as_server tee "$data/pg_hba.conf" >/dev/null <<EOF
# TCP from this machine only, with the password of the password file.
host all all 127.0.0.1/32 scram-sha-256
EOF
    echo "include 'test-server.conf'" | as_server tee -a "$data/postgresql.conf" >/dev/null
}

# Written on every start, so that a cluster kept from a former start runs as this script says.
# Without fsync a lost machine may cost the data, but a lost server costs nothing: commits stay
# synchronous, so the tests that kill the server find what was committed.
configure() {
    as_server tee "$data/test-server.conf" >/dev/null <<EOF
listen_addresses = '127.0.0.1'
unix_socket_directories = ''
fsync = off
full_page_writes = off
shared_buffers = 16MB
max_connections = 40
EOF
}

port_taken() {
    (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null
}

start_on() {
    local before
    before=$(stat -c %s "$log" 2>/dev/null || echo 0)
    as_server "$bindir/pg_ctl" start -D "$data" -l "$log" -o "-p $1" -w -t 30 >/dev/null 2>&1 &&
        return 0
    stop_server immediate >/dev/null 2>&1
    # Only a port taken in the meantime is worth another try.
    tail -c +"$((before + 1))" "$log" | grep -q 'could not bind\|could not create any TCP' &&
        return 1
    return 2
}

sql() {
    PGPASSFILE=$dir/pgpass PGCONNECT_TIMEOUT=10 "$psql" -X -q -v ON_ERROR_STOP=1 -tA \
        -h 127.0.0.1 -p "$port" -U "$role" -d postgres -c "$1"
}

start() {
    rm -f "$dir/address" "$dir/env"
    bindir=$(find_bindir) || skip "no PostgreSQL server is installed (postgres, initdb, pg_ctl)"
    psql=$bindir/psql
    [ -x "$psql" ] || psql=$(command -v psql) || skip "psql is not installed"
    local why
    choose_user || skip "$why"

    stop_server fast >/dev/null
    local version
    version=$("$bindir/postgres" --version | sed -E 's/^[^0-9]*([0-9]+).*/\1/')
    if [ "$(cat "$data/PG_VERSION" 2>/dev/null)" != "$version" ] || [ ! -s "$dir/pgpass" ]; then
        init_cluster || skip "initdb failed: $(tail -n 3 "$dir/initdb.log" 2>/dev/null)"
    fi
    configure || skip "$data cannot be written"
    if [ -n "$server_user" ]; then
        touch "$log" && chown "$server_user": "$log"
    fi

    local candidates=() status=2
    [ -s "$dir/port" ] && candidates+=("$(cat "$dir/port")")
    while [ ${#candidates[@]} -lt 8 ]; do
        candidates+=("$((20000 + RANDOM % 20000))")
    done
    for port in "${candidates[@]}"; do
        port_taken "$port" && continue
        start_on "$port"
        status=$?
        [ $status -eq 1 ] || break
    done
    [ $status -eq 0 ] || skip "the server did not start: $(tail -n 3 "$log" | tr '\n' ' ')"
    echo "$port" >"$dir/port"

    local exists
    exists=$(sql "SELECT 1 FROM pg_database WHERE datname = '$database'" 2>&1) ||
        skip "the server refused the password of $dir/pgpass: $exists"
    if [ "$exists" != 1 ]; then
        why=$(sql "CREATE DATABASE $database" 2>&1) || skip "CREATE DATABASE failed: $why"
    fi

    echo "postgresql://$role@127.0.0.1:$port/$database" >"$dir/address"
    echo "PGPASSFILE=$dir/pgpass" >"$dir/env"
    rm -f "$dir/skip-reason"
    echo "PostgreSQL $version test server at $(cat "$dir/address") (data in $data)"
}

case $action in
start)
    start
    ;;
stop | kill)
    bindir=$(find_bindir) || exit 0
    choose_user
    [ -d "$data" ] || exit 0
    if [ "$action" = stop ]; then
        stop_server fast
    else
        stop_server immediate
    fi
    ;;
esac
