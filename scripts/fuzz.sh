#!/usr/bin/env bash
# Builds the libFuzzer harnesses (clang, address and undefined-behaviour sanitizers) and runs each for
# SECONDS_PER_HARNESS (default 15) on a copy of its seed corpus in fuzz/corpus, with its dictionary.
# Inputs that crash or break a property are left in the work folder as <harness>-crash-* (or -leak-,
# -timeout-, -oom-); the script then fails. New corpus entries found stay in the work folder too.
#
#   scripts/fuzz.sh [SECONDS_PER_HARNESS]    build folder: $VALD_FUZZ_BUILD (default build-fuzz)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-15}"
build="${VALD_FUZZ_BUILD:-$root/build-fuzz}"
work="$build/fuzz-work"
harnesses=(log_blocks measurement_file settings registration_list)

CC="${CC:-clang}" CXX="${CXX:-clang++}" cmake -S "$root" -B "$build" -G Ninja -DVALD_FUZZ=ON -DVALD_BENCH=OFF \
  >/dev/null
cmake --build "$build" --target "${harnesses[@]/#/fuzz_}"

# Longest input each harness reads: a header and the 96 blocks of a 25LC512 log; text files of a few
# tens of kilobytes are enough to reach every rule.
declare -A maxLength=([log_blocks]=49155 [measurement_file]=32768 [settings]=4096 [registration_list]=8192)

rm -rf "$work"
mkdir -p "$work"
failed=()
for harness in "${harnesses[@]}"; do
  cp -r "$root/fuzz/corpus/$harness" "$work/$harness"
  dictionary=()
  [ -f "$root/fuzz/dict/$harness.dict" ] && dictionary=(-dict="$root/fuzz/dict/$harness.dict")
  echo "== fuzz_$harness: ${seconds}s"
  if ! UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 "$build/fuzz/fuzz_$harness" \
      -max_total_time="$seconds" -max_len="${maxLength[$harness]}" -timeout=10 -print_final_stats=1 \
      -artifact_prefix="$work/$harness-" "${dictionary[@]}" "$work/$harness" >"$work/$harness.log" 2>&1; then
    failed+=("$harness")
    # The finding, from its first report line to the file the input was written to.
    sed -n '/runtime error\|==ERROR\|property broken\|deadly signal/,/Test unit written/p' "$work/$harness.log" |
      head -n 40
  fi
  grep -E '^stat::(number_of_executed_units|average_exec_per_sec|new_units_added)' "$work/$harness.log" |
    sed 's/^/   /'
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found faults in: ${failed[*]} (inputs in $work)" >&2
  exit 1
fi
echo "no faults found; logs and grown corpora in $work"
