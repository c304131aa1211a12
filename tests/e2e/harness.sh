# shellcheck shell=bash
# Shared driver of the end-to-end scenarios: sourced by every scenario script.
#
# A scenario plays the real game the way a person would: a private X server
# (Xvfb, 640 x 480 x 24), the game started from its run folder, its messages
# answered, keys pressed and held for human lengths of time,
# and the screen photographed and read pixel by pixel with ImageMagick.
#
# Everything it starts (the X server, the game, the watchdog) is remembered by
# process id and ended by that id, whatever way the scenario ends: success,
# failure, its own time limit, or the test runner killing it.
#
# Inputs (environment; CTest sets them, see CMakeLists.txt here):
#   SKV_GAME       the game binary
#   SKV_DATA_DIR   the run folder the build generated
#   SKV_E2E_OUT    where each scenario leaves its screenshots and logs
#   SKV_E2E_LIMIT  the scenario's hard time bound in seconds (CTest's own
#                  timeout for the test lies a little above it)

set -u

E2E_NAME=""
E2E_OUT=""
E2E_DISPLAY=""
E2E_XVFB_PID=""
E2E_WM_PID=""
E2E_GAME_PID=""
E2E_GUARD_PID=""
E2E_WATCHDOG_PID=""
E2E_START_SECONDS=0
E2E_NOTICE_COUNT=0

# ---------------------------------------------------------------- reporting

e2e_log() {
  printf '[%s %3ds] %s\n' "$E2E_NAME" "$(($(date +%s) - E2E_START_SECONDS))" "$*" |
    tee -a "$E2E_OUT/scenario.log"
}

# Ends the scenario as failed; cleanup runs from the exit trap.
e2e_fail() {
  e2e_log "FAIL: $*"
  e2e_shot "failure" >/dev/null 2>&1 || true
  # What the desktop held then: where the keys went, the pointer, the
  # game's windows.
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    local focus name
    focus=$(xdotool getwindowfocus 2>/dev/null)
    name=$(xdotool getwindowname "$focus" 2>/dev/null)
    e2e_log "keyboard focus: window ${focus:-none} ${name:+\"$name\"} (1: the window under the pointer)"
    e2e_log "pointer: $(xdotool getmouselocation 2>/dev/null)"
    e2e_log "game windows: $(xdotool search --onlyvisible --name '^Skarnvale$' getwindowgeometry %@ 2>/dev/null | tr '\n' ' ')"
  fi
  exit 1
}

e2e_pass() {
  e2e_log "PASS ($(($(date +%s) - E2E_START_SECONDS)) s); screenshots in $E2E_OUT"
  exit 0
}

# e2e_check CONDITION-COMMAND... -- MESSAGE: fails with MESSAGE unless the
# command succeeds.
e2e_check() {
  local args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  if "${args[@]}"; then e2e_log "ok: $*"; else e2e_fail "$*"; fi
}

# ---------------------------------------------------------------- life cycle

# e2e_begin NAME: output folder, exit trap, watchdog (SKV_E2E_LIMIT seconds,
# 300 when run by hand).
e2e_begin() {
  E2E_NAME=$1
  local limit=${SKV_E2E_LIMIT:-300}
  E2E_START_SECONDS=$(date +%s)
  : "${SKV_GAME:?SKV_GAME must name the game binary}"
  : "${SKV_DATA_DIR:?SKV_DATA_DIR must name the run folder}"
  E2E_OUT=${SKV_E2E_OUT:-$PWD/e2e}/$E2E_NAME
  rm -rf "$E2E_OUT"
  mkdir -p "$E2E_OUT"
  local tool
  for tool in Xvfb xdotool xwd convert compare xwininfo; do
    command -v "$tool" >/dev/null 2>&1 ||
      { echo "missing tool: $tool (scripts/install-deps.sh installs it)"; exit 1; }
  done
  [ -x "$SKV_GAME" ] || { echo "no game binary at $SKV_GAME"; exit 1; }
  trap e2e_cleanup EXIT
  trap 'e2e_log "interrupted"; exit 1' INT TERM
  # The scenario's own hard bound: a watchdog that stops the script (and so
  # runs the cleanup) when the time is up.
  local owner=$$
  (
    sleep "$limit" &
    sleeper=$!
    trap 'kill $sleeper 2>/dev/null; wait $sleeper; exit 0' TERM
    wait "$sleeper"
    echo "[$E2E_NAME] time limit of $limit s reached" >>"$E2E_OUT/scenario.log"
    kill -TERM "$owner" 2>/dev/null
  ) </dev/null >/dev/null 2>&1 &
  E2E_WATCHDOG_PID=$!
  e2e_log "begin (limit $limit s)"
}

