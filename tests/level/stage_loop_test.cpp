// The stage loop driven frame by frame with a controlled clock and input, and
// whole stages through run() with a free-running clock.
#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "app/globals.h"
#include "app/list.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "common/allegro_env.h"
#include "common/game_exit.h"
#include "entities/enemy.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "level/sky.h"
#include "stage_files.h"
#include "tilemap/tilemap.h"

using namespace stagetest;

namespace {

// A stage on an open map whose name has no recipe: no enemies, no clouds.
class StageLoop : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteStagePictures();
    WriteMap("open.fmp", 40, 750, [](int, int) { return false; });
    ResetFrameBuffers();
    memset(const_cast<char *>(key), 0, KEY_MAX);
    _textmode = ColourMagenta;  // as start-up leaves it
    GameTicks = 1000;
    FadeLevel = 255;  // the stage is shown at once, without a fade-in
    FadeStepTick = 0;
    GameJukebox.initJukebox();
  }
  void TearDown() override { memset(const_cast<char *>(key), 0, KEY_MAX); }

  // Loads the map and starts play, as run() does before its loop.
  void startStage(LevelRun &rRun) {
    ASSERT_EQ(TileMapOpen("open.fmp"), 0);
    rRun.populate("open.fmp");
    rRun.startPlay();
    pHud = create_bitmap(640, 480);
    rRun.pCreditOverlay.reset(create_bitmap(640, 480));
  }
  void endStage(LevelRun &rRun) {
    destroy_bitmap(pHud);
    rRun.releaseStage();
  }

  StageFolder folder;
  BITMAP *pHud = nullptr;
};

// Ticks between the screen-fade steps the sampler saw, from the first change
// after iFromIndex while the level keeps moving in one direction.
std::vector<int> FadeGaps(const std::vector<Ticker::Change> &v, size_t iFrom, int iDirection,
                          size_t *pEnd) {
  std::vector<int> gaps;
  size_t i = iFrom + 1;
  while (i < v.size() && (v[i].iLevel - v[i - 1].iLevel) * iDirection > 0) {
    if (i > iFrom + 1) gaps.push_back(v[i].iTick - v[i - 1].iTick);
    ++i;
  }
  if (pEnd != nullptr) *pEnd = i - 1;
  return gaps;
}

TEST_F(StageLoop, ConstantSpeedReachesTheTopAfter3360Steps) {
  LevelRun run;
  startStage(run);
  bool bLost = false;
  int iSteps = 0;
  while (run.playing(bLost)) {
    GameTicks += 2;  // one scroll step is due in every frame
    const int iBefore = run.iCamY;
    run.playFrame(pHud, false, bLost);
    if (run.iCamY != iBefore) {
      ++iSteps;
      ASSERT_EQ(iBefore - run.iCamY, 7) << "at step " << iSteps;
    }
    ASSERT_LE(iSteps, 3360);
  }
  EXPECT_EQ(iSteps, 3360);
  EXPECT_EQ(run.iCamY, 0);
  EXPECT_FALSE(bLost);
  EXPECT_EQ(run.iSpeed, 7);
  endStage(run);
}

