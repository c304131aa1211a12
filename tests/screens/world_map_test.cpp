// The world map: node table and links, cursor rules, growing paths, the
// pulsing cursor and the completed node's picture.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "common/allegro_env.h"
#include "common/scripted_pads.h"
#include "entities/sprite.h"
#include "screen_fixture.h"
#include "screens/screens.h"
#include "screens/stage_intro.h"
#include "screens/world_map.h"
#include "support/colour.h"

using screentest::ScreenTest;

namespace {

std::vector<StagePath *> PathsOf(const StageNode *pNode) {
  std::vector<StagePath *> paths;
  for (ListNode *p = pNode->pPaths; p != nullptr; p = p->link)
    paths.push_back(static_cast<StagePath *>(p->data));
  return paths;
}

StagePath *PathBetween(const StageNode *pFrom, const StageNode *pTo) {
  for (StagePath *pPath : PathsOf(pFrom))
    if (pPath->pTo == pTo) return pPath;
  return nullptr;
}

}  // namespace

class WorldMapTest : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    map = new WorldMap();
    map->load("world.bmp", nullptr);
  }
  void TearDown() override {
    delete map;
    ScreenTest::TearDown();
  }
  StageNode *node(int i) { return map->pNodes[i]; }
  void openAll() {
    for (int i = 0; i < WorldMap::kStages; ++i) node(i)->bOpen = 1;
  }
  // One cursor input after the gate has opened.
  void press(bool bLeft, bool bRight) {
    GameTicks += 6;
    map->moveCursor(bLeft, bRight);
  }
  WorldMap *map = nullptr;
};

// Every node's map has its story page, whose title is the node's name.
TEST_F(WorldMapTest, LoadBuildsTheNodeTable) {
  for (int i = 0; i < 5; ++i) {
    SCOPED_TRACE(i);
    ASSERT_NE(node(i), nullptr);
    const StoryLine *pLines = nullptr;
    ASSERT_GT(StoryLinesFor(node(i)->cMapFile, &pLines), 0) << node(i)->cMapFile;
    EXPECT_STREQ(node(i)->cName, pLines[0].cText);
    EXPECT_EQ(node(i)->bOpen != 0, i == 0);
    EXPECT_FALSE(node(i)->bCompleted);
    EXPECT_EQ(node(i)->pSprite->iX, node(i)->iX);
    EXPECT_EQ(node(i)->pSprite->iY, node(i)->iY);
  }
  for (int i = 5; i < WorldMap::kSlots; ++i) EXPECT_EQ(map->pNodes[i], nullptr);
  EXPECT_EQ(map->iCurrent, 0);
  EXPECT_EQ(map->iPulse, 200);
  EXPECT_EQ(map->iPulseStep, 15);
}

TEST_F(WorldMapTest, LinksGoBothWaysInTheirOrder) {
  // 0-1, 0-2, 1-3, 3-4, 2-4: each node lists its paths in link order.
  int iExpected[5][2] = {{1, 2}, {0, 3}, {0, 4}, {1, 4}, {3, 2}};
  for (int i = 0; i < 5; ++i) {
    std::vector<StagePath *> paths = PathsOf(node(i));
    ASSERT_EQ(paths.size(), 2u) << i;
    for (int k = 0; k < 2; ++k) {
      StagePath *pPath = paths[k];
      StageNode *pTo = node(iExpected[i][k]);
      EXPECT_EQ(pPath->pFrom, node(i));
      EXPECT_EQ(pPath->pTo, pTo);
      EXPECT_EQ(pPath->iFromX, node(i)->iX + 16);
      EXPECT_EQ(pPath->iFromY, node(i)->iY + 16);
      EXPECT_EQ(pPath->iToX, pTo->iX + 16);
      EXPECT_EQ(pPath->iToY, pTo->iY + 16);
      EXPECT_EQ(pPath->iTipX, pPath->iFromX);
      EXPECT_EQ(pPath->iKind, 1);
      EXPECT_FALSE(pPath->bRevealed);
      EXPECT_FALSE(pPath->bArrived);
    }
  }
  EXPECT_EQ(PathBetween(node(0), node(1))->iFromX, 336);
  EXPECT_EQ(PathBetween(node(0), node(1))->iFromY, 436);
}

