#!/bin/bash
# The game pauses while the player looks away: started in a window, the
# first stage reached, another program's window given the focus. "Paused"
# lies over the stage and the stage stands still (two pictures 3 s apart are
# the same); with the focus back the stage moves again and the time away
# cost no health. Before that, on the title: Alt held while the focus goes
# to the other window and let go there; back in the game, Alt+Enter still
# switches to full screen and back, and the title has chosen nothing.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin pause
E2E_SCREEN=1024x768x24 e2e_start_x
e2e_sound null
e2e_start_game "$SKV_DATA_DIR" --window
export E2E_VIEW=640x480+0+0
xdotool mousemove 320 240
e2e_answer_startup_notes
e2e_skip_splash

# A second program beside the game's window takes the focus (there is no
# window manager: xdotool hands the focus over, as a click would).
xlogo -geometry 200x200+760+100 >/dev/null 2>&1 &
OTHER_PID=$!
other=""
for i in $(seq 1 50); do
  other=$(xdotool search --class xlogo 2>/dev/null | head -n1)
  [ -n "$other" ] && break
  sleep 0.1
done
[ -n "$other" ] || e2e_fail "the second program's window did not appear"
game=$(xdotool search --name '^Skarnvale$' | head -n1)
[ -n "$game" ] || e2e_fail "no window named Skarnvale"

alt_enter() { xdotool keydown alt keydown Return sleep 0.12 keyup Return keyup alt; }
# Alt held as the focus goes, let go in the other window: the game never sees
# it released. Back with the focus, Alt+Enter must still be Alt+Enter.
xdotool keydown alt
xdotool windowfocus "$other"
e2e_wait_for 10 title-paused paused_shown
xdotool keyup alt
xdotool windowfocus "$game"
e2e_wait_for 10 title-back title_shown
# Full screen: the title in the middle of the 1024 x 768 screen; then the
# window again, with "Play" still highlighted.
alt_enter
E2E_VIEW=640x480+192+144 e2e_wait_for 10 title-full-screen title_shown
alt_enter
e2e_wait_for 10 title-window-again title_shown

e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage
xdotool windowfocus "$other"
e2e_wait_for 10 paused paused_shown
health=$(hud_bar_end "$E2E_OUT/paused.png")
sleep 3
later=$(e2e_shot paused-later) || e2e_fail "could not photograph the screen"
e2e_check [ "$(e2e_differ "$E2E_OUT/paused.png" 640x480+0+0 "$later")" = 0 ] -- \
  "the stage stands still while the game has no focus (health bar to x $health)"

xdotool windowfocus "$game"
# shellcheck disable=SC2317  # called through e2e_wait_for
moving() { e2e_not paused_shown "$1" && [ "$(e2e_differ "$1" 640x480+0+0 "$later")" -gt 1000 ]; }
e2e_wait_for 10 resumed moving
e2e_check [ "$(hud_bar_end "$E2E_OUT/resumed.png")" = "$health" ] -- "no health was lost while away"
kill "$OTHER_PID" 2>/dev/null
e2e_leave_stage
E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
e2e_wait_exit 20
e2e_pass
