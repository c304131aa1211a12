// The splash: phase lengths, its own alpha, and one phase skipped per ESC.
#include <gtest/gtest.h>

#include "app/globals.h"
#include "common/allegro_env.h"
#include "screen_fixture.h"
#include "screens/screens.h"
#include "screens/splash.h"

using screentest::ScreenTest;

class SplashTest : public ScreenTest {
 protected:
  void TearDown() override {
    splash.release();
    ScreenTest::TearDown();
  }
  // Steps once a tick until the phase changes; the ticks it lasted.
  int runPhase() {
    Splash::Phase iPhase = splash.iPhase;
    int iFrom = GameTicks;
    while (splash.iPhase == iPhase) {
      splash.step();
      if (splash.iPhase == iPhase) ++GameTicks;
    }
    return GameTicks - iFrom;
  }
  // Steps through a fade-out phase once a tick; the number of alpha steps.
  int countFadeOutSteps(int *pShortestGap) {
    Splash::Phase iPhase = splash.iPhase;
    int iSteps = 0, iLastChange = -1, iAlpha = splash.iAlpha;
    *pShortestGap = 1000;
    while (splash.iPhase == iPhase) {
      splash.step();
      if (splash.iAlpha != iAlpha) {
        EXPECT_EQ(splash.iAlpha, iAlpha - 10);
        if (iLastChange >= 0 && GameTicks - iLastChange < *pShortestGap)
          *pShortestGap = GameTicks - iLastChange;
        iLastChange = GameTicks;
        iAlpha = splash.iAlpha;
        ++iSteps;
      }
      ++GameTicks;
    }
    return iSteps;
  }
  Splash splash;
};

TEST_F(SplashTest, PhasesRunTheirFullLengthWithoutKeys) {
  splash.load();
  ASSERT_EQ(splash.iPhase, Splash::kLibraryLogo);
  EXPECT_EQ(runPhase(), 250);
  EXPECT_EQ(splash.iAlpha, 220);  // one step every 11 ticks
  // The logo built up over black.
  EXPECT_EQ(skvtest::PixelRgb(screen, 320, 240), skvtest::PixelRgb(BackBuffer, 320, 240));
  EXPECT_NE(skvtest::PixelRgb(screen, 320, 240), 0);

  ASSERT_EQ(splash.iPhase, Splash::kWaitEsc1);
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kMakerLogo);
  EXPECT_EQ(splash.iAlpha, 0);
  EXPECT_EQ(runPhase(), 250);
  EXPECT_EQ(splash.iAlpha, 220);

  ASSERT_EQ(splash.iPhase, Splash::kMakerFadeOut);
  int iGap = 0;
  EXPECT_EQ(countFadeOutSteps(&iGap), 22);
  EXPECT_EQ(iGap, 2);
  EXPECT_EQ(splash.iAlpha, 0);
  EXPECT_EQ(skvtest::PixelRgb(screen, 320, 240), 0);  // sunk into black

  ASSERT_EQ(splash.iPhase, Splash::kWaitEsc2);
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kNotice);
  EXPECT_EQ(runPhase(), 500);
  EXPECT_EQ(splash.iAlpha, 260);

  ASSERT_EQ(splash.iPhase, Splash::kNoticeFadeOut);
  EXPECT_EQ(countFadeOutSteps(&iGap), 26);
  ASSERT_EQ(splash.iPhase, Splash::kWaitEsc3);
  EXPECT_TRUE(splash.step());
  EXPECT_EQ(splash.iPhase, Splash::kDone);
  EXPECT_FALSE(splash.step());
}

// Sum of the three channels of a 0xRRGGBB colour.
static int Brightness(int c) { return (c >> 16 & 255) + (c >> 8 & 255) + (c & 255); }

