#!/bin/sh
# Installs what is missing, builds the game and its content, and plays.
set -e
ROOT=$(cd "$(dirname "$0")" && pwd)
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh"
cd "$ROOT/build/data"
exec ../skarnvale
