// Small helpers for the entity tests: strip images written to a private
// temporary folder, and a tick clock the tests set by hand.
#pragma once
#include <allegro.h>

#include <string>

#include "app/globals.h"

namespace skvtest {

// A temporary folder made once per test binary; files are written there and
// the process works from it so the game's plain file names resolve.
const std::string &TestFolder();

// Writes a strip of cols x rows frames of w x h. Frame (c, r) is filled with
// StripColour(c, r), except its top-left pixel, which is magenta (the mask).
// A tint makes strips of different files tell apart.
void WriteStrip(const char *cName, int iW, int iH, int iCols, int iRows, int iTint = 0);
int StripColour(int iCol, int iRow, int iTint = 0);

// Sets GameTicks.
inline void SetTicks(int iTick) { GameTicks = iTick; }

}  // namespace skvtest
