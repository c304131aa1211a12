// The health bar, the score and the credit overlay of stage one.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <random>

#include "app/globals.h"
#include "entities/player.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "stage_files.h"

using namespace stagetest;

namespace {

constexpr int RedRgb = 0xC80000;

// Random pixels, top byte included.
void Scribble(BITMAP *pBitmap, unsigned uSeed) {
  std::mt19937 rng(uSeed);
  for (int y = 0; y < pBitmap->h; ++y)
    for (int x = 0; x < pBitmap->w; ++x) reinterpret_cast<uint32_t *>(pBitmap->line[y])[x] = rng();
}

int RowsThatDiffer(BITMAP *a, BITMAP *b) {
  int iRows = 0;
  for (int y = 0; y < a->h; ++y) iRows += memcmp(a->line[y], b->line[y], a->w * 4) != 0;
  return iRows;
}

class Hud : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteStagePictures();
    ResetFrameBuffers();
    _textmode = ColourMagenta;
    pLayer = create_bitmap(640, 480);
    run.pPlayer = new Player;
    run.pPlayer->createPlayer();
  }
  void TearDown() override {
    destroy_bitmap(pLayer);
    run.releaseStage();
  }
  // Right-most red pixel of the bar's middle row, or 0 when there is none.
  int barEnd() {
    int iEnd = 0;
    for (int x = 500; x < 640; ++x)
      if ((getpixel(BackBuffer, x, 15) & 0xFFFFFF) == RedRgb) iEnd = x;
    return iEnd;
  }

  StageFolder folder;
  LevelRun run;
  BITMAP *pLayer = nullptr;
};

TEST_F(Hud, HealthBarEndsFollowTheHitPoints) {
  const struct { int iHealth, iEnd; } cases[] = {{50, 618}, {25, 570}, {1, 523}};
  for (const auto &c : cases) {
    run.pPlayer->iHealth = c.iHealth;
    EXPECT_FALSE(run.drawHud(pLayer));
    EXPECT_EQ(barEnd(), c.iEnd) << "health " << c.iHealth;
    EXPECT_EQ(getpixel(BackBuffer, 522, 12) & 0xFFFFFF, RedRgb);
    EXPECT_EQ(getpixel(BackBuffer, 522, 19) & 0xFFFFFF, 0x006400) << "inner frame";
    clear_to_color(BackBuffer, 0);
  }
}

TEST_F(Hud, NoHealthDrawsNoBarAndLosesTheStage) {
  for (int iHealth : {0, -3}) {
    run.pPlayer->iHealth = iHealth;
    EXPECT_TRUE(run.drawHud(pLayer));
    EXPECT_EQ(barEnd(), 0);
    EXPECT_EQ(CountRgb(BackBuffer, 522, 12, 618, 18, 0), 97 * 7) << "an empty black panel";
  }
}

TEST_F(Hud, ScoreIsPrintedAfterItsShadowedCaption) {
  run.iScore = 0;
  run.drawHud(pLayer);
  const int iZero = CountRgb(BackBuffer, 80, 15, 87, 22, RedRgb);
  EXPECT_GT(iZero, 5) << "a single 0";
  EXPECT_EQ(CountRgb(BackBuffer, 88, 15, 119, 22, RedRgb), 0);
  EXPECT_GT(CountRgb(BackBuffer, 25, 15, 72, 22, 0x8B0000), 5) << "the caption's shadow";
  clear_to_color(BackBuffer, 0);
  run.iScore = 1230;
  run.drawHud(pLayer);
  EXPECT_GT(CountRgb(BackBuffer, 104, 15, 111, 22, RedRgb), 5) << "fourth digit";
  // Only the letters of the layer land on the panel.
  EXPECT_EQ(CountRgb(BackBuffer, 0, 0, 639, 479, 0xFF00FF), 0);
}

// Only the letters' corner of the layer is cleared and used: whatever the
// rest of it holds, the frame is the one a whole cleared layer gives.
TEST_F(Hud, StalePixelsInTheLayerNeverShow) {
  BITMAP *pCleared = create_bitmap(640, 480);
  for (int iTextMode : {ColourMagenta, -1}) {
    _textmode = iTextMode;
    for (int iScore : {0, 1230, -45, 2147483647}) {
      run.iScore = iScore;
      clear_to_color(pLayer, ColourMagenta);
      clear_to_color(BackBuffer, 0);
      run.drawHud(pLayer);
      blit(BackBuffer, pCleared, 0, 0, 0, 0, 640, 480);
      Scribble(pLayer, static_cast<unsigned>(iScore) + 1u);
      clear_to_color(BackBuffer, 0);
      run.drawHud(pLayer);
      EXPECT_EQ(RowsThatDiffer(BackBuffer, pCleared), 0) << "score " << iScore;
    }
  }
  destroy_bitmap(pCleared);
}

