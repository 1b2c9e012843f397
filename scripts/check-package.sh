#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian (no error, no warning), installs it the way a user
# would (apt brings its dependencies), checks the installed programs from the PATH, their manual pages and
# versions, the desktop entry, the nightly readout's units (installed, disabled), its user and hosts
# file, and the first start of the window as a new user on a virtual display; then removes the package
# again so that the machine is left as it was.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"

deb="$(bash "$root/scripts/package.sh" | tail -n 1)"
package="$(dpkg-deb --field "$deb" Package)"
version="$(dpkg-deb --field "$deb" Version)"
echo "$deb ($(du -k "$deb" | cut -f1) KiB)"
dpkg-deb --field "$deb" Package Version Section Maintainer Depends
# Info tags stay: the README names them with their reasons.
lintian --fail-on error,warning "$deb"
echo "lintian: no error, no warning"

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  echo "$package is installed already: not touching it" >&2
  exit 1
fi
# The packages the installation brings along, so that they go again afterwards; the same for the
# package's system user.
mapfile -t broughtAlong < <(apt-get install -s "$deb" | awk -v self="$package" '/^Inst / && $2 != self { print $2 }')
userBefore="$(getent passwd vald || true)"
scratch="$(mktemp -d)"
xvfb=""
cleanup() {
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get purge -y "$package" "${broughtAlong[@]}" >/dev/null
  if [ -z "$userBefore" ] && getent passwd vald >/dev/null; then $sudo userdel vald; fi
  rm -rf "$scratch"
}
trap cleanup EXIT
$sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "$deb"

fail() {
  echo "package check: $*" >&2
  exit 1
}
cd "$scratch"
for program in vald_csv vald_read vald_sim vald_archive; do
  [ "$(command -v "$program")" = "/usr/bin/$program" ] || fail "$program is not on the PATH"
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version)" = "$program $version" ] ||
    fail "$program --version does not say $version"
  [ -f "/usr/share/man/man1/$program.1.gz" ] || fail "no manual page for $program"
done
[[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM vald_csv --help)" == "Usage: vald_csv "* ]] ||
  fail "vald_csv --help failed"
[[ "$(vald_read --help)" == "Usage: vald_read "* ]] || fail "vald_read --help failed"
[[ "$(vald_sim --help)" == *"--device"* ]] || fail "vald_sim --help failed"
[[ "$(vald_archive --help)" == "Usage: vald_archive "* ]] || fail "vald_archive --help failed"
# Every option a program's --help names is in its installed manual page (made from that --help at build
# time, so this catches a page that was not remade or an option help2man did not take over).
for program in vald_csv vald_read vald_sim vald_archive; do
  page="$(zcat "/usr/share/man/man1/$program.1.gz" | sed -e 's/\\-/-/g' -e 's/\\f[BIRP]//g')"
  options="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help | grep -oE -- '--[a-z][a-z0-9-]+' |
    sort -u)"
  [ -n "$options" ] || fail "$program --help names no option"
  for option in $options; do
    grep -qF -- "$option" <<<"$page" || fail "the manual page of $program lacks $option"
  done
  for section in "EXIT STATUS" "ENVIRONMENT" "FILES"; do
    grep -q "^\.SH \"\?$section\"\?\$" <<<"$page" || fail "the manual page of $program has no $section section"
  done
  echo "$program.1: its $(wc -w <<<"$options") options, exit status, environment and files"
done
# Every program with every library it needs installed; the window brings its translation in itself.
for program in vald_csv vald_read vald_sim vald_archive; do
  ! ldd "/usr/bin/$program" | grep -q "not found" ||
    fail "$program lacks a library: $(ldd "/usr/bin/$program" | grep "not found")"
done
desktop-file-validate /usr/share/applications/vald_csv.desktop
for size in 16 22 24 32 48 64 128 256; do
  [[ "$(file -b "/usr/share/icons/hicolor/${size}x${size}/apps/vald_csv.png")" == "PNG image data, $size x $size,"* ]] ||
    fail "no $size x $size icon"
done
[[ "$(file -b /usr/share/icons/hicolor/scalable/apps/vald_csv.svg)" == "SVG Scalable Vector Graphics image"* ]] ||
  fail "no scalable icon"
[ -f "/usr/share/doc/$package/copyright" ] && [ -f "/usr/share/doc/$package/changelog.gz" ] ||
  fail "no copyright or changelog"

# The nightly readout: units installed and left disabled, its user made, its hosts file a conffile.
for unit in vald-read.service vald-read.timer; do
  [ -f "/usr/lib/systemd/system/$unit" ] || fail "$unit is not installed"
done
[ ! -e /etc/systemd/system/timers.target.wants/vald-read.timer ] || fail "vald-read.timer was enabled"
getent passwd vald >/dev/null || fail "no vald user"
for conffile in /etc/vald/hosts /etc/vald/limits.csv; do
  dpkg-query -W -f='${Conffiles}\n' "$package" | grep -q "^ $conffile " || fail "$conffile is no conffile"
done
grep -q '^SuccessExitStatus=3$' /usr/lib/systemd/system/vald-read.service || fail "a new alarm fails the nightly unit"

# A new user, for whom /usr/bin takes no files, starts the window on a virtual display: the data folder
# and its cfg.ini with every default are made first, so the window comes up without a message box (a
# second window) and without the developer page.
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
display=":$((90 + RANDOM % 9))"
Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 100); do DISPLAY="$display" xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
"${asUser[@]}" env -i HOME="$home" XDG_RUNTIME_DIR="$runtime" PATH=/usr/bin:/bin DISPLAY="$display" \
  timeout 30 vald_csv >"$scratch/vald_csv.log" 2>&1 &
app=$!
window=""
for _ in $(seq 200); do
  window="$(DISPLAY="$display" xdotool search --onlyvisible --name "VALD CSV v.231203" 2>/dev/null || true)"
  [ -n "$window" ] && break
  sleep 0.1
done
[ -n "$window" ] || { cat "$scratch/vald_csv.log" >&2; fail "vald_csv showed no main window"; }
sleep 1
shown="$(DISPLAY="$display" xdotool search --onlyvisible --name "." 2>/dev/null | wc -l)"
# Ended without its close step: the cfg.ini found below was written by the start.
kill "$app"
wait "$app" || true
[ "$shown" -eq 1 ] || fail "the first start showed $shown windows, a message box beside the main window"
settings="$home/.local/share/vald_csv/cfg.ini"
[ -f "$settings" ] || fail "no cfg.ini in the user's data folder"
grep -q $'^Top1=40\r$' "$settings" && grep -q $'^Bottom1=10\r$' "$settings" || fail "cfg.ini lacks the defaults"
[ ! -e "$home/.local/share/vald_csv/Tool7.dev" ] || fail "the developer page's marker file appeared"
echo "package check: $package $version passes lintian, installs, its programs run from the PATH," \
  "the first start as a new user is clean"
