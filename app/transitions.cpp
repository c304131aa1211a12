// Fades between screens and the loaders that end the game when they fail.
#include "app/transitions.h"

#include <cstdlib>

#include "app/globals.h"
#include "app/image_check.h"
#include "app/notice.h"
#include "app/present.h"
#include "support/blit32.h"
#include "support/owned.h"

// The fades compose into this bitmap, made once at the BackBuffer's size,
// and the level it was last composed at (-1: none since it was made).
static OwnedBitmap &FadeScratch = ProcessWide<OwnedBitmap>();
static int iScratchLevel = -1;

BITMAP *LoadBitmapOrExit(const char *cName, RGB *pPalette) {
  // A damaged picture is refused here, as the library's loader would trust it.
  BITMAP *pBitmap = LoadPictureChecked(cName, pPalette);
  if (pBitmap == nullptr) ExitWithMessage("ERROR:  Could not find/open '%s'", cName);
  return pBitmap;
}

BITMAP *CreateBitmapOrExit(int iWidth, int iHeight) {
  BITMAP *pBitmap = create_bitmap(iWidth, iHeight);
  if (pBitmap == nullptr) ExitWithMessage("ERROR:  Could not create bitmap.  Memory error.");
  return pBitmap;
}

void BlankBitmap(BITMAP *pBitmap) { clear_bitmap(pBitmap); }

void FreeFadeScratch() {
  FadeScratch.reset();
  iScratchLevel = -1;
}

// Shows the BackBuffer laid over black at alpha FadeLevel. Composing it also
// leaves that alpha in the blender, which the title composes with. With
// bSame (the BackBuffer unchanged) at the level of the last composition, the
// scratch holds the picture already.
static void ShowFadedFrame(bool bPresent = true, bool bSame = false) {
  if (FadeScratch == nullptr || FadeScratch->w != BackBuffer->w ||
      FadeScratch->h != BackBuffer->h) {
    FreeFadeScratch();
    FadeScratch.reset(CreateBitmapOrExit(BackBuffer->w, BackBuffer->h));
  }
  const bool bUnchanged = bSame && iScratchLevel == FadeLevel;
  if (bUnchanged) {
    SetTransAlpha(FadeLevel);  // as composing it leaves the blender
  } else {
    BlankBitmap(FadeScratch.get());
    DrawTransSprite32(FadeScratch.get(), BackBuffer, 0, 0, FadeLevel);
    iScratchLevel = FadeLevel;
  }
  if (bPresent) PresentFrame(FadeScratch.get(), bUnchanged);
}

bool FadeIn(int iDelay, bool bSame) {
  if (FadeLevel >= 255) return true;
  bool bDone = false;
  if (TicksSince(FadeStepTick) > iDelay) {
    int iLevel = FadeLevel + 8;  // a watcher never sees it out of range
    if (iLevel > 255) {
      iLevel = 255;
      bDone = true;
    }
    FadeLevel = iLevel;
    FadeStepTick = GameTicks.load();
  }
  // The finished fade is the picture itself, which the caller shows: showing
  // it here too would take this pass two ticks.
  ShowFadedFrame(!bDone, bSame);
  return bDone;
}

bool FadeOut(int iDelay) {
  if (FadeLevel <= 0) return true;
  bool bDone = false;
  if (TicksSince(FadeStepTick) > iDelay) {
    int iLevel = FadeLevel - 8;  // a watcher never sees it out of range
    if (iLevel < 0) {
      iLevel = 0;
      bDone = true;
    }
    FadeLevel = iLevel;
    FadeStepTick = GameTicks.load();
  }
  ShowFadedFrame();
  return bDone;
}
