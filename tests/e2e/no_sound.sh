#!/bin/bash
# No sound device: start-up tells the player twice (the failure and the
# library's explanation) in the game's own frame, each answered with Enter,
# then the game runs silently and normally.
HERE=$(cd "$(dirname "$0")" && pwd)
. "$HERE/harness.sh"
. "$HERE/screens.sh"

e2e_begin no_sound
e2e_start_x
e2e_sound none
e2e_start_game "$SKV_DATA_DIR"
e2e_answer_startup_notes
e2e_expect_notice 30 "ERROR:  Failure to install sound.  Attempting to run without sound." game
e2e_answer_notice 30 || e2e_fail "no second sound message"
e2e_check [ "$E2E_NOTICE_KIND" = game ] -- "the reason shows in the game's frame too"
case $E2E_NOTICE_TEXT in
  "REPORT:  "?*) e2e_log "ok: the second sound message gives the library's reason" ;;
  *) e2e_fail "second sound message is \"$E2E_NOTICE_TEXT\", expected \"REPORT:  <reason>\"" ;;
esac
# Silent, but the game goes on: splash, title, and a normal "Exit".
e2e_wait_for 90 title title_shown
e2e_check [ -z "$(e2e_library_box_pids)" ] -- "no library message box"
e2e_title_choose 3
e2e_wait_exit 20
e2e_check [ "$E2E_GAME_STATUS" = 0 ] -- "\"Exit\" ends the game with status 0"
e2e_check [ "$(grep -c . "$E2E_OUT/notices.log")" = 3 ] -- "three messages in all"
e2e_pass
