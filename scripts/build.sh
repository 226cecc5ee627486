#!/usr/bin/env bash
# Configures and builds into build/ (or $BUILD_DIR). Extra arguments go to CMake.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
config=()
command -v ccache >/dev/null && config=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# CI (CI=true) lets no warning through. It builds once, from an empty cache, only to run the tests
# and make the package (which is stripped): so no debug information, the Qt headers precompiled,
# and lld, which links in a fraction of the time. -O2 and NDEBUG stay as in RelWithDebInfo.
if [ "${CI:-}" = true ]; then
  config+=(-DBRASKO_WERROR=ON -DBRASKO_PCH=ON "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"
    -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld)
fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${config[@]}" "$@" >/dev/null
cmake --build "$build" -j"$(nproc)"