# Ends the game, the X server and the helpers by their process ids.
e2e_cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  if [ -n "$E2E_GAME_PID" ] && kill -0 "$E2E_GAME_PID" 2>/dev/null; then
    kill -TERM "$E2E_GAME_PID" 2>/dev/null
    sleep 0.5
    kill -KILL "$E2E_GAME_PID" 2>/dev/null
  fi
  [ -n "$E2E_WM_PID" ] && kill -TERM "$E2E_WM_PID" 2>/dev/null
  [ -n "$E2E_XVFB_PID" ] && kill -TERM "$E2E_XVFB_PID" 2>/dev/null
  [ -n "$E2E_WATCHDOG_PID" ] && kill -TERM "$E2E_WATCHDOG_PID" 2>/dev/null
  [ -n "$E2E_GUARD_PID" ] && kill -TERM "$E2E_GUARD_PID" 2>/dev/null
  wait 2>/dev/null
  exit "$rc"
}

# Watches the scenario script; if it disappears without its cleanup (killed
# by the test runner), ends the game and the X server itself.
e2e_start_guard() {
  local owner=$$
  # One guard at a time: the last game's guard watched an X server and a
  # game that are gone.
  [ -n "$E2E_GUARD_PID" ] && kill -TERM "$E2E_GUARD_PID" 2>/dev/null
  (
    trap '' INT
    trap 'exit 0' TERM
    while kill -0 "$owner" 2>/dev/null; do sleep 1; done
    [ -n "$E2E_GAME_PID" ] && kill -KILL "$E2E_GAME_PID" 2>/dev/null
    [ -n "$E2E_XVFB_PID" ] && kill -TERM "$E2E_XVFB_PID" 2>/dev/null
  ) </dev/null >/dev/null 2>&1 &
  E2E_GUARD_PID=$!
}

# ---------------------------------------------------------------- X server

# Starts Xvfb on a display number it picks itself (-displayfd), 640 x 480 at
# 24 bits unless E2E_SCREEN says otherwise (1920x1080x24, say), and points
# this script's X tools at it.
e2e_start_x() {
  local fdfile="$E2E_OUT/xvfb.display"
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 "${E2E_SCREEN:-640x480x24}" -nolisten tcp -noreset \
    3>"$fdfile" >"$E2E_OUT/xvfb.log" 2>&1 &
  E2E_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    kill -0 "$E2E_XVFB_PID" 2>/dev/null || e2e_fail "Xvfb did not start (see xvfb.log)"
    sleep 0.1
  done
  [ -s "$fdfile" ] || e2e_fail "Xvfb named no display within 10 s"
  E2E_DISPLAY=":$(head -n1 "$fdfile" | tr -d '[:space:]')"
  export DISPLAY=$E2E_DISPLAY
  xdpyinfo >/dev/null 2>&1 || sleep 0.5
  e2e_log "X server $E2E_DISPLAY (pid $E2E_XVFB_PID, ${E2E_SCREEN:-640x480x24})"
}

# e2e_start_wm: a window manager on the X server (openbox, with its own
# settings left out), as a desktop has one: it frames and places the game's
# window and passes on the close button's request. Waits until it answers.
e2e_start_wm() {
  local tool
  for tool in openbox wmctrl xprop; do
    command -v "$tool" >/dev/null 2>&1 ||
      { e2e_fail "missing tool: $tool (scripts/install-deps.sh installs it)"; }
  done
  XDG_CONFIG_HOME="$E2E_OUT/wm-config" openbox --sm-disable >"$E2E_OUT/wm.log" 2>&1 &
  E2E_WM_PID=$!
  for _ in $(seq 1 100); do
    wmctrl -m >/dev/null 2>&1 && { e2e_log "window manager openbox (pid $E2E_WM_PID)"; return 0; }
    # Only a look: is the window manager this harness started still there?
    [ -d "/proc/$E2E_WM_PID" ] || e2e_fail "openbox did not start (see wm.log)"
    sleep 0.1
  done
  e2e_fail "openbox did not answer within 10 s"
}

