#!/bin/bash
# A run folder without "hut.bmp" and with its effects file cut in half: the
# damaged effects are named once in the game's own box, and the game plays
# on without them; the first stage cannot populate itself; the game leaves
# graphics mode, names the missing file in the library's message
# box, which takes a click, and ends with status 0. The sanitizer build
# plays it too (e2e_asan_missing_picture): there the way out must leave no
# AddressSanitizer, UndefinedBehaviorSanitizer or LeakSanitizer report (a
# leak also makes the status non-zero).
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin missing_file
# Whole allocation stacks, so the sanitizer's suppression list recognises
# the sound driver's own allocation.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0"
RUN="$E2E_OUT/run"
mkdir -p "$RUN"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
rm -f "$RUN/hut.bmp"
e2e_check [ ! -e "$RUN/hut.bmp" ] -- "run folder copied without hut.bmp"
truncate -s "$(( $(stat -c %s "$RUN/effects.dat") / 2 ))" "$RUN/effects.dat"

e2e_start_x
e2e_sound null
e2e_start_game "$RUN"
e2e_answer_startup_notes
e2e_expect_notice 30 "ERROR:  Failed to load sound effects:  effects.dat.  Playing on without them." game
e2e_wait_for 90 title title_shown
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
# The game left graphics mode, so the library's box takes a click.
e2e_expect_notice 90 "ERROR:  Could not find/open 'hut.bmp'" library
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "the game ends with status 0"
e2e_check e2e_not grep -qE "Sanitizer|runtime error" "$E2E_OUT/game.out" -- "no sanitizer report"
e2e_pass
