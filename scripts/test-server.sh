#!/usr/bin/env bash
# A private PostgreSQL server for the tests: a cluster in a temporary folder, reached only through
# a Unix socket in that folder, owned by the `postgres` user (the server refuses to run as root).
#
#   scripts/test-server.sh start [--durable] DIR
#                                      makes the cluster in DIR (empty or missing) and starts it;
#                                      prints the server's address for HERBDESK_TEST_SERVER
#   scripts/test-server.sh stop DIR    stops it and removes DIR
#
# The tests' cluster trades durability for speed (no fsync): its databases live as long as one
# test run. --durable keeps the server's own defaults instead (fsync, synchronous commit, full
# page writes), as a server whose postings must survive a power cut runs: the benchmark's.
set -euo pipefail

pg_bin() {
    local dir
    for dir in /usr/lib/postgresql/*/bin; do
        [[ -x $dir/pg_ctl ]] && { echo "$dir"; return 0; }
    done
    echo "PostgreSQL is not installed (package postgresql)" >&2
    return 1
}

# Runs a command as the server's owner when the caller is root, as the caller otherwise.
as_owner() {
    if [[ $(id -u) -eq 0 ]]; then
        runuser -u postgres -- "$@"
    else
        "$@"
    fi
}

start() {
    local durable=no
    if [[ ${1:-} == --durable ]]; then
        durable=yes
        shift
    fi
    local dir=$1 bin settings
    bin=$(pg_bin)
    settings="-c fsync=off -c synchronous_commit=off -c full_page_writes=off"
    [[ $durable == yes ]] && settings="-c fsync=on -c synchronous_commit=on -c full_page_writes=on"
    # What a run that was killed left behind goes first.
    stop "$dir"
    mkdir -p "$dir"
    [[ $(id -u) -eq 0 ]] && chown postgres: "$dir"
    as_owner "$bin/initdb" -D "$dir/data" -U postgres -E UTF8 --locale=C.UTF-8 \
        --auth=trust >"$dir/initdb.log" 2>&1 || { cat "$dir/initdb.log" >&2; return 1; }
    as_owner "$bin/pg_ctl" -D "$dir/data" -l "$dir/server.log" -w -t 60 start -o \
        "-c listen_addresses='' -c unix_socket_directories='$dir' $settings \
         -c max_connections=200" \
        >/dev/null || { cat "$dir/server.log" >&2; return 1; }
    echo "postgresql://postgres@/postgres?host=$dir"
}

stop() {
    local dir=$1 bin
    bin=$(pg_bin)
    if [[ -f $dir/data/postmaster.pid ]]; then
        as_owner "$bin/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null || true
    fi
    rm -rf "$dir"
}

case ${1:-} in
start) shift; start "$@" ;;
stop) stop "$2" ;;
*) echo "usage: $0 start [--durable] DIR | stop DIR" >&2; exit 2 ;;
esac
