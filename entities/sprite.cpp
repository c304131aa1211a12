// Animated sprites and the per-stage image cache.
#include "entities/sprite.h"

#include <string>
#include <utility>
#include <vector>

#include "app/globals.h"
#include "app/transitions.h"
#include "support/blit32.h"
#include "support/colour.h"

namespace {

// One decoded image per file name, kept until SpriteImageCacheClear.
using ImageList = std::vector<std::pair<std::string, OwnedBitmap>>;
ImageList &ImageCache = ProcessWide<ImageList>();

// A private copy of the named image. Files are read once and cloned after
// that; a palette request or an image at another depth bypasses the cache.
BITMAP *LoadStripCopy(const char *cFile, RGB *pPalette) {
  if (pPalette != nullptr) return LoadBitmapOrExit(cFile, pPalette);
  BITMAP *pSource = nullptr;
  for (const auto &entry : ImageCache) {
    if (entry.first == cFile) {
      pSource = entry.second.get();
      break;
    }
  }
  if (pSource == nullptr) {
    ImageCache.emplace_back(cFile, OwnedBitmap(LoadBitmapOrExit(cFile, nullptr)));
    pSource = ImageCache.back().second.get();
  }
  if (bitmap_color_depth(pSource) != get_color_depth()) return LoadBitmapOrExit(cFile, nullptr);
  BITMAP *pCopy = CreateBitmapOrExit(pSource->w, pSource->h);
  blit(pSource, pCopy, 0, 0, 0, 0, pSource->w, pSource->h);
  return pCopy;
}

}  // namespace

void SpriteImageCacheClear() {
  ImageCache.clear();
}

int SpriteImageCacheSize() { return static_cast<int>(ImageCache.size()); }

Sprite::Sprite()
    : bVisible(true), iX(0), iY(0), bTranslucent(false), iFrameWidth(0), iFrameHeight(0), iColumn(0), iRow(0), iLastFrameTick(0), iFrameDelay(0),
      iAlpha(0), iAlphaTarget(0), iLastFadeTick(0) {}

int Sprite::load(const char *cFile, RGB *pPalette, int iWidth, int iHeight, int iDelay) {
  iColumn = 0;
  iRow = 0;
  iFrameWidth = iWidth;
  iFrameHeight = iHeight;
  iFrameDelay = iDelay;
  pStrip.reset(LoadStripCopy(cFile, pPalette));
  pFrame.reset(CreateBitmapOrExit(iFrameWidth, iFrameHeight));
  refreshFrame();
  return 0;
}

void Sprite::freeImages() {
  pStrip.reset();
  pFrame.reset();
}

void Sprite::draw(BITMAP *pDest) const {
  if (pFrame == nullptr || !bVisible) return;
  // Only the top-left corner is tested; the library clips the rest.
  if (iY < 0 || iY > 480 || iX < 0 || iX > 640) return;
  if (bTranslucent) DrawTransSprite32(pDest, pFrame.get(), iX, iY, iAlpha);
  else DrawSprite32(pDest, pFrame.get(), iX, iY);
}

void Sprite::setFrame(int iCol, int iNewRow) {
  if (TicksSince(iLastFrameTick) <= iFrameDelay) return;
  if (iCol * iFrameWidth < pStrip->w && iCol >= 0) iColumn = iCol;
  if (iNewRow * iFrameHeight < pStrip->h && iNewRow >= 0) iRow = iNewRow;
  refreshFrame();
  iLastFrameTick = GameTicks;
}

bool Sprite::stepColumn(int iFirst, int iLast) {
  if (TicksSince(iLastFrameTick) <= iFrameDelay) return false;
  bool bWrapped = false;
  iColumn += 1;
  if (iColumn < iFirst || iColumn > iLast) {
    iColumn = iFirst;
    bWrapped = true;
  }
  refreshFrame();
  iLastFrameTick = GameTicks;
  return bWrapped;
}

void Sprite::refreshFrame() {
  FillRect32(pFrame.get(), 0, 0, pFrame->w, pFrame->h, ColourMagenta);
  masked_blit(pStrip.get(), pFrame.get(), iColumn * iFrameWidth, iRow * iFrameHeight, 0, 0, pFrame->w,
              pFrame->h);
}

void Sprite::setAlpha(int iLevel) {
  iAlpha = iLevel;
  setAlphaTarget(iLevel);
}

void Sprite::setAlphaTarget(int iLevel) {
  iAlphaTarget = iLevel;
  bTranslucent = true;
}

bool Sprite::fadeIn(int iStep, int iDelay) {
  bool bResult = true;
  if (bTranslucent && iAlpha < iAlphaTarget && TicksSince(iLastFadeTick) > iDelay) {
    iAlpha += iStep;
    if (iAlpha > iAlphaTarget) {
      iAlpha = iAlphaTarget;
      bResult = false;
    }
    iLastFadeTick = GameTicks;
  }
  return bResult;
}

bool Sprite::fadeOut(int iStep, int iDelay) {
  if (iAlpha <= 0) return false;
  bool bResult = true;
  if (bTranslucent && TicksSince(iLastFadeTick) > iDelay) {
    iAlpha -= iStep;
    if (iAlpha < 0) {
      iAlpha = 0;
      bResult = false;
    }
    iLastFadeTick = GameTicks;
  }
  return bResult;
}

void Sprite::flashDamage() {
  static const int PureRed = PackColour(255, 0, 0);
  SetTransAlpha(128);
  drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
  for (int x = 0; x < pFrame->w; ++x) {
    for (int y = 0; y < pFrame->h; ++y) {
      if (getpixel(pFrame.get(), x, y) != ColourMagenta) putpixel(pFrame.get(), x, y, PureRed);
    }
  }
  solid_mode();
}
