#!/bin/bash
# The Windows game from its zip, under Wine in Xvfb: unzipped into a fresh
# folder and started there; the joystick notice answered with Enter, the
# splash skipped with ESC; title, world map, the first stage's story,
# the stage with its HUD, O back to the map and ESC out with status 0.
# Everything the game plays goes through ALSA into a file, so the music can
# be checked for sound.
#   SKV_WIN_ZIP  the zip scripts/build-windows.sh made
HERE=$(cd "$(dirname "$0")" && pwd)
: "${SKV_WIN_ZIP:?SKV_WIN_ZIP must name the Windows zip}"
: "${SKV_E2E_OUT:=$PWD/e2e}"

# Unzipped as a player would, next to the scenario's output.
UNZIPPED=$SKV_E2E_OUT/windows_run-unzipped
rm -rf "$UNZIPPED"
mkdir -p "$UNZIPPED"
(cd "$UNZIPPED" && cmake -E tar xf "$SKV_WIN_ZIP") || { echo "could not unzip $SKV_WIN_ZIP"; exit 1; }
FOLDER=$(dirname "$(find "$UNZIPPED" -name skarnvale.exe | head -n1)")
[ -f "$FOLDER/skarnvale.exe" ] || { echo "no skarnvale.exe in $SKV_WIN_ZIP"; exit 1; }
printf '#!/bin/sh\nexec "%s" "%s" "$@"\n' "$HERE/../../scripts/wine.sh" "$FOLDER/skarnvale.exe" \
  >"$UNZIPPED/skarnvale"
chmod +x "$UNZIPPED/skarnvale"
export SKV_GAME=$UNZIPPED/skarnvale SKV_DATA_DIR=$FOLDER

. "$HERE/harness.sh"
. "$HERE/screens.sh"

# story_readable LINES FILE: the story page (see story_shown) at least most
# of the way faded in: right of the text the picture within 20 % of its own
# colours, and the title and every body line adding black letters to it.
story_readable() {
  local lines=$1 f=$2 pic i off
  pic=$(e2e_data stage_intro.bmp)
  off=$(convert "$f" -crop 160x480+480+0 +repage \( "$pic" -crop 160x480+480+0 +repage \) \
    -alpha off -fuzz 20% -metric AE -compare -format '%[distortion]' info: 2>/dev/null |
    awk '{printf "%d\n", $1}')
  [ "${off:-76800}" -lt 200 ] || return 1
  local bands=(300x24+150+70)
  for ((i = 0; i < lines - 1; i++)); do bands+=("400x24+120+$((120 + 30 * i))"); done
  paste <(e2e_black_counts "$f" "${bands[@]}") <(e2e_black_counts "$pic" "${bands[@]}") |
    awk '{ if ($1 - $2 <= 60) bad = 1 } END { exit bad }'
}

# The game keeps its settings in the prefix's %APPDATA%: none at the start.
# (C:\users\NAME\AppData\Roaming, which is drive_c/... in the prefix.)
APPDATA_DIR=$("$HERE/../../scripts/wine.sh" cmd /c echo %APPDATA% 2>/dev/null | tr -d '\r')
case $APPDATA_DIR in
  [Cc]:\\*) ;;
  *) echo "could not read %APPDATA% of the Wine prefix (\"$APPDATA_DIR\")"; exit 1 ;;
esac
PREFIX="${SKV_WINEPREFIX:-${SKV_CACHE:-$HOME/.cache/skarnvale}/wine64}"
APPDATA_DIR=${APPDATA_DIR:3}
SETTINGS="$PREFIX/drive_c/${APPDATA_DIR//\\//}/Skarnvale/settings.ini"
rm -rf "$(dirname "$SETTINGS")"

e2e_begin windows_run
e2e_start_x
e2e_sound null
# The ALSA file plugin keeps every sample the game plays.
SOUND=$E2E_OUT/sound.raw
printf 'pcm.!default { type file slave.pcm { type null } file "%s" format "raw" }\nctl.!default { type hw card 0 }\n' \
  "$SOUND" >"$E2E_ALSA_CONF"
e2e_start_game "$FOLDER"
# Wine's own start comes first: the note may take longer than on Linux.
e2e_expect_notice 90 "NOTE:  No joystick could be found, but you can still use keyboard." game
# The splash skipped with ESC. Each press is held a whole second, so the game
# sees it however slowly it draws; a held ESC skips one phase only (the
# splash waits for it to be let go). The two logos last 5 s each, so the
# first two presses land on them; the third waits until the notice page is
# seen, so no press can reach the title (where ESC would end the game).
sleep 1
e2e_key Escape 1
sleep 1.5
e2e_key Escape 1
e2e_wait_for 60 splash-notice splash_notice_shown
e2e_key Escape 1
e2e_wait_for 60 title title_shown
# Options: the music a step or more down, then back to the title.
e2e_title_select 2
e2e_hold_until 60 options Return options_shown
e2e_hold_until 30 music-down Left music_below_full
e2e_key Escape 1
e2e_wait_for 60 title-after-options title_selected 2
e2e_title_choose 1
e2e_wait_for 30 map map_opened
# Under Wine on a busy machine the game draws few frames a second and a look
# at the screen takes seconds, so the story's page (7 s, most of it fading)
# would be missed between looks: from the press of Enter on, raw pictures of
# the screen are taken as fast as they come for 45 s, and read afterwards.
(
  end=$(($(date +%s) + 45))
  n=0
  while [ "$(date +%s)" -lt "$end" ]; do
    n=$((n + 1))
    xwd -root -silent -display "$E2E_DISPLAY" -out "$E2E_OUT/raw-$(printf %03d $n).xwd" || break
    sleep 0.2
  done
) </dev/null >/dev/null 2>&1 &
CAPTURE_PID=$!
e2e_start_stage
e2e_enter_stage stage
e2e_leave_stage
e2e_wait_for 40 map-again map_shown

# One of the raw pictures shows the first stage's story readable.
wait "$CAPTURE_PID"
story=""
raws=("$E2E_OUT"/raw-*.xwd)
for raw in "${raws[@]}"; do
  if [ -z "$story" ] && convert "xwd:$raw" "png:$E2E_OUT/story.png" 2>/dev/null &&
    story_readable 12 "$E2E_OUT/story.png"; then
    story=$(basename "$raw" .xwd)
  fi
  rm -f "$raw"
done
e2e_check [ -n "$story" ] -- "the first stage's story shown (${story:-none} of ${#raws[@]} pictures)"

# Music: the last two megabytes the game played (in the stage and back on
# the map) are not silence. The recording is large and is not kept.
loud=$(tail -c 2000000 "$SOUND" 2>/dev/null | od -An -v -t d2 -w2 |
  awk '$1 > 2000 || $1 < -2000 { n++ } END { print n + 0 }')
rm -f "$SOUND"
e2e_check [ "$loud" -gt 10000 ] -- "the game played music ($loud loud samples in its last 2 MB of sound)"

e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_check grep -q '^music_volume = [0-9]$' "$SETTINGS" -- "the settings are kept in %APPDATA%\\Skarnvale ($SETTINGS)"
e2e_pass
