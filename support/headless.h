// The library without a display, for the tests, the benchmarks and the
// content tools: the SYSTEM_NONE driver, 32-bit colour with the game screen's
// pixel layout, and `screen` a black 640 x 480 memory bitmap, so drawing code
// runs unchanged.
#pragma once
#include <allegro.h>

#include <cerrno>
#include <cstdlib>

// Idempotent; false (with allegro_error set) when the library does not start.
inline bool StartHeadlessAllegro() {
  static bool bUp = false;
  if (bUp) return true;
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) return false;
  set_color_depth(32);
  // Without a graphics mode the library's 32-bit layout defaults to blue
  // highest; the game's screen (and its packed colours) keep red highest.
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;
  _rgb_a_shift_32 = 24;
  screen = create_bitmap(640, 480);
  clear_to_color(screen, 0);
  bUp = true;
  return true;
}
