#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, address and undefined-behaviour sanitizers) and runs each for
# SECONDS_PER_HARNESS (default 15) on a copy of its seed corpus in fuzz/corpus, with its dictionary.
# With VALD_FUZZ_RUNS set, each harness runs that many inputs instead (a campaign). HARNESS names limit
# the run to those harnesses. Inputs that crash or break a property are left in the work folder as
# <harness>-crash-* (or -leak-, -timeout-, -oom-); the script then fails. New corpus entries found stay in
# the work folder too, and each harness's figures (inputs, seconds, inputs per second, coverage) are
# printed at its end.
#
# With VALD_FUZZ_SANITIZERS=off the harnesses run without the sanitizers, three to four times as many
# inputs a second (build folder build-fuzz-fast), and each harness's grown corpus is then replayed by the
# sanitized harness (build-fuzz): an input that reached new code goes through every check.
#
#   scripts/fuzz.sh [SECONDS_PER_HARNESS] [HARNESS...]    build folder: $VALD_FUZZ_BUILD (default build-fuzz)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-15}"
shift $(($# > 0 ? 1 : 0))
sanitizers="${VALD_FUZZ_SANITIZERS:-on}"
checked="$root/build-fuzz"
case "$sanitizers" in
  on) build="${VALD_FUZZ_BUILD:-$checked}" ;;
  off) build="${VALD_FUZZ_BUILD:-$root/build-fuzz-fast}" ;;
  *)
    echo "VALD_FUZZ_SANITIZERS is on or off, not '$sanitizers'" >&2
    exit 2
    ;;
esac
work="$build/fuzz-work"
harnesses=(log_blocks measurement_file settings registration_list)
[ $# -gt 0 ] && harnesses=("$@")

configure() { # BUILD_FOLDER SANITIZERS
  CC="${CC:-clang}" CXX="${CXX:-clang++}" cmake -S "$root" -B "$1" -G Ninja -DVALD_FUZZ=ON -DVALD_BENCH=OFF \
    -DVALD_FUZZ_SANITIZERS="$2" >/dev/null
  cmake --build "$1" --target "${harnesses[@]/#/fuzz_}"
}
configure "$build" "${sanitizers^^}"
[ "$sanitizers" = off ] && configure "$checked" ON

# Longest input each harness reads. Every rule of a parser is reached by a few records or lines, so the
# inputs stay short and many: a log header, one block and a few records of the next (a record running on
# into the second block), a text of ten to twenty lines, a cfg.ini a little longer than the program writes.
declare -A maxLength=([log_blocks]=579 [measurement_file]=512 [settings]=300 [registration_list]=1024)
# An input of the measurement file reaches a thousand features and more (the views draw every page).
# The entropic schedule updates a frequency table of 4 MB at each of them, which once the corpus has
# grown takes more than half of every input; the plain schedule runs twice as many inputs.
declare -A schedule=([measurement_file]=-entropic=0)

# Allocation stacks are left out and the quarantine of freed memory is kept small: together they take
# a third of the time of an input. A finding still stops the run at the faulty access; its saved input
# replays with full allocation stacks in the sanitized test run (scripts/test-sanitized.sh) once it is in
# the corpus.
export ASAN_OPTIONS="malloc_context_size=0:quarantine_size_mb=64"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
if [ -n "${VALD_FUZZ_RUNS:-}" ]; then
  limit=(-runs="$VALD_FUZZ_RUNS")
else
  limit=(-max_total_time="$seconds")
fi

mkdir -p "$work"
failed=()
for harness in "${harnesses[@]}"; do
  rm -rf "$work/$harness" "$work/$harness".log "$work/$harness".sanitized.log "$work/$harness"-*
  cp -r "$root/fuzz/corpus/$harness" "$work/$harness"
  dictionary=()
  [ -f "$root/fuzz/dict/$harness.dict" ] && dictionary=(-dict="$root/fuzz/dict/$harness.dict")
  echo "== fuzz_$harness: ${VALD_FUZZ_RUNS:-${seconds}s}${VALD_FUZZ_RUNS:+ inputs}"
  started=$SECONDS
  if ! "$build/fuzz/fuzz_$harness" "${limit[@]}" -max_len="${maxLength[$harness]}" ${schedule[$harness]:-} -timeout=10 \
      -print_final_stats=1 -artifact_prefix="$work/$harness-" "${dictionary[@]}" "$work/$harness" \
      >"$work/$harness.log" 2>&1; then
    failed+=("$harness")
    # The finding, from its first report line to the file the input was written to.
    sed -n '/runtime error\|==ERROR\|property broken\|deadly signal/,/Test unit written/p' "$work/$harness.log" |
      head -n 40
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$work/$harness.log" |
    sed 's/^/   /'
  echo "   seconds: $((SECONDS - started)); final: $(grep -E '^#[0-9]+[[:space:]]+DONE' "$work/$harness.log" |
    grep -oE 'cov: [0-9]+ ft: [0-9]+ corp: [0-9]+/[0-9a-zA-Z]+')"
  if [ "$sanitizers" = off ]; then
    # -runs=0: every corpus input once, nothing new.
    if "$checked/fuzz/fuzz_$harness" -runs=0 -timeout=10 -artifact_prefix="$work/$harness-sanitized-" \
        "$work/$harness" >"$work/$harness.sanitized.log" 2>&1; then
      echo "   sanitized replay: $(grep -oE '^Done [0-9]+ runs' "$work/$harness.sanitized.log"), no fault"
    else
      failed+=("$harness (sanitized replay)")
      sed -n '/runtime error\|==ERROR\|property broken\|deadly signal/,/Test unit written/p' \
        "$work/$harness.sanitized.log" | head -n 40
    fi
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $work)" >&2
  exit 1
fi
echo "no faults found; logs and grown corpora in $work"
