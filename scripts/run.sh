#!/usr/bin/env bash
# Installs what is needed, builds the program and the device simulator (the tests, benchmarks and fuzz
# harnesses are scripts/test.sh's), and starts VALD CSV from its program folder in the build tree, with
# the simulator answering on 127.0.0.1 as the device of the first address field.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

bash "$root/scripts/install-deps.sh"
export CCACHE_BASEDIR="${CCACHE_BASEDIR:-$root}" CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-1}"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target vald_csv vald_sim

program="$build/program"
separator="$(LC_ALL="${LC_ALL:-${LC_NUMERIC:-${LANG:-C}}}" locale decimal_point 2>/dev/null || echo .)"
if [ ! -f "$program/cfg.ini" ]; then
  printf '%s\r\n' \
    "UDPport=6262" \
    "ip1=127.0.0.1" "DecimalSeparator=${separator:-.}" "eeaddr=\$1100" \
    "Top1=40" "Bottom1=10" "Top2=40" "Bottom2=10" "Top3=40" "Bottom3=10" "Top4=40" "Bottom4=10" \
    "Increment=5" > "$program/cfg.ini"
fi

# The simulator answers on the port the program asks (cfg.ini's UDPport). The program is started only
# once the simulator listens: a simulator that cannot (the port is taken) stops the run with its reason.
port="$(sed -n 's/^[Uu][Dd][Pp][Pp][Oo][Rr][Tt]=\([0-9]*\)\r\?$/\1/p' "$program/cfg.ini" | head -n 1)"
simulatorOut="$(mktemp)"
"$build/tools/sim/vald_sim" --host 127.0.0.1 --port "${port:-6262}" --device 27 --chip 2 --records 3000 \
  >"$simulatorOut" &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true; rm -f "$simulatorOut"' EXIT
until grep -qs '^listening on ' "$simulatorOut"; do
  if ! kill -0 "$simulator" 2>/dev/null; then
    status=0
    wait "$simulator" || status=$?
    echo "The device simulator did not start (status $status): VALD CSV would have nothing to read." >&2
    echo "Free port ${port:-6262} on 127.0.0.1, or set another UDPport in $program/cfg.ini." >&2
    exit 1
  fi
  sleep 0.05
done
cat "$simulatorOut"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$program/vald_csv"
else
  echo "No display found: starting VALD CSV on a virtual display (xvfb-run)." >&2
  xvfb-run -a -s "-screen 0 1920x1080x24" "$program/vald_csv"
fi
