#!/bin/bash
# The sanitizer-built game with "script.dat" cut in half: Play, the first
# stage's intro refuses the damaged story font with "error!", the world map
# closes back to the title, and ESC there ends the game with status 0. Any
# AddressSanitizer, UndefinedBehaviorSanitizer or LeakSanitizer report on the
# way (a leak makes the status non-zero) fails the scenario.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin asan_damaged_script
# Whole allocation stacks: the sound driver's own allocation is made in a
# module the library unloads before the leak check, and only the full stack
# (through install_sound) lets the suppression list recognise it.
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:fast_unwind_on_malloc=0"
RUN="$E2E_OUT/run"
mkdir -p "$RUN"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
size=$(stat -c %s "$RUN/script.dat")
truncate -s $((size / 2)) "$RUN/script.dat"
e2e_check [ "$(stat -c %s "$RUN/script.dat")" -lt "$size" ] -- "script.dat cut in half"

e2e_start_x
e2e_sound null
e2e_start_game "$RUN"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 60 map map_opened
e2e_start_stage
e2e_expect_notice 90 "error!" game
e2e_wait_for 90 title-again title_shown
# ESC held on the title ends the game.
E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
e2e_wait_exit 60
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "the game ends with status 0 (no leak reported)"
e2e_check e2e_not grep -qE "Sanitizer|runtime error" "$E2E_OUT/game.out" -- "no sanitizer report"
e2e_pass
