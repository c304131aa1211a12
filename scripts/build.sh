#!/bin/sh
# Configures (once) and builds the game, its content, tools and tests into build/.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="${SKV_BUILD_DIR:-$ROOT/build}"
# CI turns warnings into errors; otherwise the build keeps whatever it was
# configured with, so play.sh after test.sh does not rebuild everything.
WERROR=""
[ -n "$CI" ] && WERROR="-DSKV_WERROR=ON"
# Configured every time (quick): new subsystem, tool and test folders are
# found by globbing.
cmake -S "$ROOT" -B "$BUILD" $WERROR $SKV_CMAKE_ARGS >/dev/null
cmake --build "$BUILD" -j "$(nproc)" "$@"
