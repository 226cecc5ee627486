#!/usr/bin/env bash
# Installs what is missing, builds, prepares the demo price list beside the program (only when no
# db.mdb is there yet) and starts Brasko.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
bin=${BUILD_DIR:-$root/build}/bin
"$bin/brasko-demo-db" "$bin/db.mdb"
"$root/scripts/setup-ims.sh" || echo "The order database could not be prepared; the order window will say so."
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display is available, so the window cannot be shown here."
  echo "Run it under a virtual X server instead:  xvfb-run -a $bin/brasko"
  echo "(or set QT_QPA_PLATFORM=offscreen to start it without any screen)."
  exit 0
fi
exec "$bin/brasko"
