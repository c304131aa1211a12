// Headless Allegro for tests: the library runs without a display, the colour
// depth is 32 bits and `screen` is a 640 x 480 memory bitmap, so drawing code
// runs unchanged. Tests set GameTicks, key[] and joy[] themselves.
#pragma once
#include <allegro.h>

#include <cstdint>
#include <functional>

namespace skvtest {

// Makes sure the headless library is up (idempotent; main() already calls it).
void EnsureAllegro();

// Gives `screen` a fresh black 640 x 480 memory bitmap.
void ResetScreen();

// A joystick whose state a test decides on the game thread: while it is
// installed, every poll_joystick() the code under test makes calls fOnPoll,
// which may write joy[] (no other thread touches it).
class ScriptedJoystick {
 public:
  explicit ScriptedJoystick(std::function<void()> fOnPoll);
  ~ScriptedJoystick();
};

// Colour of one pixel as 0xRRGGBB (32-bit bitmaps only).
inline int PixelRgb(BITMAP *bmp, int x, int y) { return getpixel(bmp, x, y) & 0xFFFFFF; }

// A 64-bit FNV-1a digest of a 32-bit picture's colours (the alpha byte left
// out), to compare what was shown frame by frame.
inline uint64_t FrameDigest(BITMAP *pFrame) {
  uint64_t uHash = 1469598103934665603ull;
  for (int y = 0; y < pFrame->h; ++y) {
    const uint32_t *pRow = reinterpret_cast<const uint32_t *>(pFrame->line[y]);
    for (int x = 0; x < pFrame->w; ++x) uHash = (uHash ^ (pRow[x] & 0xFFFFFF)) * 1099511628211ull;
  }
  return uHash;
}

}  // namespace skvtest
