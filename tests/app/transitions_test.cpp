#include <gtest/gtest.h>

#include "app/globals.h"
#include "app/transitions.h"
#include "common/allegro_env.h"
#include "common/game_exit.h"

#include <unistd.h>

namespace {

// A fade test frame: BackBuffer filled with one colour, screen black.
class Fades : public testing::Test {
 protected:
  void SetUp() override {
    skvtest::ResetScreen();
    BackBuffer = create_bitmap(640, 480);
    clear_to_color(BackBuffer, makecol(200, 100, 40));
    GameTicks = 1000;
    FadeStepTick = 1000;
  }
  void TearDown() override {
    FreeFadeScratch();
    destroy_bitmap(BackBuffer);
    BackBuffer = nullptr;
  }
};

}  // namespace

TEST_F(Fades, FadeInTakes32StepsOf8AndThenStaysDone) {
  FadeLevel = 0;
  int iChanges = 0;
  bool bDone = false;
  while (!bDone && iChanges < 40) {
    GameTicks += 6;  // just past a delay of 5
    bDone = FadeIn(5);
    ++iChanges;
    if (!bDone) {
      EXPECT_EQ(FadeLevel, 8 * iChanges);
    }
  }
  EXPECT_EQ(iChanges, 32);
  EXPECT_EQ(FadeLevel, 255);

  // Finished: true at once, nothing drawn.
  clear_to_color(screen, makecol(1, 2, 3));
  GameTicks += 50;
  EXPECT_TRUE(FadeIn(5));
  EXPECT_EQ(skvtest::PixelRgb(screen, 10, 10), 0x010203);
}

TEST_F(Fades, FadeOutTakes32StepsDownToBlack) {
  FadeLevel = 255;
  int iChanges = 0;
  bool bDone = false;
  while (!bDone && iChanges < 40) {
    GameTicks += 6;
    bDone = FadeOut(5);
    ++iChanges;
  }
  EXPECT_EQ(iChanges, 32);
  EXPECT_EQ(FadeLevel, 0);
  EXPECT_EQ(skvtest::PixelRgb(screen, 320, 240), 0x000000);
  EXPECT_TRUE(FadeOut(5));
}

TEST_F(Fades, StepsWithinTheDelayRedrawAtTheSameLevel) {
  FadeLevel = 128;
  GameTicks = FadeStepTick + 5;  // not strictly more than 5
  EXPECT_FALSE(FadeIn(5));
  EXPECT_EQ(FadeLevel, 128);
  int iDimmed = skvtest::PixelRgb(screen, 0, 0);
  // The frame is the BackBuffer at half brightness over black.
  EXPECT_NEAR((iDimmed >> 16) & 255, 100, 2);
  EXPECT_NEAR((iDimmed >> 8) & 255, 50, 2);

  GameTicks = FadeStepTick + 6;
  EXPECT_FALSE(FadeIn(5));
  EXPECT_EQ(FadeLevel, 136);
  EXPECT_EQ(FadeStepTick, GameTicks);

  // The tick counter running backwards counts by absolute difference.
  GameTicks = FadeStepTick - 2;
  EXPECT_FALSE(FadeIn(1));
  EXPECT_EQ(FadeLevel, 144);
}

TEST_F(Fades, FadeLeavesTheBlenderAtItsLevel) {
  FadeLevel = 64;
  GameTicks = FadeStepTick.load();  // no step due
  FadeOut(5);
  // A translucent draw now blends at the fade's alpha.
  BITMAP *pDest = create_bitmap(4, 4);
  BITMAP *pSrc = create_bitmap(4, 4);
  clear_to_color(pDest, 0);
  clear_to_color(pSrc, makecol(255, 255, 255));
  draw_trans_sprite(pDest, pSrc, 0, 0);
  EXPECT_NEAR(getr32(getpixel(pDest, 1, 1)), 64, 1);
  destroy_bitmap(pDest);
  destroy_bitmap(pSrc);
}

TEST(Loaders, MissingImageEndsTheGameWithStatusZeroAndItsName) {
  EXPECT_EXIT(skvtest::RunLikeMain([] { LoadBitmapOrExit("no-such-picture.bmp", nullptr); }),
      testing::ExitedWithCode(0), "^ERROR:  Could not find/open 'no-such-picture[.]bmp'\n$");
}

TEST(Loaders, LoadsAndCreatesBitmaps) {
  BITMAP *pMade = CreateBitmapOrExit(33, 17);
  ASSERT_NE(pMade, nullptr);
  EXPECT_EQ(pMade->w, 33);
  EXPECT_EQ(bitmap_color_depth(pMade), 32);
  clear_to_color(pMade, makecol(255, 0, 255));
  BlankBitmap(pMade);
  EXPECT_EQ(skvtest::PixelRgb(pMade, 32, 16), 0);
  putpixel(pMade, 3, 4, makecol(9, 8, 7));
  ASSERT_EQ(save_bmp("loader-test.bmp", pMade, nullptr), 0);
  BITMAP *pLoaded = LoadBitmapOrExit("loader-test.bmp", nullptr);
  EXPECT_EQ(pLoaded->h, 17);
  EXPECT_EQ(skvtest::PixelRgb(pLoaded, 3, 4), 0x090807);
  destroy_bitmap(pLoaded);
  destroy_bitmap(pMade);
}