TEST_F(WorldMapTest, CursorStaysWhileNoNeighbourIsOpen) {
  press(true, false);
  press(false, true);
  EXPECT_EQ(map->iCurrent, 0);
}

TEST_F(WorldMapTest, CursorMovesToTheFurthestOpenNeighbour) {
  openAll();
  const int iMovesHeard = GameEffects.requests(Effect::MenuMove);
  press(true, false);
  EXPECT_EQ(map->iCurrent, 1);  // centre 266, left of the edge at 320
  press(true, false);
  EXPECT_EQ(map->iCurrent, 3);
  press(true, false);
  EXPECT_EQ(map->iCurrent, 3);  // nothing left of x 180
  press(false, true);
  EXPECT_EQ(map->iCurrent, 1);  // 1 at 266 beats 4 at 236
  map->iCurrent = 4;
  press(false, true);
  EXPECT_EQ(map->iCurrent, 2);  // from 4: 3 (196) lies left, 2 (386) right
  press(true, false);
  EXPECT_EQ(map->iCurrent, 4);  // from 2: 4 at 236 beats 0 at 336
  EXPECT_EQ(GameEffects.requests(Effect::MenuMove) - iMovesHeard, 5) << "moves heard, a stay not";
}

TEST_F(WorldMapTest, LeftNeedsTheLeftEdgeRightOnlyTheCentre) {
  openAll();
  StagePath *pToOne = PathBetween(node(0), node(1));
  StagePath *pToTwo = PathBetween(node(0), node(2));
  // Node 0: left edge 320, centre 336.
  pToOne->iToX = 321;
  press(true, false);
  EXPECT_EQ(map->iCurrent, 0);  // centre left of the centre, not of the edge
  pToOne->iToX = 319;
  press(true, false);
  EXPECT_EQ(map->iCurrent, 1);
  map->iCurrent = 0;
  pToTwo->iToX = 336;
  press(false, true);
  EXPECT_EQ(map->iCurrent, 0);
  pToTwo->iToX = 337;
  press(false, true);
  EXPECT_EQ(map->iCurrent, 2);
}

TEST_F(WorldMapTest, HeldDirectionsAreGatedAndLeftWinsOverRight) {
  openAll();
  GameTicks = 2000;
  LastMenuInputTick = 1995;
  map->moveCursor(false, true);
  EXPECT_EQ(map->iCurrent, 0);  // 5 ticks: too soon
  GameTicks = 2001;
  map->moveCursor(false, true);
  EXPECT_EQ(map->iCurrent, 2);
  EXPECT_EQ(LastMenuInputTick, 2001);
  // Left acts first and resets the gate, so right gets no turn.
  map->iCurrent = 0;
  press(true, true);
  EXPECT_EQ(map->iCurrent, 1);
  // Even a left that finds nothing resets the gate.
  map->iCurrent = 0;
  node(1)->bOpen = 0;
  press(true, true);
  EXPECT_EQ(map->iCurrent, 0);
  EXPECT_EQ(LastMenuInputTick, GameTicks);
}

TEST_F(WorldMapTest, NoMoveAcrossALinkWhoseEndsAreBothCompleted) {
  openAll();
  node(0)->bCompleted = true;
  node(1)->bCompleted = true;
  press(true, false);
  EXPECT_EQ(map->iCurrent, 0);
  press(false, true);
  EXPECT_EQ(map->iCurrent, 2);  // 2 is not completed
  for (int i = 0; i < 5; ++i) node(i)->bCompleted = true;
  for (int i = 0; i < 4; ++i) {
    press(i % 2 == 0, i % 2 == 1);
    EXPECT_EQ(map->iCurrent, 2);
  }
}

