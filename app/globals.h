// The game's shared state: one instance of each, living for the whole process.
// Who writes what is noted on each line; everything but GameTicks is written
// only on the game thread.
#pragma once
#include <allegro.h>

#include <atomic>
#include <cstdint>

// 20 ms tick counter. Written only by OnGameTick (timer thread); read afresh by
// every delay test on the game thread. Starts at 0, never reset.
extern std::atomic<int32_t> GameTicks;

// 640 x 480 memory bitmap every screen composes its frame into. Made by
// StartUp, destroyed by ShutDown.
extern BITMAP *BackBuffer;

// Translucency map built by StartUp and made the current color_map (it only
// matters for 8-bit drawing; at 32 bits the blender does the work).
extern COLOR_MAP TransTable;

// Fade state of FadeIn/FadeOut (app/transitions.h): brightness 0..255 and the
// tick of its last change. Set by StartUp, changed only by the fades on the
// game thread; atomic so that a watcher on another thread may read them.
extern std::atomic<int> FadeLevel;
extern std::atomic<int> FadeStepTick;

// Spaces the input steps of the title menu and the world map.
extern int LastMenuInputTick;

// Named colours, packed as red * 65536 + green * 256 + blue before main runs.
extern const int ColourWhite;
extern const int ColourBlack;
extern const int ColourMagenta;   // the mask colour and the text background
extern const int ColourRed;       // 200, 0, 0
extern const int ColourDarkRed;   // 139, 0, 0
extern const int ColourGreen;
extern const int ColourDarkGreen; // 0, 100, 0
extern const int ColourBlue;      // the sky under every stage

// Absolute tick difference; every timed action runs when this exceeds its delay.
inline int TicksSince(int iTick) {
  int iDiff = GameTicks.load(std::memory_order_relaxed) - iTick;
  return iDiff < 0 ? -iDiff : iDiff;
}
