#!/bin/bash
# The sanitizer-built game, music playing, with "hut.bmp" missing: the first
# stage cannot populate itself, the game names the file and ends through its
# one way out (music, tick, library). Status 0 and no AddressSanitizer,
# UndefinedBehaviorSanitizer or LeakSanitizer report.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin asan_missing_picture
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0"
RUN="$E2E_OUT/run"
mkdir -p "$RUN"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
rm -f "$RUN/hut.bmp"
e2e_check [ ! -e "$RUN/hut.bmp" ] -- "run folder copied without hut.bmp"

e2e_start_x
e2e_sound null
e2e_start_game "$RUN"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 60 map map_opened
e2e_start_stage
e2e_expect_notice 120 "ERROR:  Could not find/open 'hut.bmp'" library
e2e_wait_exit 60
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "the game ends with status 0 (no leak reported)"
e2e_check e2e_not grep -qE "Sanitizer|runtime error" "$E2E_OUT/game.out" -- "no sanitizer report"
e2e_pass
