// The game's way out, as main takes it: a fatal message throws
// GameExitRequest, and main ends the game with status 0. Death tests run the
// code under test through this so that the child ends the same way.
#pragma once
#include <cstdio>
#include <cstdlib>

#include "app/notice.h"

namespace skvtest {

// Runs fBody; the game's way out ends the process with status 0. A body that
// comes back without taking it returns normally (a death test then fails).
template <typename Body>
void RunLikeMain(Body fBody) {
  try {
    fBody();
  } catch (const GameExitRequest &) {
    fflush(nullptr);
    std::exit(0);
  }
}

}  // namespace skvtest
