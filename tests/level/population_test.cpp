// Stage population: with a fixed seed the enemies and clouds of a stage are a
// pure function of the map. The expected places are replayed here from the
// order of the random draws the game promises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "app/list.h"
#include "entities/enemy.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "level/sky.h"
#include "stage_files.h"
#include "tilemap/tilemap.h"

using namespace stagetest;

namespace {

constexpr int Columns = 20;
constexpr int Rows = 750;
constexpr int MapWidth = Columns * BlockSize;
constexpr int MapHeight = Rows * BlockSize;

// A third of the cells are rock, in diagonal stripes.
bool Striped(int c, int r) { return (c + r) % 3 == 0; }

// The game's solid test for this map: the rim and everything outside count.
bool FreeAt(int x, int y) {
  if (x <= 0 || y <= 0 || x >= MapWidth || y >= MapHeight) return false;
  return !Striped(x / BlockSize, y / BlockSize);
}

struct Expected {
  int iX, iY, iHealth;
};

// Replays the draws of placing one enemy: per attempt the hut's hit points,
// y, x, then five draws of the enemy itself (two for its teleports, three for
// its first leg).
Expected ReplayPlacement(bool bHut, bool bUpperHalf) {
  for (;;) {
    const int iHealth = bHut ? rand() % 10 + 5 : -1;
    const int iY = bUpperHalf ? rand() % (MapHeight / 2) : 23520 - rand() % MapHeight;
    const int iX = rand() % MapWidth;
    for (int i = 0; i < 5; ++i) rand();
    if (FreeAt(iX, iY)) return {iX, iY, iHealth};
  }
}

struct ExpectedCloud {
  float fX, fY, fVelX, fVelY;
  int iAlpha, iWidth, iHeight;
};

ExpectedCloud ReplayCloud(int iBaseY, int iSpread) {
  ExpectedCloud c;
  int a = rand() % 2, b = rand() % 2;
  c.fVelX = a - b == 0 ? 1.0f : static_cast<float>(a - b);
  a = rand() % 2;
  b = rand() % 2;
  c.fVelY = a - b == 0 ? 1.0f : static_cast<float>(a - b);
  rand();  // which picture
  a = rand() % iSpread;
  b = rand() % iSpread;
  c.fY = static_cast<float>(iBaseY + a - b);
  c.fX = static_cast<float>(rand() % MapWidth);
  a = rand() % 40;
  b = rand() % 40;
  c.iAlpha = 80 + a - b;
  c.iWidth = rand() % 250 + 64;
  c.iHeight = rand() % 250 + 64;
  return c;
}

class Population : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteStagePictures();
    WriteMap("striped.fmp", Columns, Rows, Striped);
    ASSERT_EQ(TileMapOpen("striped.fmp"), 0);
  }
  void TearDown() override { run.releaseStage(); }

  std::vector<Enemy *> enemies() const {
    std::vector<Enemy *> v;
    for (ListNode *p = run.pEnemies; p != nullptr; p = p->link)
      v.push_back(static_cast<Enemy *>(p->data));
    return v;
  }
  std::vector<Cloud *> clouds() const {
    std::vector<Cloud *> v;
    for (ListNode *p = run.pClouds; p != nullptr; p = p->link)
      v.push_back(static_cast<Cloud *>(p->data));
    return v;
  }
  StageFolder folder;
  LevelRun run;
};

TEST_F(Population, StageOneFollowsTheDrawOrderExactly) {
  srand(4242);
  run.populate("level1.fmp");
  srand(4242);
  struct Group { int iCount, iKind, iFrameWidth, iHealth, iScore, iFireDelay; };
  const Group groups[] = {{25, 4, 24, 1, 5, 150}, {25, 4, 24, 1, 5, 150},
                          {10, 5, 24, 5, 10, 20}, {20, 1, 64, -1, 30, 150}};
  std::vector<Enemy *> placed = enemies();
  ASSERT_EQ(placed.size(), 80u);
  size_t i = 0;
  for (const Group &g : groups) {
    for (int n = 0; n < g.iCount; ++n, ++i) {
      const Expected e = ReplayPlacement(g.iKind == 1, false);
      const Enemy *p = placed[i];
      ASSERT_EQ(p->iMapX, e.iX) << "enemy " << i;
      ASSERT_EQ(p->iMapY, e.iY) << "enemy " << i;
      EXPECT_EQ(p->iKind, g.iKind);
      EXPECT_EQ(p->pSprite->getWidth(), g.iFrameWidth);
      EXPECT_EQ(p->iHealth, g.iKind == 1 ? e.iHealth : g.iHealth);
      EXPECT_EQ(p->iScoreValue, g.iScore);
      EXPECT_EQ(p->iFireDelay, g.iFireDelay);
    }
  }
  std::vector<Cloud *> sky = clouds();
  ASSERT_EQ(sky.size(), 100u);
  for (size_t c = 0; c < sky.size(); ++c) {
    const ExpectedCloud e = ReplayCloud(-720, 23760);
    ASSERT_EQ(sky[c]->fX, e.fX) << "cloud " << c;
    ASSERT_EQ(sky[c]->fY, e.fY) << "cloud " << c;
    EXPECT_EQ(sky[c]->fVelX, e.fVelX);
    EXPECT_EQ(sky[c]->fVelY, e.fVelY);
    EXPECT_EQ(sky[c]->iAlpha, e.iAlpha);
    EXPECT_EQ(sky[c]->iWidth, e.iWidth);
    EXPECT_EQ(sky[c]->iHeight, e.iHeight);
    EXPECT_EQ(sky[c]->iMoveDelay, 1);
  }
}

TEST_F(Population, StageFourOpensWithOrcsInTheUpperHalf) {
  srand(99);
  run.populate("level4.fmp");
  std::vector<Enemy *> placed = enemies();
  ASSERT_EQ(placed.size(), 300u);
  int iLowerHalf = 0;
  for (size_t i = 0; i < placed.size(); ++i) {
    if (i < 50) {
      EXPECT_LT(placed[i]->iMapY, MapHeight / 2) << "enemy " << i;
      EXPECT_EQ(placed[i]->iFireDelay, 5);
    } else if (placed[i]->iMapY >= MapHeight / 2) {
      ++iLowerHalf;
    }
  }
  EXPECT_GT(iLowerHalf, 100) << "the other groups spread over the whole flight";
  // The first group's draws: y before x, without the bottom offset.
  srand(99);
  const Expected first = ReplayPlacement(false, true);
  EXPECT_EQ(placed[0]->iMapX, first.iX);
  EXPECT_EQ(placed[0]->iMapY, first.iY);
}

TEST_F(Population, MapWithoutFreeGroundGivesUpOnItsEnemies) {
  WriteMap("rock.fmp", Columns, Rows, [](int, int) { return true; });
  ASSERT_EQ(TileMapOpen("rock.fmp"), 0);
  run.populate("level1.fmp", 20);
  EXPECT_EQ(run.pEnemies, nullptr);
  EXPECT_EQ(clouds().size(), 100u) << "the sky is filled all the same";
}

}  // namespace
