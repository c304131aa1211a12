// Shots: launch values and the random speed, flight steps on their own timer,
// the 100-pixel freeze margin, the 250-tick life, drawing.
#include "entities/projectile.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "entities/sprite.h"
#include "test_images.h"

using skvtest::SetTicks;
using skvtest::StripColour;

namespace {

class ProjectileTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skvtest::WriteStrip("fire.bmp", 16, 16, 4, 1, 0);
    skvtest::WriteStrip("ice.bmp", 16, 16, 4, 1, 7);
  }
  void SetUp() override { SetTicks(1000); }
  void TearDown() override {
    shot.pSprite->freeImages();
    SpriteImageCacheClear();
  }
  // A launched shot whose last screen position lies inside the view.
  void Launch(int iDelay, float fDx, float fDy) {
    shot.launch(KindIceShot, 5000, 5000, iDelay, fDx, fDy);
    shot.pSprite->iX = 300;
    shot.pSprite->iY = 200;
  }
  Projectile shot;
};

TEST_F(ProjectileTest, LaunchClampsDirectionAndDrawsSpeedInOrder) {
  srand(77);
  const int iAdded = rand() % 5;
  const int iTaken = rand() % 5;
  srand(77);
  SetTicks(1234);
  shot.launch(KindIceShot, 40, 50, 3, 3.0f, -0.5f);
  EXPECT_FLOAT_EQ(shot.fDirX, 1.0f);
  EXPECT_FLOAT_EQ(shot.fDirY, -0.5f);
  EXPECT_EQ(shot.iSpeed, iAdded + 10 - iTaken);
  EXPECT_TRUE(shot.bAlive);
  EXPECT_FALSE(shot.bPlayerShot);
  EXPECT_EQ(shot.iBornTick, 1234);
  EXPECT_EQ(shot.iMoveDelay, 3);
  EXPECT_EQ(shot.pSprite->iX, 40);
  EXPECT_EQ(shot.pSprite->iY, 50);
  EXPECT_EQ(shot.pSprite->getWidth(), 16);
  EXPECT_EQ(shot.pSprite->iFrameDelay, 10);
  EXPECT_EQ(getpixel(shot.pSprite->pFrame.get(), 3, 3), StripColour(0, 0, 7));  // ice

  // Speeds stay within 6..14 over many launches.
  for (int i = 0; i < 200; ++i) {
    Projectile p;
    p.launch(KindIceShot, 0, 0, 1, -4.0f, 0.25f);
    EXPECT_GE(p.iSpeed, 6);
    EXPECT_LE(p.iSpeed, 14);
    EXPECT_FLOAT_EQ(p.fDirX, -1.0f);
    p.pSprite->freeImages();
  }
}

TEST_F(ProjectileTest, PlayerShotKeepsItsSpeedAndFirePicture) {
  shot.launchPlayerShot(KindFireShot, 320, 23720, 1, 0, -1, 17);
  EXPECT_TRUE(shot.bPlayerShot);
  EXPECT_EQ(shot.iSpeed, 17);
  EXPECT_FLOAT_EQ(shot.fDirY, -1.0f);
  EXPECT_FLOAT_EQ(shot.fDirX, 0.0f);
  EXPECT_EQ(getpixel(shot.pSprite->pFrame.get(), 3, 3), StripColour(0, 0, 0));  // fire
}

TEST_F(ProjectileTest, MovesOnItsOwnTimer) {
  Launch(1, 0.0f, -1.0f);
  shot.iSpeed = 17;
  // The first move comes at once (last move tick 0), then every second tick.
  shot.updateProjectile();
  EXPECT_FLOAT_EQ(shot.fY, 5000 - 17);
  SetTicks(1001);
  shot.updateProjectile();
  EXPECT_FLOAT_EQ(shot.fY, 5000 - 17);
  SetTicks(1002);
  shot.updateProjectile();
  EXPECT_FLOAT_EQ(shot.fY, 5000 - 34);
  EXPECT_FLOAT_EQ(shot.fX, 5000);

  Projectile slow;
  slow.launch(KindIceShot, 100, 100, 4, 0.5f, 1.0f);
  slow.iSpeed = 6;
  slow.pSprite->iX = 0;
  slow.pSprite->iY = 0;
  int iMoves = 0;
  float fLastY = slow.fY;
  for (int t = 1000; t <= 1020; ++t) {
    SetTicks(t);
    slow.updateProjectile();
    if (slow.fY != fLastY) ++iMoves;
    fLastY = slow.fY;
  }
  EXPECT_EQ(iMoves, 5);  // ticks 1000, 1005, 1010, 1015, 1020
  EXPECT_FLOAT_EQ(slow.fY, 100 + 5 * 6);
  EXPECT_FLOAT_EQ(slow.fX, 100 + 5 * 3);
  slow.pSprite->freeImages();
}

