#!/bin/bash
# Runs a Windows program under wine64 in the game's own Wine prefix
# ($SKV_CACHE/wine64, made on first use), quietly and without Wine's
# Mono/Gecko installers. The Windows build's tests run through this.
#   scripts/wine.sh program.exe [args...]
# A prefix is marked ready only when wineboot made it; a failed one is made
# again on the next run.
set -Eeuo pipefail
trap 'echo "wine.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
WINE=/usr/lib/wine/wine64
export WINEPREFIX="${SKV_WINEPREFIX:-${SKV_CACHE:-$HOME/.cache/skarnvale}/wine64}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
if [ ! -f "$WINEPREFIX/.ready" ]; then
  mkdir -p "$(dirname "$WINEPREFIX")"
  # One first run makes the prefix; parallel test runs wait for it.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/.ready" ]; then
      if env -u DISPLAY "$WINE" wineboot -i >"$WINEPREFIX.boot.log" 2>&1 &&
        /usr/lib/wine/wineserver -w; then
        touch "$WINEPREFIX/.ready"
      else
        tail -20 "$WINEPREFIX.boot.log" >&2
        echo "wine.sh: wineboot could not make the prefix $WINEPREFIX (log: $WINEPREFIX.boot.log)" >&2
        exit 1
      fi
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$WINE" "$@"
