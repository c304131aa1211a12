// Sprite: frame selection and stepping, the top-left drawing test, fades,
// the damage flash and the image cache.
#include "entities/sprite.h"

#include <gtest/gtest.h>

#include "common/allegro_env.h"
#include "test_images.h"

using skvtest::PixelRgb;
using skvtest::SetTicks;
using skvtest::StripColour;

namespace {

class SpriteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    skvtest::WriteStrip("strip.bmp", 4, 5, 3, 2);  // 3 columns, 2 rows of 4 x 5
    SetTicks(1000);
    sprite.load("strip.bmp", nullptr, 4, 5, 5);
    sprite.iLastFrameTick = 1000;  // load itself leaves the frame clock at 0
  }
  void TearDown() override {
    sprite.freeImages();
    SpriteImageCacheClear();
  }
  // Colour of the frame now shown (one pixel away from its masked corner).
  int Shown() { return getpixel(sprite.pFrame.get(), 1, 1); }
  Sprite sprite;
};

TEST_F(SpriteTest, LoadShowsFirstFrameWithMaskKept) {
  Sprite fresh;
  fresh.load("strip.bmp", nullptr, 4, 5, 5);
  EXPECT_EQ(fresh.iLastFrameTick, 0);
  EXPECT_EQ(fresh.iFrameDelay, 5);
  fresh.freeImages();
  EXPECT_EQ(sprite.getWidth(), 4);
  EXPECT_EQ(sprite.getHeight(), 5);
  EXPECT_EQ(sprite.pFrame->w, 4);
  EXPECT_EQ(sprite.pFrame->h, 5);
  EXPECT_EQ(Shown(), StripColour(0, 0));
  EXPECT_EQ(getpixel(sprite.pFrame.get(), 0, 0), makecol(255, 0, 255));
  EXPECT_FALSE(sprite.bTranslucent);
  EXPECT_TRUE(sprite.bVisible);
}

TEST_F(SpriteTest, SetFrameObeysDelayAndRangesPerCoordinate) {
  SetTicks(1005);  // exactly the delay: not yet
  sprite.setFrame(1, 1);
  EXPECT_EQ(sprite.iColumn, 0);
  EXPECT_EQ(Shown(), StripColour(0, 0));

  SetTicks(1006);
  sprite.setFrame(2, 1);
  EXPECT_EQ(sprite.iColumn, 2);
  EXPECT_EQ(sprite.iRow, 1);
  EXPECT_EQ(Shown(), StripColour(2, 1));
  EXPECT_EQ(sprite.iLastFrameTick, 1006);

  // A second request inside the delay is dropped.
  SetTicks(1008);
  sprite.setFrame(0, 0);
  EXPECT_EQ(sprite.iColumn, 2);

  // Column 5 does not exist: the column stays, the row still applies.
  SetTicks(1020);
  sprite.setFrame(5, 0);
  EXPECT_EQ(sprite.iColumn, 2);
  EXPECT_EQ(sprite.iRow, 0);
  EXPECT_EQ(Shown(), StripColour(2, 0));
  EXPECT_EQ(sprite.iLastFrameTick, 1020);

  // Negative and too-large rows are ignored as well; column 3 is past the strip.
  SetTicks(1030);
  sprite.setFrame(1, -1);
  EXPECT_EQ(sprite.iColumn, 1);
  EXPECT_EQ(sprite.iRow, 0);
  SetTicks(1040);
  sprite.setFrame(3, 2);
  EXPECT_EQ(sprite.iColumn, 1);
  EXPECT_EQ(sprite.iRow, 0);

  // The clock going backwards counts by its distance too.
  SetTicks(1034);
  sprite.setFrame(0, 1);
  EXPECT_EQ(sprite.iRow, 1);
}

