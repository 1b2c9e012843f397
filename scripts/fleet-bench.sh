#!/usr/bin/env bash
# Fleet benchmark (not part of CI): DEVICES simulated 25LC512 devices (default 50, 96 log blocks of
# 3000 records each, a MAC of their own) on 127.0.0.1 .. 127.0.0.DEVICES, one port for all, every reply
# DELAY_MS late (default 20). Without the archive it times one device read alone, then all of them with
# --jobs DEVICES, then the same run with a device that never answers its header put in the middle; it
# fails when such a run takes longer than 1.5 times the one device alone, or when a device was not read
# completely. Then it times the whole site merged into one SQLite archive, first into an empty one and
# then once more (nothing new) into the same archive and folders, as a site read every few minutes is,
# and fails as well when the first takes longer than 1.5 times the one
# device alone: the run merges through one connection, one readout after another. The run once more
# asks only for what is new (nothing: the header and one block a device) and fails when it takes longer
# than 0.2 times one device's full readout. With VALD_TEST_POSTGRES_URL set (scripts/with-postgres.sh)
# the site is merged into two fresh PostgreSQL databases as well, one device alone and PG_DEVICES of them
# at once (default 50, at most DEVICES), with the same 1.5 limit: the server shares the machine's cores
# with the devices and the program.
#
#   scripts/fleet-bench.sh [BUILD=build]    (after a build; every address of 127.0.0.0/8 is loopback)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
devices="${DEVICES:-50}"
delay="${DELAY_MS:-20}"
sim="$build/tools/sim/vald_sim"
reader="$build/tools/read/vald_read"
work="$(mktemp -d)"
pids=()

cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Starts a simulated device on address $1 and port $2 (0: the system chooses) with further options,
# and waits until it listens.
start_device() {
  local address="$1" port="$2" log="$work/sim-$1.txt"
  shift 2
  local mac b c d
  IFS=. read -r _ b c d <<<"$address"
  mac="$(printf '02:00:00:%02X:%02X:%02X' "$b" "$c" "$d")"
  "$sim" --host "$address" --port "$port" --chip 2 --device 21 --records 3000 --delay "$delay" \
    --identity "$mac;SN;R;AGATE;v1;c1" "$@" >"$log" 2>&1 &
  pids+=($!)
  until grep -qs '^listening on ' "$log"; do
    if ! kill -0 "${pids[-1]}" 2>/dev/null; then
      cat "$log" >&2
      exit 1
    fi
    sleep 0.05
  done
}

# Runs vald_read with the given arguments, its files into OUT (default: a folder of the run's name);
# prints its wall time in seconds and keeps its JSON lines.
timed_read() {
  local name="$1" out="${OUT:-$work/$1}"
  shift
  local start="$EPOCHREALTIME"
  mkdir -p "$out"
  "$reader" --port "$port" --out "$out" --json "$@" >"$work/$name.json" 2>/dev/null || true
  awk -v a="$start" -v b="$EPOCHREALTIME" 'BEGIN { printf "%.3f", b - a }'
}

# The longest readout among the devices that were read completely.
slowest_good() {
  grep '"error":null' "$1" | grep -o '"seconds":[0-9.]*' | cut -d: -f2 | sort -g | tail -1
}

complete_count() {
  grep -c '"error":null' "$1" || true
}

start_device 127.0.0.1 0
port="$(sed -n 's/^listening on .*:\([0-9]*\)$/\1/p' "$work/sim-127.0.0.1.txt")"
hosts=(127.0.0.1)
for ((i = 2; i <= devices; ++i)); do
  start_device "127.0.0.$i" "$port"
  hosts+=("127.0.0.$i")
done
silentHost="127.0.0.$((devices + 1))"
start_device "$silentHost" "$port" --silent-header
half=$((devices / 2))
withSilent=("${hosts[@]:0:half}" "$silentHost" "${hosts[@]:half:devices-half-1}")

