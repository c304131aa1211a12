// The dragon: bounded moves, the screen position rule, enemy shots.
#include "entities/player.h"

#include <gtest/gtest.h>

#include "entity_fixture.h"

using skvtest::SetTicks;

namespace {

using PlayerTest = EntityTest;

TEST_F(PlayerTest, CreatedAtItsStartingPlace) {
  EXPECT_FLOAT_EQ(dragon.fX, 280.0f);
  EXPECT_FLOAT_EQ(dragon.fY, 23720.0f);
  EXPECT_EQ(dragon.pSprite->getWidth(), 80);
  EXPECT_EQ(dragon.pSprite->getHeight(), 110);
}

TEST_F(PlayerTest, MovesOvershootByAStepThenSnapBack) {
  dragon.fX = 3;
  dragon.moveLeft(7);
  EXPECT_FLOAT_EQ(dragon.fX, -4.0f);
  dragon.moveLeft(7);
  EXPECT_FLOAT_EQ(dragon.fX, 0.0f);

  dragon.fX = 1195;  // right edge of the dragon at 1275 of 1280
  dragon.moveRight(7);
  EXPECT_FLOAT_EQ(dragon.fX, 1202.0f);
  dragon.moveRight(7);
  EXPECT_FLOAT_EQ(dragon.fX, 1200.0f);

  dragon.fY = 5001;
  dragon.moveUp(9, 5000);
  EXPECT_FLOAT_EQ(dragon.fY, 4992.0f);
  dragon.moveUp(9, 5000);
  EXPECT_FLOAT_EQ(dragon.fY, 5000.0f);

  dragon.fY = 5000 + 424;  // middle one pixel above the bottom
  dragon.moveDown(8, 5000);
  EXPECT_FLOAT_EQ(dragon.fY, 5432.0f);
  dragon.fY = 5000 + 425;  // middle exactly at the bottom: snaps
  dragon.moveDown(8, 5000);
  EXPECT_FLOAT_EQ(dragon.fY, 5425.0f);
}

TEST_F(PlayerTest, ScreenPositionFollowsTheViewRule) {
  struct Case {
    float x;
    int screenX;
  } cases[] = {{0.0f, 0},   {319.9f, 319}, {320.0f, 320},  {700.0f, 320},
               {960.0f, 320}, {960.5f, 320}, {1100.0f, 460}, {1200.0f, 560}};
  BITMAP *pDest = create_bitmap(640, 480);
  for (const Case &c : cases) {
    dragon.fX = c.x;
    dragon.fY = 5100.7f;
    dragon.drawPlayer(pDest, 5000);
    EXPECT_EQ(dragon.pSprite->iX, c.screenX) << c.x;
    EXPECT_EQ(dragon.pSprite->iY, 100);
  }
  clear_to_color(pDest, 0);
  dragon.fX = 10;
  dragon.drawPlayer(pDest, 5000);
  EXPECT_EQ(getpixel(pDest, 15, 105), skvtest::StripColour(0, 0, 3));
  destroy_bitmap(pDest);
}

TEST_F(PlayerTest, EnemyShotsHitOnlyStrictlyInsideTheFrame) {
  dragon.fX = 300;
  dragon.fY = 1000;
  AddShot(300, 1050, false);    // on the left edge
  AddShot(340, 1000, false);    // on the top edge
  AddShot(380, 1050, false);    // on the right edge
  AddShot(340, 1110, false);    // on the bottom edge
  AddShot(340, 1050, true);     // the dragon's own shot
  dragon.hitByShots(shots);
  EXPECT_EQ(dragon.iHealth, 50);
  for (ListNode *p = shots; p != nullptr; p = p->link)
    EXPECT_TRUE(static_cast<Projectile *>(p->data)->bAlive);
  ClearShots();

  AddShot(300.5f, 1000.5f, false);
  AddShot(379.5f, 1109.5f, false);
  static_cast<Projectile *>(shots->link->data)->bAlive = false;  // dead shots still hit
  dragon.hitByShots(shots);
  EXPECT_EQ(dragon.iHealth, 48);
  EXPECT_FALSE(static_cast<Projectile *>(shots->data)->bAlive);
  EXPECT_NE(getpixel(dragon.pSprite->pFrame.get(), 40, 50), skvtest::StripColour(0, 0, 3));
  dragon.pSprite->refreshFrame();
  EXPECT_EQ(getpixel(dragon.pSprite->pFrame.get(), 40, 50), skvtest::StripColour(0, 0, 3));
}

}  // namespace
