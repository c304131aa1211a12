# shellcheck shell=bash
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

# e2e_skip_splash: the splash has three phases (two logos and the notice
# page, 22 s in all, then the title fades in); each ESC, once let go, skips
# one of them. Waits for the title.
e2e_skip_splash() {
  sleep 1
  for _ in 1 2 3; do
    e2e_key Escape 0.15
    sleep 1.5
  done
  e2e_wait_for 30 title title_shown
}

# title_selection FILE: which entry is highlighted (0 when none is).
title_selection() {
  local i
  for i in 1 2 3; do
    [ "$(title_entry_red "$i" "$1")" -gt 15 ] && { echo "$i"; return; }
  done
  echo 0
}

# e2e_title_select N: moves the highlight to entry N with Down, looking at
# the screen after each press. The menu wraps around, so one direction
# reaches every entry, even when a tap is taken for two steps.
e2e_title_select() {
  local n=$1 deadline cur shot last=""
  deadline=$(($(date +%s) + 60))
  E2E_TAP_MS=80
  while :; do
    shot=$(e2e_shot "title-selecting") || e2e_fail "could not photograph the screen"
    cur=$(title_selection "$shot")
    [ "$cur" = "$n" ] && title_selected "$n" "$shot" && break
    [ -n "$last" ] && e2e_tap_adjust "$last" "$cur"
    last=$cur
    [ "$(date +%s)" -lt "$deadline" ] || e2e_fail "could not select title entry $n"
    if [ "$cur" = 0 ]; then sleep 0.5
    else e2e_tap_and_look Down
    fi
  done
  e2e_log "seen: title entry $n selected"
}

# e2e_title_choose N: selects entry N and confirms it with Enter, held until
# the title reacts (it fades away, or the game ends after "Exit").
e2e_title_choose() {
  local n=$1 may_end=""
  e2e_title_select "$n"
  [ "$n" = 3 ] && may_end=yes
  E2E_MAY_END=$may_end e2e_hold_until 30 "title-chosen-$n" Return title_left "$n"
}
# title_left N FILE: entry N no longer shows its red copy.
title_left() { [ "$(title_entry_red "$1" "$2")" -lt 5 ]; }

# game_ended: for e2e_hold_until, when a key should end the game.
game_ended() { ! e2e_game_running; }

# paused_shown FILE: "Paused", the game's box without its "Press Enter" line.
paused_shown() {
  [ "$(e2e_count "$1" 640x480+0+0 "$NOTICE_FRAME")" -gt 50 ] &&
    [ "$(e2e_count "$1" 200x60+220+210 "$NOTICE_HINT")" -eq 0 ]
}

# e2e_fire_until_scored KEY: holds the fire KEY and weaves left and right
# over the ground for up to 90 s, photographing the stage (stage-firing.png)
# until the score differs from score-zero.png; sets E2E_SCORED to yes then.
E2E_SCORED=""
# shellcheck disable=SC2034  # E2E_SCORED is read by the scenarios
e2e_fire_until_scored() {
  local fire=$1 side=Left deadline shot
  E2E_SCORED=""
  deadline=$(($(date +%s) + 90))
  xdotool keydown "$fire"
  while [ "$(date +%s)" -lt "$deadline" ]; do
    e2e_key "$side" 0.8
    [ "$side" = Left ] && side=Right || side=Left
    e2e_key "$side" 0.8
    shot=$(e2e_shot stage-firing) || { xdotool keyup "$fire"; e2e_fail "could not photograph the screen"; }
    e2e_game_running || e2e_fail "the game ended during the stage"
    if score_changed "$E2E_OUT/score-zero.png" "$shot"; then E2E_SCORED=yes; break; fi
  done
  xdotool keyup "$fire"
}

# ---------------------------------------------------------------- options

# options_shown FILE: the Options screen's plaque, where the title shows sky.
options_shown() {
  [ "$(e2e_differ "$1" 280x8+330+129 "$(e2e_data options_screen.bmp)")" = 0 ]
}
# music_steps FILE: the music's bar on the Options screen (its row selected,
# so red): a filled step is 48 red pixels, an empty one its 24-pixel outline.
music_steps() { echo $((($(e2e_count "$1" 80x8+528+168 $RED) - 240) / 24)); }
# music_below_full FILE: the bar shows less than all ten steps.
music_below_full() { [ "$(music_steps "$1")" -lt 10 ]; }

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

# node_hidden N FILE: node N's picture is not drawn over the map. (Its name
# is not checked: the names of the lower nodes run under other nodes' frames.)
node_hidden() {
  [ "$(e2e_differ "$2" "32x32+${NODE_X[$1]}+${NODE_Y[$1]}" "$(e2e_data world.bmp)")" = 0 ]
}

