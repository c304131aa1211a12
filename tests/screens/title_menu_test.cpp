// The title menu: selection chain, input gate, confirming, and the fade-in.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/globals.h"
#include "app/present.h"
#include "audio/effects.h"
#include "common/allegro_env.h"
#include "common/scripted_pads.h"
#include "screen_fixture.h"
#include "screens/screens.h"
#include "screens/title_menu.h"

using screentest::ScreenTest;

class TitleTest : public ScreenTest {
 protected:
  void TearDown() override {
    menu.close();
    ScreenTest::TearDown();
  }
  // Lets the gate open (6 ticks) and runs one input step.
  void inputAfterGate() {
    GameTicks += 6;
    menu.handleInput();
  }
  TitleMenu menu;
};

TEST_F(TitleTest, DownAndUpCycleThroughTheEntries) {
  menu.open();
  ASSERT_EQ(menu.iSelection, 1);
  const int iStepsHeard = GameEffects.requests(Effect::MenuMove);
  key[KEY_DOWN] = 1;
  int iExpectDown[] = {2, 3, 1, 2};
  for (int iExpected : iExpectDown) {
    inputAfterGate();
    EXPECT_EQ(menu.iSelection, iExpected);
  }
  key[KEY_DOWN] = 0;
  key[KEY_UP] = 1;
  int iExpectUp[] = {1, 3, 2, 1};
  for (int iExpected : iExpectUp) {
    inputAfterGate();
    EXPECT_EQ(menu.iSelection, iExpected);
  }
  EXPECT_FALSE(menu.bChosen);
  EXPECT_EQ(GameEffects.requests(Effect::MenuMove) - iStepsHeard, 8) << "every step heard";
}

TEST_F(TitleTest, StickMovesLikeTheArrowsAndDownBeatsUp) {
  menu.open();
  joy[0].stick[0].axis[1].d2 = 1;  // stick down
  inputAfterGate();
  EXPECT_EQ(menu.iSelection, 2);
  joy[0].stick[0].axis[1].d2 = 0;
  joy[0].stick[0].axis[1].d1 = 1;  // stick up
  inputAfterGate();
  EXPECT_EQ(menu.iSelection, 1);
  // Up and down together: only down acts, and Enter is not consulted.
  key[KEY_DOWN] = 1;
  key[KEY_ENTER] = 1;
  inputAfterGate();
  EXPECT_EQ(menu.iSelection, 2);
  EXPECT_FALSE(menu.bChosen);
}

#ifdef __linux__
TEST_F(TitleTest, APadsDpadMovesTheSelectionAndOnlyItsSouthButtonChooses) {
  skvtest::ScriptedPads pads;
  pads.plug(0, skvtest::Xbox360Maps());
  menu.open();
  pads.axis(0, skvtest::Xbox360DpadY, 32767);
  inputAfterGate();
  EXPECT_EQ(menu.iSelection, 2);
  pads.axis(0, skvtest::Xbox360DpadY, 0);
  pads.button(0, skvtest::Xbox360B, true);  // east goes back, never chooses
  inputAfterGate();
  EXPECT_FALSE(menu.bChosen);
  pads.button(0, skvtest::Xbox360B, false);
  pads.button(0, skvtest::Xbox360A, true);
  inputAfterGate();
  EXPECT_TRUE(menu.bChosen);
  EXPECT_EQ(menu.result, TitleChoice::Options);
}
#endif

TEST_F(TitleTest, InputWaitsMoreThanFiveTicksAfterOpeningAndEachStep) {
  GameTicks = 5000;
  menu.open();
  EXPECT_EQ(LastMenuInputTick, 5000);
  key[KEY_DOWN] = 1;
  GameTicks = 5005;
  menu.handleInput();
  EXPECT_EQ(menu.iSelection, 1);
  GameTicks = 5006;
  menu.handleInput();
  EXPECT_EQ(menu.iSelection, 2);
  EXPECT_EQ(LastMenuInputTick, 5006);
  // Held down: at most one step per 6 ticks.
  for (int t = 5007; t <= 5012; ++t) {
    GameTicks = t;
    menu.handleInput();
  }
  EXPECT_EQ(menu.iSelection, 3);
  EXPECT_EQ(LastMenuInputTick, 5012);
}