# Ends the X server this scenario started (after its game has ended), so
# that another can start with a different screen.
e2e_stop_x() {
  [ -n "$E2E_GAME_PID" ] && e2e_game_running &&
    e2e_fail "the game still runs; it must end before its X server"
  kill -TERM "$E2E_XVFB_PID" 2>/dev/null
  wait "$E2E_XVFB_PID" 2>/dev/null
  E2E_XVFB_PID=""
}

# ---------------------------------------------------------------- sound

# e2e_sound null|none|file: the sound configuration the game will see.
#   null: the default device swallows every sample (the game plays silently
#         through a working driver).
#   file: the same, but everything played is also written to
#         $E2E_OUT/sound.wav (E2E_SOUND_FILE), at the pace it is played.
#   none: the default device names a card that does not exist, so no driver
#         can start and the game must fall back to running without sound.
e2e_sound() {
  E2E_ALSA_CONF="$E2E_OUT/asound.conf"
  case $1 in
    null) printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' ;;
    none) printf 'pcm.!default { type hw card 97 device 0 }\nctl.!default { type hw card 97 }\n' ;;
    file)
      E2E_SOUND_FILE="$E2E_OUT/sound.wav"
      printf 'pcm.!default { type file slave { pcm { type null } } file "%s" format "wav" }\nctl.!default { type hw card 0 }\n' "$E2E_SOUND_FILE" ;;
    *) e2e_fail "unknown sound setting $1" ;;
  esac >"$E2E_ALSA_CONF"
}

# e2e_sound_mark: how far the recording has come, in bytes of its samples
# (the game has played everything before this moment).
e2e_sound_mark() { stat -c %s "$E2E_SOUND_FILE"; }

# e2e_sound_rms FROM TO [SOX EFFECT...]: the RMS level (0..1) of the
# recording between two marks, after the sox effects given. The library
# writes its 16-bit stereo samples unsigned under the header's signed label,
# so the samples are read as unsigned.
e2e_sound_rms() {
  local from=$1 to=$2
  shift 2
  tail -c +"$((from + 1))" "$E2E_SOUND_FILE" | head -c "$(( (to - from) / 4 * 4 ))" |
    sox -t raw -e unsigned -b 16 -c 2 -r 44100 - -n remix - "$@" stats 2>&1 |
    awk '$1 == "RMS" && $2 == "lev" { print 10 ^ ($4 / 20) }'
}

# e2e_sound_median_rms FROM TO [SOX EFFECT...]: the median of the RMS levels
# (0..1) of the recording's tenths of a second between two marks, after the
# sox effects given: what sounds through the whole stretch, not a few loud
# moments in it.
e2e_sound_median_rms() {
  local from=$1 to=$2
  shift 2
  tail -c +"$((from + 1))" "$E2E_SOUND_FILE" | head -c "$(( (to - from) / 4 * 4 ))" |
    sox -t raw -e unsigned -b 16 -c 2 -r 44100 - -t raw -e signed -b 16 -c 1 - remix - "$@" |
    od -An -v -td2 -w2 |
    awk -v n=4410 '{ s += ($1 / 32768) ^ 2; if (++k == n) { w[++m] = sqrt(s / n); s = k = 0 } }
      END {
        if (m == 0) { print 0; exit }
        for (i = 2; i <= m; i++) for (j = i; j > 1 && w[j - 1] > w[j]; j--) { t = w[j]; w[j] = w[j - 1]; w[j - 1] = t }
        print (m % 2) ? w[(m + 1) / 2] : (w[m / 2] + w[m / 2 + 1]) / 2
      }'
}

# ---------------------------------------------------------------- the game

