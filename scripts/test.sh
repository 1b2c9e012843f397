#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VALD_TEST_BUILD:-$root/build-test}"

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build" -DVALD_WERROR=ON
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure --timeout 600
