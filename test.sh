#!/bin/sh
# Installs what is missing, builds everything and runs every test: unit,
# integration, the end-to-end scenarios under Xvfb, and a short bounded run of
# every fuzz target (SKV_FUZZ_SECONDS per target, 0 skips them).
set -e
ROOT=$(cd "$(dirname "$0")" && pwd)
"$ROOT/scripts/install-deps.sh"
# A build folder first configured by play.sh gains the tests and benchmarks;
# the game itself is not built again.
SKV_CMAKE_ARGS="-DSKV_BUILD_TESTS=ON -DSKV_BUILD_BENCH=ON $SKV_CMAKE_ARGS" "$ROOT/scripts/build.sh"
cd "$ROOT/build"
ctest --output-on-failure -j "$(nproc)" "$@"
if [ "${SKV_FUZZ_SECONDS:-60}" -gt 0 ]; then
  "$ROOT/scripts/fuzz.sh" "${SKV_FUZZ_SECONDS:-60}"
fi