# e2e_start_game RUN_FOLDER [OPTION...]: starts the game in RUN_FOLDER with
# the command-line options given. Only the game gets the test sound
# configuration; other sound back ends are pointed nowhere.
e2e_start_game() {
  local folder=$1
  shift
  [ -n "${E2E_ALSA_CONF:-}" ] || e2e_sound null
  # The game keeps its settings in the scenario's own folder, never in the
  # settings of whoever runs the tests.
  export XDG_CONFIG_HOME="$E2E_OUT/config"
  (
    cd "$folder" || exit 111
    exec env DISPLAY="$E2E_DISPLAY" ALSA_CONFIG_PATH="$E2E_ALSA_CONF" \
      AUDIODEV=/nonexistent PULSE_SERVER=/nonexistent ESPEAKER=/nonexistent \
      JACK_NO_START_SERVER=1 "$SKV_GAME" "$@"
  ) >"$E2E_OUT/game.out" 2>&1 &
  E2E_GAME_PID=$!
  e2e_start_guard
  e2e_log "game started from $folder${*:+ with $*} (pid $E2E_GAME_PID)"
}

e2e_game_running() {
  [ -d "/proc/$E2E_GAME_PID" ] || return 1
  local state
  state=$(awk '{print $3}' "/proc/$E2E_GAME_PID/stat" 2>/dev/null)
  [ -n "$state" ] && [ "$state" != Z ]
}

# e2e_wait_exit SECONDS: waits for the game to end; sets E2E_GAME_STATUS.
e2e_wait_exit() {
  local limit deadline
  limit=$1
  deadline=$(($(date +%s) + limit))
  while e2e_game_running; do
    [ "$(date +%s)" -lt "$deadline" ] || e2e_fail "the game did not end within $limit s"
    sleep 0.2
  done
  wait "$E2E_GAME_PID"
  E2E_GAME_STATUS=$?
  E2E_GAME_PID=""
  e2e_log "game ended with status $E2E_GAME_STATUS"
}

# ---------------------------------------------------------------- messages

# The game shows each message in one of two ways, and writes it to standard
# error (game.out) as well, as a player starting it from a terminal sees:
# - while it holds the screen, in a box drawn in its own frame: a gold frame
#   (E6C878) and the grey hint "Press Enter" (BEBEBE). A person reads it and
#   presses Enter.
# - in text mode (the fatal paths), in the library's message box (xmessage, a
#   child of the game). A person clicks its OK button.
NOTICE_FRAME=E6C878
NOTICE_HINT=BEBEBE

# notice_shown FILE: the game's own message box is on screen.
notice_shown() {
  [ "$(e2e_count "$1" 640x480+0+0 $NOTICE_FRAME)" -gt 300 ] &&
    [ "$(e2e_count "$1" 640x480+0+0 $NOTICE_HINT)" -gt 20 ]
}

# Library message boxes the game has open right now (xmessage children of
# the game; under Wine the game's other children are Wine's own helpers).
e2e_library_box_pids() {
  [ -n "$E2E_GAME_PID" ] || return 0
  local stat pid ppid
  for stat in /proc/[0-9]*/stat; do
    read -r pid _ _ ppid _ 2>/dev/null <"$stat" || continue
    [ "$ppid" = "$E2E_GAME_PID" ] && [ "$(cat "/proc/$pid/comm" 2>/dev/null)" = xmessage ] &&
      echo "$pid"
  done
  return 0
}

# The game's messages are the lines of game.out that the libraries did not
# write (the sound library reports its own failures there too); Windows ends
# its lines with CR LF.
E2E_MESSAGES_READ=0
e2e_messages() {
  tr -d '\r' <"$E2E_OUT/game.out" 2>/dev/null | grep -v -e '^ALSA lib ' -e '^$'
}
e2e_message_count() { e2e_messages | wc -l; }
# e2e_message N: the Nth message the game wrote.
e2e_message() { e2e_messages | sed -n "${1}p"; }

