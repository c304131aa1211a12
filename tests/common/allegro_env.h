// Headless Allegro for tests: the library runs without a display, the colour
// depth is 32 bits and `screen` is a 640 x 480 memory bitmap, so drawing code
// runs unchanged. Tests set GameTicks, key[] and joy[] themselves.
#pragma once
#include <allegro.h>

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

}  // namespace skvtest
