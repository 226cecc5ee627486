#!/usr/bin/env bash
# Installs what is missing, builds and runs every test headless. The tests start the services they
# need (CUPS with its PDF printer, a loopback PostgreSQL) themselves.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
export QT_QPA_PLATFORM=offscreen
cd "${BUILD_DIR:-$root/build}"
# Many tests spend their time waiting for a server they started or a child process, so two per
# core keep the processors busy.
ctest --output-on-failure -j"$(( $(nproc) * 2 ))" "$@"
