#!/bin/bash
# A stage lost: the dragon stays low over "Trainning Grounds", where the orcs
# fire fastest, and never shoots back. The health bar shrinks, the game-over
# picture appears, ESC leaves it for the title menu, and "Exit" ends the game
# with status 0.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin game_over
e2e_start_x
e2e_sound null
e2e_start_game "$SKV_DATA_DIR"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 30 map map_opened

# The first stage, left at once, opens the way to the second.
e2e_start_stage
e2e_enter_stage stage-1
e2e_leave_stage
e2e_wait_for 60 map-open-1 node_drawn 1
e2e_cursor_to 1
e2e_start_stage
e2e_enter_stage stage-2

# Down held: the dragon sinks to the bottom of the view and slows to the
# lowest speed, so the stage passes slowly under the orcs' fire.
xdotool keydown Down
hurt=""
deadline=$(($(date +%s) + 240))
while [ "$(date +%s)" -lt "$deadline" ]; do
  e2e_game_running || { xdotool keyup Down; e2e_fail "the game ended during the stage"; }
  shot=$(e2e_shot stage-low) || e2e_fail "could not photograph the screen"
  if [ -z "$hurt" ] && hud_panels_shown "$shot" && [ "$(health_bar "$shot")" -lt 679 ]; then
    hurt=yes
    cp "$shot" "$E2E_OUT/stage-hurt.png"
    e2e_log "seen: health bar shorter than full"
  fi
  gameover_shown "$shot" && break
  sleep 1
done
xdotool keyup Down
e2e_check [ -n "$hurt" ] -- "enemy fire shortened the health bar"
e2e_check gameover_shown "$shot" -- "the game-over picture appears when the health runs out"
cp "$shot" "$E2E_OUT/gameover.png"

# ESC leaves the game-over picture; the world map closes and the title opens.
e2e_tap_until 30 gameover-left Escape e2e_not gameover_shown
e2e_wait_for 40 title-again title_shown
e2e_title_choose 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"
e2e_pass
