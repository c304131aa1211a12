#!/bin/bash
# Builds the Debian package the Debian way (dpkg-buildpackage, debhelper)
# from a copy of the source tree in build-deb/skarnvale-VERSION; the .deb,
# .buildinfo and .changes land in build-deb/. SKV_DEB_DIR overrides the folder.
#
# Run again, it refreshes the copy keeping the times of unchanged files and
# the package's CMake build folder, so only what changed is built again.
# Extra arguments go to dpkg-buildpackage.
set -Eeuo pipefail
trap 'echo "package-deb.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
OUT="${SKV_DEB_DIR:-$ROOT/build-deb}"
VERSION=$(dpkg-parsechangelog -l "$ROOT/debian/changelog" -S Version)
ARCH=$(dpkg --print-architecture)
# Package file names leave out an epoch.
FILE_VERSION="${VERSION#*:}"
if [[ ! "$FILE_VERSION" =~ ^[0-9][A-Za-z0-9.+~-]*$ ]]; then
  echo "package-deb.sh: debian/changelog gives no usable version: \"$VERSION\"" >&2
  exit 1
fi
SRC="$OUT/skarnvale-$FILE_VERSION"
mkdir -p "$SRC"
# Everything but version control and build folders; the package's own build
# folder (obj-*) is kept, the rest of the last package build is cleared.
rsync -a --delete --exclude=/.git --exclude='/build*/' --filter='P /obj-*/' \
  "$ROOT/" "$SRC/"
rm -f "$OUT/skarnvale_${FILE_VERSION}_$ARCH.deb" "$OUT/skarnvale-dbgsym_${FILE_VERSION}_$ARCH.deb" \
  "$OUT/skarnvale_${FILE_VERSION}_$ARCH.changes" "$OUT/skarnvale_${FILE_VERSION}_$ARCH.buildinfo"
cd "$SRC"
# -nc: no clean first, so the build folder above is reused.
DEB_BUILD_OPTIONS="parallel=$(nproc) ${DEB_BUILD_OPTIONS:-}" \
  nice -n 10 dpkg-buildpackage -us -uc -b -nc "$@"
ls "$OUT/skarnvale_${FILE_VERSION}_$ARCH.deb"
