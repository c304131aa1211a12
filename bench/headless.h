// Headless Allegro for the benchmarks (the set-up the tests use too), with
// the BackBuffer every frame composes into.
#pragma once
#include <allegro.h>

#include <cstdio>
#include <cstdlib>

#include "app/globals.h"
#include "support/headless.h"

inline void BenchStartAllegro() {
  if (!StartHeadlessAllegro()) {
    fprintf(stderr, "headless Allegro failed\n");
    exit(1);
  }
  BackBuffer = create_bitmap(640, 480);
}
