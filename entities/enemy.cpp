// Ground enemies: set-up on free ground, walking legs, and per-pass
// behaviour (teleports, aimed shots, rings of twelve, being hit).
#include "entities/enemy.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "app/globals.h"
#include "app/list.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "tilemap/tilemap.h"

Enemy::Enemy()
    : iHealth(0), iScoreValue(0), iMapX(0), iMapY(0), iStepsLeft(0), iLegLength(0),
      pSprite(nullptr), iLastStepTick(0), iWalkDelay(0), iLastShotTick(0), iFireDelay(10),
      iWalkStep(0), bActive(false), bDying(false), iKind(0), iDirection(WalkDown),
      iTeleportsLeft(0), iLastTeleportTick(0) {
  const int iAdded = rand() % 2;
  const int iTaken = rand() % 2;
  iTeleportsLeft = 5 + iAdded - iTaken;
}

Enemy::~Enemy() { delete pSprite; }

bool Enemy::setupEnemy(int iNewKind, const char *cImage, int iX, int iY, int iNewWalkDelay,
                       int iNewLegLength, int iNewWalkStep, int iNewFireDelay, int iHitPoints,
                       int iNewScoreValue) {
  pSprite = new Sprite();
  if (strcmp(cImage, "hut.bmp") == 0)
    pSprite->load(cImage, nullptr, 64, 64, 5);
  else
    pSprite->load(cImage, nullptr, 24, 32, 5);
  pSprite->setAlpha(255);  // translucent from the start, so it can fade

  bActive = true;
  iKind = iNewKind;
  iMapX = iX;
  iMapY = iY;
  iWalkDelay = iNewWalkDelay;
  chooseDirection();  // iLegLength is still 0 here: a first leg of 0 to 4 steps
  iLegLength = iNewLegLength;
  iWalkStep = iNewWalkStep;
  iFireDelay = iNewFireDelay;
  iHealth = iHitPoints;
  pSprite->iX = iMapX;
  pSprite->iY = iMapY;
  iScoreValue = iNewScoreValue;

  if (SolidAtPixel(iMapX, iMapY)) {
    delete pSprite;
    pSprite = nullptr;
    bActive = false;
    return false;
  }
  return true;
}

void Enemy::setDirection(int iDir) {
  iDirection = iDir;
  // Picture rows: 0 facing up, 1 right, 2 down, 3 left.
  switch (iDir) {
    case WalkUp: pSprite->setFrame(0, 0); break;
    case WalkRight: pSprite->setFrame(0, 1); break;
    case WalkDown: pSprite->setFrame(0, 2); break;
    case WalkLeft: pSprite->setFrame(0, 3); break;
    default: break;
  }
}

void Enemy::chooseDirection() {
  static const int Directions[4] = {WalkRight, WalkLeft, WalkDown, WalkUp};
  setDirection(Directions[rand() % 4]);
  const int iAdded = rand() % 5;
  const int iTaken = rand() % 5;
  iStepsLeft = iLegLength + iAdded - iTaken;
  if (iStepsLeft < 0) iStepsLeft = 0;
}

void Enemy::walk() {
  if (TicksSince(iLastStepTick) <= iWalkDelay) return;
  const int iOldX = iMapX;
  const int iOldY = iMapY;
  const int iOldDirection = iDirection;
  if (iStepsLeft <= 0) chooseDirection();
  switch (iDirection) {
    case WalkDown: iMapY += iWalkStep; break;
    case WalkUp: iMapY -= iWalkStep; break;
    case WalkRight: iMapX += iWalkStep; break;
    case WalkLeft: iMapX -= iWalkStep; break;
    default: break;
  }
  // A blocked step keeps the old place and direction; a newly chosen leg's
  // step count and picture row stay.
  if (SolidAtPixel(iMapX, iMapY)) {
    iMapX = iOldX;
    iMapY = iOldY;
    iDirection = iOldDirection;
  }
  iStepsLeft -= 1;
  iLastStepTick = GameTicks;
}

ListNode *Enemy::updateEnemy(ListNode *pShots, int iDragonX, int iDragonY) {
  // Off screen (as last drawn) an enemy rests completely.
  if (pSprite->iX < 0 || pSprite->iX > 640 || pSprite->iY < 0 || pSprite->iY > 480)
    return nullptr;
  if (bDying) bActive = pSprite->fadeOut(20, 1);
  if (!bActive) return nullptr;

  ListNode *pNew = nullptr;
  switch (iKind) {
    case KindAimer: pNew = fireAimed(iDragonX, iDragonY); break;
    case KindRing: pNew = fireRing(); break;
    case KindWalker: walk(); break;
    case KindWalkerAimer:
      walk();
      pNew = fireAimed(iDragonX, iDragonY);
      break;
    case KindWizard: teleport(iDragonX, iDragonY); break;
    case KindWizardAimer:
      teleport(iDragonX, iDragonY);
      pNew = fireAimed(iDragonX, iDragonY);
      break;
    case KindWizardRing:
      teleport(iDragonX, iDragonY);
      pNew = fireRing();
      break;
    default: break;
  }
  if (iKind != KindHut) pSprite->stepColumn(0, 2);
  pSprite->refreshFrame();  // wipes the last pass's damage flash
  hitByPlayerShots(pShots);
  return pNew;
}

