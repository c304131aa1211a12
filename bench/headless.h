// Headless Allegro for the benchmarks: no display, 32-bit memory screen with
// the game screen's pixel layout.
#pragma once
#include <allegro.h>

#include "app/globals.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

inline void BenchStartAllegro() {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    fprintf(stderr, "headless Allegro failed\n");
    exit(1);
  }
  set_color_depth(32);
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;
  screen = create_bitmap(640, 480);
  BackBuffer = create_bitmap(640, 480);
}
