// The projectile and enemy passes: removal of dead entities (the head of the
// list included), the score rule, and enemy shots joining the list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "entities/enemy.h"
#include "entities/player.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "stage_files.h"
#include "tilemap/tilemap.h"

using namespace stagetest;

namespace {

class Passes : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteStagePictures();
    // Solid ground in the left 160 pixels, open to the right.
    WriteMap("passes.fmp", 20, 750, [](int c, int) { return c < 5; });
    ResetFrameBuffers();
    GameTicks = 5000;
    ASSERT_EQ(TileMapOpen("passes.fmp"), 0);
    run.startPlay();
  }
  void TearDown() override { run.releaseStage(); }

  // A new shot at map (iMapX, iMapY), moving down.
  static Projectile *newShot(bool bAlive, int iMapY, int iMapX) {
    Projectile *pShot = new Projectile;
    pShot->launch(2, iMapX, iMapY, 1, 0.0f, 1.0f);
    pShot->bAlive = bAlive;
    return pShot;
  }
  Projectile *addShot(bool bAlive, int iMapY = 20000, int iMapX = 300) {
    Projectile *pShot = newShot(bAlive, iMapY, iMapX);
    ListPush(run.pProjectiles, pShot);
    return pShot;
  }
  Enemy *addEnemy(int iX, int iY, int iScoreValue) {
    EXPECT_TRUE(run.spawnEnemy(4, "orc2.bmp", iX, iY, 5, 10, 6, 150, 1, iScoreValue));
    ListNode *pLast = run.pEnemies;
    while (pLast->link != nullptr) pLast = pLast->link;
    return static_cast<Enemy *>(pLast->data);
  }
  template <typename T>
  std::vector<T *> items(ListNode *pList) {
    std::vector<T *> v;
    for (; pList != nullptr; pList = pList->link) v.push_back(static_cast<T *>(pList->data));
    return v;
  }

  StageFolder folder;
  LevelRun run;
};

TEST_F(Passes, DeadShotsLeaveTheListHeadFirst) {
  addShot(false);
  addShot(false);
  Projectile *pFirst = addShot(true);
  addShot(false);
  Projectile *pLast = addShot(true);
  run.updateProjectiles();
  EXPECT_EQ(items<Projectile>(run.pProjectiles), (std::vector<Projectile *>{pFirst, pLast}));
}

TEST_F(Passes, OnlyTheFollowerOfALiveShotIsRemovedInAWalk) {
  // A dead shot right after a removed one is walked over and goes next pass.
  Projectile *pLive = addShot(true);
  addShot(false);
  Projectile *pSecondDead = addShot(false);
  Projectile *pTail = addShot(true);
  run.updateProjectiles();
  EXPECT_EQ(items<Projectile>(run.pProjectiles),
            (std::vector<Projectile *>{pLive, pSecondDead, pTail}));
  run.updateProjectiles();
  EXPECT_EQ(items<Projectile>(run.pProjectiles), (std::vector<Projectile *>{pLive, pTail}));
}

TEST_F(Passes, DroppingFrozenShotsRemovesTheSameDeadShots) {
  // 'F' a live shot frozen below the view, 'A' a live one in it, 'D' a dead
  // one (told apart by their x). After each of three passes the first shot
  // in view dies, and after the second two dead shots join the list: the
  // shots in view left are the same with frozen shots dropped and kept.
  const auto InView = [&](std::string kinds, bool bDrop) {
    run.releaseStage();
    run.startPlay();
    run.iCamY = 19800;
    run.bDropFrozenShots = bDrop;
    for (size_t i = 0; i < kinds.size(); ++i) addShot(kinds[i] != 'D', kinds[i] == 'F' ? 20700 : 20000, static_cast<int>(300 + i));
    std::vector<std::string> passes;
    for (int iPass = 0; iPass < 3; ++iPass) {
      run.updateProjectiles();
      std::string left;
      for (Projectile *p : items<Projectile>(run.pProjectiles))
        if (kinds[static_cast<size_t>(p->fX) - 300] != 'F') left += static_cast<char>('a' + p->fX - 300);
      passes.push_back(left);
      for (Projectile *p : items<Projectile>(run.pProjectiles))
        if (p->fY < 20500 && p->bAlive) { p->bAlive = false; break; }
      if (iPass == 1) {
        ListNode *pJoined = nullptr;
        for (int n = 0; n < 2; ++n) {
          kinds += 'D';
          ListPush(pJoined, newShot(false, 20000, static_cast<int>(300 + kinds.size() - 1)));
        }
        run.joinShots(pJoined, ListLast(run.pProjectiles));
      }
    }
    return passes;
  };
  for (const char *cPattern : {"FDD", "DFDA", "ADFDD", "AFDFDDA", "FFDAF", "AF", "DDF"})
    EXPECT_EQ(InView(cPattern, true), InView(cPattern, false)) << cPattern;
}