TEST_F(SpriteTest, StepColumnWrapsAndSharesTheFrameClock) {
  SetTicks(1006);
  EXPECT_FALSE(sprite.stepColumn(0, 2));
  EXPECT_EQ(sprite.iColumn, 1);
  EXPECT_EQ(Shown(), StripColour(1, 0));

  SetTicks(1011);  // within the delay: nothing changes
  EXPECT_FALSE(sprite.stepColumn(0, 2));
  EXPECT_EQ(sprite.iColumn, 1);

  SetTicks(1012);
  EXPECT_FALSE(sprite.stepColumn(0, 2));
  SetTicks(1018);
  EXPECT_TRUE(sprite.stepColumn(0, 2));  // from column 2 back to 0
  EXPECT_EQ(sprite.iColumn, 0);
  EXPECT_EQ(Shown(), StripColour(0, 0));

  // A setFrame in the same update blocks the step, and the other way round.
  SetTicks(1030);
  sprite.setFrame(1, 0);
  EXPECT_FALSE(sprite.stepColumn(0, 2));
  EXPECT_EQ(sprite.iColumn, 1);

  // From outside the range the column goes to the first one.
  sprite.iColumn = 7;
  SetTicks(1040);
  EXPECT_TRUE(sprite.stepColumn(0, 2));
  EXPECT_EQ(sprite.iColumn, 0);
}

TEST_F(SpriteTest, DrawTestsOnlyTheTopLeftCorner) {
  BITMAP *pDest = create_bitmap(700, 500);  // wider than the view, to see 640
  struct Case {
    int x, y;
    bool drawn;
  } cases[] = {{-1, 10, false}, {10, -1, false}, {0, 0, true},     {640, 10, true},
               {10, 480, true}, {641, 10, false}, {10, 481, false}};
  for (const Case &c : cases) {
    clear_to_color(pDest, 0);
    sprite.iX = c.x;
    sprite.iY = c.y;
    sprite.draw(pDest);
    EXPECT_EQ(getpixel(pDest, c.x + 1, c.y + 1) == StripColour(0, 0), c.drawn)
        << "at " << c.x << ", " << c.y;
  }
  // The mask pixel is never drawn; an invisible sprite draws nothing.
  clear_to_color(pDest, 0);
  sprite.iX = sprite.iY = 20;
  sprite.draw(pDest);
  EXPECT_EQ(getpixel(pDest, 20, 20), 0);
  clear_to_color(pDest, 0);
  sprite.bVisible = false;
  sprite.draw(pDest);
  EXPECT_EQ(getpixel(pDest, 21, 21), 0);
  destroy_bitmap(pDest);
}

TEST_F(SpriteTest, TranslucentDrawBlendsAtTheAlphaLevel) {
  BITMAP *pDest = create_bitmap(64, 64);
  clear_to_color(pDest, 0);
  sprite.setAlpha(128);
  EXPECT_TRUE(sprite.bTranslucent);
  sprite.iX = sprite.iY = 10;
  sprite.draw(pDest);
  int iFull = StripColour(0, 0);
  int iGot = PixelRgb(pDest, 11, 11);
  EXPECT_NEAR(getr(iGot), getr(iFull) / 2, 2);
  EXPECT_NEAR(getg(iGot), getg(iFull) / 2, 2);
  EXPECT_EQ(getpixel(pDest, 10, 10), 0);  // mask stays transparent

  clear_to_color(pDest, 0);
  sprite.setAlpha(0);
  sprite.draw(pDest);
  EXPECT_EQ(PixelRgb(pDest, 11, 11), 0);
  destroy_bitmap(pDest);
}

TEST_F(SpriteTest, FadeOutOvershootAndExactLanding) {
  sprite.setAlpha(255);
  int iSteps = 0;
  bool bResult = true;
  for (int t = 1002; bResult && t < 2000; t += 2) {
    SetTicks(t);
    bResult = sprite.fadeOut(20, 1);
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 13);  // 255 - 12 * 20 = 15, then below zero
  EXPECT_EQ(sprite.iAlpha, 0);

  sprite.setAlpha(255);
  iSteps = 0;
  for (int t = 3002; sprite.iAlpha > 0; t += 2) {
    SetTicks(t);
    EXPECT_TRUE(sprite.fadeOut(15, 1));
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 17);
  SetTicks(4000);
  EXPECT_FALSE(sprite.fadeOut(15, 1));  // already at 0
}

