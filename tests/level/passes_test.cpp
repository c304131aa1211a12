// The projectile and enemy passes: removal of dead entities (the head of the
// list included), dropping frozen shots against keeping them, the score rule,
// and enemy shots joining the list.
#include <gtest/gtest.h>

#include <map>
#include <random>
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

// What happens around one projectile pass: whether the dragon fires before
// it, which live shot in view dies after it (the iKill-th, none if there are
// fewer) and the kinds of the enemy shots that join the list then.
struct PassEvents {
  bool bFire;
  int iKill;
  std::string joined;
};

TEST_F(Passes, DroppingFrozenShotsRemovesTheSameDeadShots) {
  // Shot kinds: 'F' live and frozen below the view, 'A' live in it, 'D'
  // dead. After each pass, the shots in view (by the order they were made)
  // must be the same with frozen shots dropped and kept.
  const auto InView = [&](const std::string &kinds, const std::vector<PassEvents> &script,
                          bool bDrop) {
    run.releaseStage();
    run.startPlay();
    run.iCamY = 19800;
    run.bDropFrozenShots = bDrop;
    run.pPlayer->fX = 300;  // the dragon's shots start in view
    run.pPlayer->fY = 20100;
    std::map<const Projectile *, size_t> made;  // a shot's number
    std::vector<char> kindOf;
    const auto Made = [&](Projectile *pShot, char kind) {
      made[pShot] = kindOf.size();
      kindOf.push_back(kind);
      return pShot;
    };
    const auto NewShot = [](char kind) { return newShot(kind != 'D', kind == 'F' ? 20700 : 20000, 300); };
    for (char kind : kinds) ListPush(run.pProjectiles, Made(NewShot(kind), kind));
    std::vector<std::vector<size_t>> passes;
    for (const PassEvents &events : script) {
      if (events.bFire) {
        GameTicks += 6;
        run.firePlayerShot();
        Made(static_cast<Projectile *>(ListLast(run.pProjectiles)->data), 'A');
      }
      run.updateProjectiles();
      std::vector<size_t> left;
      int iLive = 0;
      for (Projectile *p : items<Projectile>(run.pProjectiles)) {
        if (kindOf[made[p]] == 'F') continue;
        left.push_back(made[p]);
        if (p->bAlive && iLive++ == events.iKill) p->bAlive = false;
      }
      passes.push_back(left);
      ListNode *pJoined = nullptr;
      for (char kind : events.joined) ListPush(pJoined, Made(NewShot(kind), kind));
      run.joinShots(pJoined, ListLast(run.pProjectiles));
    }
    return passes;
  };
  // Three passes: the first shot in view dies after each, two dead shots
  // join after the second.
  const std::vector<PassEvents> kScripted = {{false, 0, ""}, {false, 0, "DD"}, {false, 0, ""}};
  for (const char *cPattern : {"FDD", "DFDA", "ADFDD", "AFDFDDA", "FFDAF", "AF", "DDF"})
    EXPECT_EQ(InView(cPattern, kScripted, true), InView(cPattern, kScripted, false)) << cPattern;
  // Random lists and passes, the dragon firing between them.
  for (unsigned iSeed = 1; iSeed <= 3000; ++iSeed) {
    std::mt19937 random(iSeed);
    const auto Kinds = [&random](size_t iCount) {
      std::string kinds;
      while (kinds.size() < iCount) kinds += "FDA"[random() % 3];
      return kinds;
    };
    const std::string kinds = Kinds(1 + random() % 7);
    std::vector<PassEvents> script;
    for (int iPass = 0; iPass < 12; ++iPass) {
      const bool bFire = random() % 3 == 0;
      const int iKill = static_cast<int>(random() % 5) - 1;
      script.push_back({bFire, iKill, Kinds(random() % 3)});
    }
    const auto dropped = InView(kinds, script, true);
    ASSERT_EQ(dropped, InView(kinds, script, false)) << "seed " << iSeed << ", shots " << kinds;
  }
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
