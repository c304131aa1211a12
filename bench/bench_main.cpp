// Frame and load costs of the five stages, measured against the cost of
// copying one 640 x 480 x 32 frame (the reference that makes figures
// comparable across machines; scripts/bench.sh turns them into ratios).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include "app/globals.h"
#include "bench/headless.h"
#include "tilemap/tilemap.h"

namespace {

const char *const StageMaps[] = {"level1.fmp", "level2a.fmp", "level2.fmp", "level3.fmp",
                                 "level4.fmp"};

void ReferenceFrameCopy(benchmark::State &state) {
  BITMAP *pFrom = create_bitmap(640, 480);
  BITMAP *pTo = create_bitmap(640, 480);
  clear_to_color(pFrom, makecol(10, 20, 30));
  for (auto _ : state) {
    blit(pFrom, pTo, 0, 0, 0, 0, 640, 480);
    benchmark::ClobberMemory();
  }
  destroy_bitmap(pFrom);
  destroy_bitmap(pTo);
}
BENCHMARK(ReferenceFrameCopy);

// Map decode and block bitmaps alone.
void MapLoad(benchmark::State &state) {
  const char *cMap = StageMaps[state.range(0)];
  for (auto _ : state) {
    if (TileMapOpen(cMap) != 0) {
      state.SkipWithError("map did not load");
      break;
    }
    TileMapClose();
  }
  state.SetLabel(cMap);
}
BENCHMARK(MapLoad)->DenseRange(0, 4)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  BenchStartAllegro();
  if (chdir(SKV_DATA_DIR) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
