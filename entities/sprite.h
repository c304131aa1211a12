// The animated picture every moving thing is built on: a strip image cut into
// equal frames, the frame now shown, a screen position, an optional
// translucency level that fades over time, and a one-frame red damage flash.
// A Sprite knows nothing of maps or cameras: its owner writes the screen
// position into iX, iY before each draw. All delays are in GameTicks and pass
// when the tick difference is strictly greater than the delay.
#pragma once
#include <allegro.h>

#include "support/owned.h"

class Sprite {
 public:
  Sprite();
  Sprite(const Sprite &) = delete;
  Sprite &operator=(const Sprite &) = delete;

  // Loads the strip (through the image cache), makes the frame bitmap of
  // iWidth x iHeight and shows column 0, row 0. Ends the program if the file
  // is missing. Always returns 0.
  int load(const char *cFile, RGB *pPalette, int iWidth, int iHeight, int iDelay);
  // Destroys the strip and the frame bitmap, each only if present.
  void freeImages();

  // Draws pFrame at (iX, iY) when visible and the top-left corner lies within
  // 0..640 x 0..480; translucently at iAlpha once translucency is on.
  void draw(BITMAP *pDest) const;

  // Shows (column, row) when the frame delay has passed; an out-of-range
  // coordinate keeps its old value, the other still applies.
  void setFrame(int iCol, int iNewRow);
  // Advances the column within first..last when the frame delay has passed;
  // true when it wrapped back to first.
  bool stepColumn(int iFirst, int iLast);
  // Rebuilds pFrame from the strip, wiping any damage tint.
  void refreshFrame();

  int getWidth() const { return iFrameWidth; }
  int getHeight() const { return iFrameHeight; }

  void setAlpha(int iLevel);        // level now, and the fade-in target
  void setAlphaTarget(int iLevel);  // target only; switches translucency on

  // One fade step of iStep when iDelay has passed. fadeIn is false only on the
  // step that overshoots the target and is clamped; fadeOut is false once the
  // level is at 0 or when a step goes below 0.
  bool fadeIn(int iStep, int iDelay);
  bool fadeOut(int iStep, int iDelay);

  // Blends every non-mask pixel of pFrame half-way toward pure red.
  void flashDamage();

  bool bVisible;
  int iX;
  int iY;
  bool bTranslucent;
  OwnedBitmap pStrip;  // every frame of the animation, side by side
  OwnedBitmap pFrame;  // the frame shown, cut from the strip
  int iFrameWidth;
  int iFrameHeight;
  int iColumn;
  int iRow;
  int iLastFrameTick;
  int iFrameDelay;
  int iAlpha;
  int iAlphaTarget;
  int iLastFadeTick;
};

// A stage loads the same few image files hundreds of times (every enemy, every
// placement attempt, every shot). The cache keeps one decoded copy per file
// name and hands each Sprite a private clone, so every Sprite still owns and
// frees its own strip. The stage empties the cache when it ends.
void SpriteImageCacheClear();
// Number of files held (for tests).
int SpriteImageCacheSize();
