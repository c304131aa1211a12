#!/bin/sh
# Runs a Windows program under wine64 in the game's own Wine prefix
# ($SKV_CACHE/wine64, made on first use), quietly and without Wine's
# Mono/Gecko installers. The Windows build's tests run through this.
#   scripts/wine.sh program.exe [args...]
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
      env -u DISPLAY "$WINE" wineboot -i >/dev/null 2>&1
      /usr/lib/wine/wineserver -w
      touch "$WINEPREFIX/.ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$WINE" "$@"