TEST_F(Passes, DestroyedEnemiesPayTheirScoreOthersDoNot) {
  Enemy *pHead = addEnemy(300, 20000, 30);
  Enemy *pStaying = addEnemy(320, 20000, 7);
  Enemy *pFled = addEnemy(340, 20000, 100);
  Enemy *pDead = addEnemy(360, 20000, 10);
  pHead->bActive = false;
  pHead->iHealth = 0;
  pFled->bActive = false;  // gone with hit points left: no score
  pFled->iHealth = 2;
  pDead->bActive = false;
  pDead->iHealth = -1;
  run.updateEnemies();
  EXPECT_EQ(run.iScore, 30);
  EXPECT_EQ(items<Enemy>(run.pEnemies), (std::vector<Enemy *>{pStaying, pDead}));
  run.updateEnemies();
  EXPECT_EQ(run.iScore, 40);
  EXPECT_EQ(items<Enemy>(run.pEnemies), (std::vector<Enemy *>{pStaying}));
}

TEST_F(Passes, ARingOfShotsJoinsTheListInOrder) {
  Projectile *pOld = addShot(true);
  ASSERT_TRUE(run.spawnEnemy(3, "orc5.bmp", 400, 20000, 1, 10, 6, 150, 1, 10));
  Enemy *pRing = static_cast<Enemy *>(run.pEnemies->data);
  pRing->pSprite->iX = 200;  // as last drawn: on screen
  pRing->pSprite->iY = 200;
  run.updateEnemies();
  std::vector<Projectile *> shots = items<Projectile>(run.pProjectiles);
  ASSERT_EQ(shots.size(), 13u);
  EXPECT_EQ(shots[0], pOld);
  for (size_t i = 1; i < shots.size(); ++i) {
    EXPECT_FALSE(shots[i]->bPlayerShot);
    EXPECT_EQ(shots[i]->fX, 400.0f);
    EXPECT_EQ(shots[i]->fY, 20000.0f);
  }
  EXPECT_NEAR(shots[1]->fDirY, 1.0f, 1e-4) << "the first flies down the screen";
  EXPECT_NEAR(shots[4]->fDirX, 1.0f, 1e-4) << "the fourth to the right";
}

TEST_F(Passes, EnemiesAreListedOnlyOnFreeGround) {
  EXPECT_FALSE(run.spawnEnemy(4, "orc2.bmp", 100, 20000, 5, 10, 6, 150, 1, 5));
  EXPECT_EQ(run.pEnemies, nullptr);
  EXPECT_TRUE(run.spawnEnemy(1, "hut.bmp", 200, 20000, 5, 10, 6, 150, 9, 30));
  EXPECT_TRUE(run.spawnEnemy(4, "orc2.bmp", 250, 21000, 5, 10, 6, 150, 1, 5));
  std::vector<Enemy *> enemies = items<Enemy>(run.pEnemies);
  ASSERT_EQ(enemies.size(), 2u);
  EXPECT_EQ(enemies[0]->iKind, 1);
  EXPECT_EQ(enemies[0]->pSprite->getWidth(), 64);
  EXPECT_EQ(enemies[1]->iMapY, 21000);
}

}  // namespace
