# What a player sees on each screen of the game, as checks on a screenshot.
# Sourced by the scenarios after harness.sh. Every check takes the picture's
# path as its LAST argument, so it can be handed to e2e_wait_for.
#
# Colours, exactly as the game draws them on a 24-bit screen:
RED=C80000        # highlighted menu entry, health bar, score
DARKRED=8B0000    # shadow of the "SCORE:" caption
GREEN=00FF00      # outer frame of the HUD panels
DARKGREEN=006400  # inner frame of the HUD panels
WHITE=FFFFFF
BLACK=000000

# e2e_data FILE: the path of a data file of the run folder.
e2e_data() { echo "$SKV_DATA_DIR/$1"; }

# ---------------------------------------------------------------- splash

# The notice page: white lines of text at x 100, the first at y 100, the key
# features from y 300 on, and nothing white at the foot of the page.
splash_notice_shown() {
  local f=$1
  [ "$(e2e_count "$f" 480x8+100+100 $WHITE)" -gt 150 ] &&
    [ "$(e2e_count "$f" 240x8+100+160 $WHITE)" -gt 60 ] &&
    [ "$(e2e_count "$f" 160x8+100+300 $WHITE)" -gt 60 ] &&
    [ "$(e2e_count "$f" 160x8+100+340 $WHITE)" -gt 60 ] &&
    [ "$(e2e_count "$f" 640x60+0+400 $WHITE)" -eq 0 ]
}

# ---------------------------------------------------------------- title menu

# Entry N (1 Play, 2 Options, 3 Exit): its red copy 2 pixels right and down of
# the black text. title_selected N FILE: the title is fully shown with entry N
# red and the other two without red.
TITLE_WIDTH=(0 32 56 32)
title_entry_red() {
  e2e_count "$2" "${TITLE_WIDTH[$1]}x8+452+$((352 + 10 * ($1 - 1)))" $RED
}
title_entry_black() {
  e2e_count "$2" "${TITLE_WIDTH[$1]}x8+450+$((350 + 10 * ($1 - 1)))" $BLACK
}
title_selected() {
  local n=$1 f=$2 i
  for i in 1 2 3; do
    [ "$(title_entry_black "$i" "$f")" -gt 10 ] || return 1
    if [ "$i" = "$n" ]; then
      [ "$(title_entry_red "$i" "$f")" -gt 15 ] || return 1
    else
      [ "$(title_entry_red "$i" "$f")" -eq 0 ] || return 1
    fi
  done
}
title_shown() { title_selected 1 "$1"; }

# The title picture fills the screen above the menu (it is stretched over the
# whole screen; a 640 x 480 picture shows unchanged).
title_picture_shown() {
  local pic
  pic=$(e2e_data title_screen.bmp)
  [ "$(identify -format %wx%h "$pic")" = 640x480 ] || return 0
  [ "$(e2e_differ "$1" 640x340+0+0 "$pic")" = 0 ]
}

# e2e_to_title: from a started game to the title menu fully faded in, with
# "Play" selected; answers the start-up notes on the way and sits through the
# splash (about 22 s) untouched unless SPLASH_SHOT names a picture to take of
# the notice page.
e2e_to_title() {
  e2e_answer_startup_notes
  if [ -n "${SPLASH_SHOT:-}" ]; then
    e2e_wait_for 40 "$SPLASH_SHOT" splash_notice_shown
  fi
  e2e_wait_for 90 title title_shown
}

# e2e_title_choose N: moves the selection from "Play" to entry N with the
# down arrow, checking each step, and confirms it with Enter.
e2e_title_choose() {
  local n=$1 i
  for ((i = 2; i <= n; i++)); do
    sleep 0.3
    e2e_key Down
    e2e_wait_for 5 "title-entry-$i" title_selected "$i"
  done
  sleep 0.3
  e2e_key Return
}

# ---------------------------------------------------------------- world map

# Stage nodes: top-left corners of their 32 x 32 pictures, and their names.
NODE_X=(320 250 370 180 220)
NODE_Y=(420 380 350 350 250)
NODE_NAME=("Kneebow's Shore" "Trainning Grounds" "K'llisc Village" "Bay of K'llisc" "Forgotten Forest")