# Answers the library's box PID as a person would: the pointer on its OK
# button, a click, then Return. Returns 1 when the box stays open.
e2e_click_library_box() {
  # X, Y, WIDTH, HEIGHT, SCREEN and WINDOW are set by xdotool's --shell output.
  # shellcheck disable=SC2034  # SCREEN and WINDOW come with it, unread
  local pid=$1 win="" X Y WIDTH HEIGHT SCREEN WINDOW
  for _ in $(seq 1 50); do
    win=$(xdotool search --classname xmessage 2>/dev/null | head -n1)
    [ -n "$win" ] && break
    sleep 0.1
  done
  [ -n "$win" ] || return 1
  sleep 0.3
  e2e_shot "notice-$E2E_NOTICE_COUNT" >/dev/null
  eval "$(xdotool getwindowgeometry --shell "$win" 2>/dev/null)"
  [ -n "${WIDTH:-}" ] || return 1
  # The OK button sits in the lower left corner of the box.
  xdotool mousemove "$((X + 16))" "$((Y + HEIGHT - 15))"
  sleep 0.2
  xdotool mousedown 1; sleep 0.12; xdotool mouseup 1
  for _ in $(seq 1 20); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
  if [ -d "/proc/$pid" ]; then
    xdotool keydown Return; sleep 0.12; xdotool keyup Return
    for _ in $(seq 1 30); do [ -d "/proc/$pid" ] || break; sleep 0.1; done
  fi
  xdotool mousemove 320 240
  [ ! -d "/proc/$pid" ]
}

# Answers the game's own box with Enter and watches for the answer to take:
# the box gone, the next message written, or the game ended. A person
# presses again when nothing happened; three presses without effect fail.
e2e_press_enter_on_notice() {
  local before=$1 file
  for _ in 1 2 3; do
    e2e_key Return 0.15
    for _ in $(seq 1 15); do
      e2e_game_running || return 0
      [ "$(e2e_message_count)" -gt "$before" ] && return 0
      file=$(e2e_shot "notice-$E2E_NOTICE_COUNT-after") || return 1
      notice_shown "$file" || return 0
      sleep 0.3
    done
  done
  return 1
}

# e2e_answer_notice SECONDS: waits for the next message, records its text
# (notices.log, E2E_NOTICE_TEXT, E2E_NOTICE_KIND "game" or "library") and
# picture, and answers it as a person would. A message nobody could answer
# fails the scenario. Returns 1 when no message came.
E2E_NOTICE_TEXT=""
E2E_NOTICE_KIND=""
e2e_answer_notice() {
  local limit deadline pid="" file="" before
  limit=$1
  deadline=$(($(date +%s) + limit))
  while :; do
    pid=$(e2e_library_box_pids | head -n1)
    [ -n "$pid" ] && break
    if [ "$(e2e_message_count)" -gt "$E2E_MESSAGES_READ" ]; then
      file=$(e2e_shot "notice-$((E2E_NOTICE_COUNT + 1))") && notice_shown "$file" && break
    fi
    e2e_game_running || return 1
    [ "$(date +%s)" -lt "$deadline" ] || return 1
    sleep 0.2
  done
  E2E_NOTICE_COUNT=$((E2E_NOTICE_COUNT + 1))
  E2E_MESSAGES_READ=$((E2E_MESSAGES_READ + 1))
  E2E_NOTICE_TEXT=$(e2e_message "$E2E_MESSAGES_READ")
  printf '%s\n' "$E2E_NOTICE_TEXT" >>"$E2E_OUT/notices.log"
  if [ -n "$pid" ]; then
    E2E_NOTICE_KIND=library
    e2e_click_library_box "$pid" ||
      e2e_fail "the library's message box \"$E2E_NOTICE_TEXT\" took no click and no Return"
    e2e_log "message $E2E_NOTICE_COUNT (library box, answered with a click): \"$E2E_NOTICE_TEXT\""
  else
    E2E_NOTICE_KIND=game
    before=$(e2e_message_count)
    e2e_press_enter_on_notice "$before" ||
      e2e_fail "the game's message \"$E2E_NOTICE_TEXT\" stayed after three presses of Enter"
    e2e_log "message $E2E_NOTICE_COUNT (in the game's frame, answered with Enter): \"$E2E_NOTICE_TEXT\""
  fi
}

# e2e_expect_notice SECONDS EXPECTED-TEXT [KIND]: the next message must show
# this text (trailing blanks aside), and, when KIND is given, in that way.
e2e_expect_notice() {
  local got want
  e2e_answer_notice "$1" || e2e_fail "no message within $1 s (expected \"$2\")"
  want=$(printf '%s' "$2" | sed 's/ *$//')
  got=$(printf '%s' "$E2E_NOTICE_TEXT" | sed 's/ *$//')
  [ "$got" = "$want" ] || e2e_fail "the message reads \"$got\", expected \"$want\""
  [ -z "${3:-}" ] || [ "$E2E_NOTICE_KIND" = "$3" ] ||
    e2e_fail "\"$want\" was shown in the $E2E_NOTICE_KIND's box, expected the $3's"
}

