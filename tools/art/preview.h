// Preview pictures for the README: every sprite frame enlarged on a neutral
// background, and the full-screen pictures at half size.
#pragma once
#include <allegro.h>

#include <string>
#include <vector>

#include "art.h"

namespace art {

struct SheetEntry {
  std::string name;  // file name shown as the caption
  BITMAP *strip;     // not owned
  int frameW, frameH, zoom;
};

// The contact sheet as a 32-bit bitmap (caller owns it).
BITMAP *ContactSheet(const std::vector<SheetEntry> &entries, const Fonts &f);

// Half-size copy of a full-screen picture, averaged 2 x 2 (caller owns it).
BITMAP *HalfSize(BITMAP *picture);

}  // namespace art
