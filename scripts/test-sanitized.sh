#!/usr/bin/env bash
# Builds the whole project with AddressSanitizer and UndefinedBehaviorSanitizer in a second build folder
# and runs every test there; any finding fails the run.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VALD_SANITIZE_BUILD:-$root/build-asan}"

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build" -DVALD_SANITIZE=ON -DVALD_WERROR=ON -DVALD_BENCH=OFF
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1:detect_stack_use_after_return=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
# The MQTT tests publish to a broker of their own, so the publisher runs under the sanitizers too.
QT_QPA_PLATFORM=offscreen bash "$root/scripts/with-mosquitto.sh" \
  ctest --test-dir "$build" --output-on-failure --timeout 900
