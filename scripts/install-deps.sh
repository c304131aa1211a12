#!/bin/sh
# Installs the Debian packages Skarnvale needs. "play" installs what building
# and running the game need; without it (the test, sanitizer and benchmark
# commands) the test, benchmark and fuzz tools come too.
# Quiet and quick when everything is already there.
set -e
PLAY_PACKAGES="cmake make g++ pkg-config liballegro4-dev libvorbis-dev libogg-dev
  fonts-dejavu-core zlib1g-dev libfreetype-dev"
TEST_PACKAGES="libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils imagemagick
  sox gnuplot-nox clang libclang-rt-14-dev desktop-file-utils"
PACKAGES="$PLAY_PACKAGES"
[ "$1" = play ] || PACKAGES="$PLAY_PACKAGES $TEST_PACKAGES"
MISSING=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || MISSING="$MISSING $p"
done
[ -z "$MISSING" ] && exit 0
echo "Installing:$MISSING"
# As root directly; otherwise through sudo, which may ask for a password.
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "These Debian packages are missing:$MISSING" >&2
    echo "You are not root and sudo is not installed. Install them as root:" >&2
    echo "  su -c 'apt-get update && apt-get install -y$MISSING'" >&2
    exit 1
  fi
  SUDO=sudo
fi
fail() {
  echo "Could not install:$MISSING" >&2
  echo "Install them as root (or a user allowed to use sudo):" >&2
  echo "  apt-get update && apt-get install -y$MISSING" >&2
  exit 1
}
$SUDO apt-get update -qq || fail
$SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends $MISSING || fail
