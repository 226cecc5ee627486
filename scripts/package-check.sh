#!/usr/bin/env bash
# Builds the Debian package from the build folder (build/ or $BUILD_DIR, built by build.sh) and
# checks it the way a shop would meet it:
#  1. desktop-file-validate, appstreamcli validate and lintian report no errors;
#  2. its dependencies resolve on this Debian (apt-get install --simulate);
#  3. unpacked into a scratch root, --version and --help answer, the first start without a price
#     list asks (and creates nothing), and after brasko-demo-db the menu entry's command reaches
#     the main window under a virtual X server.
# Exits non-zero on the first failure. Takes well under a minute on a built tree.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
started=$(date +%s)
lap() { echo "== $1: $(( $(date +%s) - started )) s since start"; }
fail() { echo "!! $*" >&2; exit 1; }

for tool in cpack desktop-file-validate appstreamcli lintian xvfb-run xwininfo dpkg-deb; do
  command -v "$tool" >/dev/null || fail "'$tool' is missing (run scripts/install-deps.sh)."
done

cmake --build "$build" -j"${JOBS:-2}" --target brasko brasko-demo-db brasko-db-copy brasko_icons brasko_changelog
out="$build/package"
rm -rf "$out"
(cd "$build" && cpack -G DEB -B "$out" >/dev/null)
deb=$(ls "$out"/brasko_*.deb)
echo "== built $(basename "$deb")"
lap "package"

work=$(mktemp -d)
xvfb_pid=""
cleanup() { [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"; }
trap cleanup EXIT
scratch=$work/root
dpkg-deb -x "$deb" "$scratch"
app=com.velmont.Brasko
desktop=$scratch/usr/share/applications/$app.desktop
metainfo=$scratch/usr/share/metainfo/$app.metainfo.xml
for f in "$desktop" "$metainfo" "$scratch/usr/bin/brasko" "$scratch/usr/bin/brasko-demo-db" \
  "$scratch/usr/share/icons/hicolor/scalable/apps/$app.svg" "$scratch/usr/share/icons/hicolor/48x48/apps/$app.png"; do
  [ -e "$f" ] || fail "the package lacks ${f#"$scratch"}"
done

desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
lintian --fail-on error "$deb"
echo "== desktop entry, metainfo and lintian: no errors"
# Without package lists (apt-get update never ran) apt cannot tell, so the check is skipped then.
if [ "$(id -u)" -ne 0 ]; then
  echo "== dependencies not checked (needs root for apt-get --simulate)"
elif ! apt-cache show libqt6core6 >/dev/null 2>&1; then
  echo "== dependencies not checked (no apt package lists; run apt-get update)"
else
  apt-get install --simulate -qq "$deb" >/dev/null || fail "the package's dependencies do not resolve"
  echo "== dependencies resolve"
fi
lap "checks"

bin=$scratch/usr/bin
export PATH=$bin:$PATH
export XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config XDG_CONFIG_DIRS=$work/etc
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$XDG_RUNTIME_DIR"
"$bin/brasko" --version | grep -qx "Velmont Brasko [0-9.]*" || fail "--version does not answer"
"$bin/brasko" --help | grep -q -- "--database <path>" || fail "--help does not name --database"

# One virtual X server for the start checks; a window is told by its title.
display=:$(( 90 + RANDOM % 100 ))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display QT_QPA_PLATFORM=xcb
sleep 1
window_up() { # waits up to 15 s for a top-level window titled exactly or starting with $1
  for _ in $(seq 30); do
    xwininfo -root -tree 2>/dev/null | grep -q "\"$1" && return 0
    sleep 0.5
  done
  return 1
}
menu_command=$(sed -n 's/^Exec=//p' "$desktop")

$menu_command &
pid=$!
window_up "Velmont Brasko\"" || fail "with no price list the first start did not ask"
[ -e "$XDG_DATA_HOME/brasko/db.mdb" ] && fail "a price list was created without asking"
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "== no price list: the first start asks and creates nothing"

"$bin/brasko-demo-db" >/dev/null
[ -f "$XDG_DATA_HOME/brasko/db.mdb" ] || fail "brasko-demo-db did not create the price list where brasko looks"
$menu_command &
pid=$!
window_up "Velmont Brasko - " || fail "the menu's command did not reach the main window"
kill "$pid"; wait "$pid" 2>/dev/null || true
echo "== the menu's command reaches the main window"
lap "done"
