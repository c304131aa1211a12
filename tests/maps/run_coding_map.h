// A small map whose layer has every kind of run the cell encodings know:
// repeated sequences, a long single value, animations (negative cells) and
// a mixed stretch. Shared by the writer's byte tests and its round trip.
#pragma once
#include "fmpwriter/fmpwriter.h"

inline FmpMap RunCodingMap() {
  FmpMap m;
  m.widthInBlocks = 9;
  m.heightInBlocks = 4;
  m.blockWidth = m.blockHeight = 1;
  m.graphics = {{0x000000}};
  m.blocks.assign(6, FmpBlock());
  m.anims = {FmpAnim{1, 0, {0, 1}}, FmpAnim{2, 0, {2}}};
  m.layers = {{1, 2, 3, 1, 2, 3, 1, 2, 3,
               5, 5, 5, 5, 5, 5, 5, 5, 5,
               1, 2, 3, 4, 5, 0, -1, -2, -2,
               1, 2, 3, 1, 2, 3, 4, 4, 4}};
  return m;
}
