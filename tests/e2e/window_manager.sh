#!/bin/bash
# The game on a desktop with a window manager (openbox): its window carries
# the game's name, class and icon, so the dock can match it to the desktop
# entry; the desktop's close request (what the close button sends, here
# wmctrl -c) ends the game with status 0 within 3 s, on the title and in the
# first stage.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin window_manager
E2E_SCREEN=1024x768x24 e2e_start_x
e2e_start_wm
e2e_sound null

# e2e_open_window: starts the game in a 640 x 480 window, waits for openbox
# to show it, points E2E_VIEW at the picture inside its frame and the
# pointer into it, as a person looks at the window and moves the mouse there.
GAME_WINDOW=""
e2e_open_window() {
  e2e_start_game "$SKV_DATA_DIR" --window --scale 1
  GAME_WINDOW=""
  for _ in $(seq 1 100); do
    GAME_WINDOW=$(wmctrl -lx 2>/dev/null | awk '$3 == "skarnvale.Skarnvale" { print $1; exit }')
    [ -n "$GAME_WINDOW" ] && break
    sleep 0.1
  done
  [ -n "$GAME_WINDOW" ] || e2e_fail "no window of class skarnvale.Skarnvale appeared (wmctrl -lx)"
  local geometry
  geometry=$(xwininfo -id "$GAME_WINDOW" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    END { print x "+" y }')
  export E2E_VIEW="640x480+$geometry"
  xdotool mousemove "$((${geometry%+*} + 320))" "$((${geometry#*+} + 240))"
  e2e_log "the game's window $GAME_WINDOW shows its picture at $E2E_VIEW"
}

# e2e_close_window: the desktop asks the window to close; the game must end
# with status 0 within 3 s.
e2e_close_window() {
  wmctrl -i -c "$GAME_WINDOW"
  e2e_wait_exit 3
  e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "closing the window on the $1 ends the game with status 0"
}

e2e_open_window
props=$(xprop -id "$GAME_WINDOW" WM_NAME WM_CLASS _NET_WM_ICON)
printf '%s\n' "$props" | grep -E '^(WM_|_NET_)' >"$E2E_OUT/xprop.txt"
e2e_check grep -qx 'WM_NAME(STRING) = "Skarnvale"' "$E2E_OUT/xprop.txt" -- "the window's title is Skarnvale"
e2e_check grep -qx 'WM_CLASS(STRING) = "skarnvale", "Skarnvale"' "$E2E_OUT/xprop.txt" -- \
  "its class is skarnvale, Skarnvale"
icons=$(printf '%s\n' "$props" | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
e2e_check [ "$icons" = "Icon (16 x 16) Icon (32 x 32) Icon (48 x 48) Icon (64 x 64) " ] -- \
  "its icon comes in four sizes: $icons"
e2e_answer_startup_notes
e2e_skip_splash
e2e_close_window title

E2E_MESSAGES_READ=0
e2e_open_window
e2e_answer_startup_notes
e2e_skip_splash
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage
e2e_close_window "first stage"
e2e_pass
