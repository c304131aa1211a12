// Shared fixture of the dragon tests: a loaded open map, the dragon's picture
// and a list of shots the test fills.
#pragma once
#include <gtest/gtest.h>

#include "app/list.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "test_images.h"
#include "test_map.h"
#include "tilemap/tilemap.h"

// Map 40 cells wide (1280 pixels) and 800 high.
class PlayerTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    skvtest::WriteStrip("Dragon.bmp", 80, 110, 1, 1, 3);
    skvtest::WriteStrip("fire.bmp", 16, 16, 4, 1, 0);
  }
  void SetUp() override {
    ASSERT_TRUE(skvtest::LoadOpenMap(40, 800));
    skvtest::SetTicks(1000);
    dragon.createPlayer();
  }
  void TearDown() override {
    ClearShots();
    TileMapClose();
    SpriteImageCacheClear();
  }
  void AddShot(float fX, float fY, bool bPlayer) {
    Projectile *pShot = new Projectile();
    pShot->bPlayerShot = bPlayer;
    pShot->bAlive = true;
    pShot->fX = fX;
    pShot->fY = fY;
    ListNode *pNode = ListNewNode();
    pNode->data = pShot;
    shots = ListAppend(shots, pNode);
    ListFree(pNode);
  }
  void ClearShots() {
    for (ListNode *p = shots; p != nullptr; p = p->link) delete static_cast<Projectile *>(p->data);
    ListFree(shots);
    shots = nullptr;
  }
  Player dragon;
  ListNode *shots = nullptr;
};

