#!/bin/bash
# The Options screen and the settings it keeps, over four runs on a
# 1024 x 768 desktop (full screen shows the picture in the middle, a window
# is 640 x 480):
# 1. a run that never opens Options writes no settings file; the title's
#    music is recorded at its full volume;
# 2. Options opened from the title with keys alone: the music turned down to
#    5, the display turned to a window (at once), fire bound to Space; back
#    on the title and out by "Exit"; the file holds what was chosen;
# 3. the game opens in its window, the title's music is quieter than in the
#    first run, Space fires in the first stage (the score rises), P pauses it
#    (two pictures 3 s apart are the same) and P again goes on;
# 4. a damaged settings file: one notice naming it, the defaults (full
#    screen), and the old bytes kept in settings.ini.bad.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin options
E2E_SCREEN=1024x768x24 e2e_start_x
SETTINGS="$E2E_OUT/config/skarnvale/settings.ini"
FULL_VIEW=640x480+192+144
WINDOW_VIEW=640x480+0+0

# row_selected Y FILE: the row at y Y is written in red.
row_selected() { [ "$(e2e_count "$2" 120x8+332+"$1" $RED)" -gt 20 ]; }
# game_window_size: the game's shown window as WIDTHxHEIGHT (in full screen
# the library shows a window of the game's class over the whole screen).
game_window_size() {
  local win
  win=$(xdotool search --onlyvisible --class '^Skarnvale$' 2>/dev/null | head -n1)
  [ -n "$win" ] && xwininfo -id "$win" | awk '/^  Width:/ { w = $2 } /^  Height:/ { h = $2 } END { print w "x" h }'
}
# title_music_rms: three seconds of the title's music, from one second after
# the title has shown.
title_music_rms() {
  sleep 1
  local from to
  from=$(e2e_sound_mark)
  sleep 3
  to=$(e2e_sound_mark)
  e2e_sound_rms "$from" "$to"
}
# select_row Y NAME: Down until the row at y Y is selected, as a person
# taps and watches.
select_row() {
  local shot before=""
  for _ in $(seq 1 30); do
    shot=$(e2e_shot "$2") || e2e_fail "could not photograph the screen"
    row_selected "$1" "$shot" && { e2e_log "seen: $2 selected"; return 0; }
    e2e_tap_adjust "$before" "$(md5sum <"$shot")"
    before=$(md5sum <"$shot")
    e2e_tap_and_look Down
  done
  e2e_fail "the row at y $1 ($2) was never selected"
}
quit_by_exit() {
  e2e_title_choose 3
  e2e_wait_exit 20
  e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"
}

# ---------------------------------------------------------------- 1
e2e_sound file
export E2E_VIEW=$FULL_VIEW
e2e_start_game "$SKV_DATA_DIR"
xdotool mousemove 512 384
e2e_answer_startup_notes
e2e_skip_splash
loud=$(title_music_rms)
quit_by_exit
e2e_check [ ! -e "$E2E_OUT/config/skarnvale" ] -- "a run that never opens Options writes no settings"

# ---------------------------------------------------------------- 2
E2E_MESSAGES_READ=0
e2e_start_game "$SKV_DATA_DIR"
e2e_answer_startup_notes
e2e_skip_splash
e2e_title_select 2
e2e_hold_until 30 options Return options_shown
# The music row is selected first: Left until its bar shows 5 of 10.
before=""
for _ in $(seq 1 40); do
  shot=$(e2e_shot music) || e2e_fail "could not photograph the screen"
  steps=$(music_steps "$shot")
  [ "$steps" -le 5 ] && break
  e2e_tap_adjust "$before" "$steps"
  before=$steps
  e2e_tap_and_look Left
done
e2e_check [ "$steps" = 5 ] -- "the music's bar stands at 5 of 10"
select_row 200 display
e2e_key Right 0.08
for _ in $(seq 1 50); do [ "$(game_window_size)" = 640x480 ] && break; sleep 0.1; done
e2e_check [ "$(game_window_size)" = 640x480 ] -- "Display turns the game into a 640 x 480 window at once"
export E2E_VIEW=$WINDOW_VIEW
xdotool mousemove 320 240
e2e_wait_for 10 options-in-window options_shown
select_row 268 fire
e2e_key Return 0.08
sleep 0.5
e2e_key space 0.1
sleep 0.5
e2e_key Escape 0.15
e2e_wait_for 10 title-after-options title_selected 2
quit_by_exit
e2e_check [ -f "$SETTINGS" ] -- "leaving Options after a change writes $SETTINGS"
cp "$SETTINGS" "$E2E_OUT/settings-written.ini"
for line in "music_volume = 5" "display = window" "key_fire = Space" "key_pause = P"; do
  e2e_check grep -qx "$line" "$SETTINGS" -- "the settings hold \"$line\""
done

# ---------------------------------------------------------------- 3
E2E_MESSAGES_READ=0
e2e_start_game "$SKV_DATA_DIR"
e2e_answer_startup_notes
e2e_skip_splash
e2e_check [ "$(game_window_size)" = 640x480 ] -- "the next start opens the 640 x 480 window"
quiet=$(title_music_rms)
e2e_log "title music RMS: $loud at full volume, $quiet at 5 of 10"
e2e_check awk -v l="$loud" -v q="$quiet" 'BEGIN { exit !(l > 0.001 && q < 0.5 * l) }' -- \
  "the music plays quieter than before"
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage-start
hud_digits "$E2E_OUT/stage-start.png" "$E2E_OUT/score-zero.png"
e2e_fire_until_scored space
e2e_check [ -n "$E2E_SCORED" ] -- "Space fires: the score rose above 0"

e2e_tap_until 10 paused p paused_shown
sleep 0.5
first=$(e2e_shot paused-first) || e2e_fail "could not photograph the screen"
sleep 3
later=$(e2e_shot paused-later) || e2e_fail "could not photograph the screen"
e2e_check [ "$(e2e_differ "$first" 640x480+0+0 "$later")" = 0 ] -- "P holds the stage still"
# shellcheck disable=SC2317  # called through e2e_tap_until
moving() { e2e_not paused_shown "$1" && [ "$(e2e_differ "$1" 640x480+0+0 "$later")" -gt 1000 ]; }
e2e_tap_until 10 resumed p moving
e2e_leave_stage
E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
e2e_wait_exit 20

# ---------------------------------------------------------------- 4
printf 'music_volume = 3\nthis line is no setting\n\001\002' >"$SETTINGS"
cp "$SETTINGS" "$E2E_OUT/settings-damaged.ini"
E2E_MESSAGES_READ=0
export E2E_VIEW=$FULL_VIEW
e2e_start_game "$SKV_DATA_DIR"
xdotool mousemove 512 384
e2e_answer_startup_notes
e2e_expect_notice 30 "NOTE:  The settings in $SETTINGS could not be read.  The game starts with its defaults; the old file is kept as $SETTINGS.bad." game
e2e_wait_for 60 title-defaults title_shown
e2e_check [ "$(game_window_size)" = 1024x768 ] -- "the defaults show the game full screen"
e2e_check cmp -s "$E2E_OUT/settings-damaged.ini" "$SETTINGS.bad" -- "settings.ini.bad holds the damaged file's bytes"
e2e_check [ ! -e "$SETTINGS" ] -- "nothing is written until an option changes"
E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
e2e_wait_exit 20
e2e_pass