TEST_F(ProjectileTest, ShotsFarOutsideTheViewFreeze) {
  Launch(1, 0.0f, 1.0f);
  struct Case {
    int x, y;
    bool updated;
  } cases[] = {{300, -101, false}, {300, -100, true}, {-101, 200, false}, {-100, 200, true},
               {741, 200, false},  {740, 200, true},  {300, 581, false},  {300, 580, true}};
  int iTick = 2000;  // past the life, so an update also marks the shot dead
  for (const Case &c : cases) {
    iTick += 20;
    SetTicks(iTick);
    shot.bAlive = true;
    shot.iLastMoveTick = 0;
    shot.pSprite->iLastFrameTick = 0;
    shot.pSprite->iX = c.x;
    shot.pSprite->iY = c.y;
    const float fBefore = shot.fY;
    shot.updateProjectile();
    EXPECT_EQ(shot.fY != fBefore, c.updated) << c.x << ", " << c.y;
    EXPECT_EQ(!shot.bAlive, c.updated) << c.x << ", " << c.y;
    EXPECT_EQ(shot.pSprite->iLastFrameTick != 0, c.updated) << c.x << ", " << c.y;
  }
}

TEST_F(ProjectileTest, DiesAfter250TicksAndMovesOnceMore) {
  Launch(1, 0.0f, 0.0f);  // a shot without direction: animates, never moves
  const float fStartX = shot.fX;
  SetTicks(1250);
  shot.updateProjectile();
  EXPECT_TRUE(shot.bAlive);
  EXPECT_EQ(shot.pSprite->iColumn, 1);
  SetTicks(1251);
  shot.updateProjectile();
  EXPECT_FALSE(shot.bAlive);
  EXPECT_FLOAT_EQ(shot.fX, fStartX);

  Projectile moving;
  moving.launch(KindIceShot, 10, 10, 1, 1.0f, 0.0f);
  moving.iSpeed = 8;
  moving.pSprite->iX = moving.pSprite->iY = 0;
  moving.iBornTick = 1049;
  moving.iLastMoveTick = 1249;
  SetTicks(1300);
  moving.updateProjectile();
  EXPECT_FALSE(moving.bAlive);
  EXPECT_FLOAT_EQ(moving.fX, 18.0f);
  moving.pSprite->freeImages();
}

TEST_F(ProjectileTest, AnimatesThroughFourColumns) {
  Launch(1, 0.0f, 0.0f);
  int iSeen[6];
  for (int i = 0; i < 6; ++i) {
    SetTicks(1000 + 11 * (i + 1));
    shot.updateProjectile();
    iSeen[i] = shot.pSprite->iColumn;
  }
  const int iExpected[6] = {1, 2, 3, 0, 1, 2};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(iSeen[i], iExpected[i]) << i;
}

TEST_F(ProjectileTest, DrawConvertsToScreenTruncatingTowardZero) {
  BITMAP *pDest = create_bitmap(640, 480);
  clear_to_color(pDest, 0);
  Launch(1, 0.0f, 0.0f);
  shot.fX = 109.5f;
  shot.fY = 23049.7f;
  shot.drawProjectile(pDest, 110, 23000);
  EXPECT_EQ(shot.pSprite->iX, 0);  // -0.5 truncates to 0: still drawn
  EXPECT_EQ(shot.pSprite->iY, 49);
  EXPECT_EQ(getpixel(pDest, 2, 51), StripColour(0, 0, 7));
  destroy_bitmap(pDest);
}

}  // namespace
