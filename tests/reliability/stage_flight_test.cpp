// Every stage flown from the bottom of its map to the top at one tick per
// frame with fire held and the dragon kept alive. Shots frozen below the view
// are dropped: the count of live shots stays bounded, and every frame looks
// exactly as it does when they are kept.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "app/present.h"
#include "entities/player.h"
#include "level/level_run.h"
#include "tilemap/tilemap.h"

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

Flight Fly(const char *cMap, bool bDropFrozen, bool bDigest) {
  Flight flight;
  EXPECT_EQ(TileMapOpen(cMap), 0);
  srand(11);
  GameTicks = 100000;
  FadeLevel = 255;
  LevelRun run;
  run.bDropFrozenShots = bDropFrozen;
  run.populate(cMap);
  run.startPlay();
  BITMAP *pHud = create_bitmap(640, 480);
  run.pCreditOverlay.reset(create_bitmap(640, 480));
  clear_to_color(run.pCreditOverlay.get(), ColourMagenta);
  key[KEY_LCONTROL] = 1;
  bool bLost = false;
  for (int iFrame = 0; run.playing(bLost) && iFrame < 20000; ++iFrame) {
    GameTicks += 1;
    run.pPlayer->iHealth = 50;
    run.playFrame(pHud, false, bLost);
    if (bDigest) flight.vFrames.push_back(Digest(BackBuffer));
    flight.iMostShots = std::max(flight.iMostShots, Count(run.pProjectiles));
  }
  key[KEY_LCONTROL] = 0;
  EXPECT_EQ(run.iCamY <= 0, true) << cMap << " was not flown to its end";
  destroy_bitmap(pHud);
  run.releaseStage();
  return flight;
}

class StageFlight : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(chdir(SKV_DATA_DIR), 0);
    if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
    _textmode = ColourMagenta;
  }
};

// The stage that keeps the most shots: the same frames either way, and far
// fewer shots alive.
TEST_F(StageFlight, DroppingShotsFrozenBelowTheViewChangesNoFrame) {
  const Flight kept = Fly("level3.fmp", false, true);
  const Flight dropped = Fly("level3.fmp", true, true);
  ASSERT_EQ(kept.vFrames.size(), dropped.vFrames.size());
  size_t iFirstDiffering = kept.vFrames.size();
  for (size_t i = 0; i < kept.vFrames.size() && iFirstDiffering == kept.vFrames.size(); ++i)
    if (kept.vFrames[i] != dropped.vFrames[i]) iFirstDiffering = i;
  EXPECT_EQ(iFirstDiffering, kept.vFrames.size()) << "first differing frame";
  printf("level3.fmp: at most %d shots kept, %d dropped\n", kept.iMostShots,
         dropped.iMostShots);
  EXPECT_LT(dropped.iMostShots * 2, kept.iMostShots);
}

TEST_F(StageFlight, ShotsStayBoundedOverEveryStage) {
  for (const char *cMap : {"level1.fmp", "level2a.fmp", "level2.fmp", "level3.fmp",
                           "level4.fmp"}) {
    const Flight flight = Fly(cMap, true, false);
    printf("%s: at most %d shots alive\n", cMap, flight.iMostShots);
    EXPECT_LE(flight.iMostShots, 150) << cMap;
  }
}

// The game shows one picture per tick and sleeps between ticks. The frames
// of a paced flight (each pass presents, then waits for the clock) must be
// those of a flight whose clock the test moves after each pass, as every
// other flight here does: 30 s of the first stage with fire held.
void NextTick() { GameTicks += 1; }

std::vector<uint64_t> FlyFirstStage(bool bPaced) {
  std::vector<uint64_t> vFrames;
  EXPECT_EQ(TileMapOpen("level1.fmp"), 0);
  srand(11);
  GameTicks = 100000;
  FadeLevel = 255;
  LevelRun run;
  run.populate("level1.fmp");
  run.startPlay();
  BITMAP *pHud = create_bitmap(640, 480);
  run.pCreditOverlay.reset(create_bitmap(640, 480));
  clear_to_color(run.pCreditOverlay.get(), ColourMagenta);
  SetTickWait(NextTick);
  SetFramePacing(bPaced);
  key[KEY_LCONTROL] = 1;
  bool bLost = false;
  for (int iTick = 0; iTick < 1500 && run.playing(bLost); ++iTick) {
    run.pPlayer->iHealth = 50;
    const int iTickBefore = GameTicks.load();
    run.playFrame(pHud, true, bLost);
    if (!bPaced) GameTicks += 1;
    EXPECT_EQ(GameTicks.load(), iTickBefore + 1) << "one tick per pass";
    vFrames.push_back(Digest(BackBuffer));
  }
  key[KEY_LCONTROL] = 0;
  SetFramePacing(false);
  SetTickWait(nullptr);
  destroy_bitmap(pHud);
  run.releaseStage();
  return vFrames;
}

TEST_F(StageFlight, PacedPassesComposeTheFramesOfUnpacedOnes) {
  const std::vector<uint64_t> vUnpaced = FlyFirstStage(false);
  const std::vector<uint64_t> vPaced = FlyFirstStage(true);
  ASSERT_EQ(vUnpaced.size(), 1500u);
  ASSERT_EQ(vPaced.size(), vUnpaced.size());
  size_t iFirstDiffering = vPaced.size();
  for (size_t i = 0; i < vPaced.size() && iFirstDiffering == vPaced.size(); ++i)
    if (vPaced[i] != vUnpaced[i]) iFirstDiffering = i;
  EXPECT_EQ(iFirstDiffering, vPaced.size()) << "first differing tick";
}

}  // namespace
