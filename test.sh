#!/bin/bash
# Installs what is missing, builds everything and runs every test: unit,
# integration, the end-to-end scenarios under Xvfb, shellcheck over the
# scripts, and a short bounded run of every fuzz target (SKV_FUZZ_SECONDS per
# target, 0 skips them). SKV_BUILD_DIR moves the build folder from build/.
set -Eeuo pipefail
trap 'echo "test.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")" && pwd)
export SKV_BUILD_DIR="${SKV_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/install-deps.sh"
# Includes between the game's folders point one way only.
"$ROOT/scripts/check-includes.sh"
# A build folder first configured by play.sh gains the tests and benchmarks;
# the game itself is not built again.
SKV_CMAKE_ARGS="-DSKV_BUILD_TESTS=ON -DSKV_BUILD_BENCH=ON ${SKV_CMAKE_ARGS:-}" "$ROOT/scripts/build.sh"
cd "$SKV_BUILD_DIR"
ctest --output-on-failure -j "$(nproc)" "$@"
if [ "${SKV_FUZZ_SECONDS:-60}" -gt 0 ]; then
  "$ROOT/scripts/fuzz.sh" "${SKV_FUZZ_SECONDS:-60}"
fi
