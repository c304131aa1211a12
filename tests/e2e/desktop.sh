#!/bin/bash
# Today's desktops. The title on a 640 x 480 screen is the reference; on a
# 1920 x 1080 screen the same title fills 1280 x 960 in the middle, every game
# pixel a 2 x 2 block, on black. Alt+Enter gives a window and Alt+Enter again
# full screen, and the title still answers Down and Enter. "--window --scale 1"
# gives a 640 x 480 window; a scale the desktop cannot hold is refused before
# any window opens.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin desktop
BIG=1920x1080x24
SCALED=1280x960+320+60

# game_window_size: the size of the game's own top-level window (WxH).
game_window_size() {
  xwininfo -root -children 2>/dev/null | sed -n 's/^ *0x[0-9a-f]* "Skarnvale": .*  \([0-9]*x[0-9]*\)+.*/\1/p' | head -n1
}
window_is() { [ "$(game_window_size)" = "$1" ]; }
e2e_wait_window() {
  local i
  for i in $(seq 1 50); do window_is "$1" && { e2e_log "seen: a $1 game window"; return 0; }; sleep 0.2; done
  e2e_fail "the game's window is $(game_window_size), expected $1"
}
alt_enter() { xdotool keydown alt keydown Return sleep 0.12 keyup Return keyup alt; }

# The reference: the title as a 640 x 480 screen shows it; "Exit" ends it.
e2e_start_x
e2e_start_game "$SKV_DATA_DIR"
e2e_answer_startup_notes
e2e_skip_splash
cp "$E2E_OUT/title.png" "$E2E_OUT/title-640.png"
e2e_title_choose 3
e2e_wait_exit 20
e2e_stop_x

E2E_SCREEN=$BIG e2e_start_x
xdotool mousemove 960 540
# A scale the desktop cannot hold: one line, status 2, no window.
e2e_start_game "$SKV_DATA_DIR" --scale 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 2 ] -- "--scale 3 on 1920 x 1080 ends with status 2"
e2e_check [ "$(e2e_message_count)" = 1 ] -- "and one line: $(e2e_message 1)"
E2E_MESSAGES_READ=0

# Full screen at the desktop's size: the title scaled by 2, pixel for pixel.
e2e_start_game "$SKV_DATA_DIR"
export E2E_VIEW=$SCALED
e2e_answer_startup_notes
e2e_skip_splash
convert "$E2E_OUT/title-640.png" -sample 200% "$E2E_OUT/title-640-2x.png"
shot="$E2E_OUT/title-screen.png"
e2e_check [ "$(e2e_differ "$shot" $SCALED "$E2E_OUT/title-640-2x.png" 1280x960+0+0)" = 0 ] -- \
  "the 1920 x 1080 title is the 640 x 480 one with each pixel a 2 x 2 block, at (320, 60)"
e2e_check [ "$(e2e_black_counts "$shot" 320x1080+0+0 320x1080+1600+0 1280x60+320+0 1280x60+320+1020 | sort -u)" = \
  "$(printf '%s\n' 76800 345600 | sort -u)" ] -- "black all around the picture"

# Alt+Enter: a window at scale 2 (no window manager: it sits at the corner),
# and Enter, held with Alt, chose nothing.
alt_enter
e2e_wait_window 1280x960
E2E_VIEW=1280x960+0+0 e2e_wait_for 10 title-window title_shown
# Alt+Enter again: full screen, the picture in the middle again.
alt_enter
e2e_wait_for 10 title-full-again title_shown
e2e_check [ "$(e2e_differ "$E2E_OUT/title-full-again-screen.png" $SCALED "$E2E_OUT/title-640-2x.png" 1280x960+0+0)" = 0 ] -- \
  "back in full screen, the title is where it was"
# The title still answers Down (the highlight moves) and Enter ("Exit").
e2e_title_choose 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"

# --window --scale 1: a 640 x 480 window on the large screen.
E2E_MESSAGES_READ=0
e2e_start_game "$SKV_DATA_DIR" --window --scale 1
export E2E_VIEW=640x480+0+0
e2e_wait_window 640x480
# The window sits in the corner: the pointer goes onto it, as a person's would.
xdotool mousemove 320 240
e2e_answer_startup_notes
e2e_skip_splash
e2e_title_choose 3
e2e_wait_exit 20
e2e_pass
