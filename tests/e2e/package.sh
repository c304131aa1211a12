#!/bin/bash
# Unpacks the Debian package (built by the package_deb test into build-deb/)
# into a private root and starts the game through its launcher there, from an
# unrelated folder: it must find its data, show the title menu and leave
# through "Exit".
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin package
: "${SKV_SOURCE_DIR:?SKV_SOURCE_DIR must name the source folder}"
version=$(dpkg-parsechangelog -l "$SKV_SOURCE_DIR/debian/changelog" -S Version)
DEB="${SKV_DEB_DIR:-$SKV_SOURCE_DIR/build-deb}/skarnvale_${version}_amd64.deb"
[ -f "$DEB" ] || e2e_fail "no package at $DEB (scripts/package-deb.sh builds it)"
ROOT="$E2E_OUT/root"
dpkg-deb -x "$DEB" "$ROOT" || e2e_fail "dpkg-deb -x failed"
e2e_log "unpacked $DEB into $ROOT"

e2e_start_x
e2e_sound null
SKV_DATA_DIR="$ROOT/usr/share/games/skarnvale"
SKV_GAME="$ROOT/usr/games/skarnvale" e2e_start_game /
e2e_to_title
e2e_check title_picture_shown "$E2E_OUT/title.png" -- "title picture found through the packaged launcher"
e2e_title_choose 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"
e2e_pass
