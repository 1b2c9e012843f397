#!/usr/bin/env bash
# Runs CMD... with a private InfluxDB 1.x server: its data in a temporary folder, its HTTP API on a free
# port of 127.0.0.1, VALD_TEST_INFLUXDB_URL pointing at it; the server is stopped and its folder removed
# afterwards.
set -euo pipefail
if [ $# -eq 0 ]; then
  echo "usage: with-influxdb.sh CMD..." >&2
  exit 2
fi
if ! command -v influxd >/dev/null; then
  echo "with-influxdb.sh: InfluxDB is not installed (Debian package influxdb)" >&2
  exit 1
fi

folder="$(mktemp -d "${TMPDIR:-/tmp}/vald-influxdb.XXXXXX")"
pid=""
stop() {
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap stop EXIT

source "$(dirname "$0")/await-server.sh"
answers() { python3 -c 'import sys, urllib.request; urllib.request.urlopen(sys.argv[1] + "/ping", timeout=1)' "$1" 2>/dev/null; }

# A random private port for the API and one for the backup service; other ones when they are taken.
started=0
for attempt in 1 2 3 4 5; do
  port=$((20000 + RANDOM % 40000))
  cat >"$folder/influxdb.conf" <<CONF
reporting-disabled = true
bind-address = "127.0.0.1:$((port + 1))"
[meta]
  dir = "$folder/meta"
  logging-enabled = false
[data]
  dir = "$folder/data"
  wal-dir = "$folder/wal"
  query-log-enabled = false
[monitor]
  store-enabled = false
[http]
  bind-address = "127.0.0.1:$port"
  log-enabled = false
CONF
  influxd -config "$folder/influxdb.conf" >"$folder/server.log" 2>&1 &
  pid=$!
  if await_server "$pid" answers "http://127.0.0.1:$port"; then started=1; break; fi
  pid=""
done
if [ "$started" -ne 1 ]; then
  cat "$folder/server.log" >&2
  exit 1
fi

export VALD_TEST_INFLUXDB_URL="http://127.0.0.1:$port"
"$@"
