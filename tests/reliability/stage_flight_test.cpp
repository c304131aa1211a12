// The bay, the stage that keeps the most shots, flown from the bottom of its
// map to the top at one tick per frame with fire held and the dragon kept
// alive (the benchmark's StageFlight measures every stage the same way).
// Dropping the shots frozen below the view keeps far fewer alive and changes
// no frame; so does pacing, where each pass presents and then waits for the
// clock instead of the test moving it.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "app/present.h"
#include "bench/stage_fixture.h"

namespace {

struct Flight {
  std::vector<uint64_t> vFrames;  // a digest of each composed frame
  int iMostShots = 0;
};

uint64_t Digest(BITMAP *pFrame) {
  uint64_t uHash = 1469598103934665603ull;
  for (int y = 0; y < pFrame->h; ++y) {
    const uint32_t *pRow = reinterpret_cast<const uint32_t *>(pFrame->line[y]);
    for (int x = 0; x < pFrame->w; ++x) uHash = (uHash ^ (pRow[x] & 0xFFFFFF)) * 1099511628211ull;
  }
  return uHash;
}

int Count(const ListNode *pList) {
  int iCount = 0;
  for (; pList != nullptr; pList = pList->link) ++iCount;
  return iCount;
}

void NextTick() { GameTicks += 1; }

Flight Fly(bool bDropFrozen, bool bPaced) {
  Flight flight;
  GameTicks = 100000;
  FadeLevel = 255;
  BenchStage stage;
  EXPECT_TRUE(stage.open("level3.fmp", 11));
  LevelRun &run = *stage.pRun;
  run.bDropFrozenShots = bDropFrozen;
  SetTickWait(NextTick);
  SetFramePacing(bPaced);
  key[KEY_LCONTROL] = 1;
  bool bLost = false;
  while (run.playing(bLost) && flight.vFrames.size() < 20000) {
    run.pPlayer->iHealth = 50;
    run.playFrame(stage.pHudLayer, true, bLost);
    if (!bPaced) GameTicks += 1;
    flight.vFrames.push_back(Digest(BackBuffer));
    flight.iMostShots = std::max(flight.iMostShots, Count(run.pProjectiles));
  }
  key[KEY_LCONTROL] = 0;
  SetFramePacing(false);
  SetTickWait(nullptr);
  EXPECT_LE(run.iCamY, 0) << "the stage was not flown to its end";
  EXPECT_EQ(GameTicks.load(), 100000 + static_cast<int>(flight.vFrames.size()))
      << "one tick per pass";
  stage.close();
  return flight;
}

TEST(StageFlight, DroppingFrozenShotsAndPacingChangeNoFrame) {
  ASSERT_EQ(chdir(SKV_DATA_DIR), 0);
  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  _textmode = ColourMagenta;
  const Flight kept = Fly(false, false);
  const Flight dropped = Fly(true, true);
  ASSERT_EQ(kept.vFrames.size(), dropped.vFrames.size());
  size_t iFirstDiffering = kept.vFrames.size();
  for (size_t i = 0; i < kept.vFrames.size() && iFirstDiffering == kept.vFrames.size(); ++i)
    if (kept.vFrames[i] != dropped.vFrames[i]) iFirstDiffering = i;
  EXPECT_EQ(iFirstDiffering, kept.vFrames.size()) << "first differing frame";
  printf("level3.fmp: at most %d shots kept, %d dropped\n", kept.iMostShots,
         dropped.iMostShots);
  EXPECT_LT(dropped.iMostShots * 2, kept.iMostShots);
}

}  // namespace
