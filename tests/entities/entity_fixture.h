// Shared fixture of the dragon and enemy tests: their pictures, a loaded map
// 40 cells wide (1280 pixels) and 800 high, free except one solid cell at
// column 10, row 10 (pixels 320..351), the dragon, and the enemies and shots
// a test makes, freed after it.
#pragma once
#include <gtest/gtest.h>

#include <vector>

#include "app/list.h"
#include "entities/enemy.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "../level/stage_files.h"
#include "test_images.h"
#include "tilemap/tilemap.h"

class EntityTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skvtest::WriteStrip("Dragon.bmp", 80, 110, 1, 1, 3);
    skvtest::WriteStrip("fire.bmp", 16, 16, 4, 1, 0);
    skvtest::WriteStrip("orc2.bmp", 24, 32, 3, 4, 0);
    skvtest::WriteStrip("hut.bmp", 64, 64, 1, 1, 9);
    skvtest::WriteStrip("ice.bmp", 16, 16, 4, 1, 7);
    stagetest::WriteMap("entities.fmp", 40, 800, [](int c, int r) { return c == 10 && r == 10; });
  }
  void SetUp() override {
    ASSERT_EQ(TileMapOpen("entities.fmp"), 0);
    skvtest::SetTicks(1000);
    dragon.createPlayer();
  }
  void TearDown() override {
    for (Enemy *pEnemy : made) delete pEnemy;
    ClearShots();
    TileMapClose();
    SpriteImageCacheClear();
  }
  Enemy *Make(int iKind, const char *cImage, int iX, int iY, int iWalkDelay = 5,
              int iFireDelay = 150, int iHitPoints = 1) {
    Enemy *pEnemy = new Enemy();
    made.push_back(pEnemy);
    EXPECT_TRUE(pEnemy->setupEnemy(iKind, cImage, iX, iY, iWalkDelay, 10, 6, iFireDelay,
                                   iHitPoints, 10));
    return pEnemy;
  }
  // A shot whose top-left point is at (x, y), added to `shots`.
  void AddShot(float fX, float fY, bool bPlayer) {
    Projectile *pShot = new Projectile();
    pShot->bPlayerShot = bPlayer;
    pShot->bAlive = true;
    pShot->fX = fX;
    pShot->fY = fY;
    ListPush(shots, pShot);
  }
  void ClearShots() {
    for (ListNode *p = shots; p != nullptr; p = p->link) delete static_cast<Projectile *>(p->data);
    ListFree(shots);
    shots = nullptr;
  }
  Player dragon;
  std::vector<Enemy *> made;
  ListNode *shots = nullptr;
};