# cursor_on N FILE: the cursor frame (a one-pixel rectangle 5 pixels outside
# node N's picture) is drawn in one pulse colour: red 255 - p/4, green and
# blue 255 - p, for a pulse p from 0 to 255. Paths and names are drawn over
# the frame in white, so white pixels may interrupt it.
cursor_on() {
  local n=$1 f=$2 x=$((NODE_X[$1] - 5)) y=$((NODE_Y[$1] - 5))
  convert "$f" \( -clone 0 -crop "43x1+$x+$y" \) \( -clone 0 -crop "43x1+$x+$((y + 42))" \) \
    \( -clone 0 -crop "1x43+$x+$y" -rotate 90 \) \( -clone 0 -crop "1x43+$((x + 42))+$y" -rotate 90 \) \
    -delete 0 +repage -append -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
      NR > 1 { n[($3 + 0) "," ($4 + 0) "," ($5 + 0)]++ }
      END {
        best = ""; most = 0; total = 0
        for (c in n) {
          total += n[c]
          if (c != "255,255,255" && n[c] > most) { most = n[c]; best = c }
        }
        if (best == "") best = "255,255,255"
        split(best, v, ",")
        frame = n[best]
        white = (best == "255,255,255") ? 0 : n["255,255,255"] + 0
        if (frame + white != total || frame < 120) exit 1
        if (v[2] != v[3] || v[1] != 255 - int((255 - v[2]) / 4)) exit 1
      }'
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
# is untouched below the last line and right of the text.
story_shown() {
  local lines=$1 f=$2 pic i y bottom
  pic=$(e2e_data stage_intro.bmp)
  bottom=$((120 + 30 * (lines - 1) + 40))
  [ "$bottom" -lt 480 ] && { [ "$(e2e_differ "$f" "640x$((480 - bottom))+0+$bottom" "$pic")" = 0 ] || return 1; }
  # right of the text, the picture shows unchanged (and fully faded in)
  [ "$(e2e_differ "$f" 160x480+480+0 "$pic")" = 0 ] || return 1
  # the title and every body line add black letters to the picture
  local bands=(300x24+150+70)
  for ((i = 0; i < lines - 1; i++)); do bands+=("400x24+120+$((120 + 30 * i))"); done
  paste <(e2e_black_counts "$f" "${bands[@]}") <(e2e_black_counts "$pic" "${bands[@]}") |
    awk '{ if ($1 - $2 <= 60) bad = 1 } END { exit bad }'
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

# hud_bar_end FILE: where the health bar ends, read from the row through its
# middle; works on a frame that is still fading in, since it only asks which
# pixels are pure red, pure green or black. Prints the last x of the bar, or
# "none" unless the row reads: green frame (520), dark green frame (521), red
# from 522 on, black after it, dark green (619), green (620), with the bar's
# end one that a whole number of hit points gives (x = trunc(522 + 96 h / 50)).
hud_bar_end() {
  convert "$1" -crop 101x1+520+15 +repage -depth 8 txt:- 2>/dev/null | awk -F'[(),]' '
    NR > 1 {
      r = $3 + 0; g = $4 + 0; b = $5 + 0
      c = "?"
      if (r == 0 && g == 0 && b == 0) c = "K"
      else if (r > 0 && g == 0 && b == 0) c = "R"
      else if (r == 0 && g > 0 && b == 0) { c = "G"; green[NR - 2] = g }
      row = row c
    }
    END {
      if (row !~ /^GGR+K*GG$/ || green[0] <= green[1] || green[100] <= green[99]) { print "none"; exit }
      end = 520 + index(row, "K") - 2
      if (index(row, "K") == 0) end = 618
      for (h = 1; h <= 50; h++) if (int(522 + h * 96 / 50) == end) { print end; exit }
      print "none"
    }'
}
hud_bar_seen() { [ "$(hud_bar_end "$1")" != none ]; }

# health_bar FILE: how many red pixels the health bar shows (97 x 7 = 679 at
# full health: x 522 to 618, y 12 to 18).
health_bar() { e2e_count "$1" 97x7+522+12 $RED; }

# e2e_enter_stage NAME: waits for a stage to begin after its story: the first
# frame with a readable health bar (usually still fading in) is NAME-first.png
# and its bar's end is left in E2E_BAR_END (618 at full health); then waits
# for the HUD in its exact colours (NAME.png).
e2e_enter_stage() {
  e2e_wait_for 90 "$1-first" hud_bar_seen
  E2E_BAR_END=$(hud_bar_end "$E2E_OUT/$1-first.png")
  e2e_log "health bar at the start of the stage: x 522 to $E2E_BAR_END"
  e2e_wait_for 30 "$1" hud_panels_shown
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

# ---------------------------------------------------------------- moves between screens

# e2e_start_stage: Enter on the world map, held until the map fades away.
e2e_start_stage() {
  sleep 0.3
  e2e_hold_until 30 map-left Return e2e_not map_shown
}

# e2e_leave_stage: O in a stage, held until the stage fades away.
e2e_leave_stage() {
  e2e_hold_until 30 stage-left o e2e_not hud_panels_shown
}

# e2e_quit_from_map: ESC on the world map closes it and, still held when the
# main loop looks, ends the game; waits for its exit status.
e2e_quit_from_map() {
  sleep 0.3
  E2E_MAY_END=yes e2e_hold_until 30 quit Escape game_ended
  e2e_wait_exit 20
}

# cursor_node FILE: the node the cursor frame surrounds (-1 when none).
cursor_node() {
  local n
  for n in 0 1 2 3 4; do cursor_on "$n" "$1" && { echo "$n"; return; }; done
  echo -1
}

# e2e_cursor_to N: left or right on the world map, looking after each press,
# until the cursor frame surrounds node N.
e2e_cursor_to() {
  local n=$1 deadline cur shot last=""
  deadline=$(($(date +%s) + 60))
  # shellcheck disable=SC2034  # read by e2e_tap in harness.sh
  E2E_TAP_MS=80
  while :; do
    shot=$(e2e_shot "map-cursor-$n") || e2e_fail "could not photograph the screen"
    cur=$(cursor_node "$shot")
    [ "$cur" = "$n" ] && break
    [ -n "$last" ] && e2e_tap_adjust "$last" "$cur"
    last=$cur
    [ "$(date +%s)" -lt "$deadline" ] || e2e_fail "could not move the cursor to node $n"
    if [ "$cur" -lt 0 ]; then sleep 0.3
    elif [ "${NODE_X[$n]}" -lt "${NODE_X[$cur]}" ]; then e2e_tap_and_look Left
    else e2e_tap_and_look Right
    fi
  done
  e2e_log "seen: cursor on \"${NODE_NAME[$n]}\""
}