one="$(timed_read one --archive off --jobs 1 127.0.0.1)"
all="$(timed_read all --archive off --jobs "$devices" "${hosts[@]}")"
silent="$(timed_read silent --archive off --jobs "$devices" "${withSilent[@]}")"
oneArchived="$(timed_read one-archived --jobs 1 127.0.0.1)"
archived="$(timed_read archived --jobs "$devices" "${hosts[@]}")"
again="$(OUT="$work/archived" timed_read again --jobs "$devices" "${hosts[@]}")"
onePg=0
allPg=0
if [ -n "${VALD_TEST_POSTGRES_URL:-}" ]; then
  for db in fleet_one fleet_all; do psql -q "$VALD_TEST_POSTGRES_URL" -c "CREATE DATABASE $db" >/dev/null; done
  base="${VALD_TEST_POSTGRES_URL%/*}"
  onePg="$(timed_read one-pg --archive "$base/fleet_one" --no-files --jobs 1 127.0.0.1)"
  pgDevices="$((${PG_DEVICES:-50} < devices ? ${PG_DEVICES:-50} : devices))"
  allPg="$(timed_read all-pg --archive "$base/fleet_all" --no-files --jobs "$pgDevices" "${hosts[@]:0:pgDevices}")"
fi

# What kept devices of a run from being read completely, the first few of them.
for name in all silent archived; do
  grep -v '"error":null' "$work/$name.json" | head -3 | sed "s/^/  $name: /" >&2 || true
done
echo "devices: $devices on port $port, reply delay $delay ms, 96 log blocks each"
echo "without the archive:"
echo "  one device alone:                $one s"
echo "  all with --jobs $devices:              $all s ($(complete_count "$work/all.json") read completely," \
  "slowest device $(slowest_good "$work/all.json") s)"
echo "  with a silent device among them: $silent s ($(complete_count "$work/silent.json") read completely," \
  "slowest device $(slowest_good "$work/silent.json") s)"
echo "into one SQLite archive:"
echo "  one device alone:                $oneArchived s"
echo "  all, archive empty before:       $archived s"
echo "  all, once more (nothing new):    $again s ($(complete_count "$work/again.json") read completely," \
  "$(grep -c '"readout":"incremental"' "$work/again.json" || true) of them reading only what is new)"
if [ -n "${VALD_TEST_POSTGRES_URL:-}" ]; then
  echo "into PostgreSQL (no files):"
  echo "  one device alone:                $onePg s"
  echo "  $pgDevices at once, archive empty before: $allPg s ($(complete_count "$work/all-pg.json") read completely)"
fi
awk -v one="$one" -v all="$all" -v silent="$silent" -v archived="$archived" -v again="$again" \
  -v onePg="$onePg" -v allPg="$allPg" -v n="$devices" \
  -v a="$(complete_count "$work/all.json")" -v s="$(complete_count "$work/silent.json")" \
  -v r="$(complete_count "$work/archived.json")" -v g="$(complete_count "$work/again.json")" 'BEGIN {
  printf "ratio to one device: %.2f, with the silent device %.2f, into the archive %.2f (limit 1.5)\n",
    all / one, silent / one, archived / one
  printf "once more, only what is new: %.2f of one device'"'"'s full readout (limit 0.2)\n", again / one
  if (onePg > 0) printf "into PostgreSQL: %.2f of one device alone (limit 1.5)\n", allPg / onePg
  if (a != n || s != n - 1 || r != n || g != n) { print "FAIL: not every device was read completely"; exit 1 }
  if (all > 1.5 * one || silent > 1.5 * one || archived > 1.5 * one || (onePg > 0 && allPg > 1.5 * onePg)) {
    print "FAIL: slower than 1.5 times one device"
    exit 1
  }
  if (again > 0.2 * one) { print "FAIL: once more slower than 0.2 times one device"; exit 1 }
}'
