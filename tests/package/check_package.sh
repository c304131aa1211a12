#!/bin/bash
# Builds the Debian package and checks it with Debian's tools: lintian
# (errors and warnings fail; overrides live in debian/ with their reasons),
# the AppStream and desktop-entry validators, and the manual page rendered
# with warnings on. Then what only this project knows: the version agrees
# everywhere, the data folder holds what the build generates, the README the
# opening notice names is there, and the metainfo names no web address.
set -Eeuo pipefail
trap 'echo "check_package.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
: "${SKV_SOURCE_DIR:?}" "${SKV_DATA_DIR:?}" "${SKV_PROJECT_VERSION:?}"
OUT="${SKV_DEB_DIR:-$SKV_SOURCE_DIR/build-deb}"
fail() { echo "FAIL: $*"; exit 1; }
mkdir -p "$OUT"

"$SKV_SOURCE_DIR/scripts/package-deb.sh" >"$OUT/package.log" 2>&1 ||
  { tail -n 40 "$OUT/package.log"; fail "package build failed (log: $OUT/package.log)"; }
VERSION=$(dpkg-parsechangelog -l "$SKV_SOURCE_DIR/debian/changelog" -S Version)
ARCH=$(dpkg --print-architecture)
DEB="$OUT/skarnvale_${VERSION}_${ARCH}.deb"
[ -f "$DEB" ] || fail "no $DEB"

lint=ok
# Every tag is listed (down to pedantic ones, and the overridden ones with
# their reasons); only errors and warnings fail.
lintian --fail-on error,warning --display-info --display-experimental --pedantic \
  --show-overrides "$DEB" "$OUT/skarnvale_${VERSION}_${ARCH}.changes" >"$OUT/lintian.log" 2>&1 ||
  lint=failed
grep -v 'running with root privileges' "$OUT/lintian.log" || true
[ "$lint" = ok ] || fail "lintian reports errors or warnings"

ROOT=$(mktemp -d)
trap 'rm -rf "$ROOT"' EXIT
dpkg-deb -x "$DEB" "$ROOT"
META="$ROOT/usr/share/metainfo/org.skarnvale.Skarnvale.metainfo.xml"
appstreamcli validate --no-net "$META" || fail "metainfo does not validate"
desktop-file-validate "$ROOT/usr/share/applications/skarnvale.desktop" || fail "desktop entry invalid"
grep -qx 'Exec=/usr/games/skarnvale' "$ROOT/usr/share/applications/skarnvale.desktop" ||
  fail "desktop entry does not start /usr/games/skarnvale"
for page in man6/skarnvale.6.gz man1/skv_tiled.1.gz; do
  warnings=$(MANWIDTH=80 man --warnings -l "$ROOT/usr/share/man/$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "manual page $page warnings: $warnings"
done

# One version: the changelog's, CMake's, the newest metainfo release's and
# the manual page's.
release=$(sed -n 's/.*<release version="\([^"]*\)".*/\1/p' "$META" | head -n1)
manual=$(zcat "$ROOT/usr/share/man/man6/skarnvale.6.gz" | sed -n 's/^\.TH .*"Skarnvale \([^"]*\)".*/\1/p')
if [ "$VERSION" != "$SKV_PROJECT_VERSION" ] || [ "$release" != "$VERSION" ] || [ "$manual" != "$VERSION" ]; then
  fail "versions differ: changelog $VERSION, CMake $SKV_PROJECT_VERSION, metainfo $release, manual $manual"
fi

# The packaged data folder holds exactly the game's data files (pictures,
# maps, music, font; the icons and previews go elsewhere or nowhere).
data_names() { (cd "$1" && find . -type f ! -name '*.png' ! -path './icons/*' | sort); }
[ "$(data_names "$SKV_DATA_DIR")" = "$(data_names "$ROOT/usr/share/games/skarnvale")" ] ||
  fail "packaged data files differ from the build's: $(data_names "$ROOT/usr/share/games/skarnvale" | tr '\n' ' ')"
[ -x "$ROOT/usr/lib/games/skarnvale/skarnvale" ] || fail "no game binary under /usr/lib/games"

# The opening notice sends the player to the README under share/doc.
named=$(sed -n 's|.*\(share/doc/skarnvale/[^" ]*\).*|\1|p' "$SKV_SOURCE_DIR/screens/splash.cpp")
[ -n "$named" ] || fail "the opening notice names no README"
[ -f "$ROOT/usr/$named" ] || fail "the opening notice names /usr/$named, which the package lacks"
# No invented web host: the project has none yet.
! grep -n 'https\?://' "$META" || fail "the metainfo names a web address"
echo "package $DEB checked: $(dpkg-deb -c "$DEB" | wc -l) entries"
