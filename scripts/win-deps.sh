#!/bin/bash
# Cross-builds the libraries the Windows game links statically (Allegro,
# libogg, libvorbis) and GoogleTest into DEST, with their licence texts in
# DEST/licences. Called by scripts/build-windows.sh when its cache is empty.
#   scripts/win-deps.sh DEST GOOGLETEST_SOURCE
# DEST is emptied first, so it must be a folder of the cache's shape
# (.../win64-deps/<name>).
set -Eeuo pipefail
trap 'echo "win-deps.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
# shellcheck source=scripts/sources.sh
. "$ROOT/scripts/sources.sh"
if [ $# -ne 2 ]; then
  echo "usage: $0 DEST GOOGLETEST_SOURCE" >&2
  exit 2
fi
DEST=$1
GTEST_SRC=$2
case "$DEST" in
  /*/win64-deps/?*) ;;
  *) echo "win-deps.sh: DEST must be an absolute .../win64-deps/<name> folder, not \"$DEST\"" >&2; exit 2 ;;
esac
[ -f "$GTEST_SRC/CMakeLists.txt" ] || { echo "win-deps.sh: no GoogleTest source at \"$GTEST_SRC\"" >&2; exit 2; }
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
JOBS=$(nproc)
ALLEGRO_DIR=$(source_field allegro4.4 5)
OGG_DIR=$(source_field libogg 5)
VORBIS_DIR=$(source_field libvorbis 5)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM
rm -rf "$DEST"
mkdir -p "$DEST/licences"

# Fetched first, so a failed fetch stops here. Allegro's tarball carries
# add-ons the game does not use; they stay packed.
TARBALLS=$("$ROOT/scripts/fetch-sources.sh" allegro4.4 libogg libvorbis)
while read -r t; do
  tar -C "$WORK" -xf "$t" --exclude='*/addons/*'
done <<<"$TARBALLS"

# Allegro asks DirectInput for the keyboard and mouse at emulation level 2;
# Wine offers only the plain devices, which every Windows has as well.
sed -i 's/GUID_SysKeyboardEm2/GUID_SysKeyboard/' "$WORK/$ALLEGRO_DIR/src/win/wkeybd.c"
sed -i 's/GUID_SysMouseEm2/GUID_SysMouse/' "$WORK/$ALLEGRO_DIR/src/win/wmouse.c"

build() {  # build NAME SOURCE CMAKE-OPTIONS...
  local name=$1 src=$2
  shift 2
  echo "  $name"
  cmake -S "$src" -B "$WORK/build-$name" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEST" \
    -DSKV_WIN_PREFIX="$DEST" -DBUILD_SHARED_LIBS=OFF "$@" >"$WORK/$name.log" 2>&1 ||
    { cat "$WORK/$name.log"; echo "win-deps.sh: configuring $name failed" >&2; exit 1; }
  { cmake --build "$WORK/build-$name" -j "$JOBS" &&
    cmake --install "$WORK/build-$name"; } >>"$WORK/$name.log" 2>&1 ||
    { tail -50 "$WORK/$name.log"; echo "win-deps.sh: building $name failed" >&2; exit 1; }
}

build ogg "$WORK/$OGG_DIR" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
build vorbis "$WORK/$VORBIS_DIR" -DCMAKE_PREFIX_PATH="$DEST"
build allegro "$WORK/$ALLEGRO_DIR" -DSHARED=OFF -DWANT_ALLEGROGL=OFF \
  -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF -DWANT_EXAMPLES=OFF \
  -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF
build gtest "$GTEST_SRC" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

# Allegro installs no pkg-config file on Windows; the game finds it as on Linux.
mkdir -p "$DEST/lib/pkgconfig"
cat >"$DEST/lib/pkgconfig/allegro.pc" <<PC
prefix=$DEST
Name: allegro
Description: Allegro 4 game programming library, static, for Windows
Version: $(source_field allegro4.4 4)
Cflags: -I\${prefix}/include -DALLEGRO_STATICLINK
Libs: -L\${prefix}/lib -lalleg -ldinput -lddraw -ldxguid -ldsound -lwinmm -lgdi32 -lole32 -luser32 -lkernel32 -lcomdlg32 -lshell32
PC

cp "$WORK/$ALLEGRO_DIR/docs/src/license._tx" "$DEST/licences/allegro.txt"
cp "$WORK/$OGG_DIR/COPYING" "$DEST/licences/libogg.txt"
cp "$WORK/$VORBIS_DIR/COPYING" "$DEST/licences/libvorbis.txt"
touch "$DEST/.complete"
