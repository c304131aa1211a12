#!/bin/bash
# A first stage whose map is cut short, reached the quick way: the start-up
# note answered with one Enter, the splash skipped phase by phase with ESC,
# the title's highlight moved with the arrow keys.
# The map does not load: the game leaves graphics mode, names the map in the
# library's message box, which takes a click, and ends with status 0.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin broken_map
RUN="$E2E_OUT/run"
mkdir -p "$RUN"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
truncate -s 100 "$RUN/level1.fmp"

e2e_start_x
e2e_sound null
e2e_start_game "$RUN"
e2e_answer_startup_notes
started=$(date +%s)
e2e_skip_splash
e2e_check [ $(($(date +%s) - started)) -lt 16 ] -- "ESC skipped the splash ($(($(date +%s) - started)) s to the title)"
# The title answers the arrow keys after the skip: "Exit" first, then on
# to "Play" (the menu wraps around).
e2e_title_select 3
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_expect_notice 90 "ERROR:  Failed to load map:  level1.fmp" library
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "the game ends with status 0"
e2e_pass
