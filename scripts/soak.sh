#!/usr/bin/env bash
# Soak run (not part of CI): N full readouts (default 1000) of a simulated 25LC254 device without reply
# delay in one process, printing the resident memory at the start, after a tenth and at the end; then
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

cmake -S "$root" -B "$build" -G Ninja -DVALD_BENCH=OFF >/dev/null
cmake --build "$build" --target vald_soak
echo "== $readouts readouts"
"$build/tests/robustness/vald_soak" "$readouts" 1

cmake -S "$root" -B "$asanBuild" -G Ninja -DVALD_BENCH=OFF -DVALD_SANITIZE=ON >/dev/null
cmake --build "$asanBuild" --target vald_soak
echo "== $leakReadouts readouts under AddressSanitizer with leak detection"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  "$asanBuild/tests/robustness/vald_soak" "$leakReadouts" 1
echo "no leak reported"
