#!/usr/bin/env bash
# Measures the start-up of the real program: from starting the process to its main window shown on an
# X display (Xvfb), five runs, median in milliseconds. Run after a build (scripts/build.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
command -v xdotool >/dev/null || DEBIAN_FRONTEND=noninteractive apt-get install -y -qq xdotool >/dev/null

display=":97"
Xvfb "$display" -screen 0 1920x1080x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
export DISPLAY="$display"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

times=()
for run in 1 2 3 4 5; do
  start=$(date +%s%N)
  "$build/program/vald_csv" >/dev/null 2>&1 &
  program=$!
  # xdotool's own --sync polls only twice a second: poll every few milliseconds instead.
  until xdotool search --onlyvisible --name "VALD CSV v.231203" >/dev/null 2>&1; do sleep 0.005; done
  end=$(date +%s%N)
  kill "$program"
  wait "$program" 2>/dev/null || true
  times+=($(((end - start) / 1000000)))
  echo "run $run: ${times[-1]} ms"
done
median=$(printf '%s\n' "${times[@]}" | sort -n | sed -n 3p)
echo "start-up to first shown window, median of 5 runs: ${median} ms"
