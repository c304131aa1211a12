#!/bin/bash
# Copies the screenshots the scenarios took into docs/images/ for the README.
# Run after `ctest -L e2e`; takes the build folder as its argument (default
# build/).
set -Eeuo pipefail
trap 'echo "readme_images.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
SHOTS="${1:-$ROOT/build}/e2e"
DEST="$ROOT/docs/images"
mkdir -p "$DEST"
copy() {
  [ -f "$SHOTS/$1" ] || { echo "missing screenshot $SHOTS/$1 (run ctest -L e2e first)" >&2; exit 1; }
  cp "$SHOTS/$1" "$DEST/$2"
  echo "$DEST/$2"
}
copy full_run/notice-1.png shot-notice.png
copy full_run/title.png shot-title.png
copy full_run/map-paths.png shot-world-map.png
copy full_run/story.png shot-story.png
copy stage_fire/stage-shots.png shot-stage.png
copy game_over/gameover.png shot-game-over.png
copy desktop/title-screen.png shot-desktop-1920x1080.png
# The first stage's start as the map editor draws it (its own renderer,
# headless), at half size.
FULL=$(mktemp --suffix=.png)
QT_QPA_PLATFORM=offscreen tmxrasterizer --scale 0.5 "${1:-$ROOT/build}/data/tiled/level1.tmx" "$FULL" 2>/dev/null
convert "$FULL" -gravity south -crop 640x360+0+0 +repage "$DEST/tiled-level1.png"
rm -f "$FULL"
echo "$DEST/tiled-level1.png"
