#!/usr/bin/env bash
# A program file copied alone into an empty folder with a cfg.ini, as the program folder invites: with
# Language=en it starts without a word about its translation, and F5 reads the simulated device at
# ip1 into a measurement file in that folder. Run by CTest with the build's vald_csv and vald_sim.
set -euo pipefail
program="$1"
simulator="$2"
work="$(mktemp -d)"
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "copied program: $*" >&2
  cat "$work/program.out" >&2 2>/dev/null || true
  exit 1
}
wait_for() { # SECONDS COMMAND...: polls the command until it succeeds
  local deadline=$(($(date +%s) + $1))
  shift
  until "$@"; do
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

mkdir "$work/folder"
cp "$program" "$work/folder/vald_csv"

"$simulator" --host 127.0.0.1 --port 0 --device 27 --chip 2 --records 300 >"$work/sim.out" 2>&1 &
pids+=($!)
wait_for 10 grep -qs listening "$work/sim.out" || fail "the simulator did not listen"
port="$(sed -n 's/.*:\([0-9]*\)$/\1/p' "$work/sim.out" | head -1)"
printf '%s\r\n' "UDPport=$port" "Left=0" "Top=0" "Width=1200" "Height=700" "ip1=127.0.0.1" \
  "DecimalSeparator=," "eeaddr=\$1100" "Language=en" >"$work/folder/cfg.ini"

Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
pids+=($!)
wait_for 10 test -s "$work/display" || fail "no X display"
export DISPLAY=":$(cat "$work/display")"
unset QT_QPA_PLATFORM
# Under AddressSanitizer's strict string checks the system's X keyboard library (libxkbcommon-x11) is
# reported for a strndup of a string that is not zero-terminated, which is correct C; every other check
# stays on.
if [ -n "${ASAN_OPTIONS:-}" ]; then export ASAN_OPTIONS="${ASAN_OPTIONS//strict_string_checks=1/strict_string_checks=0}"; fi

(cd / && exec "$work/folder/vald_csv") >"$work/program.out" 2>&1 &
pids+=($!)
window_shown() { window="$(xdotool search --onlyvisible --name "VALD CSV" 2>/dev/null | head -1)" && [ -n "$window" ]; }
wait_for 20 window_shown || fail "no window"
! grep -q "No translation" "$work/program.out" || fail "the translation was not found"

xdotool windowfocus --sync "$window" key F5
measurement_file() { compgen -G "$work/folder/*VALD_*.csv" >/dev/null; }
wait_for 20 measurement_file || fail "F5 wrote no measurement file: $(ls "$work/folder")"
echo "copied program: read the device into $(basename "$(compgen -G "$work/folder/*VALD_*.csv")")"