// One frame with a shot, a hut and a cloud overlapping under the dragon, and
// a second shot hitting it: back to front they are the map, shots, enemies,
// clouds (translucent) and the dragon, tinted by its hit for this frame only.
// The view and the dragon climb one scroll step together; the cloud drifts.
TEST_F(StageLoop, OneFrameDrawsBackToFrontAndClimbsWithTheScroll) {
  WriteCaptionFont("script.dat", Caption::Font);
  LevelRun run;
  startStage(run);
  GameJukebox.addTrack("track3.ogg", 3);
  FILE *pTrack = fopen("track3.ogg", "wb");
  fwrite("abc", 1, 3, pTrack);
  fclose(pTrack);
  const int iCamAfter = StageStartCamY - 7;
  run.pPlayer->fY = static_cast<float>(StageStartCamY + 350);  // in the resting band
  const float fDragonY = run.pPlayer->fY;
  // Screen places after the scroll step: dragon (280, 350), body 2 pixels in.
  auto Shot = [&run](int iX, int iMapY) {
    auto *pShot = new Projectile();
    pShot->launch(2, iX, iMapY, 1000, 0.0f, 0.0f);
    run.pProjectiles = ListAppendIKey(run.pProjectiles, pShot, 0);
  };
  Shot(240, iCamAfter + 395);
  Shot(300, static_cast<int>(fDragonY) + 50);  // inside the dragon: hits it
  ASSERT_TRUE(run.spawnEnemy(1, "hut.bmp", 250, iCamAfter + 370, 5, 10, 6, 100000, 10, 30));
  auto *pCloud = new Cloud();
  pCloud->initCloud(0, 1, 80, 40, 1, -1, 1);
  pCloud->fX = 230.0f;
  pCloud->fY = static_cast<float>(iCamAfter + 380);
  pCloud->iLastMoveTick = GameTicks;
  run.pClouds = ListAppendIKey(run.pClouds, pCloud, 0);
  const int iHealth = run.pPlayer->iHealth;

  bool bLost = false;
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  EXPECT_EQ(run.iCamY, iCamAfter);
  EXPECT_EQ(run.pPlayer->fY, fDragonY - 7) << "the dragon climbs with the view";
  EXPECT_EQ(run.pPlayer->iHealth, iHealth - 1);
  EXPECT_FLOAT_EQ(pCloud->fX, 230.0f + 1.0f / 3);
  EXPECT_FLOAT_EQ(pCloud->fY, iCamAfter + 380 - 1.0f / 3);
  EXPECT_EQ(GameJukebox.iDataSize, 3) << "the stage asks for track 3";
  const auto At = [](int x, int y) { return getpixel(BackBuffer, x, y) & 0xFFFFFF; };
  EXPECT_EQ(At(245, 376), GrassRgb);
  EXPECT_EQ(At(262, 376), 0x704020) << "the hut alone";
  EXPECT_NE(At(262, 400), 0x704020) << "the cloud over the hut";
  EXPECT_NE(At(262, 400), 0xF0F0F0) << "the cloud is translucent";
  EXPECT_EQ(At(252, 400), At(262, 400)) << "the hut over the shot";
  EXPECT_NE(At(245, 400), At(262, 400)) << "the shot under the cloud";
  const int iDragon = At(285, 400);
  EXPECT_NE(iDragon, 0xC08000) << "the dragon over everything, tinted by the hit";
  EXPECT_GT(iDragon >> 16, 0xC0);
  EXPECT_EQ(getpixel(run.pPlayer->pSprite->pFrame.get(), 5, 50) & 0xFFFFFF, 0xC08000)
      << "the tint is gone after the frame";
  GameJukebox.stopMusic();
  endStage(run);
}

TEST_F(StageLoop, ScrollStepsComeEverySecondTickAtMost) {
  LevelRun run;
  startStage(run);
  bool bLost = false;
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  EXPECT_EQ(run.iCamY, 23520 - 7);
  GameTicks += 1;  // one tick later: not due
  run.playFrame(pHud, false, bLost);
  EXPECT_EQ(run.iCamY, 23520 - 7);
  GameTicks += 1;
  run.playFrame(pHud, false, bLost);
  EXPECT_EQ(run.iCamY, 23520 - 14);
  // The painted map fills the screen under the HUD.
  EXPECT_EQ(getpixel(screen, 300, 200) & 0xFFFFFF, GrassRgb);
  endStage(run);
}

TEST_F(StageLoop, SlowFlightIsHeldBelowTheTopUnderTheBanner) {
  LevelRun run;
  startStage(run);
  bool bLost = false;
  key[KEY_DOWN] = 1;  // keeps the speed down at 3
  run.iSpeed = 3;
  run.iLastSpeedTick = GameTicks;
  run.iCamY = 9;
  const auto BannerPixels = [] { return CountRgb(BackBuffer, 270, 234, 370, 246, 0xFFFFFF); };
  for (int iExpected : {6, 3}) {
    GameTicks += 2;
    run.playFrame(pHud, false, bLost);
    ASSERT_EQ(run.iCamY, iExpected);
    EXPECT_EQ(BannerPixels(), 0) << "no banner before the top";
  }
  for (int i = 0; i < 3; ++i) {
    GameTicks += 2;
    run.playFrame(pHud, false, bLost);
    EXPECT_EQ(run.iCamY, 2) << "pinned at 5 minus the speed";
    EXPECT_TRUE(run.playing(bLost));
    EXPECT_GT(BannerPixels(), 20) << "END OF LEVEL is seen over the map";
  }
  // Speeding up to 5 or more ends the stage at the next step.
  key[KEY_DOWN] = 0;
  run.iSpeed = 7;
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  EXPECT_EQ(run.iCamY, -2);
  EXPECT_FALSE(run.playing(bLost));
  EXPECT_FALSE(bLost);
  endStage(run);
}

