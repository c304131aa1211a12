#!/bin/bash
# A whole visit, played as a person would: the splash and its notice page,
# the title menu, the world map, the first stage
# (left early with O), the paths that grow from it, the second stage chosen
# with the cursor, and ESC on the world map, which closes it and ends the
# game with status 0.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin full_run
e2e_start_x
e2e_sound null
e2e_start_game "$SKV_DATA_DIR"
SPLASH_SHOT=splash e2e_to_title
e2e_check title_picture_shown "$E2E_OUT/title.png" -- "title picture fills the screen"

# "Play" opens the world map with only the first stage on it.
e2e_title_choose 1
e2e_wait_for 30 map map_opened

# First stage: its story, then the stage itself, left at once with O.
e2e_start_stage
e2e_wait_for 30 story story_shown 12
e2e_enter_stage stage
bars="$E2E_BAR_END"
e2e_leave_stage

# Back on the map the first stage is done and lines grow from it towards its
# two neighbours; each neighbour appears when its line arrives.
BETWEEN_0_1=38x26+282+396
# shellcheck disable=SC2317  # called through e2e_wait_for
path_at_least() { [ "$(path_pixels "$2" "$BETWEEN_0_1")" -ge "$1" ]; }
e2e_wait_for 40 map-path-begins path_at_least 1
first=$(path_pixels "$E2E_OUT/map-path-begins.png" $BETWEEN_0_1)
e2e_wait_for 20 map-path-grows path_at_least $((first + 4))
e2e_wait_for 30 map-paths node_drawn 1
e2e_wait_for 20 map-paths node_drawn 2
e2e_check node_hidden 3 "$E2E_OUT/map-paths.png" -- "\"Bay of K'llisc\" is not open yet"
e2e_check node_hidden 4 "$E2E_OUT/map-paths.png" -- "\"Forgotten Forest\" is not open yet"
e2e_check cursor_on 0 "$E2E_OUT/map-paths.png" -- "the cursor stays on the first stage"

# The cursor moves between open stages: to "K'llisc Village" on the right,
# then left, past the first stage, to "Trainning Grounds". (Each way only
# one direction is pressed: a press the game sees late may move the cursor
# twice, which must not undo the move.)
e2e_cursor_to 2
e2e_cursor_to 1

# Second stage: "Trainning Grounds", with its own story.
e2e_start_stage
e2e_wait_for 30 story-2 story_shown 5
e2e_enter_stage stage-2
bars="$bars $E2E_BAR_END"
e2e_leave_stage
# The dragon enters each stage with full health: the bar spans x 522 to 618.
# (Orcs may hit it before the first frame is photographed on a slow machine,
# so one of the two stages must show it full.)
# shellcheck disable=SC2016  # $bars is expanded by the eval, when the check runs
e2e_check eval 'case " $bars " in *" 618 "*) true ;; *) false ;; esac' -- \
  "a stage began with the full health bar (bar ends seen: $bars)"

# Its completion opens the way to "Bay of K'llisc".
e2e_wait_for 60 map-after-2 node_drawn 3
e2e_check node_hidden 4 "$E2E_OUT/map-after-2.png" -- "\"Forgotten Forest\" is still closed"

e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_pass
