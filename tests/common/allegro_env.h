// Headless Allegro for tests: the library runs without a display, the colour
// depth is 32 bits and `screen` is a 640 x 480 memory bitmap, so drawing code
// runs unchanged. Tests set GameTicks, key[] and joy[] themselves.
#pragma once
#include <allegro.h>

namespace skvtest {

// Makes sure the headless library is up (idempotent; main() already calls it).
void EnsureAllegro();

// Gives `screen` a fresh black 640 x 480 memory bitmap.
void ResetScreen();

// Colour of one pixel as 0xRRGGBB (32-bit bitmaps only).
inline int PixelRgb(BITMAP *bmp, int x, int y) { return getpixel(bmp, x, y) & 0xFFFFFF; }

}  // namespace skvtest
