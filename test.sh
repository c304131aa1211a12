#!/bin/sh
# Installs what is missing, builds everything and runs every test: unit,
# integration and the end-to-end scenarios under Xvfb.
set -e
ROOT=$(cd "$(dirname "$0")" && pwd)
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh"
cd "$ROOT/build"
ctest --output-on-failure -j "$(nproc)" "$@"
