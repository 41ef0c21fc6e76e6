#!/usr/bin/env bash
# Runs a command with a throwaway PostgreSQL server:
#   scripts/with-postgres.sh CMD [ARG...]
# The cluster lives in a new temporary folder, listens only on a Unix socket
# in that folder, and is stopped and removed when the command ends, also when
# it fails or is interrupted. The command finds the server in EXPWIZ_PG (a
# libpq connection string). When EXPWIZ_PG is already set it is used as is.
# A server that cannot start fails the run under CI=true; elsewhere the
# command runs without one and EXPWIZ_PG_SKIPPED says why, so the PostgreSQL
# tests report themselves skipped.
set -uo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 CMD [ARG...]" >&2
    exit 2
fi
if [ -n "${EXPWIZ_PG:-}" ]; then
    "$@"
    exit $?
fi

# Without a server: fail under CI, otherwise run the command and say why.
run_without_server() {
    if [ "${CI:-}" = true ]; then
        echo "with-postgres: $1" >&2
        exit 1
    fi
    echo "with-postgres: $1; the PostgreSQL tests will be skipped." >&2
    shift
    EXPWIZ_PG_SKIPPED="$reason" "$@"
    exit $?
}

bindir=$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)
if [ -z "$bindir" ] || [ ! -x "$bindir/initdb" ]; then
    reason="no PostgreSQL server is installed (Debian package postgresql)"
    run_without_server "$reason" "$@"
fi

# The server refuses to run as root: run it as an unprivileged user that
# owns the cluster folder.
as_owner=()
owner=$(id -un)
if [ "$(id -u)" -eq 0 ]; then
    owner=${EXPWIZ_PG_OWNER:-nobody}
    as_owner=(runuser -u "$owner" --)
fi

dir=$(mktemp -d /tmp/expwiz-pg.XXXXXX) || exit 1
cleanup() {
    if [ -f "$dir/data/postmaster.pid" ]; then
        "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -m immediate -w stop >/dev/null 2>&1
    fi
    rm -rf "$dir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

chown "$owner" "$dir" 2>/dev/null
chmod 755 "$dir"
reason=""
if ! "${as_owner[@]}" "$bindir/initdb" -D "$dir/data" -U expwiz -A trust -E UTF8 --no-locale \
        >"$dir/initdb.log" 2>&1; then
    reason="initdb failed: $(tail -n 1 "$dir/initdb.log")"
elif ! "${as_owner[@]}" "$bindir/pg_ctl" -D "$dir/data" -l "$dir/data/server.log" -w -t 60 \
        -o "-c listen_addresses='' -c unix_socket_directories='$dir/data' -c fsync=off \
            -c synchronous_commit=off -c full_page_writes=off -c max_connections=100" \
        start >/dev/null 2>&1; then
    reason="the server did not start: $(tail -n 1 "$dir/data/server.log" 2>/dev/null)"
fi

[ -n "$reason" ] && run_without_server "$reason" "$@"

export EXPWIZ_PG="host=$dir/data dbname=postgres user=expwiz"
"$@"
