#!/usr/bin/env bash
# Soak run (not part of CI): RING_SECONDS (default 600) of seeded ring histories, 2 000 a round from
# seed 0 on, each incremental readout compared with whole readouts of the same memory (a difference
# names its seed and stops the run); then N full readouts (default 1000) of a simulated 25LC254 device
# without reply delay in one process, printing the resident memory at the start, after a tenth and at the end; then
# LEAK_READOUTS (default 50) readouts under AddressSanitizer with leak detection, which must report no
# leak. Fails when a readout goes wrong or a leak is found.
#
#   scripts/soak.sh [N=1000]    build folders: $VALD_SOAK_BUILD (default build-soak) and
#                               $VALD_SOAK_ASAN_BUILD (default build-soak-asan)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
readouts="${1:-1000}"
leakReadouts="${LEAK_READOUTS:-50}"
build="${VALD_SOAK_BUILD:-$root/build-soak}"
asanBuild="${VALD_SOAK_ASAN_BUILD:-$root/build-soak-asan}"

ringSeconds="${RING_SECONDS:-600}"

cmake -S "$root" -B "$build" -G Ninja -DVALD_BENCH=OFF >/dev/null
cmake --build "$build" --target vald_soak pipeline_ring_history_test
echo "== ring histories for $ringSeconds s"
ringEnd=$((SECONDS + ringSeconds))
firstSeed=0
while ((SECONDS < ringEnd)); do
  QT_QPA_PLATFORM=offscreen VALD_RING_FIRST_SEED=$firstSeed VALD_RING_HISTORIES=2000 \
    "$build/tests/pipeline/pipeline_ring_history_test" --gtest_brief=1
  firstSeed=$((firstSeed + 2000))
done
echo "histories of seeds 0 .. $((firstSeed - 1)): no difference"
echo "== $readouts readouts"
"$build/tests/robustness/vald_soak" "$readouts" 1

cmake -S "$root" -B "$asanBuild" -G Ninja -DVALD_BENCH=OFF -DVALD_SANITIZE=ON >/dev/null
cmake --build "$asanBuild" --target vald_soak
echo "== $leakReadouts readouts under AddressSanitizer with leak detection"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$asanBuild/tests/robustness/vald_soak" "$leakReadouts" 1
echo "no leak reported"
