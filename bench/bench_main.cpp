// Frame and load costs of every stage (tools/maps/stages.def), measured
// against the cost of copying one 640 x 480 x 32 frame (the reference that
// makes figures comparable across machines; scripts/bench.sh turns them into
// ratios).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <iterator>
#include <string>
#include <vector>

#include "app/globals.h"
#include "audio/effects.h"
#include "app/list.h"
#include "app/present.h"
#include "bench/headless.h"
#include "bench/stage_fixture.h"
#include "support/blit32.h"
#include "tilemap/tilemap.h"

namespace {

// The stages' maps, in the order of the world map.
const char *const StageMaps[] = {
#define SKV_STAGE(stem, name, seed, layout) #stem ".fmp",
#include "tools/maps/stages.def"
#undef SKV_STAGE
};
constexpr int StageCount = static_cast<int>(std::size(StageMaps));
// Every stage, as a benchmark argument.
const std::vector<int64_t> EveryStage = benchmark::CreateDenseRange(0, StageCount - 1, 1);

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

// Showing a finished frame at scale 1 to 4 on an output of the scaled size:
// the frame laid over the shown picture, then scaled onto the output. The
// second argument 0 is an output in memory (scaled straight into it); 1 goes
// through the scale buffer and a copy, as onto a display.
void Present(benchmark::State &state) {
  const int iScale = static_cast<int>(state.range(0));
  const bool bThroughBuffer = state.range(1) != 0;
  BITMAP *pOldScreen = screen;
  BITMAP *pOutput = create_bitmap_ex(32, 640 * iScale, 480 * iScale);
  BITMAP *pFrame = create_bitmap_ex(32, 640, 480);
  BITMAP *pShown = create_bitmap_ex(32, 640, 480);
  BITMAP *pBuffer = create_bitmap_ex(32, 640 * iScale, 480 * iScale);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) putpixel(pFrame, x, y, makecol(x & 255, y & 255, (x ^ y) & 255));
  screen = pOutput;
  for (auto _ : state) {
    if (bThroughBuffer) {
      DrawSprite32(pShown, pFrame, 0, 0);
      ScalePicture32(pShown, pBuffer, iScale);
      blit(pBuffer, pOutput, 0, 0, 0, 0, pBuffer->w, pBuffer->h);
    } else {
      PresentFrame(pFrame);
    }
    benchmark::ClobberMemory();
  }
  screen = pOldScreen;
  for (BITMAP *p : {pOutput, pFrame, pShown, pBuffer}) destroy_bitmap(p);
  state.SetLabel(bThroughBuffer ? "through a buffer" : "into memory");
}
BENCHMARK(Present)->ArgsProduct({{1, 2, 3, 4}, {0, 1}})->Unit(benchmark::kMicrosecond);

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
BENCHMARK(MapLoad)->DenseRange(0, StageCount - 1)->Unit(benchmark::kMillisecond);

// Map plus population, as a stage's "LOADING..." screen does it.
void StageLoad(benchmark::State &state) {
  const char *cMap = StageMaps[state.range(0)];
  for (auto _ : state) {
    BenchStage stage;
    if (!stage.open(cMap, 1234)) {
      state.SkipWithError("map did not load");
      break;
    }
    stage.close();
  }
  state.SetLabel(cMap);
}
BENCHMARK(StageLoad)->DenseRange(0, StageCount - 1)->Unit(benchmark::kMillisecond);

// One whole play frame at one of ten places from the bottom (0) to the top
// (9) of the map, every step in order, the fade complete.
void StageFrame(benchmark::State &state) {
  const char *cMap = StageMaps[state.range(0)];
  const int iCamY = StageStartCamY - static_cast<int>(state.range(1)) * StageStartCamY / 9;
  BenchStage stage;
  if (!stage.open(cMap, 1234)) {
    state.SkipWithError("map did not load");
    return;
  }
  FadeLevel = 255;
  bool bLost = false;
  for (auto _ : state) {
    state.PauseTiming();
    stage.park(iCamY);
    stage.pRun->pPlayer->iHealth = 50;
    GameTicks += 1;
    state.ResumeTiming();
    stage.pRun->playFrame(stage.pHudLayer, state.range(0) == 0, bLost);
  }
  state.SetLabel(cMap);
  stage.close();
}
BENCHMARK(StageFrame)->ArgsProduct({EveryStage, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}})
    ->Unit(benchmark::kMicrosecond);

// Thread CPU time in seconds (other work on the machine does not count).
double CpuSeconds() {
  timespec now;
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
  return now.tv_sec + now.tv_nsec * 1e-9;
}

// A whole stage flown from the bottom of the map to the top at one tick per
// frame with fire held and the dragon kept alive. Counters: t0..t9 the mean
// CPU seconds of a frame in each tenth of the flight, shots the most shots
// alive at once. The second argument 0 keeps the shots frozen below the view
// (for comparison), 1 drops them as the game does; the third 1 loads the
// effects, on voices that sound for their sample's length, so the effects
// player's own work in the frame is measured (0: no effects file).
void StageFlight(benchmark::State &state) {
  const char *cMap = StageMaps[state.range(0)];
  if (state.range(2) != 0) {
    static std::vector<int> vEnds;
    EffectOutput out;
    out.start = [](const SAMPLE *pSample, int, int, int iFrequency) {
      vEnds.push_back(GameTicks + static_cast<int>(pSample->len * 50 / iFrequency));
      return static_cast<int>(vEnds.size()) - 1;
    };
    out.playing = [](int iVoice) { return GameTicks < vEnds[iVoice]; };
    out.stop = [](int) {};
    out.hold = [](int, bool) {};
    GameEffects.setOutput(out);
    if (!GameEffects.load("effects.dat")) {
      state.SkipWithError("effects.dat did not load");
      return;
    }
  }
  double fSum[10] = {};
  int iCount[10] = {};
  int iMostShots = 0;
  for (auto _ : state) {
    BenchStage stage;
    if (!stage.open(cMap, 1234)) {
      state.SkipWithError("map did not load");
      return;
    }
    stage.pRun->bDropFrozenShots = state.range(1) != 0;
    FadeLevel = 255;
    key[KEY_LCONTROL] = 1;
    bool bLost = false;
    while (stage.pRun->playing(bLost)) {
      const int iTenth =
          std::min(9, (StageStartCamY - stage.pRun->iCamY) * 10 / StageStartCamY);
      GameTicks += 1;
      stage.pRun->pPlayer->iHealth = 50;
      const double fStart = CpuSeconds();
      stage.pRun->playFrame(stage.pHudLayer, state.range(0) == 0, bLost);
      fSum[iTenth] += CpuSeconds() - fStart;
      ++iCount[iTenth];
      int iShots = 0;
      for (ListNode *p = stage.pRun->pProjectiles; p != nullptr; p = p->link) ++iShots;
      iMostShots = std::max(iMostShots, iShots);
    }
    key[KEY_LCONTROL] = 0;
    stage.close();
  }
  for (int i = 0; i < 10; ++i)
    state.counters["t" + std::to_string(i)] = iCount[i] > 0 ? fSum[i] / iCount[i] : 0.0;
  state.counters["shots"] = iMostShots;
  state.SetLabel(cMap);
  GameEffects.release();
  GameEffects.setOutput(LibraryEffectOutput());
}
BENCHMARK(StageFlight)->ArgsProduct({EveryStage, {1, 0}, {0}})->ArgsProduct({EveryStage, {1}, {1}})
    ->Iterations(1)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char **argv) {
  BenchStartAllegro();
  if (chdir(SKV_DATA_DIR) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