TEST_F(SplashTest, MakerLogoCrossFadesOverTheLibraryLogoWithoutBlack) {
  splash.load();
  runPhase();
  int iLibrary = skvtest::PixelRgb(screen, 320, 240);
  // Built up over black, to within the blender's rounding at alpha 220.
  EXPECT_NEAR(iLibrary >> 16, screentest::kLibraryLogoColour >> 16, 2);
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kMakerLogo);
  int iDarkest = Brightness(iLibrary);
  while (splash.iPhase == Splash::kMakerLogo) {
    splash.step();
    ++GameTicks;
    int c = skvtest::PixelRgb(screen, 320, 240);
    if (Brightness(c) < iDarkest) iDarkest = Brightness(c);
    // Before the first alpha step the library logo stays as it was.
    if (splash.iAlpha == 0) {
      EXPECT_EQ(c, iLibrary);
    }
  }
  int iMaker = skvtest::PixelRgb(screen, 320, 240);
  EXPECT_NEAR(iMaker & 255, screentest::kMakerLogoColour & 255, 2);
  EXPECT_NEAR(iMaker >> 16, screentest::kMakerLogoColour >> 16, 2);
  EXPECT_GT(iDarkest, Brightness(screentest::kMakerLogoColour) / 2);
}

TEST_F(SplashTest, NoticeTextStaysWhiteAtTheFullFade) {
  splash.load();
  splash.iPhase = Splash::kWaitEsc2;
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kNotice);
  runPhase();
  ASSERT_EQ(splash.iAlpha, 260);
  EXPECT_EQ(screentest::BrightestIn(screen, 100, 100, 600, 108), 0xFFFFFF);
  // The blender the page is drawn with stays at full: past 255 it would wrap
  // white over black into near black.
  BITMAP *pWhite = create_bitmap(8, 8);
  BITMAP *pBlack = create_bitmap(8, 8);
  clear_to_color(pWhite, 0xFFFFFF);
  clear_to_color(pBlack, 0);
  draw_trans_sprite(pBlack, pWhite, 0, 0);
  EXPECT_EQ(skvtest::PixelRgb(pBlack, 4, 4), 0xFFFFFF);
  destroy_bitmap(pWhite);
  destroy_bitmap(pBlack);
  EXPECT_EQ(screentest::BrightestIn(screen, 100, 340, 400, 348), 0xFFFFFF);
  // Nothing but the page: the gaps between its lines stay black.
  EXPECT_EQ(screentest::BrightestIn(screen, 0, 180, 639, 299), 0);
}

TEST_F(SplashTest, OneEscPressSkipsOnePhaseOnly) {
  splash.load();
  key[KEY_ESC] = 1;
  splash.step();  // ends the library logo at once
  EXPECT_EQ(splash.iPhase, Splash::kWaitEsc1);
  {
    // The held key is waited out before anything else happens.
    screentest::DelayedRelease release(KEY_ESC, 30);
    splash.step();
    EXPECT_EQ(key[KEY_ESC], 0);
  }
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kMakerLogo);
  for (int i = 0; i < 30; ++i) {
    GameTicks += 1;
    splash.step();
  }
  EXPECT_EQ(splash.iPhase, Splash::kMakerLogo);
  EXPECT_EQ(splash.iAlpha, 20);

  // ESC during the maker logo ends it, but its fade-out still runs.
  key[KEY_ESC] = 1;
  splash.step();
  ASSERT_EQ(splash.iPhase, Splash::kMakerFadeOut);
  int iGap = 0;
  EXPECT_EQ(countFadeOutSteps(&iGap), 2);
  ASSERT_EQ(splash.iPhase, Splash::kWaitEsc2);
  key[KEY_ESC] = 0;
  splash.step();
  EXPECT_EQ(splash.iPhase, Splash::kNotice);
}

TEST_F(SplashTest, ShowSplashFalseLoadsNothing) {
  ASSERT_EQ(remove("allegro.pcx"), 0);
  clear_to_color(BackBuffer, 0x123456);
  ShowSplash(false);  // loading would end the test program, blanking would show
  EXPECT_EQ(skvtest::PixelRgb(BackBuffer, 5, 5), 0x123456);
}
