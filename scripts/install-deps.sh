#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing need. Safe to run again: when every
# package is already there it returns at once without touching apt.
set -euo pipefail

packages=(
  cmake ninja-build g++ pkg-config ccache
  qt6-base-dev qt6-l10n-tools libfontconfig-dev libqt6sql6-sqlite libqt6sql6-psql postgresql libqcustomplot-dev libgl-dev
  libmosquitto-dev mosquitto openssl libsqlite3-dev zlib1g-dev python3 python3-openpyxl influxdb
  googletest libgtest-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  xvfb xauth xdotool fonts-liberation fonts-liberation2 tzdata
  dpkg-dev desktop-file-utils file lintian poppler-utils help2man librsvg2-bin libreoffice-calc-nogui
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
$sudo apt-get update
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
