// The stage intro: story pages, the story screen's length and skips, and
// every way out of playCurrentStage releasing its stage object.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "app/globals.h"
#include "common/allegro_env.h"
#include "screen_fixture.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "screens/stage_intro.h"
#include "screens/title_menu.h"
#include "screens/world_map.h"

using screentest::LevelLog;
using screentest::ScreenTest;

namespace {

// Black pixels inside the rectangle.
int BlackIn(BITMAP *pBitmap, int x0, int y0, int x1, int y1) {
  int iCount = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (skvtest::PixelRgb(pBitmap, x, y) == 0) ++iCount;
  return iCount;
}

}  // namespace

TEST(StoryPages, EveryStageHasItsPageLaidOutByTheRule) {
  struct Page {
    const char *cMap;
    const char *cTitle;
    int iLines;
  } pages[] = {{"level1.fmp", "Kneebow's Shore", 12},
               {"level2a.fmp", "Trainning Grounds", 5},
               {"level2.fmp", "K'llisc Village", 4},
               {"level3.fmp", "Bay of K'llisc", 3},
               {"level4.fmp", "Forgotten Forest", 3}};
  for (const Page &page : pages) {
    SCOPED_TRACE(page.cMap);
    const StoryLine *pLines = nullptr;
    ASSERT_EQ(StoryLinesFor(page.cMap, &pLines), page.iLines);
    EXPECT_STREQ(pLines[0].cText, page.cTitle);
    EXPECT_EQ(pLines[0].iX, 150);
    EXPECT_EQ(pLines[0].iY, 70);
    for (int i = 1; i < page.iLines; ++i) {
      EXPECT_EQ(pLines[i].iX, 120);
      EXPECT_EQ(pLines[i].iY, 120 + 30 * (i - 1));
      EXPECT_EQ(strchr(pLines[i].cText, '%'), nullptr);
    }
  }
}

TEST(StoryPages, TextsKeepTheirTrailingBlanks) {
  const StoryLine *pLines = nullptr;
  StoryLinesFor("level1.fmp", &pLines);
  EXPECT_STREQ(pLines[2].cText, "minimal at the shore.  ");
  EXPECT_STREQ(pLines[11].cText, "Control to shoot fire.");
  StoryLinesFor("level2a.fmp", &pLines);
  EXPECT_STREQ(pLines[2].cText, "train to slaughter     ");
  EXPECT_STREQ(pLines[4].cText, "damage as you can!!!    ");
  StoryLinesFor("level2.fmp", &pLines);
  EXPECT_STREQ(pLines[3].cText, "out for wizards...      ");
  StoryLinesFor("level3.fmp", &pLines);
  EXPECT_STREQ(pLines[2].cText, "or grounds...          ");
  StoryLinesFor("level4.fmp", &pLines);
  EXPECT_STREQ(pLines[2].cText, "wizards...");
}

TEST(StoryPages, OnlyExactMapNamesHaveAPage) {
  const StoryLine *pLines = nullptr;
  EXPECT_EQ(StoryLinesFor("LEVEL1.FMP", &pLines), 0);
  EXPECT_EQ(StoryLinesFor("level1.fmp ", &pLines), 0);
  EXPECT_EQ(StoryLinesFor("level5.fmp", &pLines), 0);
  EXPECT_EQ(StoryLinesFor("", &pLines), 0);
  EXPECT_EQ(pLines, nullptr);
}

class StageIntro : public ScreenTest {
 protected:
  void SetUp() override {
    ScreenTest::SetUp();
    map = new WorldMap();
    map->load("world.bmp", nullptr);
    layer = create_bitmap(640, 480);
    picture = create_bitmap(640, 480);
    clear_to_color(picture, screentest::kIntroColour);
  }
  void TearDown() override {
    destroy_bitmap(layer);
    destroy_bitmap(picture);
    delete map;
    ScreenTest::TearDown();
  }
  WorldMap *map = nullptr;
  BITMAP *layer = nullptr;
  BITMAP *picture = nullptr;
};

TEST_F(StageIntro, PrintStoryWritesBlackLinesAtTheirPlaces) {
  clear_to_color(layer, 0xFF00FF);
  PrintStory(layer, font, "level3.fmp");
  EXPECT_GT(BlackIn(layer, 150, 70, 150 + 14 * 8, 77), 30);   // "Bay of K'llisc"
  EXPECT_GT(BlackIn(layer, 120, 150, 120 + 13 * 8, 157), 30);  // "or grounds..."
  EXPECT_EQ(BlackIn(layer, 0, 0, 639, 69), 0);
  EXPECT_EQ(BlackIn(layer, 0, 158, 639, 479), 0);
  clear_to_color(layer, 0xFF00FF);
  PrintStory(layer, font, "nowhere.fmp");
  EXPECT_EQ(BlackIn(layer, 0, 0, 639, 479), 0);
}