TEST_F(SpriteTest, FadeStepsWaitForTheirDelay) {
  sprite.setAlpha(255);
  sprite.iLastFadeTick = 1000;
  SetTicks(1001);
  EXPECT_TRUE(sprite.fadeOut(20, 1));
  EXPECT_EQ(sprite.iAlpha, 255);
  SetTicks(1002);
  EXPECT_TRUE(sprite.fadeOut(20, 1));
  EXPECT_EQ(sprite.iAlpha, 235);

  // Without translucency nothing fades, but a level above 0 still says true.
  Sprite plain;
  plain.iAlpha = 100;
  SetTicks(5000);
  EXPECT_TRUE(plain.fadeOut(20, 1));
  EXPECT_EQ(plain.iAlpha, 100);
}

TEST_F(SpriteTest, FadeInLandsOnTargetOrClampsAndReportsOvershoot) {
  sprite.setAlpha(0);
  sprite.setAlphaTarget(255);
  int iSteps = 0;
  for (int t = 1002; sprite.iAlpha < 255 && t < 2000; t += 2) {
    SetTicks(t);
    EXPECT_TRUE(sprite.fadeIn(15, 1));
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 17);
  SetTicks(3000);
  EXPECT_TRUE(sprite.fadeIn(15, 1));
  EXPECT_EQ(sprite.iAlpha, 255);

  sprite.setAlpha(0);
  sprite.setAlphaTarget(100);
  bool bResult = true;
  iSteps = 0;
  for (int t = 4002; bResult && t < 5000; t += 2) {
    SetTicks(t);
    bResult = sprite.fadeIn(30, 1);
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 4);  // 30, 60, 90, then 120 clamped to 100
  EXPECT_EQ(sprite.iAlpha, 100);
}

TEST_F(SpriteTest, DamageFlashTintsOnlyTheShownFrameUntilRefreshed) {
  sprite.flashDamage();
  int iBase = StripColour(0, 0);
  int iTint = getpixel(sprite.pFrame.get(), 2, 3);
  EXPECT_NEAR(getr(iTint), (getr(iBase) + 255) / 2, 2);
  EXPECT_NEAR(getg(iTint), getg(iBase) / 2, 2);
  EXPECT_NEAR(getb(iTint), getb(iBase) / 2, 2);
  EXPECT_EQ(getpixel(sprite.pFrame.get(), 0, 0), makecol(255, 0, 255));
  EXPECT_EQ(getpixel(sprite.pStrip.get(), 2, 3), iBase);  // the strip is untouched

  // Drawing after a flash is back in solid mode.
  BITMAP *pDest = create_bitmap(8, 8);
  clear_to_color(pDest, makecol(0, 0, 200));
  putpixel(pDest, 0, 0, makecol(10, 10, 10));
  EXPECT_EQ(getpixel(pDest, 0, 0), makecol(10, 10, 10));
  destroy_bitmap(pDest);

  sprite.refreshFrame();
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 5; ++y)
      EXPECT_EQ(getpixel(sprite.pFrame.get(), x, y), getpixel(sprite.pStrip.get(), x, y));
}

TEST_F(SpriteTest, CacheReadsEachFileOnceAndGivesPrivateCopies) {
  EXPECT_EQ(SpriteImageCacheSize(), 1);
  Sprite second;
  second.load("strip.bmp", nullptr, 4, 5, 5);
  EXPECT_EQ(SpriteImageCacheSize(), 1);
  ASSERT_NE(second.pStrip, sprite.pStrip);
  EXPECT_EQ(getpixel(second.pStrip.get(), 5, 6), getpixel(sprite.pStrip.get(), 5, 6));

  // Freeing one copy leaves the other whole.
  second.freeImages();
  EXPECT_EQ(second.pStrip, nullptr);
  EXPECT_EQ(getpixel(sprite.pStrip.get(), 5, 6), StripColour(1, 1));

  // The file on disk is read again only after the cache was emptied.
  skvtest::WriteStrip("strip.bmp", 4, 5, 1, 1);
  Sprite third;
  third.load("strip.bmp", nullptr, 4, 5, 5);
  EXPECT_EQ(third.pStrip->w, 12);
  third.freeImages();
  SpriteImageCacheClear();
  EXPECT_EQ(SpriteImageCacheSize(), 0);
  third.load("strip.bmp", nullptr, 4, 5, 5);
  EXPECT_EQ(third.pStrip->w, 4);
  third.freeImages();
}

}  // namespace
