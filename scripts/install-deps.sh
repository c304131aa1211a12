#!/bin/sh
# Installs the Debian packages Skarnvale needs to build, play and test.
# Quiet and quick when everything is already there.
set -e
PACKAGES="cmake make g++ pkg-config liballegro4-dev libvorbis-dev libogg-dev
  libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils imagemagick
  sox fonts-dejavu-core gnuplot-nox clang libclang-rt-14-dev
  desktop-file-utils
  build-essential debhelper lintian appstream man-db rsync
  zlib1g-dev libfreetype-dev libpng-dev
  tiled libtinyxml2-dev"
# The Windows build (scripts/build-windows.sh): cross compiler and Wine.
[ "$1" = windows ] && PACKAGES="$PACKAGES g++-mingw-w64-x86-64-posix wine64 googletest"
MISSING=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || MISSING="$MISSING $p"
done
[ -z "$MISSING" ] && exit 0
echo "Installing:$MISSING"
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $MISSING
