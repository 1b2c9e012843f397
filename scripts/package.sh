#!/usr/bin/env bash
# Builds the Debian package: a release build of the programs alone (no tests, no benchmarks) in its own
# folder (default: build-package), then CPack. Prints the path of the .deb it made.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build-package}"

bash "$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DBUILD_TESTING=OFF -DVALD_BENCH=OFF >&2
cmake --build "$build" --parallel "$(nproc)" >&2
rm -f "$build"/*.deb
(cd "$build" && cpack -G DEB >&2)
ls "$build"/*.deb
