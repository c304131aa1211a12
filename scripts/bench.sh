#!/bin/sh
# Runs the benchmarks and writes build/bench/results.json, results.csv (each
# figure also as a ratio to one 640 x 480 x 32 frame copy) and frames.png
# (frame cost along each stage).
set -e
ROOT=$(cd "$(dirname "$0")/.." && pwd)
"$ROOT/scripts/install-deps.sh"
"$ROOT/scripts/build.sh" --target skv_bench skv_bench_memory
OUT="$ROOT/build/bench"
mkdir -p "$OUT"
# Three interleaved repetitions of each benchmark; the report takes their
# median, which other work on the machine disturbs least.
"$ROOT/build/bench/skv_bench" --benchmark_out="$OUT/results.json" \
  --benchmark_out_format=json --benchmark_repetitions=3 \
  --benchmark_enable_random_interleaving=true "$@"
python3 "$ROOT/bench/report.py" "$OUT/results.json" "$OUT"
"$ROOT/build/bench/skv_bench_memory" | tee "$OUT/memory.txt"
if command -v gnuplot >/dev/null && [ -s "$OUT/frames.dat" ]; then
  (cd "$OUT" && gnuplot "$ROOT/bench/frames.gp" >frames.png)
  echo "plot: $OUT/frames.png"
fi
