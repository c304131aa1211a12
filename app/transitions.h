// Screen fades and the fatal image loaders every screen uses.
#pragma once
#include <allegro.h>

// load_bitmap(), or: text mode, "ERROR:  Could not find/open '<name>'", and
// the game's way out (ExitGame).
// The caller owns the bitmap.
BITMAP *LoadBitmapOrExit(const char *cName, RGB *pPalette);

// create_bitmap() at the screen's depth, or: text mode, the memory message,
// the game's way out. Contents undefined; the caller owns it.
BITMAP *CreateBitmapOrExit(int iWidth, int iHeight);

// Fills the bitmap with colour 0 (black).
void BlankBitmap(BITMAP *pBitmap);

// One step of the shared fade, called once per frame: raises (FadeIn) or lowers
// (FadeOut) FadeLevel by 8 when more than iDelay ticks passed since the last
// change, then shows the BackBuffer over black at that level on `screen`.
// True once the fade is complete; a complete fade returns true at once without
// drawing. Leaves the blender alpha at FadeLevel. bSame says the BackBuffer
// holds the picture it held at the last fade step: at the same level the
// faded picture is then neither composed nor presented again.
bool FadeIn(int iDelay, bool bSame = false);
bool FadeOut(int iDelay);

// Releases the fades' scratch bitmap (ShutDown calls it).
void FreeFadeScratch();
