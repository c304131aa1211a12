#!/bin/bash
# Installs the game into a fresh prefix, checks the installed layout, and
# starts the game through the installed launcher from an unrelated folder:
# it must find its data, show the title menu and leave through "Exit".
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin install
: "${SKV_BUILD_DIR:?SKV_BUILD_DIR must name the build folder}"
PREFIX="$E2E_OUT/prefix"
cmake --install "$SKV_BUILD_DIR" --prefix "$PREFIX" >"$E2E_OUT/install.log" 2>&1 ||
  e2e_fail "cmake --install failed (see install.log)"
e2e_log "installed into $PREFIX"

# ------------------------------------------------------------ the layout
e2e_check [ -x "$PREFIX/bin/skarnvale" ] -- "launcher bin/skarnvale is executable"
e2e_check [ -x "$PREFIX/libexec/skarnvale/skarnvale" ] -- "game libexec/skarnvale/skarnvale is executable"
e2e_check cmp -s "$SKV_GAME" "$PREFIX/libexec/skarnvale/skarnvale" -- "installed game is the built one"
e2e_check [ -x "$PREFIX/bin/skv_tiled" ] -- "the map converter bin/skv_tiled is executable"

# Every file of the run folder is installed unchanged, apart from the icons
# (they go to the icon theme) and preview pictures; the map editor's
# starting maps keep their tileset pictures.
missing=0
while IFS= read -r rel; do
  if ! cmp -s "$SKV_DATA_DIR/$rel" "$PREFIX/share/skarnvale/$rel"; then
    e2e_log "data file not installed as built: $rel"
    missing=$((missing + 1))
  fi
done < <(cd "$SKV_DATA_DIR" && find . -type f \( ! -name '*.png' -o -path './tiled/*' \) ! -path './icons/*' | sed 's|^\./||')
e2e_check [ "$missing" = 0 ] -- "every data file is installed under share/skarnvale"
e2e_check [ "$(cd "$SKV_DATA_DIR" && find . -type f \( ! -name '*.png' -o -path './tiled/*' \) ! -path './icons/*' | wc -l)" \
  = "$(cd "$PREFIX/share/skarnvale" && find . -type f | wc -l)" ] -- "nothing else is installed with the data"

e2e_check grep -q "^## Project" "$PREFIX/share/doc/skarnvale/README.md" -- \
  "the README the opening notice names is installed, with its Project section"
DESKTOP="$PREFIX/share/applications/skarnvale.desktop"
e2e_check [ -f "$DESKTOP" ] -- "desktop entry installed"
e2e_check grep -qx "Exec=$PREFIX/bin/skarnvale" "$DESKTOP" -- "desktop entry starts the installed launcher"
e2e_check grep -qx "Icon=skarnvale" "$DESKTOP" -- "desktop entry names the icon"
if command -v desktop-file-validate >/dev/null 2>&1; then
  e2e_check desktop-file-validate "$DESKTOP" -- "desktop entry is valid"
fi

# A prefix with a space in it: the desktop entry quotes the launcher's path.
SPACED="$E2E_OUT/pre fix"
cmake --install "$SKV_BUILD_DIR" --prefix "$SPACED" >>"$E2E_OUT/install.log" 2>&1 ||
  e2e_fail "cmake --install into a prefix with a space failed (see install.log)"
e2e_check grep -qx "Exec=\"$SPACED/bin/skarnvale\"" "$SPACED/share/applications/skarnvale.desktop" \
  -- "desktop entry quotes a launcher path with a space"
if command -v desktop-file-validate >/dev/null 2>&1; then
  e2e_check desktop-file-validate "$SPACED/share/applications/skarnvale.desktop" -- "that entry is valid"
fi
rm -rf "$SPACED"

# Icons: each size the content tools draw lands in the icon theme, as a PNG
# of that size.
icons=0
for built in "$SKV_DATA_DIR"/icons/skarnvale-*.png; do
  [ -f "$built" ] || continue
  size=${built##*-}
  size=${size%.png}
  installed="$PREFIX/share/icons/hicolor/${size}x${size}/apps/skarnvale.png"
  e2e_check cmp -s "$built" "$installed" -- "icon ${size}x${size} installed"
  e2e_check [ "$(identify -format %wx%h "$installed")" = "${size}x${size}" ] -- "icon ${size}x${size} has its size"
  icons=$((icons + 1))
done
if [ -f "$SKV_SOURCE_DIR/tools/art/CMakeLists.txt" ]; then
  e2e_check [ "$icons" -ge 1 ] -- "the content tools drew icons and they are installed"
fi

# ------------------------------------------------------------ the launcher
e2e_start_x
e2e_sound null
SKV_GAME="$PREFIX/bin/skarnvale" e2e_start_game /
e2e_to_title
e2e_check title_picture_shown "$E2E_OUT/title.png" -- "title picture found through the launcher"
e2e_title_choose 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"
e2e_pass
