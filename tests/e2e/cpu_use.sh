#!/bin/bash
# The game's CPU use, as a share of one core, over 10 s on the title, on the
# world map and in the first stage with fire held, on a 640 x 480 screen and
# on a 1920 x 1080 one (picture scaled by 2), and once more in the stage at
# 640 x 480 without the effects file, for comparison. Read from
# /proc/<pid>/stat.
# A benchmark run by scripts/bench.sh, not a test: it prints the figures,
# and exits 1 when a target is missed:
#   title, world map at 640 x 480:      at most 10 %
#   first stage with fire, 640 x 480:   at most 15 %
#   first stage with fire, 1920 x 1080: at most 30 %
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin cpu_use
RESULTS="$E2E_OUT/cpu.txt"
: >"$RESULTS"
MISSED=0

# cpu_share SECONDS: the game's CPU time over that many seconds, in percent
# of one core.
cpu_share() {
  local before after ticks
  ticks=$(getconf CLK_TCK)
  before=$(awk '{print $14 + $15}' "/proc/$E2E_GAME_PID/stat")
  sleep "$1"
  after=$(awk '{print $14 + $15}' "/proc/$E2E_GAME_PID/stat")
  echo $(((after - before) * 100 / (ticks * $1)))
}

# measure WHAT SCREEN TARGET
measure() {
  local share
  share=$(cpu_share 10)
  printf '%-28s %-10s %3d %% of one core (target %s)\n' "$1" "$2" "$share" "${3:--}" | tee -a "$RESULTS"
  if [ -n "$3" ] && [ "$share" -gt "$3" ]; then MISSED=1; fi
}

for SCREEN in 640x480x24 1920x1080x24; do
  size=${SCREEN%x24}
  E2E_SCREEN=$SCREEN e2e_start_x
  xdotool mousemove 320 240
  unset E2E_VIEW
  [ "$size" = 1920x1080 ] && export E2E_VIEW=1280x960+320+60
  E2E_MESSAGES_READ=0
  e2e_start_game "$SKV_DATA_DIR"
  e2e_answer_startup_notes
  e2e_skip_splash
  sleep 4  # the fade-in is over
  [ "$size" = 640x480 ] && target=10 || target=""
  measure "title" "$size" "$target"
  e2e_title_choose 1
  e2e_wait_for 30 map map_opened
  sleep 2
  measure "world map" "$size" "$target"
  e2e_start_stage
  e2e_enter_stage stage
  [ "$size" = 640x480 ] && target=15 || target=30
  e2e_keys_down Control_L
  measure "first stage, fire held" "$size" "$target"
  e2e_keys_up Control_L
  e2e_leave_stage
  # ESC leaves the world map; held on, it quits from the title too.
  E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
  e2e_wait_exit 20
  e2e_stop_x
done
# The same stage without effects: a run folder without effects.dat.
RUN="$E2E_OUT/run-without-effects"
mkdir -p "$RUN"
cp -a "$SKV_DATA_DIR"/. "$RUN"/
rm -f "$RUN/effects.dat"
E2E_SCREEN=640x480x24 e2e_start_x
xdotool mousemove 320 240
unset E2E_VIEW
E2E_MESSAGES_READ=0
e2e_start_game "$RUN"
e2e_answer_startup_notes
e2e_expect_notice 30 "ERROR:  Failed to load sound effects:  effects.dat.  Playing on without them." game
e2e_skip_splash
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_enter_stage stage-without-effects
e2e_keys_down Control_L
measure "first stage, fire, no effects" 640x480 ""
e2e_keys_up Control_L
e2e_leave_stage
E2E_MAY_END=yes e2e_hold_until 60 quit Escape game_ended
e2e_wait_exit 20
e2e_stop_x
cat "$RESULTS"
[ "$MISSED" = 0 ] || e2e_fail "a CPU target was missed"
e2e_pass
