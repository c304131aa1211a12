#!/bin/bash
# Installs what is missing, builds the game and its content, and plays.
# Only the game is built: tests, benchmarks and fuzz targets are test.sh's.
# Arguments go to the game (skarnvale --help lists them).
set -Eeuo pipefail
trap 'echo "play.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")" && pwd)
export SKV_BUILD_DIR="${SKV_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/install-deps.sh" play
# A first configuration leaves the test and benchmark tools out (they are
# not installed for playing); one made by test.sh is kept as it is.
SKV_CMAKE_ARGS="${SKV_CMAKE_ARGS:-}"
if [ ! -f "$SKV_BUILD_DIR/CMakeCache.txt" ]; then
  SKV_CMAKE_ARGS="-DSKV_BUILD_TESTS=OFF -DSKV_BUILD_BENCH=OFF $SKV_CMAKE_ARGS"
fi
SKV_CMAKE_ARGS="$SKV_CMAKE_ARGS" "$ROOT/scripts/build.sh" --target skarnvale
cd "$SKV_BUILD_DIR/data"
exec ../skarnvale "$@"
