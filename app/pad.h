// The player's pads, as the game's actions: every place that reads a pad asks
// PadActions() for up, down, left, right, fire, confirm, back and pause, so a
// button means the same on every pad. On Linux each pad's layout is learnt
// from the kernel's joystick device (app/pad_layout.h), pads plugged in or
// pulled out while the game runs are noticed, and a pad in use keeps the
// desktop awake; on Windows XInput pads are read. Without either, joystick 0
// of the library is read with its old meaning (stick 0, buttons 0 and 1).
#pragma once
#include <cstdint>

// One bit per action; PadActions() gives those held right now.
enum PadAction : unsigned {
  PadUp = 1u << 0,
  PadDown = 1u << 1,
  PadLeft = 1u << 2,
  PadRight = 1u << 3,
  PadFire = 1u << 4,     // breathe fire in a stage
  PadConfirm = 1u << 5,  // choose in a menu, start a stage, skip a story
  PadBack = 1u << 6,     // leave the world map, as ESC does
  PadPause = 1u << 7,    // pause a stage (Start)
  PadAnyButton = 1u << 8,  // some button of some pad is down (answers a message)
};
constexpr unsigned PadDirections = PadUp | PadDown | PadLeft | PadRight;

// A stick or axis counts as held in a direction beyond this far from its
// middle (of 32767 each way): half its travel, so a worn stick that rests
// off centre never steers.
constexpr int PadDeadZone = 16384;

// Starts watching for pads (StartUp, after the library's joystick): on Linux
// the joystick devices "js<N>" in cFolder ("/dev/input" in the game) are
// opened now, and the folder is watched for pads coming and going; on
// Windows the XInput slots are read. Safe to call again (it starts afresh).
void StartPads(const char *cFolder);

// Closes every pad and the watch (ShutDown, and tests). PadActions() then
// reads the library's joystick 0 only.
void StopPads();

// The actions held on any pad, read afresh: the pads the layer has open
// (taking new ones and dropping pulled ones first, with one non-blocking
// look at the watch), else the library's joystick 0 (polled). Called every
// pass by each screen's input step; it neither allocates nor scans folders.
unsigned PadActions();

// How many pads the layer has open (0 without StartPads).
int PadsOpen();

// True once after a pad was pulled out (since the last call). The stage asks
// it every pass and pauses when it is.
bool PadPulledOut();

// ---- Awake while playing ----
// While pads drive the game, PadActions() tells the desktop every
// PadAwakeGap ticks that someone is playing (on X11 the screensaver's timer
// is reset, on Windows the display's idle timer), as a key press would. A
// pause or the end of the game simply stops telling it.
constexpr int PadAwakeGap = 250;  // ticks (5 s)

// What telling the desktop does; a test gives its own (null: the system's).
void SetDesktopAwakeCall(void (*fCall)());
