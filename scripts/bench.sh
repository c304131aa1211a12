#!/bin/bash
# Runs the benchmarks and writes build/bench/results.json, results.csv (each
# figure also as a ratio to one 640 x 480 x 32 frame copy) and frames.png
# (frame cost along each stage); then measures the CPU use of the game and of
# the X server under Xvfb on the title, world map, story page and first stage
# at 640 x 480 and 1920 x 1080 (tests/e2e/cpu_use.sh, SKV_BENCH_CPU=0 skips
# it). Exits 1 when a frame, present or CPU target is missed (after running
# everything).
set -Eeuo pipefail
trap 'echo "bench.sh: failed (status $?) at line $LINENO: $BASH_COMMAND" >&2' ERR
ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD="${SKV_BUILD_DIR:-$ROOT/build}"
"$ROOT/scripts/install-deps.sh"
SKV_CMAKE_ARGS="-DSKV_BUILD_BENCH=ON ${SKV_CMAKE_ARGS:-}" "$ROOT/scripts/build.sh" \
  --target skv_bench skv_bench_memory skarnvale
OUT="$BUILD/bench"
mkdir -p "$OUT"
missed=0
# Three interleaved repetitions of each benchmark; the report takes their
# median, which other work on the machine disturbs least.
"$BUILD/bench/skv_bench" --benchmark_out="$OUT/results.json" \
  --benchmark_out_format=json --benchmark_repetitions=3 \
  --benchmark_enable_random_interleaving=true "$@"
python3 "$ROOT/bench/report.py" "$OUT/results.json" "$OUT" || missed=1
"$BUILD/bench/skv_bench_memory" | tee "$OUT/memory.txt"
if command -v gnuplot >/dev/null && [ -s "$OUT/frames.dat" ]; then
  (cd "$OUT" && gnuplot "$ROOT/bench/frames.gp" >frames.png)
  echo "plot: $OUT/frames.png"
fi
if [ "${SKV_BENCH_CPU:-1}" != 0 ]; then
  SKV_GAME="$BUILD/skarnvale" SKV_DATA_DIR="$BUILD/data" SKV_E2E_OUT="$OUT" SKV_E2E_LIMIT=600 \
    bash "$ROOT/tests/e2e/cpu_use.sh" || missed=1
fi
[ "$missed" = 0 ] || { echo "bench: a target was missed (see above)" >&2; exit 1; }
