#!/bin/bash
# A stage played with the fire key held: the HUD stands at its fixed place
# with full health, shots fly, enemies burn and the score rises above 0.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin stage_fire
e2e_start_x
e2e_sound null
e2e_start_game "$SKV_DATA_DIR"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage-start
hud_digits "$E2E_OUT/stage-start.png" "$E2E_OUT/score-zero.png"

# Fire held (left Control), weaving left and right over the ground below.
scored=""
deadline=$(($(date +%s) + 90))
xdotool keydown Control_L
side=Left
while [ "$(date +%s)" -lt "$deadline" ]; do
  e2e_key "$side" 0.8
  [ "$side" = Left ] && side=Right || side=Left
  e2e_key "$side" 0.8
  shot=$(e2e_shot stage-firing) || e2e_fail "could not photograph the screen"
  cp "$shot" "$E2E_OUT/stage-firing-$(date +%s).png"
  e2e_game_running || e2e_fail "the game ended during the stage"
  if score_changed "$E2E_OUT/score-zero.png" "$shot"; then scored=yes; break; fi
done
sleep 0.4
e2e_shot stage-shots >/dev/null
xdotool keyup Control_L
e2e_check [ -n "$scored" ] -- "the score rose above 0 while firing"
e2e_check hud_panels_shown "$E2E_OUT/stage-firing.png" -- "the HUD keeps its place while playing"

e2e_leave_stage
e2e_wait_for 30 map-after map_shown
e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_pass
