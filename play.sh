#!/bin/sh
# Installs what is missing, builds the game and its content, and plays.
# Only the game is built: tests, benchmarks and fuzz targets are test.sh's.
set -e
ROOT=$(cd "$(dirname "$0")" && pwd)
BUILD="${SKV_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/install-deps.sh" play
# A first configuration leaves the test and benchmark tools out (they are
# not installed for playing); one made by test.sh is kept as it is.
[ -f "$BUILD/CMakeCache.txt" ] ||
  SKV_CMAKE_ARGS="-DSKV_BUILD_TESTS=OFF -DSKV_BUILD_BENCH=OFF $SKV_CMAKE_ARGS"
SKV_CMAKE_ARGS="$SKV_CMAKE_ARGS" "$ROOT/scripts/build.sh" --target skarnvale
cd "$BUILD/data"
exec ../skarnvale "$@"