# The start-up notes every run shows here: Xvfb has no joystick.
e2e_answer_startup_notes() {
  e2e_expect_notice 30 "NOTE:  No joystick could be found, but you can still use keyboard." game
}

# ---------------------------------------------------------------- input

# e2e_key KEY [SECONDS]: presses and holds KEY (xdotool key name) for a
# human length of time (0.12 s unless told). One xdotool run presses, waits
# and lets go: a second run would add its own start (about 0.1 s, more on a
# busy machine) to the hold, and a menu that repeats every 120 ms would then
# take one tap for two.
e2e_key() {
  xdotool keydown "$1" sleep "${2:-0.12}" keyup "$1"
}

# e2e_keys_down KEY...: holds several keys until e2e_keys_up.
e2e_keys_down() { local k; for k in "$@"; do xdotool keydown "$k"; done; }
e2e_keys_up() { local k; for k in "$@"; do xdotool keyup "$k"; done; }

# ---------------------------------------------------------------- pictures

# e2e_shot NAME: photographs the whole screen into NAME.png; prints the path.
# With E2E_VIEW set to the place of a scaled picture (WxH+X+Y), the whole
# screen goes to NAME-screen.png and NAME.png is that region taken back to
# 640 x 480 (one pixel of each block), so every check reads game pixels.
e2e_shot() {
  local file="$E2E_OUT/$1.png"
  if [ -z "${E2E_VIEW:-}" ]; then
    xwd -root -silent -display "$E2E_DISPLAY" 2>/dev/null | convert xwd:- "png:$file" 2>/dev/null ||
      return 1
  else
    local screen="$E2E_OUT/$1-screen.png"
    xwd -root -silent -display "$E2E_DISPLAY" 2>/dev/null | convert xwd:- "png:$screen" 2>/dev/null &&
      convert "$screen" -crop "$E2E_VIEW" +repage -sample 640x480! "png:$file" 2>/dev/null ||
      return 1
  fi
  echo "$file"
}

# e2e_pixel FILE X Y: the colour there as six hex digits (RRGGBB).
e2e_pixel() {
  convert "$1" -crop "1x1+$2+$3" +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -n1 | tr 'a-f' 'A-F'
}

# e2e_count FILE GEOMETRY RRGGBB: how many pixels of that exact colour the
# region (WxH+X+Y) holds.
e2e_count() {
  local n
  n=$(convert "$1" -crop "$2" +repage -depth 8 -format %c histogram:info:- 2>/dev/null |
    grep -i "#$3 " | sed 's/^ *\([0-9]*\):.*/\1/' | head -n1)
  echo "${n:-0}"
}

# e2e_black_counts FILE GEOMETRY...: how many pure black pixels each region
# holds, one count per line, in one pass over the picture.
e2e_black_counts() {
  local f=$1 g crops=()
  shift
  for g in "$@"; do crops+=("(" -clone 0 -crop "$g" +repage ")"); done
  convert "$f" "${crops[@]}" -delete 0 -fill white +opaque black \
    -format '%[fx:int(w*h*(1-mean)+0.5)]\n' info: 2>/dev/null
}

# e2e_colours FILE GEOMETRY: how many distinct colours the region holds.
e2e_colours() {
  convert "$1" -crop "$2" +repage -depth 8 -format %k info:- 2>/dev/null
}

# e2e_differ FILE GEOMETRY OTHER-FILE [OTHER-GEOMETRY]: how many pixels of the
# region differ between two pictures (the other region defaults to the same).
e2e_differ() {
  convert "$1" -crop "$2" +repage \( "$3" -crop "${4:-$2}" +repage \) -alpha off \
    -metric AE -compare -format '%[distortion]' info: 2>/dev/null | awk '{printf "%d\n", $1}'
}

