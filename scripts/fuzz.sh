#!/bin/bash
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer with every finding fatal, linked against an
# Allegro built with AddressSanitizer by scripts/asan-allegro.sh) into
# build-fuzz/ and runs each for a bounded time, starting from the corpus kept
# in fuzz/<target>/corpus/ (plus the seeds and the regressions) with the
# target's dictionary.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target name...]
#   SKV_FUZZ_MERGE=1 afterwards minimizes the kept corpus with what the run
#   learnt (libFuzzer's -merge=1) and writes it back to fuzz/<target>/corpus/.
# A crash stops the script; its input is left in build-fuzz/ to be fixed and
# then kept in fuzz/<target>/regressions/.
set -Eeuo pipefail
trap 'echo "fuzz.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="${SKV_FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SECONDS_EACH="${1:-60}"
[ $# -gt 0 ] && shift
# libFuzzer reads 0 as "no limit".
if [[ ! "$SECONDS_EACH" =~ ^[1-9][0-9]*$ ]]; then
  echo "fuzz.sh: seconds per target must be a whole number above 0, not \"$SECONDS_EACH\"" >&2
  exit 2
fi
if PREFIX=$("$ROOT/scripts/asan-allegro.sh"); then
  ALLEGRO_ARG="-DSKV_FUZZ_ALLEGRO=$PREFIX"
else
  echo "fuzz.sh: no instrumented Allegro; the targets link the system's library" >&2
  ALLEGRO_ARG="-DSKV_FUZZ_ALLEGRO="
fi
# Configured every time: new target folders are found by globbing.
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DSKV_BUILD_FUZZ=ON \
  -DSKV_BUILD_TESTS=OFF -DSKV_BUILD_BENCH=OFF "$ALLEGRO_ARG" >/dev/null
TARGETS=("$@")
if [ ${#TARGETS[@]} -eq 0 ]; then
  for d in "$ROOT"/fuzz/*/; do
    if [ -f "$d/CMakeLists.txt" ]; then TARGETS+=("$(basename "$d")"); fi
  done
fi
for t in "${TARGETS[@]}"; do cmake --build "$BUILD" -j "$(nproc)" --target "fuzz_$t" >/dev/null; done
for t in "${TARGETS[@]}"; do
  SRC="$ROOT/fuzz/$t"
  FUZZER="$BUILD/fuzz/$t/fuzz_$t"
  # A fresh working corpus from what the repository keeps, so the kept
  # corpus changes only through a merge.
  CORPUS="$BUILD/corpus/$t"
  rm -rf "$CORPUS"
  mkdir -p "$CORPUS"
  for kept in "$SRC/corpus" "$SRC/seeds" "$SRC/regressions" "$BUILD/fuzz/$t/seeds"; do
    if [ -d "$kept" ]; then find "$kept" -maxdepth 1 -type f -exec cp -n {} "$CORPUS/" \;; fi
  done
  DICT=()
  if [ -f "$SRC/$t.dict" ]; then DICT=("-dict=$SRC/$t.dict"); fi
  echo "fuzz_$t: ${SECONDS_EACH}s"
  "$FUZZER" -max_total_time="$SECONDS_EACH" -print_final_stats=1 "${DICT[@]}" \
    -artifact_prefix="$BUILD/fuzz_$t-" \
    -rss_limit_mb=4096 "$CORPUS" 2>"$BUILD/fuzz_$t.log" || {
    tail -50 "$BUILD/fuzz_$t.log"
    echo "fuzz.sh: fuzz_$t found a fault (log: $BUILD/fuzz_$t.log)" >&2
    exit 1
  }
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$BUILD/fuzz_$t.log" || true
  if [ "${SKV_FUZZ_MERGE:-0}" = 1 ]; then
    MERGED="$BUILD/merged/$t"
    rm -rf "$MERGED"
    mkdir -p "$MERGED"
    "$FUZZER" -merge=1 "${DICT[@]}" -rss_limit_mb=4096 "$MERGED" "$CORPUS" 2>"$BUILD/fuzz_$t.merge.log" || {
      tail -20 "$BUILD/fuzz_$t.merge.log"
      echo "fuzz.sh: merging the corpus of fuzz_$t failed" >&2
      exit 1
    }
    rm -rf "$SRC/corpus"
    mkdir -p "$SRC/corpus"
    cp "$MERGED"/* "$SRC/corpus/"
    echo "fuzz_$t: corpus $(find "$SRC/corpus" -type f | wc -l) files, $(cat "$SRC/corpus"/* | wc -c) bytes"
  fi
done
