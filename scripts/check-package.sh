#!/usr/bin/env bash
# Builds the Debian package, installs it the way a user would (apt brings its dependencies), checks the
# installed programs from the PATH, the desktop entry and the per-user data folder, then removes the
# package again so that the machine is left as it was.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

deb="$(bash "$root/scripts/package.sh" | tail -n 1)"
package="$(dpkg-deb --field "$deb" Package)"
echo "$deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  echo "$package is installed already: not touching it" >&2
  exit 1
fi
# The packages the installation brings along, so that they go again afterwards.
mapfile -t broughtAlong < <(apt-get install -s "$deb" | awk -v self="$package" '/^Inst / && $2 != self { print $2 }')
scratch="$(mktemp -d)"
cleanup() {
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y "$package" "${broughtAlong[@]}" >/dev/null
  rm -rf "$scratch"
}
trap cleanup EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"

cd "$scratch"
for program in vald_csv vald_read vald_sim; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || { echo "$program is not on the PATH" >&2; exit 1; }
done
[[ "$(vald_read --help)" == "Usage: vald_read "* ]] || { echo "vald_read --help failed" >&2; exit 1; }
[[ "$(vald_sim --help)" == *"--device"* ]] || { echo "vald_sim --help failed" >&2; exit 1; }
desktop-file-validate /usr/share/applications/vald_csv.desktop
[[ "$(file -b /usr/share/icons/hicolor/32x32/apps/vald_csv.png)" == "PNG image data, 32 x 32,"* ]]

# An ordinary user, for whom /usr/bin takes no files, gets the data folder in the home folder. The first
# start reports the missing cfg.ini in a message box, so the window is left running until the time-out.
home="$scratch/home"
runtime="$scratch/runtime"
mkdir -p "$home" "$runtime"
chmod 700 "$runtime"
asUser=()
if [ "$(id -u)" -eq 0 ]; then
  chmod 755 "$scratch"
  chown nobody "$home" "$runtime"
  asUser=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
fi
status=0
"${asUser[@]}" env -i HOME="$home" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin QT_QPA_PLATFORM=offscreen \
  timeout 5 vald_csv || status=$?
[ "$status" -eq 124 ] || { echo "vald_csv ended early with status $status" >&2; exit 1; }
[ -d "$home/.local/share/vald_csv" ] || { echo "no data folder in the user's home" >&2; exit 1; }
echo "package check: $package installs, its programs run from the PATH, the desktop entry validates"