// At the top a change of speed from 4 to 3 moves the view down a pixel (row
// 1 to 2): an ice shot frozen 581 pixels down the screen is kept, comes back
// into play and moves again.
TEST_F(StageLoop, AShotFrozenJustBelowTheTopComesBackWhenTheViewSinks) {
  LevelRun run;
  startStage(run);
  bool bLost = false;
  run.iSpeed = 4;
  run.iLastSpeedTick = GameTicks;
  run.iCamY = 1;
  Projectile *pShot = new Projectile;
  pShot->launch(KindIceShot, 300, 1 + 581, 1, 0.0f, 1.0f);
  pShot->pSprite->iY = 581;  // as last drawn
  ASSERT_NE(ListPush(run.pProjectiles, pShot), nullptr);
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  ASSERT_EQ(run.iCamY, 1);
  ASSERT_EQ(run.pProjectiles != nullptr ? run.pProjectiles->data : nullptr, pShot) << "dropped while frozen";
  EXPECT_EQ(pShot->fY, 582.0f) << "frozen";
  key[KEY_DOWN] = 1;
  run.iSpeed = 3;
  for (int i = 0; i < 2; ++i) {
    GameTicks += 2;
    run.playFrame(pHud, false, bLost);
  }
  EXPECT_EQ(run.iCamY, 2);
  ASSERT_EQ(run.pProjectiles != nullptr ? run.pProjectiles->data : nullptr, pShot);
  EXPECT_GT(pShot->fY, 582.0f) << "moving again";
  endStage(run);
}

TEST_F(StageLoop, AHutShotDownPaysItsScoreAfterItsFade) {
  LevelRun run;
  startStage(run);
  // A hut with 3 hit points straight ahead of the dragon's fire.
  ASSERT_TRUE(run.spawnEnemy(1, "hut.bmp", 290, 23620, 5, 10, 6, 150, 3, 30));
  key[KEY_LCONTROL] = 1;
  const int iHitsHeard = GameEffects.requests(Effect::HitHut);
  const int iFallsHeard = GameEffects.requests(Effect::HutFalls);
  bool bLost = false;
  int iFrames = 0;
  int iFirstHit = 0;
  int iHits = 0;  // passes in which the hut lost health, fading or not
  for (; iFrames < 400 && run.pEnemies != nullptr; ++iFrames) {
    GameTicks += 1;
    const int iHealth = static_cast<Enemy *>(run.pEnemies->data)->iHealth;
    run.playFrame(pHud, false, bLost);
    if (run.pEnemies != nullptr && static_cast<Enemy *>(run.pEnemies->data)->iHealth < iHealth)
      ++iHits;
    if (iFirstHit == 0 && run.pEnemies != nullptr &&
        static_cast<Enemy *>(run.pEnemies->data)->iHealth < 3)
      iFirstHit = iFrames;
    if (run.pEnemies != nullptr) {
      EXPECT_EQ(run.iScore, 0) << "no score before removal";
    }
  }
  EXPECT_EQ(run.pEnemies, nullptr);
  EXPECT_EQ(run.iScore, 30);
  EXPECT_GT(iFirstHit, 0);
  // Three hits, then thirteen fade steps of at least two ticks each.
  EXPECT_GE(iFrames - iFirstHit, 2 * 6 + 13 * 2);
  EXPECT_GE(iHits, 3);
  EXPECT_EQ(GameEffects.requests(Effect::HitHut) - iHitsHeard, iHits) << "each hit heard";
  EXPECT_EQ(GameEffects.requests(Effect::HutFalls) - iFallsHeard, 1) << "the fall heard once";
  endStage(run);
}

TEST_F(StageLoop, DragonWithoutHealthLosesAfterAFullFrame) {
  LevelRun run;
  startStage(run);
  bool bLost = false;
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  EXPECT_FALSE(bLost);
  run.pPlayer->iHealth = 0;
  clear_to_color(screen, 0);
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  EXPECT_TRUE(bLost);
  EXPECT_FALSE(run.playing(bLost));
  // The frame was still shown in full.
  EXPECT_EQ(getpixel(screen, 300, 200) & 0xFFFFFF, GrassRgb);
  endStage(run);
}

TEST_F(StageLoop, OKeyOnTheFirstFrameWinsWithSlowFades) {
  key[KEY_O] = 1;
  LevelRun run;
  bool bLost = true;
  const int iWinsHeard = GameEffects.requests(Effect::StageWon);
  {
    Ticker ticker(4000);
    bLost = run.run("open.fmp");
    ticker.stop();
    const auto changes = ticker.fadeChanges();
    size_t iEnd = 0;
    const auto gaps = FadeGaps(changes, 0, -1, &iEnd);
    // The music's fade ends the loop; the picture may be a step behind it.
    EXPECT_LE(changes[iEnd].iLevel, 8) << "faded out to black";
    ASSERT_GE(gaps.size(), 20u);
    EXPECT_GE(*std::min_element(gaps.begin(), gaps.end()), 5) << "5-tick fade steps";
  }
  EXPECT_FALSE(bLost);
  EXPECT_EQ(GameEffects.requests(Effect::StageWon) - iWinsHeard, 1);
  EXPECT_EQ(run.iCamY, 23520) << "no frame was played";
  EXPECT_EQ(run.pPlayer, nullptr);
  EXPECT_EQ(SpriteImageCacheSize(), 0);
}

