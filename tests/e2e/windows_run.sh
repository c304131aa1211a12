#!/bin/bash
# The Windows game from its zip, under Wine in Xvfb: unzipped into a fresh
# folder and started there; the joystick notice answered, the splash sat
# through; title, world map, the first stage's story, the stage with its HUD,
# O back to the map and ESC out with status 0. Everything the game plays goes
# through ALSA into a file, so the music can be checked for sound.
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
printf '#!/bin/sh\nexec "%s" "%s"\n' "$HERE/../../scripts/wine.sh" "$FOLDER/skarnvale.exe" \
  >"$UNZIPPED/skarnvale"
chmod +x "$UNZIPPED/skarnvale"
export SKV_GAME=$UNZIPPED/skarnvale SKV_DATA_DIR=$FOLDER

. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin windows_run
e2e_start_x
e2e_sound null
# The ALSA file plugin keeps what the game plays (16-bit samples).
SOUND=$E2E_OUT/sound.raw
printf 'pcm.!default { type file slave.pcm "null" file "%s" format "raw" }\nctl.!default { type hw card 0 }\n' \
  "$SOUND" >"$E2E_ALSA_CONF"
e2e_start_game "$FOLDER"
SPLASH_SHOT=splash e2e_to_title
e2e_title_choose 1
e2e_wait_for 30 map map_opened
e2e_start_stage
e2e_wait_for 40 story story_shown 12
e2e_enter_stage stage
e2e_leave_stage
e2e_wait_for 40 map-again map_shown

# Music: the samples written so far are not all silence.
loud=$(od -An -v -t d2 -w2 "$SOUND" 2>/dev/null | awk '$1 > 2000 || $1 < -2000 { n++ } END { print n + 0 }')
e2e_check [ "$loud" -gt 10000 ] -- "the game played music ($loud loud samples of $(($(stat -c %s "$SOUND" 2>/dev/null || echo 0) / 2)))"

e2e_quit_from_map
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "ESC on the world map ends the game with status 0"
e2e_pass
