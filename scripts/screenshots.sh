#!/usr/bin/env bash
# Takes the README's pictures of the main window under Xvfb: the empty window, three readouts from the
# device simulator, a readout in progress and a zoomed chart. Run after a build (scripts/build.sh).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="$root/docs/screenshots"
mkdir -p "$out"

shot() {  # name, page, extra cfg.ini lines (space-separated), extra vald_screenshot options, then
          # simulator arguments (none: no device)
  local name="$1" page="$2" settings=() options
  for line in $3; do settings+=(--setting "$line"); done
  read -r -a options <<< "$4"
  shift 4
  local host_args=()
  local simulator=""
  if [ $# -gt 0 ]; then
    "$build/tools/sim/vald_sim" --host 127.0.0.1 --port 0 "$@" > "$out/.sim.out" &
    simulator=$!
    for _ in $(seq 50); do grep -qs listening "$out/.sim.out" && break; sleep 0.1; done
    local port
    port="$(sed -n 's/.*:\([0-9]*\)$/\1/p' "$out/.sim.out" | head -1)"
    host_args=(--host 127.0.0.1 --port "$port")
  fi
  xvfb-run -a -s "-screen 0 1920x1080x24" "$build/tools/shot/vald_screenshot" --out "$out/$name.png" --page "$page" "${settings[@]}" "${options[@]}" "${host_args[@]}"
  if [ -n "$simulator" ]; then kill "$simulator"; wait "$simulator" 2>/dev/null || true; fi
  rm -f "$out/.sim.out"
}

shot main-window 0 "" ""
shot temperature-humidity 0 "" "" --device 27 --chip 2 --records 2000
shot climate 2 "" "" --device 43 --chip 2 --records 2000
shot particulate 0 "Top1=60 Bottom1=0" "" --device 50 --chip 2 --records 1200
# Slow replies keep the readout running long enough to picture it.
shot readout-in-progress 0 "" "--during-block 37" --device 27 --chip 2 --records 2000 --delay 50
shot zoomed-chart 0 "" "--zoom 0.40,0.55" --device 27 --chip 2 --records 2000
echo "Pictures written to $out"
