// The dragon: its moves within the view and the map, drawing, and hits.
#include "entities/player.h"

#include "app/globals.h"
#include "app/list.h"
#include "entities/projectile.h"
#include "entities/sprite.h"
#include "tilemap/tilemap.h"

Player::Player() : pSprite(nullptr), iHealth(50), fY(0.0f), fX(0.0f) {}

Player::~Player() { delete pSprite; }

void Player::createPlayer() {
  pSprite = new Sprite();
  pSprite->load("Dragon.bmp", nullptr, 80, 110, 5);
  fY = 23720.0f;
  fX = 280.0f;
}

void Player::moveUp(int iStep, int iCamY) {
  if (fY - iCamY > 0)
    fY -= iStep;
  else
    fY = static_cast<float>(iCamY);
}

void Player::moveDown(int iStep, int iCamY) {
  const int iHalf = pSprite->getHeight() / 2;
  if ((fY - iCamY) + iHalf < 480)
    fY += iStep;
  else
    fY = static_cast<float>(iCamY - iHalf + 480);
}

void Player::moveLeft(int iStep) {
  if (fX > 0)
    fX -= iStep;
  else
    fX = 0.0f;
}

void Player::moveRight(int iStep) {
  const int iMapWidth = TileMapPixelWidth();
  if (fX + pSprite->getWidth() < iMapWidth)
    fX += iStep;
  else
    fX = static_cast<float>(iMapWidth - pSprite->getWidth());
}

void Player::drawPlayer(BITMAP *pDest, int iCamY) {
  const int iMapWidth = TileMapPixelWidth();
  pSprite->iY = static_cast<int>(fY - iCamY);
  if (fX < 320)
    pSprite->iX = static_cast<int>(fX);
  else if (fX > iMapWidth - 320)
    pSprite->iX = static_cast<int>(fX - (iMapWidth - 640));
  else
    pSprite->iX = 320;
  pSprite->draw(pDest);
}

void Player::hitByShots(ListNode *pShots) {
  const int iWidth = pSprite->getWidth();
  const int iHeight = pSprite->getHeight();
  for (ListNode *pNode = pShots; pNode != nullptr; pNode = pNode->link) {
    Projectile *pShot = static_cast<Projectile *>(pNode->data);
    if (pShot->fX > fX && fX + iWidth > pShot->fX && pShot->fY > fY &&
        fY + iHeight > pShot->fY && !pShot->bPlayerShot) {
      pShot->bAlive = false;
      pSprite->flashDamage();
      iHealth -= 1;
    }
  }
}
