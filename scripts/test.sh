#!/usr/bin/env bash
# Installs what is needed, builds, and runs every test headless.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VALD_TEST_BUILD:-$root/build-test}"

bash "$root/scripts/install-deps.sh"
bash "$root/scripts/build.sh" "$build" -DVALD_WERROR=ON
# The archive tests run on SQLite and on a PostgreSQL server of their own, the MQTT tests against a
# broker of their own; the exports are read back by InfluxDB (a server of their own) and openpyxl.
QT_QPA_PLATFORM=offscreen bash "$root/scripts/with-postgres.sh" bash "$root/scripts/with-mosquitto.sh" \
  bash "$root/scripts/with-influxdb.sh" \
  ctest --test-dir "$build" --output-on-failure --timeout 600