# node_name_white N FILE: white pixels of node N's name under the node.
node_name_white() {
  local len=${#NODE_NAME[$1]}
  e2e_count "$2" "$((len * 8))x8+$((NODE_X[$1] - 50))+$((NODE_Y[$1] + 42))" $WHITE
}

# node_drawn N FILE: node N's picture differs from the map picture there, and
# its name is written under it.
node_drawn() {
  local n=$1 f=$2
  [ "$(e2e_differ "$f" "32x32+${NODE_X[$n]}+${NODE_Y[$n]}" "$(e2e_data world.bmp)")" -gt 50 ] &&
    [ "$(node_name_white "$n" "$f")" -gt 40 ]
}

# node_hidden N FILE: nothing of node N or its name is drawn over the map.
node_hidden() {
  local n=$1 f=$2 len=${#NODE_NAME[$1]}
  [ "$(e2e_differ "$f" "32x32+${NODE_X[$n]}+${NODE_Y[$n]}" "$(e2e_data world.bmp)")" = 0 ] &&
    [ "$(e2e_differ "$f" "$((len * 8))x8+$((NODE_X[$n] - 50))+$((NODE_Y[$n] + 42))" \
      "$(e2e_data world.bmp)")" = 0 ]
}

# cursor_on N FILE: the cursor frame (a one-pixel rectangle 5 pixels outside
# node N's picture) is drawn in one pulse colour: red 255 - p/4, green and
# blue 255 - p, for a pulse p from 0 to 255.
cursor_on() {
  local n=$1 f=$2 x=$((NODE_X[$1] - 5)) y=$((NODE_Y[$1] - 5)) colours hex r g b
  colours=$(convert "$f" \( -clone 0 -crop "43x1+$x+$y" \) \( -clone 0 -crop "43x1+$x+$((y + 42))" \) \
    \( -clone 0 -crop "1x43+$x+$y" \) \( -clone 0 -crop "1x43+$((x + 42))+$y" \) -delete 0 \
    +repage -append -depth 8 -format %c histogram:info:- 2>/dev/null)
  [ "$(printf '%s\n' "$colours" | grep -c '#')" = 1 ] || return 1
  hex=$(printf '%s\n' "$colours" | sed -n 's/.*#\([0-9A-F]\{6\}\).*/\1/p')
  r=$((16#${hex:0:2})) g=$((16#${hex:2:2})) b=$((16#${hex:4:2}))
  [ "$g" = "$b" ] && [ "$r" = $((255 - (255 - g) / 4)) ]
}

# The map as it opens: only the first stage, with the cursor on it.
map_opened() {
  local f=$1 n
  [ "$(e2e_differ "$f" 640x200+0+0 "$(e2e_data world.bmp)")" = 0 ] || return 1
  node_drawn 0 "$f" && cursor_on 0 "$f" || return 1
  for n in 1 2 3 4; do node_hidden "$n" "$f" || return 1; done
}

# path_pixels FILE GEOMETRY: white pixels the map picture does not have there
# (the growing path lines are drawn one white pixel per column).
path_pixels() {
  echo $(($(e2e_count "$1" "$2" $WHITE) - $(e2e_count "$(e2e_data world.bmp)" "$2" $WHITE)))
}

# map_shown FILE: the world map is fully shown (its picture untouched above
# the highest node and its cursor frame).
map_shown() { [ "$(e2e_differ "$1" 640x240+0+0 "$(e2e_data world.bmp)")" = 0 ]; }

# ---------------------------------------------------------------- story screen

# story_shown LINES FILE: the story picture with LINES lines of black story
# text (the title at y 70, body lines 30 pixels apart from y 120); the picture
# is untouched below the last line.
story_shown() {
  local lines=$1 f=$2 pic i y bottom
  pic=$(e2e_data stage_intro.bmp)
  bottom=$((120 + 30 * (lines - 1) + 40))
  [ "$bottom" -lt 480 ] && { [ "$(e2e_differ "$f" "640x$((480 - bottom))+0+$bottom" "$pic")" = 0 ] || return 1; }
  [ "$(($(e2e_count "$f" 300x24+150+70 $BLACK) - $(e2e_count "$pic" 300x24+150+70 $BLACK)))" -gt 60 ] || return 1
  for ((i = 0; i < lines - 1; i++)); do
    y=$((120 + 30 * i))
    [ "$(($(e2e_count "$f" 400x24+120+$y $BLACK) - $(e2e_count "$pic" 400x24+120+$y $BLACK)))" -gt 60 ] || return 1
  done
}

# ---------------------------------------------------------------- stage

# hud_panels_shown FILE: both panels with their green frames at their fixed
# places, the score caption in red over its dark red shadow, and a score.
hud_panels_shown() {
  local f=$1
  # health panel
  [ "$(e2e_pixel "$f" 520 15)" = $GREEN ] && [ "$(e2e_pixel "$f" 620 15)" = $GREEN ] || return 1
  [ "$(e2e_pixel "$f" 521 15)" = $DARKGREEN ] && [ "$(e2e_pixel "$f" 619 15)" = $DARKGREEN ] || return 1
  [ "$(e2e_count "$f" 101x1+520+10 $GREEN)" = 101 ] && [ "$(e2e_count "$f" 101x1+520+20 $GREEN)" = 101 ] || return 1
  # score panel: frames, the caption in red over its dark red shadow
  [ "$(e2e_count "$f" 101x1+20+10 $GREEN)" = 101 ] && [ "$(e2e_count "$f" 101x1+20+30 $GREEN)" = 101 ] || return 1
  [ "$(e2e_count "$f" 1x21+20+10 $GREEN)" = 21 ] && [ "$(e2e_count "$f" 1x21+120+10 $GREEN)" = 21 ] || return 1
  [ "$(e2e_count "$f" 99x1+21+11 $DARKGREEN)" = 99 ] && [ "$(e2e_count "$f" 1x19+119+11 $DARKGREEN)" = 19 ] || return 1
  [ "$(e2e_count "$f" 48x9+25+15 $RED)" -gt 20 ] && [ "$(e2e_count "$f" 49x9+25+15 $DARKRED)" -gt 5 ] || return 1
  [ "$(e2e_count "$f" 8x8+80+15 $RED)" -gt 5 ]
}

# health_bar FILE: how many red pixels the health bar shows (97 x 7 = 679 at
# full health: x 522 to 618, y 12 to 18).
health_bar() { e2e_count "$1" 97x7+522+12 $RED; }

# hud_shown FILE: the HUD at the start of a stage: panels and full health,
# and nothing red right of the bar's end.
hud_shown() {
  hud_panels_shown "$1" && [ "$(health_bar "$1")" = 679 ] &&
    [ "$(e2e_pixel "$1" 619 15)" = $DARKGREEN ]
}

# The score's digits at (80, 15): hud_digits SHOT OUT keeps them as a
# picture; score_changed OLD SHOT tells whether the score shown differs (it
# only ever rises, so from a picture of 0 this means "above 0").
hud_digits() { convert "$1" -crop 38x8+80+15 +repage "png:$2"; }
score_changed() {
  [ "$(e2e_differ "$2" 38x8+80+15 "$1" 38x8+0+0)" -gt 0 ]
}

# ---------------------------------------------------------------- game over

# gameover_shown FILE: the game-over picture fully faded in, with "Game Over"
# in the story font at (350, 300) and "Thanks for playing..." at (10, 440),
# both black; the picture is untouched above the caption.
gameover_shown() {
  local f=$1 pic
  pic=$(e2e_data gameover.bmp)
  [ "$(e2e_differ "$f" 640x290+0+0 "$pic")" = 0 ] || return 1
  [ "$(($(e2e_count "$f" 168x8+10+440 $BLACK) - $(e2e_count "$pic" 168x8+10+440 $BLACK)))" -gt 60 ] || return 1
  [ "$(($(e2e_count "$f" 280x40+350+300 $BLACK) - $(e2e_count "$pic" 280x40+350+300 $BLACK)))" -gt 60 ]
}