TEST_F(WorldMapTest, CompletedStagePathsGrowAndOpenTheNeighbours) {
  node(0)->complete();
  StagePath *pToOne = PathBetween(node(0), node(1));  // 336 -> 266
  StagePath *pToTwo = PathBetween(node(0), node(2));  // 336 -> 386
  EXPECT_TRUE(pToOne->bRevealed);
  EXPECT_TRUE(pToTwo->bRevealed);
  // The neighbours' return paths are revealed, their onward paths are not.
  EXPECT_TRUE(PathBetween(node(1), node(0))->bRevealed);
  EXPECT_TRUE(PathBetween(node(2), node(0))->bRevealed);
  EXPECT_FALSE(PathBetween(node(1), node(3))->bRevealed);

  // Within 5 ticks of the last step nothing grows.
  GameTicks = 3000;
  pToOne->iLastStepTick = pToTwo->iLastStepTick = 2995;
  map->update();
  EXPECT_EQ(pToOne->iTipX, 336);
  int iSteps = 0;
  while (!node(2)->bOpen && iSteps < 100) {
    GameTicks += 6;
    map->update();
    ++iSteps;
    EXPECT_EQ(pToTwo->iTipX, 336 + 2 * iSteps);
  }
  // 386 - 4 < tip: the tip at 384 is the first within 3 pixels.
  EXPECT_EQ(iSteps, 24);
  EXPECT_TRUE(pToTwo->bArrived);
  EXPECT_FALSE(node(1)->bOpen);
  EXPECT_EQ(pToOne->iTipX, 336 - 2 * 24);
  while (!node(1)->bOpen && iSteps < 100) {
    GameTicks += 6;
    map->update();
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 34);  // tip 268, two pixels short of 266
  EXPECT_EQ(pToOne->iTipX, 268);
  // Later steps reach the centre and stay there.
  for (int i = 0; i < 3; ++i) {
    GameTicks += 6;
    map->update();
  }
  EXPECT_EQ(pToOne->iTipX, 266);
  EXPECT_EQ(pToTwo->iTipX, 386);
  // The opened neighbour grows its own line back.
  EXPECT_LT(PathBetween(node(2), node(0))->iTipX, 386);
}

TEST_F(WorldMapTest, CursorColourPulsesBetweenWhiteAndDarkRed) {
  GameTicks = 4000;
  map->iLastPulseTick = 3997;
  map->update();
  EXPECT_EQ(map->iPulse, 200);  // 3 ticks: not yet
  EXPECT_EQ(map->iCursorColour, 0);
  map->iPulse = 15;
  map->iPulseStep = -15;
  GameTicks = 4001;
  map->update();
  EXPECT_EQ(map->iPulse, 0);
  EXPECT_EQ(map->iPulseStep, 15);
  EXPECT_EQ(map->iCursorColour, 0xFFFFFF);
  map->iPulse = 245;
  GameTicks += 4;
  map->update();
  EXPECT_EQ(map->iPulse, 255);  // clamped from 260
  EXPECT_EQ(map->iPulseStep, -15);
  EXPECT_EQ(map->iCursorColour, PackColour(192, 0, 0));
  GameTicks += 4;
  map->update();
  EXPECT_EQ(map->iPulse, 240);
  EXPECT_EQ(map->iCursorColour, PackColour(195, 15, 15));
}

TEST_F(WorldMapTest, OpenNodesSwingThroughTheirColumnsAndCompletedShowSeven) {
  std::vector<int> columns;
  for (int i = 0; i < 14; ++i) {
    GameTicks += 6;
    map->update();
    columns.push_back(node(0)->pSprite->iColumn);
  }
  std::vector<int> expected = {1, 2, 3, 4, 5, 6, 5, 4, 3, 2, 1, 0, 1, 2};
  EXPECT_EQ(columns, expected);
  node(0)->complete();
  GameTicks += 6;
  map->update();
  EXPECT_EQ(node(0)->pSprite->iColumn, 7);
  EXPECT_EQ(skvtest::PixelRgb(node(0)->pSprite->pFrame.get(), 16, 16),
            screentest::NodeColumnColour(7));
  // Closed nodes are not animated.
  EXPECT_EQ(node(3)->pSprite->iColumn, 0);
}

