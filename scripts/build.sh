#!/bin/sh
# Configures (once) and builds the game, its content, tools and tests into build/.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="${SKV_BUILD_DIR:-$ROOT/build}"
WERROR=OFF
[ -n "$CI" ] && WERROR=ON
if [ ! -f "$BUILD/CMakeCache.txt" ]; then
  cmake -S "$ROOT" -B "$BUILD" -DSKV_WERROR=$WERROR $SKV_CMAKE_ARGS >/dev/null
fi
cmake --build "$BUILD" -j "$(nproc)" "$@"
