#!/bin/bash
# Builds the game for 64-bit Windows and packs it as
# build-win/skarnvale-<version>-win64.zip.
#
# - The content (pictures, maps, music) comes from the native build: the
#   tools run on this machine and the data files are the same bytes.
# - Allegro, libogg, libvorbis and GoogleTest are cross-built once into
#   $SKV_CACHE/win64-deps/<versions>-<key> (outside the clone) and reused;
#   the key is made from the contents of the recipe, the recorded sources,
#   the compiler and GoogleTest, never from where the clone lies.
# - The game and its unit tests are the same CMake project, configured with
#   cmake/mingw-w64-x86_64.cmake into build-win/.
# SKV_WIN_TESTS=OFF leaves the unit tests out.
set -Eeuo pipefail
trap 'echo "build-windows.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/sources.sh
. "$ROOT/scripts/sources.sh"
CACHE="${SKV_CACHE:-$HOME/.cache/skarnvale}"
BUILD="${SKV_WIN_BUILD_DIR:-$ROOT/build-win}"
NATIVE="${SKV_BUILD_DIR:-$ROOT/build}"
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
JOBS=$(nproc)

"$ROOT/scripts/install-deps.sh" windows

# The native content build: every data file of the zip.
SKV_BUILD_DIR="$NATIVE" "$ROOT/scripts/build.sh" --target content

# --- Dependencies, keyed by their tarballs, the compiler and this recipe ---
GTEST_SRC=/usr/src/googletest
KEY=$( {
  cat "$ROOT/scripts/sources.sha256" "$TOOLCHAIN" "$ROOT/scripts/win-deps.sh"
  x86_64-w64-mingw32-g++-posix -dumpfullversion
  dpkg-query -W -f='${Version}' googletest
} | sha256sum | cut -c1-12)
VERSIONS="allegro-$(source_field allegro4.4 4)-ogg-$(source_field libogg 4)-vorbis-$(source_field libvorbis 4)"
DEPS="$CACHE/win64-deps/$VERSIONS-$KEY"
if [ ! -f "$DEPS/.complete" ]; then
  echo "Building the Windows libraries into $DEPS (once)"
  start=$(date +%s)
  "$ROOT/scripts/win-deps.sh" "$DEPS" "$GTEST_SRC"
  echo "Windows libraries built in $(( $(date +%s) - start )) s"
fi

# --- The game ---
# Libraries found in another cache folder would stay in CMake's cache: a new
# folder means a fresh configuration.
if [ "$(cat "$BUILD/win-deps" 2>/dev/null || true)" != "$DEPS" ]; then
  rm -f "$BUILD/CMakeCache.txt"
fi
OPTIONS=()
if [ -n "${CI:-}" ]; then OPTIONS+=(-DSKV_WERROR=ON); fi
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
  -DCMAKE_BUILD_TYPE=Release -DSKV_WIN_PREFIX="$DEPS" \
  -DSKV_CONTENT_DIR="$NATIVE/data" -DSKV_BUILD_BENCH=OFF \
  -DSKV_BUILD_TESTS="${SKV_WIN_TESTS:-ON}" "${OPTIONS[@]}" >/dev/null
echo "$DEPS" >"$BUILD/win-deps"
cmake --build "$BUILD" -j "$JOBS"

for zip in "$BUILD"/skarnvale-*-win64.zip; do
  echo "$zip ($(stat -c %s "$zip") bytes)"
done