TEST_F(WorldMapTest, DrawShowsOnlyOpenNodesUnderTheCursorFrame) {
  map->iCursorColour = PackColour(255, 255, 255);
  map->draw(BackBuffer);
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 336, 436), screentest::NodeColumnColour(0));
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 315, 415), 0xFFFFFF);  // cursor corner
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 357, 457), 0xFFFFFF);
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 266, 396), screentest::kWorldColour);
  // The name sits under the node, starting 50 pixels left of it.
  EXPECT_EQ(screentest::BrightestIn(BackBuffer, 270, 462, 400, 469), 0xFFFFFF);
  EXPECT_EQ(screentest::BrightestIn(BackBuffer, 200, 360, 300, 400), screentest::kWorldColour);
}

TEST_F(WorldMapTest, GrowingPathIsPlottedFromTheCentreToTheTip) {
  node(0)->complete();
  StagePath *pToOne = PathBetween(node(0), node(1));
  pToOne->iTipX = 316;  // ten steps grown, towards (266, 396)
  map->draw(BackBuffer);
  float fSlope = (396.0f - 436.0f) / (266.0f - 336.0f);
  int iIntercept = static_cast<int>(436 - 336 * fSlope);
  int iPlotted = 0;
  for (int x = 300; x <= 340; ++x) {
    int y = static_cast<int>(x * fSlope + iIntercept);
    bool bPlotted = skvtest::PixelRgb(map->pPathLayer.get(), x, y) == 0xFFFFFF;
    EXPECT_EQ(bPlotted, x > 316 && x <= 336) << x;
    if (bPlotted) ++iPlotted;
  }
  EXPECT_EQ(iPlotted, 20);  // columns 317 to 336
}

TEST_F(WorldMapTest, CompletedStageReturnsZeroAtOnce) {
  node(0)->bCompleted = true;
  FadeLevel = 255;
  const int iChoicesHeard = GameEffects.requests(Effect::MenuChoose);
  EXPECT_EQ(map->playCurrentStage(), 0);
  EXPECT_EQ(GameEffects.requests(Effect::MenuChoose), iChoicesHeard) << "a finished stage is not chosen";
  EXPECT_EQ(FadeLevel, 255);  // no fade
  EXPECT_EQ(screentest::LevelLog().iRuns, 0);
  EXPECT_EQ(screentest::LevelLog().iConstructed, 1);
  EXPECT_EQ(screentest::LevelLog().iDestroyed, 1);
}

TEST_F(WorldMapTest, OpeningFadesThePreviousScreenOutAndEscClosesTheMap) {
  // The music fade decides how long the screen fades: from full volume it
  // takes as many steps as the screen needs to reach black.
  GameJukebox.initJukebox();
  FadeLevel = 255;
  clear_to_color(BackBuffer, 0xFFFFFF);
  key[KEY_ESC] = 1;
  const int iLeavesHeard = GameEffects.requests(Effect::MenuBack);
  {
    screentest::FastClock clock;
    RunWorldMap();
  }
  EXPECT_EQ(GameEffects.requests(Effect::MenuBack) - iLeavesHeard, 1);
  EXPECT_LE(FadeLevel, 8);
  EXPECT_LE(skvtest::PixelRgb(screen, 320, 240) & 255, 8);
  EXPECT_EQ(screentest::LevelLog().iConstructed, 0);
}

#ifdef __linux__
TEST_F(WorldMapTest, APadsEastButtonLeavesTheMapOnlyOnceSeenUpThere) {
  GameJukebox.initJukebox();
  skvtest::ScriptedPads pads;
  pads.plug(0, skvtest::Xbox360Maps());
  pads.button(0, skvtest::Xbox360B, true);  // still held from the stage's fire
  EXPECT_FALSE(WorldMapTurn(*map));
  pads.button(0, skvtest::Xbox360B, false);
  EXPECT_FALSE(WorldMapTurn(*map));
  pads.button(0, skvtest::Xbox360B, true);
  EXPECT_TRUE(WorldMapTurn(*map));
  EXPECT_EQ(screentest::LevelLog().iRuns, 0);
}
#endif
