#!/bin/sh
# Builds the Debian package the Debian way (dpkg-buildpackage, debhelper)
# from a copy of the source tree in build-deb/skarnvale-VERSION; the .deb,
# .buildinfo and .changes land in build-deb/. SKV_DEB_DIR overrides the folder.
#
# Run again, it refreshes the copy keeping the times of unchanged files and
# the package's CMake build folder, so only what changed is built again.
# Extra arguments go to dpkg-buildpackage.
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="${SKV_DEB_DIR:-$ROOT/build-deb}"
VERSION=$(sed -n '1s/^skarnvale (\([^)]*\)).*/\1/p' "$ROOT/debian/changelog")
SRC="$OUT/skarnvale-$VERSION"
mkdir -p "$SRC"
# Everything but version control and build folders; the package's own build
# folder (obj-*) is kept, the rest of the last package build is cleared.
rsync -a --delete --exclude=/.git --exclude='/build*/' --filter='P /obj-*/' \
  "$ROOT/" "$SRC/"
rm -f "$OUT"/skarnvale_"$VERSION"_*.deb "$OUT"/skarnvale-dbgsym_"$VERSION"_*.deb \
  "$OUT"/skarnvale_"$VERSION"_*.changes "$OUT"/skarnvale_"$VERSION"_*.buildinfo
cd "$SRC"
# -nc: no clean first, so the build folder above is reused.
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
  nice -n 10 dpkg-buildpackage -us -uc -b -nc "$@"
ls "$OUT"/skarnvale_"$VERSION"_*.deb