TEST_F(TitleTest, ButtonsConfirmLikeEnter) {
  menu.open();
  const int iChoicesHeard = GameEffects.requests(Effect::MenuChoose);
  key[KEY_DOWN] = 1;
  inputAfterGate();
  key[KEY_DOWN] = 0;
  joy[0].button[1].b = 1;
  inputAfterGate();
  EXPECT_TRUE(menu.bChosen);
  EXPECT_EQ(menu.result, TitleChoice::Options);

  TitleMenu other;
  other.open();
  key[KEY_UP] = 1;
  GameTicks += 6;
  other.handleInput();
  key[KEY_UP] = 0;
  // Enter confirms without waiting for its release.
  key[KEY_ENTER] = 1;
  GameTicks += 6;
  other.handleInput();
  EXPECT_TRUE(other.bChosen);
  EXPECT_EQ(other.result, TitleChoice::Exit);
  EXPECT_EQ(key[KEY_ENTER], 1);
  EXPECT_EQ(GameEffects.requests(Effect::MenuChoose) - iChoicesHeard, 2);
  other.close();
}

TEST_F(TitleTest, EscHeldOnOpeningClosesWithNothingChosen) {
  key[KEY_ESC] = 1;
  key[KEY_ENTER] = 1;
  EXPECT_EQ(RunTitleMenu(), TitleChoice::Nothing);
}

// Pixels of the screen within the rectangle that are red, or black.
static int CountPixels(int x0, int y0, int x1, int y1, bool bRed) {
  int iCount = 0;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int c = skvtest::PixelRgb(screen, x, y);
      if (bRed ? (c >> 16) > 180 && (c & 0xFFFF) < 0x1010 : (c >> 16) < 8 && (c >> 8 & 255) < 8 && (c & 255) < 8) ++iCount;
    }
  return iCount;
}
static int RedPixels(int x0, int y0, int x1, int y1) { return CountPixels(x0, y0, x1, y1, true); }
static int BlackPixels(int x0, int y0, int x1, int y1) { return CountPixels(x0, y0, x1, y1, false); }

// Runs frames once a tick until the shared fade is full.
static void StepUntilFadedIn(TitleMenu &menu) {
  for (int i = 0; i < 400 && FadeLevel < 255; ++i) {
    menu.step();
    ++GameTicks;
  }
  menu.step();
}

TEST_F(TitleTest, FadesInFromBlackWithTheHighlightedEntry) {
  menu.open();
  menu.step();
  EXPECT_EQ(skvtest::PixelRgb(screen, 100, 100), 0);  // starts black
  StepUntilFadedIn(menu);
  ASSERT_EQ(FadeLevel, 255);
  int c = skvtest::PixelRgb(screen, 100, 100);
  // Within the blender's rounding of the picture's own colour.
  EXPECT_NEAR(c >> 16, screentest::kTitleColour >> 16, 2);
  EXPECT_NEAR(c >> 8 & 255, screentest::kTitleColour >> 8 & 255, 2);
  // "Play" in red over its black shadow, the other entries black.
  EXPECT_GT(RedPixels(452, 352, 490, 359), 10);
  EXPECT_EQ(RedPixels(440, 360, 520, 380), 0);
  EXPECT_GT(BlackPixels(450, 350, 451, 357), 0);  // the shadow's left edge
}

TEST_F(TitleTest, TitleOpenedOnAFullFadeStillShows) {
  // As after "Options", or after leaving the world map with ESC.
  FadeLevel = 255;
  clear_to_color(screen, 0x0000FF);
  menu.open();
  EXPECT_EQ(FadeLevel, 0);
  StepUntilFadedIn(menu);
  int c = skvtest::PixelRgb(screen, 100, 100);
  EXPECT_NEAR(c >> 8 & 255, screentest::kTitleColour >> 8 & 255, 2);
}

// Paced, the menu reads its keys once per tick and sleeps between ticks: a
// 50 ms tap that starts between two ticks is still seen, once.
TEST_F(TitleTest, AShortTapIsSeenWhenTheLoopSleepsBetweenTicks) {
  menu.open();
  FadeLevel = 255;
  GameTicks += 10;  // past the menu's input gate
  screentest::FastClock clock(20000);
  SetFramePacing(true);
  std::thread tap([] {
    std::this_thread::sleep_for(std::chrono::milliseconds(47));
    key[KEY_DOWN] = 1;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    key[KEY_DOWN] = 0;
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
  int iPasses = 0;
  while (std::chrono::steady_clock::now() < end) {
    menu.step();
    ++iPasses;
  }
  tap.join();
  SetFramePacing(false);
  EXPECT_EQ(menu.iSelection, 2);
  EXPECT_LE(iPasses, 25) << "about one pass per 20 ms tick";
}
