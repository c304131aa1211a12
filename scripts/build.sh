#!/bin/bash
# Configures (once) and builds the game, its content, tools and tests into
# build/ (SKV_BUILD_DIR moves it). SKV_CMAKE_ARGS adds CMake options;
# arguments go to `cmake --build`.
set -Eeuo pipefail
trap 'echo "build.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="${SKV_BUILD_DIR:-$ROOT/build}"
# CI turns warnings into errors; otherwise the build keeps whatever it was
# configured with, so play.sh after test.sh does not rebuild everything.
OPTIONS=()
if [ -n "${CI:-}" ]; then OPTIONS+=(-DSKV_WERROR=ON); fi
read -r -a EXTRA <<<"${SKV_CMAKE_ARGS:-}"
OPTIONS+=("${EXTRA[@]}")
# Configured every time (quick): new subsystem, tool and test folders are
# found by globbing.
cmake -S "$ROOT" -B "$BUILD" "${OPTIONS[@]}" >/dev/null
cmake --build "$BUILD" -j "$(nproc)" "$@"
