#!/bin/bash
# Builds Allegro 4.4 from Debian's source package with clang and
# AddressSanitizer (static, Release, no add-ons, no drivers) into a cache
# outside the clone, once, and prints the install folder. The fuzz build links
# it, so faults inside the library's loaders are seen where they happen.
# Usage: scripts/asan-allegro.sh [original tarball]
set -Eeuo pipefail
trap 'echo "asan-allegro.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/sources.sh
. "$ROOT/scripts/sources.sh"
CACHE="${SKV_CACHE:-$HOME/.cache/skarnvale}"
VERSION=$(source_field allegro4.4 4)
PREFIX="$CACHE/asan-allegro-$VERSION"
if [ -f "$PREFIX/lib/liballeg.a" ] && [ -f "$PREFIX/include/allegro.h" ]; then
  echo "$PREFIX"
  exit 0
fi
TARBALL="${1:-}"
if [ -z "$TARBALL" ]; then
  TARBALL=$("$ROOT/scripts/fetch-sources.sh" allegro4.4)
fi
[ -f "$TARBALL" ] || { echo "asan-allegro.sh: no source tarball at \"$TARBALL\"" >&2; exit 1; }
mkdir -p "$CACHE"
WORK=$(mktemp -d "$CACHE/asan-allegro-build.XXXXXX")
trap 'rm -rf "$WORK"' EXIT
tar -xzf "$TARBALL" -C "$WORK"
SRC="$WORK/$(source_field allegro4.4 5)"
FLAGS="-fsanitize=address -fno-omit-frame-pointer -g -O1 -w"
CC=clang CFLAGS="$FLAGS" cmake -S "$SRC" -B "$WORK/build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$PREFIX" -DSHARED=off -DWANT_MODULES=off \
  -DWANT_ALLEGROGL=off -DWANT_LOADPNG=off -DWANT_LOGG=off -DWANT_JPGALLEG=off \
  -DWANT_EXAMPLES=off -DWANT_TOOLS=off -DWANT_TESTS=off -DWANT_DOCS=off \
  -DWANT_X11=off -DWANT_OSS=off -DWANT_ALSA=off -DWANT_JACK=off -DWANT_SGIAUDIO=off \
  -DWANT_LINUX_CONSOLE=off >"$WORK/configure.log" 2>&1 ||
  { tail -30 "$WORK/configure.log" >&2; echo "asan-allegro.sh: configuring Allegro failed" >&2; exit 1; }
cmake --build "$WORK/build" -j "$(nproc)" >"$WORK/build.log" 2>&1 ||
  { tail -30 "$WORK/build.log" >&2; echo "asan-allegro.sh: building Allegro failed" >&2; exit 1; }
cmake --install "$WORK/build" >/dev/null
echo "$PREFIX"