TEST_F(StageLoop, LostStageFadesFastThenShowsTheGameOverScreen) {
  WriteGameOverPicture();
  WriteCaptionFont("script.dat", Caption::Font);
  LevelRun run;
  startStage(run);
  run.pPlayer->iHealth = 0;
  bool bLost = false;
  GameTicks += 2;
  run.playFrame(pHud, false, bLost);
  ASSERT_TRUE(bLost);
  destroy_bitmap(pHud);
  // A button ends the game-over screen once it has begun to fade in.
  // (Pressed anyway after a long while, so that a fault fails the test
  // instead of hanging it.)
  const int iStart = GameTicks;
  bool bLate = false;
  int iLastLevel = 256;
  skvtest::ScriptedJoystick stick([iStart, &bLate, &iLastLevel] {
    bLate = GameTicks - iStart > 2000;
    joy[0].button[0].b = FadeLevel > iLastLevel || bLate;
    iLastLevel = FadeLevel;
  });
  const int iLossesHeard = GameEffects.requests(Effect::StageLost);
  Ticker ticker(4000);
  EXPECT_TRUE(run.endStage(bLost));
  ticker.stop();
  EXPECT_EQ(GameEffects.requests(Effect::StageLost) - iLossesHeard, 1);

  const auto changes = ticker.fadeChanges();
  size_t iEnd = 0;
  const auto gaps = FadeGaps(changes, 0, -1, &iEnd);
  ASSERT_LE(changes[iEnd].iLevel, 8);
  ASSERT_GE(gaps.size(), 20u);
  std::vector<int> sorted = gaps;
  std::sort(sorted.begin(), sorted.end());
  EXPECT_LE(sorted[sorted.size() / 2], 3) << "1-tick fade steps";
  // Then the game-over picture faded in, and out again at the end.
  ASSERT_GT(changes.size(), iEnd + 1);
  EXPECT_GT(changes[iEnd + 1].iLevel, changes[iEnd].iLevel);
  EXPECT_FALSE(bLate) << "the game-over screen faded in before the fallback press";
  EXPECT_EQ(FadeLevel, 0);
  EXPECT_EQ(getpixel(BackBuffer, 600, 100) & 0xFFFFFF, GameOverRgb);
  EXPECT_GT(CountRgb(BackBuffer, 350, 300, 357, 307, 0), 60) << "caption in the datafile font";
  EXPECT_GT(CountRgb(BackBuffer, 10, 440, 180, 447, 0), 100) << "the thank-you line";
  EXPECT_EQ(run.pPlayer, nullptr);
}

TEST_F(StageLoop, MissingCaptionFontStillReleasesTheStage) {
  WriteGameOverPicture();
  LevelRun run;
  startStage(run);
  destroy_bitmap(pHud);
  FadeLevel = 0;
  EXPECT_TRUE(run.showGameOver());
  Ticker ticker(500);
  EXPECT_TRUE(run.endStage(true));
  ticker.stop();
  EXPECT_EQ(run.pPlayer, nullptr);
  EXPECT_EQ(run.pCreditOverlay.get(), nullptr);
  EXPECT_EQ(SpriteImageCacheSize(), 0);
}

// A datafile with no object, or with plain data where the font belongs.
TEST_F(StageLoop, DatafileWithoutAFontFallsBackToTheDefaultFont) {
  WriteGameOverPicture();
  for (Caption kind : {Caption::None, Caption::Data}) {
    WriteCaptionFont("script.dat", kind);
    LevelRun run;
    startStage(run);
    destroy_bitmap(pHud);
    FadeLevel = 0;
    clear_bitmap(BackBuffer);
    // The button goes down once the screen has begun to fade in, so that at
    // least one frame has been composed however long the loads before it take.
    skvtest::ScriptedJoystick stick([] { joy[0].button[1].b = FadeLevel > 0; });
    Ticker ticker(1000);
    EXPECT_FALSE(run.showGameOver());
    ticker.stop();
    // The caption was written in the library's own font: letters with gaps.
    const int iInk = CountRgb(BackBuffer, 350, 300, 350 + 9 * 8 - 1, 307, 0);
    EXPECT_GT(iInk, 40) << static_cast<int>(kind);
    EXPECT_LT(iInk, 9 * 64 / 2) << static_cast<int>(kind);
    run.releaseStage();
  }
}

TEST_F(StageLoop, MapThatFailsToLoadEndsTheGame) {
  LevelRun run;
  EXPECT_EXIT(skvtest::RunLikeMain([&] { run.run("missing.fmp"); }),
      ::testing::ExitedWithCode(0), "ERROR:  Failed to load map:  missing.fmp");
}

}  // namespace
