#!/usr/bin/env bash
# Installs what is needed, builds, and starts VALD CSV from its program folder in the build tree, with
# the bundled device simulator answering on 127.0.0.1 as the device of the first address field.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build"

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build"

program="$build/program"
separator="$(LC_ALL="${LC_ALL:-${LC_NUMERIC:-${LANG:-C}}}" locale decimal_point 2>/dev/null || echo .)"
if [ ! -f "$program/cfg.ini" ]; then
  printf '%s\r\n' \
    "UDPport=6262" "Left=351" "Top=98" "Width=1399" "Height=795" \
    "ip1=127.0.0.1" "DecimalSeparator=${separator:-.}" "eeaddr=\$1100" \
    "Top1=40" "Bottom1=10" "Top2=40" "Bottom2=10" "Top3=40" "Bottom3=10" "Top4=40" "Bottom4=10" \
    "Increment=5" > "$program/cfg.ini"
fi

"$build/tools/sim/vald_sim" --host 127.0.0.1 --port 6262 --device 27 --chip 2 --records 3000 &
simulator=$!
trap 'kill "$simulator" 2>/dev/null || true; wait "$simulator" 2>/dev/null || true' EXIT

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  "$program/vald_csv"
else
  echo "No display found: starting VALD CSV on a virtual display (xvfb-run)." >&2
  xvfb-run -a -s "-screen 0 1920x1080x24" "$program/vald_csv"
fi