// Every step of the whole credit sequence over a busy background gives the
// frame of the whole overlay laid over translucently.
TEST_F(Hud, CreditFramesAreThoseOfTheWholeOverlay) {
  run.pCreditOverlay.reset(create_bitmap(640, 480));
  Scribble(run.pCreditOverlay.get(), 3);  // before the first pair: anything
  BITMAP *pDest = create_bitmap(640, 480);
  BITMAP *pExpected = create_bitmap(640, 480);
  srand(77);
  GameTicks = 100;
  int iSteps = 0;
  for (; iSteps < 1500; ++iSteps) {
    GameTicks += (iSteps % 3 == 0) ? 2 : 6;  // some calls come early
    if (iSteps % 50 == 0) {
      Scribble(pDest, iSteps);
      blit(pDest, pExpected, 0, 0, 0, 0, 640, 480);
    }
    const bool bFinished = run.iCreditIndex == 14 && !run.bCreditFadeIn && run.iCreditAlpha == 0;
    run.drawCredits(pDest);
    if (!bFinished && !(run.iCreditIndex == 14 && !run.bCreditFadeIn && run.iCreditAlpha == 0)) {
      set_trans_blender(0, 0, 0, run.iCreditAlpha);
      draw_trans_sprite(pExpected, run.pCreditOverlay.get(), 0, 0);
    }
    ASSERT_EQ(RowsThatDiffer(pDest, pExpected), 0)
        << "step " << iSteps << ", pair " << run.iCreditIndex << ", alpha " << run.iCreditAlpha;
    if (bFinished) break;
  }
  EXPECT_EQ(run.iCreditIndex, 14);
  EXPECT_LT(iSteps, 1500) << "the sequence ends";
  destroy_bitmap(pDest);
  destroy_bitmap(pExpected);
}

TEST_F(Hud, CreditPairsComeInOrderThenNothing) {
  run.pCreditOverlay.reset(create_bitmap(640, 480));
  BITMAP *pExpected = create_bitmap(640, 480);
  BITMAP *pDest = create_bitmap(640, 480);
  srand(31);
  GameTicks = 100;
  int iPairs = 0;
  int iLastIndex = 0;
  for (int iStep = 0; iStep < 2000 && iPairs <= 7; ++iStep) {
    GameTicks += 6;  // every call is due
    run.drawCredits(pDest);
    if (run.iCreditIndex != iLastIndex) {
      ASSERT_EQ(run.iCreditIndex, iLastIndex + 2);
      ASSERT_EQ(run.iCreditAlpha, 0) << "a pair starts from nothing";
      EXPECT_GE(run.iCreditX, 150);
      EXPECT_LE(run.iCreditX, 449);
      EXPECT_GE(run.iCreditY, 100);
      EXPECT_LE(run.iCreditY, 379);
      clear_to_color(pExpected, ColourMagenta);
      textout_ex(pExpected, font, run.cCreditLines[iLastIndex], run.iCreditX, run.iCreditY,
                 ColourWhite, -1);
      textout_ex(pExpected, font, run.cCreditLines[iLastIndex + 1], run.iCreditX,
                 run.iCreditY + 20, ColourWhite, -1);
      int iDiffer = 0;
      for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
          iDiffer += getpixel(pExpected, x, y) != getpixel(run.pCreditOverlay.get(), x, y);
      EXPECT_EQ(iDiffer, 0) << "pair " << iLastIndex;
      iLastIndex = run.iCreditIndex;
      ++iPairs;
    }
    if (iPairs == 7 && run.iCreditAlpha == 0 && !run.bCreditFadeIn) break;
  }
  EXPECT_EQ(iPairs, 7);
  EXPECT_STREQ(run.cCreditLines[12], "Special Thanks");
  EXPECT_EQ(run.cCreditLines[14][0], '\0');
  // Finished: later calls draw nothing and draw no random numbers.
  srand(5);
  const int iFirstDraw = rand();
  srand(5);
  clear_to_color(pDest, 0x123456);
  for (int i = 0; i < 100; ++i) {
    GameTicks += 6;
    run.drawCredits(pDest);
  }
  EXPECT_EQ(run.iCreditIndex, 14);
  EXPECT_EQ(rand(), iFirstDraw);
  EXPECT_EQ(CountRgb(pDest, 0, 0, 639, 479, 0x123456), 640 * 480);
  destroy_bitmap(pExpected);
  destroy_bitmap(pDest);
}

TEST_F(Hud, ACreditPairFadesInAndOutInStepsOfFive) {
  run.pCreditOverlay.reset(create_bitmap(640, 480));
  BITMAP *pDest = create_bitmap(640, 480);
  GameTicks = 100;
  GameTicks += 6;
  run.drawCredits(pDest);
  ASSERT_EQ(run.iCreditIndex, 2);
  int iSteps = 0;
  GameTicks += 5;  // not yet due
  run.drawCredits(pDest);
  EXPECT_EQ(run.iCreditAlpha, 0);
  while (run.bCreditFadeIn && iSteps < 100) {
    GameTicks += 6;
    run.drawCredits(pDest);
    ++iSteps;
  }
  EXPECT_EQ(iSteps, 51);
  EXPECT_EQ(run.iCreditAlpha, 255);
  GameTicks += 6;
  run.drawCredits(pDest);
  EXPECT_EQ(run.iCreditAlpha, 250);
  destroy_bitmap(pDest);
}

}  // namespace
