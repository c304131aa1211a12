#!/bin/bash
# A stage edited in its map-editor file: the first stage's TMX gets a strip
# of one tile painted up its left side (three columns, the 150 rows the
# flight starts over), is converted back with skv_tiled, placed in a copy of
# the run folder as "level1.fmp", and played: the screen shows the strip.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin tiled_stage
TOOL="$SKV_BUILD_DIR/tools/tiled/skv_tiled"
RUN="$E2E_OUT/run"
EDIT="$E2E_OUT/edit"
mkdir -p "$RUN" "$EDIT"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
rm -rf "$RUN/tiled"
cp "$SKV_DATA_DIR"/tiled/level1.tmx "$SKV_DATA_DIR"/tiled/level1.tsx "$SKV_DATA_DIR"/tiled/level1.png "$EDIT"/

# The mapper's edit: rows 600..749, columns 2..4 of the CSV become tile T,
# the map's most common tile among those not found in those rows at columns
# 2..8 (6..8 stay as they were and must not show the strip).
FIRST_ROW=600 LAST_COL=4 FIRST_COL=2
csv_rows() { awk '/<data encoding="csv">/{on=1; next} /<\/data>/{on=0} on' "$1"; }
T=$(csv_rows "$EDIT/level1.tmx" | awk -F, -v r0=$FIRST_ROW -v c0=$FIRST_COL -v c1=8 '
  { for (c = 1; c <= NF; c++) if ($c != "") { n[$c]++; if (NR - 1 >= r0 && c - 1 >= c0 && c - 1 <= c1) there[$c] = 1 } }
  END { best = ""; for (g in n) if (!(g in there) && (best == "" || n[g] > n[best])) best = g; print best }')
e2e_check [ -n "$T" ] -- "tile $T chosen for the strip"
awk -v r0=$FIRST_ROW -v c0=$FIRST_COL -v c1=$LAST_COL -v t="$T" -F, -v OFS=, '
  /<\/data>/ { on = 0 }
  on { if (row >= r0) for (c = c0 + 1; c <= c1 + 1; c++) $c = t; row++ }
  /<data encoding="csv">/ { on = 1; row = 0 }
  { print }' "$EDIT/level1.tmx" >"$EDIT/edited.tmx"
mv "$EDIT/edited.tmx" "$EDIT/level1.tmx"
e2e_check [ "$(csv_rows "$EDIT/level1.tmx" | awk -F, -v t="$T" 'NR > 600 && $3 == t && $5 == t' | wc -l)" = 150 ] -- \
  "the edit painted 150 rows of the strip"
"$TOOL" import "$EDIT/level1.tmx" "$RUN/level1.fmp" >"$E2E_OUT/import.log" 2>&1 || e2e_fail "skv_tiled import failed: $(cat "$E2E_OUT/import.log")"
e2e_check [ "$(cmp -s "$RUN/level1.fmp" "$SKV_DATA_DIR/level1.fmp"; echo $?)" = 1 ] -- "the run folder holds the edited stage"

# What the strip looks like: tile T (number T - 1 in the 16-column picture
# grid) three wide and four high.
id=$((T - 1))
convert "$EDIT/level1.png" -crop "32x32+$((id % 16 * 32))+$(((id / 16) * 32))" +repage "$E2E_OUT/tile.png"
convert -size 96x128 tile:"$E2E_OUT/tile.png" "$E2E_OUT/strip-pattern.png"

# strip_at X FILE: somewhere in the 160 rows below the HUD, at X..X+95, the
# screen shows the strip (the map scrolls, so every vertical phase is tried),
# with at most a tenth of its pixels hidden by clouds, shots or orcs.
# shellcheck disable=SC2317  # called through e2e_wait_for
strip_at() {
  local region="$E2E_OUT/strip-region.png" row differ
  convert "$2" -crop "96x160+$1+160" +repage "$region"
  row=$(compare -metric RMSE -dissimilarity-threshold 1 -subimage-search "$region" "$E2E_OUT/strip-pattern.png" \
    null: 2>&1 | sed -n 's/.*@ 0,\([0-9]*\).*/\1/p')
  [ -n "$row" ] || return 1
  differ=$(e2e_differ "$region" "96x128+0+$row" "$E2E_OUT/strip-pattern.png" 96x128+0+0)
  e2e_log "strip at x $1: $differ of 12288 pixels differ at its best place (row $row)"
  [ -n "$differ" ] && [ "$differ" -lt 1229 ]
}

e2e_start_x
e2e_sound null
e2e_start_game "$RUN"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage-start
e2e_wait_for 20 strip strip_at 64
e2e_check e2e_not strip_at 192 "$E2E_OUT/strip.png" -- "columns 6 to 8, left as they were, do not show the strip"

e2e_leave_stage
e2e_wait_for 30 map-after map_shown
e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_pass
