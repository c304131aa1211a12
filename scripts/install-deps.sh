#!/bin/bash
# Installs the Debian packages Skarnvale needs. "play" installs what building
# and running the game need; without it (the test, sanitizer and benchmark
# commands) the test, benchmark, fuzz and script-checking tools come too;
# "windows" adds the cross compiler and Wine.
# Quiet and quick when everything is already there.
set -Eeuo pipefail
trap 'echo "install-deps.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
PLAY_PACKAGES=(cmake make g++ pkg-config liballegro4-dev libvorbis-dev libogg-dev
  fonts-dejavu-core zlib1g-dev libfreetype-dev libpng-dev libtinyxml2-dev)
TEST_PACKAGES=(libgtest-dev libbenchmark-dev xvfb xdotool x11-apps x11-utils imagemagick
  sox gnuplot-nox clang libclang-rt-14-dev desktop-file-utils tiled
  build-essential debhelper lintian appstream man-db rsync shellcheck openbox wmctrl)
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix wine64 googletest)
PACKAGES=("${PLAY_PACKAGES[@]}")
if [ "${1:-}" != play ]; then PACKAGES+=("${TEST_PACKAGES[@]}"); fi
if [ "${1:-}" = windows ]; then PACKAGES+=("${WINDOWS_PACKAGES[@]}"); fi
MISSING=()
for p in "${PACKAGES[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == *"ok installed"* ]] || MISSING+=("$p")
done
[ "${#MISSING[@]}" -eq 0 ] && exit 0
echo "Installing: ${MISSING[*]}"
# As root directly; otherwise through sudo, which may ask for a password.
SUDO=()
if [ "$(id -u)" -ne 0 ]; then
  if ! command -v sudo >/dev/null 2>&1; then
    echo "These Debian packages are missing: ${MISSING[*]}" >&2
    echo "You are not root and sudo is not installed. Install them as root:" >&2
    echo "  su -c 'apt-get update && apt-get install -y ${MISSING[*]}'" >&2
    exit 1
  fi
  SUDO=(sudo)
fi
fail() {
  echo "install-deps.sh: could not install: ${MISSING[*]}" >&2
  echo "Install them as root (or a user allowed to use sudo):" >&2
  echo "  apt-get update && apt-get install -y ${MISSING[*]}" >&2
  exit 1
}
"${SUDO[@]}" apt-get update -qq || fail
"${SUDO[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${MISSING[@]}" || fail
