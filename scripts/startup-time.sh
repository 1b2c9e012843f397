#!/usr/bin/env bash
# Measures the start-up of the real program against a minimal Qt program (a QMainWindow with a QLabel,
# bench/app/StartupReferenceWindow.cpp): from starting the process to its main window shown on an X
# display (Xvfb). The two run in turn, RUNS times each (default 11), so that a busy machine slows both
# alike; the medians in milliseconds and their ratio are printed. Fails when the ratio is above LIMIT
# (default 1.3). Run after a build (scripts/build.sh); the program starts from a scratch folder with the
# cfg.ini that scripts/run.sh writes.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
runs="${RUNS:-11}"
limit="${LIMIT:-1.3}"
bash "$root/scripts/install-deps.sh"
cmake --build "$build" --target vald_csv startup_reference_window >/dev/null

work="$(mktemp -d)"
# A display of its own, whichever number is free; without server resets, which refuse a client that
# connects just as the last one has gone.
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset 3>"$work/display" >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=":$(cat "$work/display")"
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# A program folder of its own, so that the runs neither read nor write the build tree's cfg.ini.
cp "$build/program/vald_csv" "$work/"
printf '%s\r\n' "UDPport=6262" "Left=351" "Top=98" "Width=1399" "Height=795" "ip1=127.0.0.1" \
  "DecimalSeparator=." "eeaddr=\$1100" "Top1=40" "Bottom1=10" "Top2=40" "Bottom2=10" "Top3=40" \
  "Bottom3=10" "Top4=40" "Bottom4=10" "Increment=5" >"$work/cfg.ini"

# Milliseconds from starting the program to its window shown; xdotool's own --sync polls only twice a
# second, so the window is looked for every few milliseconds instead.
time_start() { # TITLE PROGRAM
  local start end program
  start=$(date +%s%N)
  "$2" >"$work/output" 2>&1 &
  program=$!
  until xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; do
    if ! kill -0 "$program" 2>/dev/null || [ $(($(date +%s%N) - start)) -gt 10000000000 ]; then
      echo "$2 showed no window \"$1\" within 10 s:" >&2
      cat "$work/output" >&2
      kill "$program" 2>/dev/null || true
      return 1
    fi
    sleep 0.005
  done
  end=$(date +%s%N)
  kill "$program"
  wait "$program" 2>/dev/null || true
  echo $(((end - start) / 1000000))
}

median() { printf '%s\n' "$@" | sort -n | sed -n "$((($# + 1) / 2))p"; }

program=()
reference=()
for run in $(seq "$runs"); do
  program+=("$(time_start "VALD CSV v.231203" "$work/vald_csv")")
  reference+=("$(time_start "Start-up reference window" "$build/bench/app/startup_reference_window")")
  echo "run $run: vald_csv ${program[-1]} ms, minimal Qt window ${reference[-1]} ms"
done
programMedian="$(median "${program[@]}")"
referenceMedian="$(median "${reference[@]}")"
awk -v p="$programMedian" -v r="$referenceMedian" -v n="$runs" -v limit="$limit" 'BEGIN {
  printf "start-up to the first shown window, median of %d runs: vald_csv %d ms, minimal Qt window %d ms\n", n, p, r
  printf "ratio: %.2f (limit %s)\n", p / r, limit
  if (p / r > limit) { print "FAIL: start-up slower than the limit"; exit 1 }
}'
