// Ground enemies: set-up on free ground, walking legs and blocked steps,
// the update's order, teleports, aimed shots, the ring of twelve, hit boxes.
#include "entities/enemy.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "entity_fixture.h"

using skvtest::SetTicks;

namespace {

using EnemyTest = EntityTest;

TEST_F(EnemyTest, ConstructorDefaultsAndTeleportDraws) {
  srand(5);
  const int iAdded = rand() % 2;
  const int iTaken = rand() % 2;
  srand(5);
  Enemy fresh;
  EXPECT_EQ(fresh.iTeleportsLeft, 5 + iAdded - iTaken);
  EXPECT_EQ(fresh.iFireDelay, 10);
  EXPECT_EQ(fresh.iDirection, WalkDown);
  EXPECT_FALSE(fresh.bActive);
  EXPECT_EQ(fresh.pSprite, nullptr);
  for (int i = 0; i < 100; ++i) {
    Enemy e;
    EXPECT_GE(e.iTeleportsLeft, 4);
    EXPECT_LE(e.iTeleportsLeft, 6);
  }
}

TEST_F(EnemyTest, SetupRefusesSolidGroundAndReleasesThePicture) {
  Enemy *pEnemy = new Enemy();
  EXPECT_FALSE(pEnemy->setupEnemy(KindWalker, "orc2.bmp", 330, 340, 5, 10, 6, 150, 1, 5));
  EXPECT_FALSE(pEnemy->bActive);
  EXPECT_EQ(pEnemy->pSprite, nullptr);
  delete pEnemy;
  // The map's outer edge and everything beyond it count as solid too.
  Enemy *pEdge = new Enemy();
  EXPECT_FALSE(pEdge->setupEnemy(KindWalker, "orc2.bmp", 0, 100, 5, 10, 6, 150, 1, 5));
  delete pEdge;
}

TEST_F(EnemyTest, SetupStoresValuesAndDrawsTheFirstLeg) {
  srand(11);
  rand();  // the constructor's two draws for the teleports
  rand();
  const int iDir = rand() % 4;
  const int iAdded = rand() % 5;
  const int iTaken = rand() % 5;
  srand(11);
  Enemy *pEnemy = Make(KindWalkerAimer, "orc2.bmp", 100, 200, 5, 20, 5);
  const int iDirections[4] = {WalkRight, WalkLeft, WalkDown, WalkUp};
  const int iRows[5] = {0, 3, 1, 2, 0};  // by direction: left 3, right 1, down 2, up 0
  EXPECT_EQ(pEnemy->iDirection, iDirections[iDir]);
  EXPECT_EQ(pEnemy->pSprite->iRow, iRows[iDirections[iDir]]);
  EXPECT_EQ(pEnemy->iStepsLeft, std::max(0, iAdded - iTaken));  // leg length still 0
  EXPECT_EQ(pEnemy->iLegLength, 10);
  EXPECT_EQ(pEnemy->iWalkStep, 6);
  EXPECT_EQ(pEnemy->iFireDelay, 20);
  EXPECT_EQ(pEnemy->iHealth, 5);
  EXPECT_EQ(pEnemy->iScoreValue, 10);
  EXPECT_TRUE(pEnemy->bActive);
  EXPECT_TRUE(pEnemy->pSprite->bTranslucent);
  EXPECT_EQ(pEnemy->pSprite->iAlpha, 255);
  EXPECT_EQ(pEnemy->pSprite->iX, 100);
  EXPECT_EQ(pEnemy->pSprite->iY, 200);
  EXPECT_EQ(pEnemy->pSprite->getWidth(), 24);
  EXPECT_EQ(pEnemy->pSprite->getHeight(), 32);

  // The picture follows the file name, not the kind.
  Enemy *pHutWalker = Make(KindWalker, "hut.bmp", 100, 300);
  EXPECT_EQ(pHutWalker->pSprite->getWidth(), 64);
  EXPECT_EQ(pHutWalker->pSprite->getHeight(), 64);
  Enemy *pOrcHut = Make(KindHut, "orc2.bmp", 200, 300);
  EXPECT_EQ(pOrcHut->pSprite->getWidth(), 24);
}

TEST_F(EnemyTest, LegLengthsSpreadByFourEitherWay) {
  Enemy *pEnemy = Make(KindWalker, "orc2.bmp", 100, 200);
  int iLow = 99, iHigh = -1;
  for (int i = 0; i < 400; ++i) {
    pEnemy->chooseDirection();
    iLow = std::min(iLow, pEnemy->iStepsLeft);
    iHigh = std::max(iHigh, pEnemy->iStepsLeft);
  }
  EXPECT_EQ(iLow, 6);
  EXPECT_EQ(iHigh, 14);
  // A short leg never goes negative.
  pEnemy->iLegLength = 2;
  for (int i = 0; i < 200; ++i) {
    pEnemy->chooseDirection();
    EXPECT_GE(pEnemy->iStepsLeft, 0);
    EXPECT_LE(pEnemy->iStepsLeft, 6);
  }
}

TEST_F(EnemyTest, WalkerStepsOnItsDelay) {
  Enemy *pEnemy = Make(KindWalker, "orc2.bmp", 100, 200, 5);
  pEnemy->iDirection = WalkRight;
  pEnemy->iStepsLeft = 100;
  pEnemy->iLastStepTick = 1000;
  SetTicks(1005);
  pEnemy->walk();
  EXPECT_EQ(pEnemy->iMapX, 100);
  SetTicks(1006);
  pEnemy->walk();
  EXPECT_EQ(pEnemy->iMapX, 106);
  EXPECT_EQ(pEnemy->iStepsLeft, 99);
  // Every direction moves by the walk step.
  const int iMoves[5][2] = {{0, 0}, {-6, 0}, {6, 0}, {0, 6}, {0, -6}};
  for (int d = WalkLeft; d <= WalkUp; ++d) {
    SetTicks(1006 + 6 * d);
    const int iX = pEnemy->iMapX, iY = pEnemy->iMapY;
    pEnemy->iDirection = d;
    pEnemy->walk();
    EXPECT_EQ(pEnemy->iMapX - iX, iMoves[d][0]) << d;
    EXPECT_EQ(pEnemy->iMapY - iY, iMoves[d][1]) << d;
  }
  // Walk delay 1: a step every second tick.
  Enemy *pFast = Make(KindWalker, "orc2.bmp", 100, 400, 1);
  pFast->iDirection = WalkDown;
  pFast->iStepsLeft = 100;
  pFast->iLastStepTick = 2000;
  int iSteps = 0;
  for (int t = 2001; t <= 2010; ++t) {
    SetTicks(t);
    const int iY = pFast->iMapY;
    pFast->walk();
    if (pFast->iMapY != iY) ++iSteps;
  }
  EXPECT_EQ(iSteps, 5);
}

TEST_F(EnemyTest, WalkerBlockedBySolidGroundWaitsOutItsLeg) {
  // Standing just left of the solid cell, facing it.
  Enemy *pEnemy = Make(KindWalker, "orc2.bmp", 316, 330, 5);
  pEnemy->iDirection = WalkRight;
  pEnemy->iStepsLeft = 3;
  SetTicks(2000);
  pEnemy->walk();
  EXPECT_EQ(pEnemy->iMapX, 316);
  EXPECT_EQ(pEnemy->iMapY, 330);
  EXPECT_EQ(pEnemy->iDirection, WalkRight);
  EXPECT_EQ(pEnemy->iStepsLeft, 2);
  EXPECT_EQ(pEnemy->iLastStepTick, 2000);

  // At the end of the leg a new direction is drawn; if its first step is
  // blocked, the old direction comes back but the new leg's count stays.
  pEnemy->iStepsLeft = 0;
  for (int iTry = 0; iTry < 50; ++iTry) {
    SetTicks(3000 + 10 * iTry);
    const int iSeed = 100 + iTry;
    srand(iSeed);
    const int iDraw = rand() % 4;
    const int iAdded = rand() % 5;
    const int iTaken = rand() % 5;
    srand(iSeed);
    pEnemy->iMapX = 316;
    pEnemy->iMapY = 330;
    pEnemy->iDirection = WalkUp;
    pEnemy->iStepsLeft = 0;
    pEnemy->walk();
    EXPECT_EQ(pEnemy->iStepsLeft, 10 + iAdded - iTaken - 1);
    if (iDraw == 0) {  // right, into the wall: blocked
      EXPECT_EQ(pEnemy->iMapX, 316);
      EXPECT_EQ(pEnemy->iDirection, WalkUp);
    } else {
      EXPECT_NE(pEnemy->iMapX * 1000 + pEnemy->iMapY, 316 * 1000 + 330);
    }
  }
  // The map's edge blocks as well.
  Enemy *pEdge = Make(KindWalker, "orc2.bmp", 4, 100, 5);
  pEdge->iDirection = WalkLeft;
  pEdge->iStepsLeft = 5;
  SetTicks(9000);
  pEdge->walk();
  EXPECT_EQ(pEdge->iMapX, 4);
}

TEST_F(EnemyTest, UpdateRestsOffScreenEvenWhenDying) {
  Enemy *pEnemy = Make(KindWalker, "orc2.bmp", 100, 200);
  pEnemy->bDying = true;
  pEnemy->iStepsLeft = 5;
  pEnemy->pSprite->iX = -1;
  SetTicks(5000);
  EXPECT_EQ(pEnemy->updateEnemy(nullptr, 0, 0), nullptr);
  EXPECT_EQ(pEnemy->pSprite->iAlpha, 255);
  EXPECT_EQ(pEnemy->iMapX * 1000 + pEnemy->iMapY, 100 * 1000 + 200);
  EXPECT_EQ(pEnemy->iLastStepTick, 0);
  EXPECT_EQ(pEnemy->pSprite->iColumn, 0);
  // Back on screen it acts.
  pEnemy->pSprite->iX = 640;
  pEnemy->pSprite->iY = 480;
  pEnemy->updateEnemy(nullptr, 0, 0);
  EXPECT_EQ(pEnemy->pSprite->iAlpha, 235);
  EXPECT_EQ(pEnemy->iLastStepTick, 5000);
}

TEST_F(EnemyTest, DyingEnemyFadesInThirteenStepsThenTurnsInactive) {
  Enemy *pEnemy = Make(KindHut, "hut.bmp", 100, 200);
  pEnemy->pSprite->iX = pEnemy->pSprite->iY = 50;
  AddShot(120, 220, true);
  SetTicks(2000);
  pEnemy->updateEnemy(shots, 0, 0);
  EXPECT_TRUE(pEnemy->bDying);
  EXPECT_EQ(pEnemy->iHealth, 0);
  ClearShots();
  int iUpdates = 0;
  for (int t = 2002; pEnemy->bActive && t < 3000; t += 2) {
    SetTicks(t);
    EXPECT_EQ(pEnemy->updateEnemy(nullptr, 0, 0), nullptr);
    ++iUpdates;
  }
  EXPECT_EQ(iUpdates, 13);
  EXPECT_FALSE(pEnemy->bActive);
  EXPECT_EQ(pEnemy->pSprite->iColumn, 0);  // huts never animate
}

TEST_F(EnemyTest, WalkingAimerFiresFromItsNewPlace) {
  Enemy *pEnemy = Make(KindWalkerAimer, "orc2.bmp", 100, 200, 5, 20);
  pEnemy->pSprite->iX = pEnemy->pSprite->iY = 100;
  pEnemy->iDirection = WalkDown;
  pEnemy->iStepsLeft = 5;
  SetTicks(4000);
  ListNode *pNew = pEnemy->updateEnemy(nullptr, 100, 0);
  ASSERT_NE(pNew, nullptr);
  Projectile *pShot = static_cast<Projectile *>(pNew->data);
  EXPECT_FLOAT_EQ(pShot->fY, 206.0f);
  EXPECT_EQ(pNew->link, nullptr);
  EXPECT_EQ(pEnemy->pSprite->iColumn, 1);  // animates after acting
  shots = pNew;
}

TEST_F(EnemyTest, AimedShotsFlyTowardAPointAboveTheDragon) {
  Enemy *pEnemy = Make(KindAimer, "orc2.bmp", 300, 500, 5, 5);
  srand(21);
  const int iDelay = rand() % 4 + 1;
  const int iAdded = rand() % 5;
  const int iTaken = rand() % 5;
  srand(21);
  SetTicks(6000);
  // Dragon 150 above the enemy: aim 300 straight up.
  ListNode *pNode = pEnemy->fireAimed(300, 350);
  ASSERT_NE(pNode, nullptr);
  shots = pNode;
  Projectile *pShot = static_cast<Projectile *>(pNode->data);
  EXPECT_FLOAT_EQ(pShot->fDirX, 0.0f);
  EXPECT_FLOAT_EQ(pShot->fDirY, -1.0f);
  EXPECT_EQ(pShot->iMoveDelay, iDelay);
  EXPECT_EQ(pShot->iSpeed, 10 + iAdded - iTaken);
  EXPECT_FALSE(pShot->bPlayerShot);
  EXPECT_FLOAT_EQ(pShot->fX, 300.0f);
  EXPECT_FLOAT_EQ(pShot->fY, 500.0f);
  EXPECT_EQ(pEnemy->iLastShotTick, 6000);

  // Fire delay 5: the next shot six ticks later.
  SetTicks(6005);
  EXPECT_EQ(pEnemy->fireAimed(300, 350), nullptr);
  SetTicks(6006);
  ListNode *pSecond = pEnemy->fireAimed(600, 1050);  // aim 300 right, 400 down
  ASSERT_NE(pSecond, nullptr);
  shots = ListAppend(shots, pSecond);
  ListFree(pSecond);
  Projectile *pDiagonal = static_cast<Projectile *>(shots->link->data);
  EXPECT_FLOAT_EQ(pDiagonal->fDirX, 0.6f);
  EXPECT_FLOAT_EQ(pDiagonal->fDirY, 0.8f);

  // The aim point on the enemy's own top-left: straight up, not a NaN.
  SetTicks(6020);
  ListNode *pThird = pEnemy->fireAimed(300, 650);
  ASSERT_NE(pThird, nullptr);
  shots = ListAppend(shots, pThird);
  ListFree(pThird);
  Projectile *pStraight = static_cast<Projectile *>(shots->link->link->data);
  EXPECT_FLOAT_EQ(pStraight->fDirX, 0.0f);
  EXPECT_FLOAT_EQ(pStraight->fDirY, -1.0f);
}

TEST_F(EnemyTest, RingFiresTwelveShotsInOrderOfAngle) {
  Enemy *pEnemy = Make(KindRing, "orc2.bmp", 300, 500, 5, 150);
  srand(33);
  int iDelays[12], iSpeeds[12];
  for (int k = 0; k < 12; ++k) {
    iDelays[k] = rand() % 4 + 1;
    const int iAdded = rand() % 5;
    iSpeeds[k] = 10 + iAdded - rand() % 5;
  }
  srand(33);
  SetTicks(7000);
  shots = pEnemy->fireRing();
  const double Pi = 3.14159265358979;
  const int iAngles[12] = {0, 21, 42, 64, 85, 106, 128, 149, 170, 192, 213, 234};
  int k = 0;
  for (ListNode *p = shots; p != nullptr; p = p->link, ++k) {
    ASSERT_LT(k, 12);
    Projectile *pShot = static_cast<Projectile *>(p->data);
    const double fRadians = iAngles[k] * 2 * Pi / 256;
    EXPECT_NEAR(pShot->fDirX, std::sin(fRadians), 0.001) << k;
    EXPECT_NEAR(pShot->fDirY, std::cos(fRadians), 0.001) << k;
    EXPECT_FLOAT_EQ(pShot->fX, 300.0f);
    EXPECT_FLOAT_EQ(pShot->fY, 500.0f);
    EXPECT_EQ(pShot->iMoveDelay, iDelays[k]) << k;
    EXPECT_EQ(pShot->iSpeed, iSpeeds[k]) << k;
  }
  EXPECT_EQ(k, 12);
  // Down, right, up and left at shots 0, 3, 6 and 9.
  Projectile *pQuarter[4];
  ListNode *p = shots;
  for (int i = 0; i < 12; ++i, p = p->link)
    if (i % 3 == 0) pQuarter[i / 3] = static_cast<Projectile *>(p->data);
  EXPECT_FLOAT_EQ(pQuarter[0]->fDirY, 1.0f);
  EXPECT_FLOAT_EQ(pQuarter[1]->fDirX, 1.0f);
  EXPECT_FLOAT_EQ(pQuarter[2]->fDirY, -1.0f);
  EXPECT_FLOAT_EQ(pQuarter[3]->fDirX, -1.0f);

  SetTicks(7150);
  EXPECT_EQ(pEnemy->fireRing(), nullptr);
  EXPECT_EQ(pEnemy->iLastShotTick, 7000);
}

TEST_F(EnemyTest, HitBoxIsWidenedByFiveAndStrictOnBothSides) {
  Enemy *pEnemy = Make(KindWalker, "orc2.bmp", 100, 200, 5, 150, 100);
  struct Case {
    float x, y;
    bool hit;
  } cases[] = {
      {95.0f, 210.0f, false},  {95.1f, 210.0f, true},   // left edge (x - 5, x - 4.9)
      {129.0f, 210.0f, false}, {128.9f, 210.0f, true},  // right edge (x + 24 + 5)
      {110.0f, 195.0f, false}, {110.0f, 195.1f, true},  // top edge
      {110.0f, 237.0f, false}, {110.0f, 236.9f, true},  // bottom edge (y + 32 + 5)
  };
  int iHealth = pEnemy->iHealth;
  for (const Case &c : cases) {
    AddShot(c.x, c.y, true);
    pEnemy->hitByPlayerShots(shots);
    Projectile *pShot = static_cast<Projectile *>(shots->data);
    EXPECT_EQ(pEnemy->iHealth, c.hit ? iHealth - 1 : iHealth) << c.x << ", " << c.y;
    EXPECT_EQ(pShot->bAlive, !c.hit) << c.x << ", " << c.y;
    iHealth = pEnemy->iHealth;
    ClearShots();
  }
  // Enemy shots never hurt enemies; dead player shots still do.
  AddShot(110, 210, true);
  static_cast<Projectile *>(shots->data)->bPlayerShot = false;
  AddShot(111, 211, true);
  static_cast<Projectile *>(shots->link->data)->bAlive = false;
  pEnemy->hitByPlayerShots(shots);
  EXPECT_EQ(pEnemy->iHealth, iHealth - 1);
  EXPECT_TRUE(static_cast<Projectile *>(shots->data)->bAlive);
}

TEST_F(EnemyTest, HitsFlashAndTheLastOneStartsTheDeath) {
  Enemy *pEnemy = Make(KindHut, "hut.bmp", 100, 200, 5, 150, 2);
  AddShot(110, 210, true);
  pEnemy->hitByPlayerShots(shots);
  EXPECT_FALSE(pEnemy->bDying);
  const int iBase = skvtest::StripColour(0, 0, 9);
  EXPECT_NE(getpixel(pEnemy->pSprite->pFrame.get(), 5, 5), iBase);  // tinted
  pEnemy->pSprite->refreshFrame();
  EXPECT_EQ(getpixel(pEnemy->pSprite->pFrame.get(), 5, 5), iBase);
  pEnemy->hitByPlayerShots(shots);
  EXPECT_TRUE(pEnemy->bDying);
  EXPECT_EQ(pEnemy->iHealth, 0);
}

TEST_F(EnemyTest, WizardTeleportsFourToSixTimesThenStaysInvisible) {
  for (int iSeed = 1; iSeed <= 6; ++iSeed) {
    srand(iSeed);
    Enemy *pWizard = Make(KindWizard, "orc2.bmp", 100, 200);
    const int iTeleports = pWizard->iTeleportsLeft;
    ASSERT_GE(iTeleports, 4);
    ASSERT_LE(iTeleports, 6);
    int iJumps = 0;
    int iLastJump = -1;
    for (int t = 1000; t < 4000; ++t) {
      SetTicks(t);
      const int iBefore = pWizard->iTeleportsLeft;
      srand(iSeed * 1000 + t);
      const int iDy = rand() % 480;
      const int iAdded = rand() % 320;
      const int iTaken = rand() % 320;
      srand(iSeed * 1000 + t);
      pWizard->teleport(500, 9000);
      if (pWizard->iTeleportsLeft != iBefore) {
        ++iJumps;
        EXPECT_EQ(pWizard->pSprite->iAlpha, 0);
        EXPECT_EQ(pWizard->iMapY, 9000 - iDy - 300);
        EXPECT_EQ(pWizard->iMapX, 500 + iAdded - iTaken);
        EXPECT_EQ(pWizard->iLastTeleportTick, t);
        if (iLastJump < 0) {
          // Fades out at once: 17 steps of 15, one every 2 ticks, land on 0;
          // the next call finds nothing left to fade and jumps.
          EXPECT_EQ(t, 1000 + 2 * 16 + 1);
        } else {
          // Visible until 250 ticks after a jump, then the same fade-out.
          EXPECT_EQ(t, iLastJump + 251 + 2 * 16 + 1);
        }
        iLastJump = t;
      } else if (iLastJump >= 0 && t == iLastJump + 2 * 17 && pWizard->iTeleportsLeft > 0) {
        EXPECT_EQ(pWizard->pSprite->iAlpha, 255);  // faded back in
      }
    }
    EXPECT_EQ(iJumps, iTeleports);
    EXPECT_EQ(pWizard->iTeleportsLeft, 0);
    EXPECT_EQ(pWizard->pSprite->iAlpha, 0);
  }
}

TEST_F(EnemyTest, DrawPlacesThePictureRelativeToTheCamera) {
  Enemy *pEnemy = Make(KindHut, "hut.bmp", 300, 500);
  BITMAP *pDest = create_bitmap(640, 480);
  clear_to_color(pDest, 0);
  pEnemy->drawEnemy(pDest, 100, 400);
  EXPECT_EQ(pEnemy->pSprite->iX, 200);
  EXPECT_EQ(pEnemy->pSprite->iY, 100);
  EXPECT_EQ(getpixel(pDest, 210, 110), skvtest::StripColour(0, 0, 9));
  destroy_bitmap(pDest);
}

}  // namespace
