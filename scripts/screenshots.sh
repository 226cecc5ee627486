#!/usr/bin/env bash
# Regenerates the README's pictures in docs/screenshots/ from the real program on the demo price
# list, under a virtual X server, so they always show the program as it is:
#   scripts/screenshots.sh            (builds what it needs into build/ or $BUILD_DIR first)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
out=$root/docs/screenshots
for tool in xvfb-run pdftoppm; do
  command -v "$tool" >/dev/null || { echo "screenshots: '$tool' is missing (run scripts/install-deps.sh)." >&2; exit 1; }
done
[ -f "$build/build.ninja" ] || "$root/scripts/build.sh"
cmake --build "$build" -j"${JOBS:-2}" --target brasko-screenshots
mkdir -p "$out"
# A fixed screen, locale and font set, so a picture changes only when the program does.
LC_ALL=C.UTF-8 LANG=C.UTF-8 QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=1 \
  xvfb-run -a -s "-screen 0 1600x1200x24 -dpi 96 -nolisten tcp" "$build/bin/brasko-screenshots" "$out"
echo "Pictures written to $out"
