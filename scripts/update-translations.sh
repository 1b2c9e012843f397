#!/usr/bin/env bash
# Brings the English translation (translations/vald_csv_en.ts, or the .ts file given) up to date with the
# texts of the sources: new texts are added unfinished, texts no longer used are dropped. Translate the
# new ones (Qt Linguist, or the <translation> elements by hand); english_window_test fails while one is
# unfinished.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
ts="${1:-$root/translations/vald_csv_en.ts}"
# Debian keeps the Qt 6 tools out of the PATH (qt6-l10n-tools).
lupdate="${LUPDATE:-/usr/lib/qt6/bin/lupdate}"
[ -x "$lupdate" ] || lupdate="$(command -v lupdate6 || command -v lupdate)"
# Every folder whose sources hold texts a user reads: the windows, and the layers whose messages the
# window and the command-line tools share.
folders=(app decode export operations readout settings views watch)
"$lupdate" -locations none -no-obsolete -target-language en "${folders[@]/#/$root/}" -ts "$ts"
