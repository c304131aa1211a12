// Definitions of the shared state declared in app/globals.h.
#include "app/globals.h"

#include "support/colour.h"

std::atomic<int32_t> GameTicks{0};
BITMAP *BackBuffer = nullptr;
COLOR_MAP TransTable;
std::atomic<int> FadeLevel{0};
std::atomic<int> FadeStepTick{0};
int LastMenuInputTick = 0;

const int ColourWhite = PackColour(255, 255, 255);
const int ColourBlack = PackColour(0, 0, 0);
const int ColourMagenta = PackColour(255, 0, 255);
const int ColourRed = PackColour(200, 0, 0);
const int ColourDarkRed = PackColour(139, 0, 0);
const int ColourGreen = PackColour(0, 255, 0);
const int ColourDarkGreen = PackColour(0, 100, 0);
const int ColourBlue = PackColour(0, 0, 255);