TEST_F(StageIntro, StoryScreenLastsItsTimeAndEscOrAButtonEndIt) {
  const int iTurnsHeard = GameEffects.requests(Effect::PageTurn);
  {
    screentest::FastClock clock;
    int iStart = GameTicks;
    ShowStory(picture, layer, font, "level2.fmp");
    EXPECT_GE(GameTicks - iStart, 350);
  }
  EXPECT_EQ(GameEffects.requests(Effect::PageTurn) - iTurnsHeard, 1) << "the page turns";
  // The page over the picture reached the screen.
  EXPECT_GT(BlackIn(BackBuffer, 150, 70, 270, 77), 30);
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 10, 10), screentest::kIntroColour);

  // ESC, or a button already held when the screen opens: no frame at all.
  clear_bitmap(BackBuffer);
  key[KEY_ESC] = 1;
  ShowStory(picture, layer, font, "level2.fmp");
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 10, 10), 0);
  key[KEY_ESC] = 0;
  joy[0].button[1].b = 1;
  ShowStory(picture, layer, font, "level2.fmp");
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 10, 10), 0);
  // Enter does not end it: with Enter held the clock still decides.
  joy[0].button[1].b = 0;
  key[KEY_ENTER] = 1;
  screentest::FastClock clock;
  int iStart = GameTicks;
  ShowStory(picture, layer, font, "level2.fmp");
  EXPECT_GE(GameTicks - iStart, 350);
}

// The track each screen asks for, told apart by the size of its file: the
// title 1, the world map 2 (the stage's 3 is checked with the stage loop);
// the story screen asks for none.
TEST_F(StageIntro, EachScreenAsksForItsTrackAndTheStoryIsSilent) {
  for (int n = 1; n <= 3; ++n) {
    const std::string cName = "track" + std::to_string(n) + ".ogg";
    FILE *pFile = fopen(cName.c_str(), "wb");
    fwrite("abc", 1, n, pFile);
    fclose(pFile);
    GameJukebox.addTrack(cName.c_str(), n);
  }
  TitleMenu menu;
  menu.open();
  menu.step();
  menu.close();
  EXPECT_EQ(GameJukebox.iDataSize, 1);
  WorldMapTurn(*map);
  EXPECT_EQ(GameJukebox.iDataSize, 2);
  GameJukebox.iDataSize = 0;
  {
    screentest::FastClock clock;
    ShowStory(picture, layer, font, "level2.fmp");
  }
  EXPECT_EQ(GameJukebox.iDataSize, 0);
  GameJukebox.stopMusic();
}

TEST_F(StageIntro, MissingScriptClosesTheMapAndReleasesTheStage) {
  testing::internal::CaptureStderr();
  EXPECT_EQ(map->playCurrentStage(), 1);
  std::string cOut = testing::internal::GetCapturedStderr();
  EXPECT_NE(cOut.find("error!"), std::string::npos);
  EXPECT_FALSE(map->pNodes[0]->bCompleted);
  EXPECT_EQ(LevelLog().iRuns, 0);
  EXPECT_EQ(LevelLog().iConstructed, 1);
  EXPECT_EQ(LevelLog().iDestroyed, 1);
}

TEST_F(StageIntro, ScriptWithoutAFontTellsTheStoryInTheDefaultFont) {
  writeEmptyScript();
  LevelLog().bLose = false;
  testing::internal::CaptureStderr();
  unsigned char iResult;
  {
    screentest::FastClock clock;
    iResult = map->playCurrentStage();
  }
  std::string cOut = testing::internal::GetCapturedStderr();
  EXPECT_NE(cOut.find("banzai"), std::string::npos);
  EXPECT_EQ(iResult, 0);
  // The last story frame is still in the BackBuffer: the page was printed.
  EXPECT_GT(BlackIn(BackBuffer, 150, 70, 150 + 15 * 8, 77), 30);
  EXPECT_EQ(FadeLevel, 0);  // the story faded out before the stage
  EXPECT_EQ(LevelLog().iRuns, 1);
  EXPECT_EQ(LevelLog().cLastMap, "level1.fmp");
  EXPECT_TRUE(map->pNodes[0]->bCompleted);
  EXPECT_EQ(LevelLog().iDestroyed, LevelLog().iConstructed);
}

TEST_F(StageIntro, LostStageIsCompletedAndClosesTheMap) {
  writeEmptyScript();
  LevelLog().bLose = true;
  key[KEY_ESC] = 1;  // skips the story, not the stage
  testing::internal::CaptureStderr();
  unsigned char iResult;
  {
    screentest::FastClock clock;
    iResult = map->playCurrentStage();
  }
  testing::internal::GetCapturedStderr();
  EXPECT_EQ(iResult, 1);
  EXPECT_EQ(LevelLog().iRuns, 1);
  EXPECT_TRUE(map->pNodes[0]->bCompleted);
  EXPECT_EQ(LevelLog().iDestroyed, 1);
  // The world map's turn passes the loss on, after Enter is let go.
  map->pNodes[0]->bCompleted = false;
  key[KEY_ENTER] = 1;
  bool bLeave;
  testing::internal::CaptureStderr();
  {
    screentest::FastClock clock;
    screentest::DelayedRelease release(KEY_ENTER, 20);
    bLeave = WorldMapTurn(*map);
  }
  testing::internal::GetCapturedStderr();
  EXPECT_TRUE(bLeave);
  EXPECT_EQ(key[KEY_ENTER], 0);
  EXPECT_EQ(LevelLog().iRuns, 2);
}
