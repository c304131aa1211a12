// Shots: launch, straight-line flight on their own timer, a 250-tick life.
#include "entities/projectile.h"

#include <cstdlib>

#include "app/globals.h"
#include "app/list.h"
#include "entities/sprite.h"

namespace {

float ClampUnit(float fValue) {
  if (fValue > 1.0f) return 1.0f;
  if (fValue < -1.0f) return -1.0f;
  return fValue;
}

}  // namespace

Projectile::Projectile()
    : pSprite(nullptr), bPlayerShot(false), bAlive(false), iLastMoveTick(0), iMoveDelay(0),
      fX(0.0f), fY(0.0f), fDirX(0.0f), fDirY(0.0f), iSpeed(0), iBornTick(0),
      bAfterDropped(false) {}

Projectile::~Projectile() { delete pSprite; }

void Projectile::launch(int iKind, int iMapX, int iMapY, int iDelay, float fDirectionX,
                        float fDirectionY) {
  pSprite = new Sprite();
  pSprite->load(iKind == KindFireShot ? "fire.bmp" : "ice.bmp", nullptr, 16, 16, 10);
  fX = static_cast<float>(iMapX);
  fY = static_cast<float>(iMapY);
  iMoveDelay = iDelay;
  fDirX = ClampUnit(fDirectionX);
  fDirY = ClampUnit(fDirectionY);
  bAlive = true;
  pSprite->iX = static_cast<int>(fX);
  pSprite->iY = static_cast<int>(fY);
  int iAdded = rand() % 5;
  int iTaken = rand() % 5;
  iSpeed = static_cast<int>((iAdded + 10.0) - iTaken);
  iBornTick = GameTicks;
}

void Projectile::launchPlayerShot(int iKind, int iMapX, int iMapY, int iDelay, int iDirectionX,
                                  int iDirectionY, int iShotSpeed) {
  bPlayerShot = true;
  launch(iKind, iMapX, iMapY, iDelay, static_cast<float>(iDirectionX),
         static_cast<float>(iDirectionY));
  iSpeed = iShotSpeed;
}

void Projectile::updateProjectile() {
  // Shots far outside the view are frozen: no move, no ageing, no animation.
  const int iSx = pSprite->iX;
  const int iSy = pSprite->iY;
  if (iSx + 100 < 0 || iSx - 100 > 640 || iSy + 100 < 0 || iSy - 100 > 480) return;
  if (TicksSince(iBornTick) > 250) bAlive = false;  // it still moves this once
  if (TicksSince(iLastMoveTick) > iMoveDelay) {
    fY = fY + iSpeed * fDirY;
    fX = fX + iSpeed * fDirX;
    iLastMoveTick = GameTicks;
  }
  pSprite->stepColumn(0, 3);
}

bool Projectile::frozenBelow(int iCamY) const {
  return pSprite->iY - 100 > 480 && fY - iCamY - 100 > 480 + ViewSinkMargin;
}

void Projectile::drawProjectile(BITMAP *pDest, int iCamX, int iCamY) {
  pSprite->iX = static_cast<int>(fX - iCamX);
  pSprite->iY = static_cast<int>(fY - iCamY);
  pSprite->draw(pDest);
}
