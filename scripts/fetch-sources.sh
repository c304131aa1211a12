#!/bin/bash
# Fetches Debian source packages of the libraries the Windows build (and the
# instrumented fuzz build) compile themselves, checks each original tarball
# against the SHA-256 in scripts/sources.sha256 and keeps it in a cache
# outside the clone. Prints the path of each original tarball, one a line.
#
#   scripts/fetch-sources.sh allegro4.4 libogg libvorbis
#
# The deb-src list is made on the fly from this machine's own apt sources
# (deb822 *.sources and one-line *.list); apt's configuration is not touched,
# and the package lists apt downloads for it stay in the cache folder.
set -Eeuo pipefail
trap 'echo "fetch-sources.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
HERE=$(cd "$(dirname "$0")" && pwd)
SUMS="$HERE/sources.sha256"
CACHE="${SKV_CACHE:-$HOME/.cache/skarnvale}/sources"
[ $# -gt 0 ] || { echo "usage: $0 <source package>..." >&2; exit 2; }
mkdir -p "$CACHE"

# Line of the list for a source package: "<package> <tarball> <sha256>".
entry() { awk -v p="$1" '$1 == p { print; exit }' "$SUMS"; }
sum_ok() { [ -f "$1" ] && [ "$(sha256sum "$1" | cut -d' ' -f1)" = "$2" ]; }

TMP=""
APT_OPTS=()
# shellcheck disable=SC2317  # called by the trap
cleanup() { if [ -n "$TMP" ]; then rm -rf "$TMP"; fi; }
trap cleanup EXIT INT TERM

# Makes $TMP/deb-src.sources from the machine's apt sources and refreshes the
# source indexes into the cache's own lists folder (once per run).
prepare_apt() {
  [ -n "$TMP" ] && return 0
  TMP=$(mktemp -d)
  chmod 755 "$TMP"   # apt downloads as its own unprivileged user
  LIST="$TMP/deb-src.sources"
  : > "$LIST"
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    sed -e 's/^Types:.*/Types: deb-src/' "$f" >> "$LIST"
    printf '\n' >> "$LIST"
  done
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    # "deb [signed-by=K] URI SUITE COMP..." as a deb822 stanza.
    awk '$1 == "deb" {
      key = ""; i = 2
      if ($2 ~ /^\[/) {
        while (i <= NF) { o = $i; gsub(/[\[\]]/, "", o)
          if (o ~ /^signed-by=/) { sub(/^signed-by=/, "", o); key = o }
          if ($i ~ /\]$/) { i++; break } ; i++ }
      }
      printf "Types: deb-src\nURIs: %s\nSuites: %s\nComponents:", $i, $(i + 1)
      for (j = i + 2; j <= NF; j++) printf " %s", $j
      printf "\n"; if (key != "") printf "Signed-By: %s\n", key
      printf "\n" }' "$f" >> "$LIST"
  done
  mkdir -p "$CACHE/apt-lists/partial" "$TMP/archives/partial"
  APT_OPTS=(-o "Dir::Etc::sourcelist=$LIST" -o Dir::Etc::sourceparts=-
    -o "Dir::State::Lists=$CACHE/apt-lists" -o "Dir::Cache::archives=$TMP/archives"
    -o Dir::Cache::pkgcache= -o Dir::Cache::srcpkgcache=)
  if [ "$(id -u)" -ne 0 ]; then APT_OPTS+=(-o Debug::NoLocking=1); fi
  apt-get "${APT_OPTS[@]}" -qq update >&2
}

status=0
for pkg in "$@"; do
  line=$(entry "$pkg")
  if [ -z "$line" ]; then
    echo "fetch-sources: no checksum recorded for $pkg in $SUMS" >&2
    status=1; continue
  fi
  tarball=$(echo "$line" | awk '{ print $2 }')
  sum=$(echo "$line" | awk '{ print $3 }')
  if ! sum_ok "$CACHE/$tarball" "$sum"; then
    prepare_apt
    mkdir -p "$TMP/$pkg"
    chmod 777 "$TMP/$pkg"
    # The Debian patch tarball is not needed; only the original must arrive.
    (cd "$TMP/$pkg" && apt-get "${APT_OPTS[@]}" -qq source --download-only "$pkg" >&2) ||
      echo "fetch-sources: apt-get source $pkg reported an error; checking the original tarball" >&2
    if [ -f "$TMP/$pkg/$tarball" ]; then
      if sum_ok "$TMP/$pkg/$tarball" "$sum"; then
        mv "$TMP/$pkg/$tarball" "$CACHE/$tarball"
      else
        echo "fetch-sources: $tarball does not match its recorded SHA-256" \
          "(got $(sha256sum "$TMP/$pkg/$tarball" | cut -d' ' -f1))" >&2
        status=1; continue
      fi
    else
      echo "fetch-sources: $tarball not downloaded (got: $(find "$TMP/$pkg" -mindepth 1 -printf '%f ' 2>/dev/null))" >&2
      status=1; continue
    fi
  fi
  echo "$CACHE/$tarball"
done
exit $status
