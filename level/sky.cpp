// Sky layer: cloud placement, drift and translucent drawing.
#include "level/sky.h"

#include <array>
#include <cstdlib>

#include "app/globals.h"
#include "app/list.h"
#include "app/transitions.h"
#include "level/level_run.h"
#include "support/blit32.h"
#include "tilemap/tilemap.h"

static const char *const CloudFiles[2] = {"cloud1.bmp", "cloud2.bmp"};
static std::array<OwnedBitmap, 2> &CloudPictures = ProcessWide<std::array<OwnedBitmap, 2>>();

BITMAP *CloudPicture(int iWhich) {
  if (CloudPictures[iWhich] == nullptr)
    CloudPictures[iWhich].reset(LoadBitmapOrExit(CloudFiles[iWhich], nullptr));
  return CloudPictures[iWhich].get();
}

void ReleaseCloudPictures() {
  for (OwnedBitmap &pPicture : CloudPictures) pPicture.reset();
}

Cloud::Cloud()
    : fX(0.0f), fY(0.0f), fVelX(0.0f), fVelY(0.0f), iWidth(0), iHeight(0),
      iLastMoveTick(0), iMoveDelay(0), iUnused(0), iAlpha(0), iPicture(0) {}

void Cloud::initCloud(int iBaseY, int iSpread, int iAlphaBase, int iAlphaSpread,
                      int iDriftX, int iDriftY, int iDelay) {
  iPicture = rand() % 100 < 50 ? 0 : 1;
  BITMAP *pPicture = CloudPicture(iPicture);

  int iAdded = rand() % iSpread;
  int iTaken = rand() % iSpread;
  fY = static_cast<float>(iBaseY + iAdded - iTaken);
  fX = static_cast<float>(rand() % TileMapPixelWidth());
  iAdded = rand() % iAlphaSpread;
  iTaken = rand() % iAlphaSpread;
  iAlpha = iAlphaBase + iAdded - iTaken;
  fVelX = static_cast<float>(iDriftX);
  fVelY = static_cast<float>(iDriftY);
  iMoveDelay = iDelay;
  iWidth = rand() % 250 + 64;
  iHeight = rand() % 250 + 64;

  // The stretched picture never changes, so it is made here once rather than
  // in every drawn frame; the pixels are the same.
  pScratch.reset(CreateBitmapOrExit(iWidth, iHeight));
  rectfill(pScratch.get(), 0, 0, pScratch->w, pScratch->h, ColourMagenta);
  stretch_sprite(pScratch.get(), pPicture, 0, 0, iWidth, iHeight);
}

void Cloud::driftCloud() {
  if (TicksSince(iLastMoveTick) > iMoveDelay) {
    fX += fVelX / 3.0;
    fY += fVelY / 3.0;
    iLastMoveTick = GameTicks;
  }
}

bool Cloud::inView(int iCamX, int iCamY) const {
  return !(iWidth + fX - iCamX < 0 || fX - iCamX > 640 || iHeight + fY - iCamY < 0 ||
           fY - iCamY > 480);
}

void Cloud::drawCloud(BITMAP *pDest, int iCamX, int iCamY) {
  if (!inView(iCamX, iCamY)) return;
  DrawTransSprite32(pDest, pScratch.get(), static_cast<int>(fX - iCamX),
                    static_cast<int>(fY - iCamY), iAlpha);
}

void LevelRun::updateClouds() {
  for (ListNode *pNode = pClouds; pNode != nullptr; pNode = pNode->link)
    static_cast<Cloud *>(pNode->data)->driftCloud();
}

void LevelRun::drawClouds(BITMAP *pDest) {
  for (ListNode *pNode = pClouds; pNode != nullptr; pNode = pNode->link)
    static_cast<Cloud *>(pNode->data)->drawCloud(pDest, iCamX, iCamY);
}
