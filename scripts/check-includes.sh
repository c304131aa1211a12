#!/usr/bin/env bash
# Checks that includes between the game's folders, and the links between
# their libraries, point one way only: down the order support, tilemap, app,
# entities and audio, level, screens, game. Lists every include or link that
# points up (or across between entities and audio) and fails if there is one.
# No exceptions are listed.
set -euo pipefail

ROOT=$(cd "$(dirname "$0")/.." && pwd)

# A folder's place in the order; a folder may include only lower places.
rank() {
  case "$1" in
    support) echo 0 ;;
    tilemap) echo 1 ;;
    app) echo 2 ;;
    entities | audio) echo 3 ;;
    level) echo 4 ;;
    screens) echo 5 ;;
    game) echo 6 ;;
    *) echo -1 ;;
  esac
}

FOLDERS=(support tilemap app entities audio level screens game)
iChecked=0
iWrong=0
for folder in "${FOLDERS[@]}"; do
  own=$(rank "$folder")
  while IFS= read -r -d '' file; do
    # Each quoted include of another game folder: "folder/...".
    while IFS= read -r target; do
      [ "$target" = "$folder" ] && continue
      other=$(rank "$target")
      [ "$other" -lt 0 ] && continue
      iChecked=$((iChecked + 1))
      if [ "$other" -ge "$own" ]; then
        echo "check-includes: ${file#"$ROOT"/} includes $target/, which is not below $folder/"
        iWrong=$((iWrong + 1))
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file")
  done < <(find "$ROOT/$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done

# Each folder's library links only the libraries of lower folders.
iLinks=0
for folder in "${FOLDERS[@]}"; do
  own=$(rank "$folder")
  while IFS= read -r target; do
    [ "$target" = "$folder" ] && continue
    other=$(rank "$target")
    [ "$other" -lt 0 ] && continue
    iLinks=$((iLinks + 1))
    if [ "$other" -ge "$own" ]; then
      echo "check-includes: $folder/CMakeLists.txt links skv_$target, which is not below $folder/"
      iWrong=$((iWrong + 1))
    fi
  done < <(grep -o 'skv_[a-z]*' "$ROOT/$folder/CMakeLists.txt" | sed 's/^skv_//' | sort -u)
done

if [ "$iWrong" -gt 0 ]; then
  echo "check-includes: $iWrong of $((iChecked + iLinks)) includes and links across folders point the wrong way" >&2
  exit 1
fi
echo "check-includes: all $iChecked includes and $iLinks library links across folders point down"
