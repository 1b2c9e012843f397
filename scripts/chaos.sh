#!/usr/bin/env bash
# Chaos run (not part of CI): N readouts (default 10000) of simulated devices whose replies are spoilt by
# seeded faults (short, oversized, none, late, twice, from another port), built with AddressSanitizer and
# UndefinedBehaviorSanitizer, each readout checked against what its device sent. Prints the figures and
# every violation with its seed (replay one with "vald_sim --chaos SEED"); fails on a violation or a
# sanitizer finding.
#
#   scripts/chaos.sh [N=10000]    FIRST_SEED (default 1), AT_ONCE readouts at a time (default 32);
#                                 build folder $VALD_CHAOS_BUILD (default build-asan)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
readouts="${1:-10000}"
build="${VALD_CHAOS_BUILD:-$root/build-asan}"

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVALD_SANITIZE=ON -DVALD_WERROR=ON \
  -DVALD_BENCH=OFF >/dev/null
cmake --build "$build" --target vald_chaos
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$build/tests/robustness/vald_chaos" "$readouts" "${FIRST_SEED:-1}" "${AT_ONCE:-32}"
