#!/usr/bin/env bash
# Runs CMD... with a private PostgreSQL server: initdb into a temporary folder, a free port on 127.0.0.1,
# VALD_TEST_POSTGRES_URL pointing at it; the server is stopped and its folder removed afterwards. The
# server never runs as root: as root it runs as the "postgres" user.
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: with-postgres.sh CMD..." >&2
  exit 2
fi

bin="$(ls -d /usr/lib/postgresql/*/bin 2>/dev/null | sort -V | tail -n 1)"
if [ -z "$bin" ] || [ ! -x "$bin/initdb" ]; then
  echo "with-postgres.sh: PostgreSQL is not installed (Debian package postgresql)" >&2
  exit 1
fi

as_server() { "$@"; }
if [ "$(id -u)" -eq 0 ]; then
  as_server() { runuser -u postgres -- "$@"; }
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/vald-postgres.XXXXXX")"
if [ "$(id -u)" -eq 0 ]; then chown postgres: "$folder"; fi

stop() {
  as_server "$bin/pg_ctl" -D "$folder/data" -m immediate stop >/dev/null 2>&1 || true
  rm -rf "$folder"
}
trap stop EXIT

as_server "$bin/initdb" -D "$folder/data" -U vald -A trust -E UTF8 --no-locale >"$folder/initdb.log" 2>&1 ||
  { cat "$folder/initdb.log" >&2; exit 1; }
# A random private port; another one when it is taken.
started=0
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  if as_server "$bin/pg_ctl" -D "$folder/data" -l "$folder/server.log" -w -t 30 \
    -o "-c listen_addresses=127.0.0.1 -c port=$port -c unix_socket_directories=$folder -c fsync=off" \
    start >/dev/null; then
    started=1
    break
  fi
done
if [ "$started" -ne 1 ]; then
  cat "$folder/server.log" >&2
  exit 1
fi

export VALD_TEST_POSTGRES_URL="postgresql://vald@127.0.0.1:$port/postgres"
"$@"
