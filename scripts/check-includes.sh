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

# check_arrow FOLDER TARGET WHAT: counts an arrow from FOLDER to TARGET when
# TARGET is another game folder, and reports WHAT when it does not point down.
check_arrow() {
  local own other
  [ "$2" = "$1" ] && return 0
  other=$(rank "$2")
  [ "$other" -lt 0 ] && return 0
  own=$(rank "$1")
  iChecked=$((iChecked + 1))
  if [ "$other" -ge "$own" ]; then
    echo "check-includes: $3, which is not below $1/"
    iWrong=$((iWrong + 1))
  fi
}

for folder in "${FOLDERS[@]}"; do
  while IFS= read -r -d '' file; do
    # Each quoted include of another game folder: "folder/...".
    while IFS= read -r target; do
      check_arrow "$folder" "$target" "${file#"$ROOT"/} includes $target/"
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([a-z]*\)\/.*/\1/p' "$file")
  done < <(find "$ROOT/$folder" -type f \( -name '*.cpp' -o -name '*.h' \) -print0)
done
iIncludes=$iChecked

# Each folder's library links only the libraries of lower folders.
for folder in "${FOLDERS[@]}"; do
  while IFS= read -r target; do
    check_arrow "$folder" "$target" "$folder/CMakeLists.txt links skv_$target"
  done < <(grep -o 'skv_[a-z]*' "$ROOT/$folder/CMakeLists.txt" | sed 's/^skv_//' | sort -u)
done
iLinks=$((iChecked - iIncludes))

if [ "$iWrong" -gt 0 ]; then
  echo "check-includes: $iWrong of $iChecked includes and links across folders point the wrong way" >&2
  exit 1
fi
echo "check-includes: all $iIncludes includes and $iLinks library links across folders point down"
