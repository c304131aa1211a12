#!/bin/bash
# A stage played with the fire key held: the HUD stands at its fixed place
# with full health, shots fly, enemies burn and the score rises above 0.
# The game's sound goes to a file: three seconds of breathing fire carry the
# effects' energy over the music, the next three without firing do not.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin stage_fire
e2e_start_x
e2e_sound file
e2e_start_game "$SKV_DATA_DIR"
e2e_to_title
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage-start
hud_digits "$E2E_OUT/stage-start.png" "$E2E_OUT/score-zero.png"

# Three seconds of fire, then three without.
xdotool mousemove 320 240
fire_from=$(e2e_sound_mark)
xdotool keydown Control_L sleep 3 keyup Control_L
fire_to=$(e2e_sound_mark)
sleep 3
quiet_to=$(e2e_sound_mark)
e2e_log "recording: fire $fire_from..$fire_to, quiet ..$quiet_to bytes"
# The music is encoded without anything above 17 kHz; the effects' breath
# and crackle reach up there, so that band is the effects' alone.
# The quiet stretch leaves out its first quarter: the last breath's tail and
# what the driver had mixed ahead when the key was let go. The enemies' ice,
# and ice striking the dragon, reach up there too, but only now and then:
# the breath is heard through the whole of its stretch, so each stretch is
# measured by its middle tenth of a second, not by its loudest moments.
quiet_from=$((fire_to + (quiet_to - fire_to) / 4))
fire_high=$(e2e_sound_median_rms "$fire_from" "$fire_to" sinc 18000-21000)
quiet_high=$(e2e_sound_median_rms "$quiet_from" "$quiet_to" sinc 18000-21000)
all_fire=$(e2e_sound_rms "$fire_from" "$fire_to")
e2e_log "RMS above 18 kHz (median of tenths of a second): firing $fire_high, not firing $quiet_high; whole mix while firing $all_fire"
e2e_check awk -v f="$fire_high" -v q="$quiet_high" 'BEGIN { exit !(f > 3 * q && f > 0.0003) }' \
  -- "breathing fire is heard over the music, and not once the fire key is let go"

# Fire held (left Control), weaving left and right over the ground below.
e2e_fire_until_scored Control_L
# The README's picture of the stage: fire held again, its shots in flight.
xdotool keydown Control_L sleep 0.4
e2e_shot stage-shots >/dev/null
xdotool keyup Control_L
e2e_check [ -n "$E2E_SCORED" ] -- "the score rose above 0 while firing"
e2e_check hud_panels_shown "$E2E_OUT/stage-firing.png" -- "the HUD keeps its place while playing"

e2e_leave_stage
e2e_wait_for 30 map-after map_shown
e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_pass