void Enemy::teleport(int iDragonX, int iDragonY) {
  if (iTeleportsLeft <= 0) return;
  if (TicksSince(iLastTeleportTick) > 250) {
    if (!pSprite->fadeOut(15, 1)) {
      // Faded out completely: jump 300..779 pixels above the dragon and up
      // to 319 pixels to either side, without looking at the map.
      iMapY = iDragonY - rand() % 480 - 300;
      const int iAdded = rand() % 320;
      const int iTaken = rand() % 320;
      iMapX = iDragonX + iAdded - iTaken;
      iTeleportsLeft -= 1;
      iLastTeleportTick = GameTicks;
    }
  } else {
    pSprite->fadeIn(15, 1);
  }
}

ListNode *Enemy::fireAimed(int iDragonX, int iDragonY) {
  if (TicksSince(iLastShotTick) <= iFireDelay) return nullptr;
  std::unique_ptr<Projectile> pShot(new Projectile());
  // Aim 150 pixels above the dragon's top-left, ahead of it in its flight.
  float fDy = static_cast<float>(iDragonY - 150 - iMapY);
  float fDx = static_cast<float>(iDragonX - iMapX);
  const float fDistance = std::sqrt(fDx * fDx + fDy * fDy);
  if (fDistance > 0.0f) {
    fDx = fDx / fDistance;
    fDy = fDy / fDistance;
  } else {
    fDx = 0.0f;  // aim point on the enemy itself: straight up the screen
    fDy = -1.0f;
  }
  const int iDelay = rand() % 4 + 1;
  pShot->launch(KindIceShot, iMapX, iMapY, iDelay, fDx, fDy);
  ListNode *pNode = ListNewNode();
  if (pNode == nullptr) return nullptr;
  pNode->data = pShot.release();
  iLastShotTick = GameTicks;
  return pNode;
}

namespace {

// Shots chained but not yet handed to the level: freed with their nodes when
// the ring is cut short (a failed allocation or a fatal message unwinding).
class ShotChain {
 public:
  ShotChain() = default;
  ShotChain(const ShotChain &) = delete;
  ShotChain &operator=(const ShotChain &) = delete;
  ~ShotChain() {
    for (ListNode *pNode = pFirst; pNode != nullptr; pNode = pNode->link) delete static_cast<Projectile *>(pNode->data);
    ListFree(pFirst);
  }
  // The chain, now the caller's.
  ListNode *release() {
    ListNode *pChain = pFirst;
    pFirst = nullptr;
    return pChain;
  }
  ListNode *pFirst = nullptr;
};

}  // namespace

ListNode *Enemy::fireRing() {
  if (TicksSince(iLastShotTick) <= iFireDelay) return nullptr;
  ShotChain chain;
  for (int k = 0; k < 12; ++k) {
    std::unique_ptr<Projectile> pShot(new Projectile());
    // Angles in the library's units, 256 to the circle: 0 is down the screen,
    // 64 right, 128 up, 192 left.
    const int iDegrees = 30 * k;
    const int iAngle = static_cast<int>(iDegrees / 1.40625);
    const float fSine = fixtof(fixsin(itofix(iAngle)));
    const float fCosine = fixtof(fixcos(itofix(iAngle)));
    const int iDelay = rand() % 4 + 1;
    pShot->launch(KindIceShot, iMapX, iMapY, iDelay, fSine, fCosine);
    // Out of memory: this shot never flies.
    if (ListPush(chain.pFirst, pShot.get()) != nullptr) pShot.release();
  }
  iLastShotTick = GameTicks;
  return chain.release();
}

void Enemy::hitByPlayerShots(ListNode *pShots) {
  const int iWidth = pSprite->getWidth();
  const int iHeight = pSprite->getHeight();
  for (ListNode *pNode = pShots; pNode != nullptr; pNode = pNode->link) {
    Projectile *pShot = static_cast<Projectile *>(pNode->data);
    // Only the shot's top-left point counts; the frame is widened by 5 pixels.
    if (iMapX - 5 < pShot->fX && pShot->fX < iMapX + iWidth + 5 && iMapY - 5 < pShot->fY &&
        pShot->fY < iMapY + iHeight + 5 && pShot->bPlayerShot) {
      pSprite->flashDamage();
      pShot->bAlive = false;
      iHealth -= 1;
      if (iHealth <= 0) bDying = true;
    }
  }
}

void Enemy::drawEnemy(BITMAP *pDest, int iCamX, int iCamY) {
  pSprite->iX = iMapX - iCamX;
  pSprite->iY = iMapY - iCamY;
  pSprite->draw(pDest);
}
