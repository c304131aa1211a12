#!/bin/sh
# Cross-builds the libraries the Windows game links statically (Allegro,
# libogg, libvorbis) and GoogleTest into DEST, with their licence texts in
# DEST/licences. Called by scripts/build-windows.sh when its cache is empty.
#   scripts/win-deps.sh DEST GOOGLETEST_SOURCE
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
DEST=$1
GTEST_SRC=$2
TOOLCHAIN="$ROOT/cmake/mingw-w64-x86_64.cmake"
JOBS=$(nproc)
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT INT TERM
rm -rf "$DEST"
mkdir -p "$DEST/licences"

# Allegro's tarball carries add-ons the game does not use; they stay packed.
for t in $("$ROOT/scripts/fetch-sources.sh" allegro4.4 libogg libvorbis); do
  tar -C "$WORK" -xf "$t" --exclude='*/addons/*'
done

# Allegro asks DirectInput for the keyboard and mouse at emulation level 2;
# Wine offers only the plain devices, which every Windows has as well.
sed -i 's/GUID_SysKeyboardEm2/GUID_SysKeyboard/' "$WORK/allegro-4.4.3.1/src/win/wkeybd.c"
sed -i 's/GUID_SysMouseEm2/GUID_SysMouse/' "$WORK/allegro-4.4.3.1/src/win/wmouse.c"

build() {  # build NAME SOURCE CMAKE-OPTIONS...
  name=$1 src=$2; shift 2
  echo "  $name"
  cmake -S "$src" -B "$WORK/build-$name" -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$DEST" \
    -DSKV_WIN_PREFIX="$DEST" -DBUILD_SHARED_LIBS=OFF "$@" >"$WORK/$name.log" 2>&1 ||
    { cat "$WORK/$name.log"; exit 1; }
  { cmake --build "$WORK/build-$name" -j "$JOBS" &&
    cmake --install "$WORK/build-$name"; } >>"$WORK/$name.log" 2>&1 ||
    { tail -50 "$WORK/$name.log"; exit 1; }
}

build ogg "$WORK/libogg-1.3.5" -DINSTALL_DOCS=OFF -DBUILD_TESTING=OFF
build vorbis "$WORK/libvorbis-1.3.7" -DCMAKE_PREFIX_PATH="$DEST"
build allegro "$WORK/allegro-4.4.3.1" -DSHARED=OFF -DWANT_ALLEGROGL=OFF \
  -DWANT_LOADPNG=OFF -DWANT_LOGG=OFF -DWANT_JPGALLEG=OFF -DWANT_EXAMPLES=OFF \
  -DWANT_TOOLS=OFF -DWANT_TESTS=OFF -DWANT_DOCS=OFF
build gtest "$GTEST_SRC" -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON

# Allegro installs no pkg-config file on Windows; the game finds it as on Linux.
mkdir -p "$DEST/lib/pkgconfig"
cat >"$DEST/lib/pkgconfig/allegro.pc" <<PC
prefix=$DEST
Name: allegro
Description: Allegro 4 game programming library, static, for Windows
Version: 4.4.3.1
Cflags: -I\${prefix}/include -DALLEGRO_STATICLINK
Libs: -L\${prefix}/lib -lalleg -ldinput -lddraw -ldxguid -ldsound -lwinmm -lgdi32 -lole32 -luser32 -lkernel32 -lcomdlg32 -lshell32
PC

cp "$WORK/allegro-4.4.3.1/docs/src/license._tx" "$DEST/licences/allegro.txt"
cp "$WORK/libogg-1.3.5/COPYING" "$DEST/licences/libogg.txt"
cp "$WORK/libvorbis-1.3.7/COPYING" "$DEST/licences/libvorbis.txt"
touch "$DEST/.complete"
