#!/usr/bin/env bash
# Brings the window's English translation (app/translations/vald_csv_en.ts) up to date with the texts of
# the sources: new texts are added unfinished, texts no longer used are dropped. Translate the new ones
# (Qt Linguist, or the <translation> elements by hand); the window tests fail while one is unfinished.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
# Debian keeps the Qt 6 tools out of the PATH (qt6-l10n-tools).
lupdate=/usr/lib/qt6/bin/lupdate
[ -x "$lupdate" ] || lupdate="$(command -v lupdate6 || command -v lupdate)"
"$lupdate" -locations none -no-obsolete -target-language en "$root/app" -ts "$root/app/translations/vald_csv_en.ts"