# e2e_wait_for SECONDS NAME CHECK-COMMAND...: photographs the screen again and
# again until CHECK-COMMAND (given the picture's path as its last argument)
# succeeds; the last picture is kept as NAME.png. Fails the scenario at the
# time limit.
e2e_wait_for() {
  local limit deadline name=$2 file
  limit=$1
  shift 2
  deadline=$(($(date +%s) + limit))
  while :; do
    e2e_game_running || e2e_fail "the game ended while waiting for $name"
    file=$(e2e_shot "$name") || e2e_fail "could not photograph the screen"
    if "$@" "$file"; then
      e2e_log "seen: $name"
      return 0
    fi
    [ "$(date +%s)" -lt "$deadline" ] || e2e_fail "not seen within $limit s: $name"
    sleep 0.3
  done
}

# e2e_hold_until SECONDS NAME KEY CHECK-COMMAND...: holds KEY down and watches
# the screen until CHECK-COMMAND (given the screenshot's path last) succeeds,
# then lets go, as a player holds a key until the game reacts. The game reads
# its keys from a busy loop that shares the X connection with its drawing, so
# on a loaded machine it may see a short press late, or not at all. With
# E2E_MAY_END=yes the game ending counts as the reaction.
e2e_hold_until() {
  local limit=$1 name=$2 keyname=$3 deadline file started
  shift 3
  started=$(date +%s%N)
  deadline=$(($(date +%s) + limit))
  xdotool keydown "$keyname"
  while :; do
    if ! e2e_game_running; then
      xdotool keyup "$keyname"
      [ "${E2E_MAY_END:-}" = yes ] || e2e_fail "the game ended while waiting for $name"
      e2e_log "seen: $name (the game ended while $keyname was held)"
      return 0
    fi
    # A window that closes while it is photographed spoils the picture (a
    # game under Wine runs on a while after its window has gone).
    file=$(e2e_shot "$name") || { sleep 0.5; file=$(e2e_shot "$name"); } ||
      { e2e_game_running || continue; xdotool keyup "$keyname"; e2e_fail "could not photograph the screen"; }
    if "$@" "$file"; then
      xdotool keyup "$keyname"
      e2e_log "seen: $name ($keyname held $((($(date +%s%N) - started) / 1000000)) ms)"
      return 0
    fi
    if [ "$(date +%s)" -ge "$deadline" ]; then
      xdotool keyup "$keyname"
      e2e_fail "not seen within $limit s of holding $keyname: $name"
    fi
    sleep 0.1
  done
}

# e2e_tap_until SECONDS NAME KEY CHECK-COMMAND...: for keys the game acts on
# only once they are released: a short press, then several seconds of
# watching for the reaction before pressing again.
e2e_tap_until() {
  local limit=$1 name=$2 keyname=$3 deadline file taps=0
  shift 3
  deadline=$(($(date +%s) + limit))
  while :; do
    e2e_key "$keyname" 0.2
    taps=$((taps + 1))
    for _ in $(seq 1 12); do
      e2e_game_running || e2e_fail "the game ended while waiting for $name"
      file=$(e2e_shot "$name") || e2e_fail "could not photograph the screen"
      if "$@" "$file"; then
        e2e_log "seen: $name ($keyname pressed $taps time(s))"
        return 0
      fi
      sleep 0.3
    done
    [ "$(date +%s)" -lt "$deadline" ] || e2e_fail "not seen within $limit s of pressing $keyname: $name"
  done
}

# e2e_tap_and_look KEY: a short press, then a second for the game to show it.
# Menus step at most once every 6 ticks (120 ms) while a key is held, so a tap
# shorter than that moves by one step (or, missed, by none). The caller sets
# E2E_TAP_MS from e2e_tap_adjust.
E2E_TAP_MS=80
e2e_tap_and_look() {
  e2e_key "$1" "0.$(printf '%03d' "$E2E_TAP_MS")"
  sleep 1
}

# e2e_tap_adjust BEFORE AFTER: a tap the game did not see is followed by a
# slightly longer one, as a player presses harder on a sluggish game; after
# the longest (which a menu may have taken as a full turn), a short one again.
e2e_tap_adjust() {
  if [ "$1" = "$2" ]; then
    E2E_TAP_MS=$((E2E_TAP_MS + 40))
    [ "$E2E_TAP_MS" -gt 240 ] && E2E_TAP_MS=40
  else
    E2E_TAP_MS=80
  fi
}

# e2e_not CHECK-COMMAND...: succeeds when the check fails.
e2e_not() { ! "$@"; }

