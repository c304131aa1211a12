// The pad layer: the system's pads (app/pad_source.h) or the library's
// joystick 0, as the game's actions, and telling the desktop that someone is
// playing.
#include "app/pad.h"

#include <allegro.h>

#include "app/globals.h"
#include "app/platform.h"
#include "app/pad_source.h"

namespace {

bool bStarted = false;
bool bPulled = false;          // a pad went since PadPulledOut last asked
void (*AwakeCall)() = nullptr;
bool bToldAwake = false;
int iLastAwakeTick = 0;

// The library's joystick 0 with its old meaning: stick 0 steers, buttons 0
// and 1 fire and confirm; any button of any of its joysticks answers a message.
unsigned LibraryJoystickActions() {
  poll_joystick();
  const JOYSTICK_INFO &stick = joy[0];
  unsigned iActions = 0;
  if (stick.stick[0].axis[0].d1) iActions |= PadLeft;
  if (stick.stick[0].axis[0].d2) iActions |= PadRight;
  if (stick.stick[0].axis[1].d1) iActions |= PadUp;
  if (stick.stick[0].axis[1].d2) iActions |= PadDown;
  if (stick.button[0].b || stick.button[1].b) iActions |= PadFire | PadConfirm | PadAnyButton;
  for (int i = 0; i < num_joysticks; ++i)
    for (int b = 0; b < joy[i].num_buttons; ++b)
      if (joy[i].button[b].b) iActions |= PadAnyButton;
  return iActions;
}

// While pads are in use, the desktop hears of it every PadAwakeGap ticks.
void KeepDesktopAwake(unsigned iActions) {
  if (iActions == 0) return;
  if (bToldAwake && TicksSince(iLastAwakeTick) <= PadAwakeGap) return;
  bToldAwake = true;
  iLastAwakeTick = GameTicks.load();
  if (AwakeCall != nullptr)
    AwakeCall();
  else
    TellDesktopSomeoneIsPlaying();
}

}  // namespace

void StartPads(const char *cFolder) {
  PadSourceStart(cFolder);
  bStarted = true;
  bPulled = false;
}

void StopPads() {
  PadSourceStop();
  bStarted = false;
  bPulled = false;
}

unsigned PadActions() {
  unsigned iActions = 0;
  if (bStarted) {
    int iPulled = 0;
    iActions = PadSourcePoll(iPulled);
    if (iPulled > 0) bPulled = true;
  }
  // The library opens the same devices: read it only when the layer has none.
  if (!bStarted || PadSourceOpen() == 0) iActions = LibraryJoystickActions();
  KeepDesktopAwake(iActions);
  return iActions;
}

int PadsOpen() { return bStarted ? PadSourceOpen() : 0; }

bool PadPulledOut() {
  const bool bWas = bPulled;
  bPulled = false;
  return bWas;
}

void SetDesktopAwakeCall(void (*fCall)()) {
  AwakeCall = fCall;
  bToldAwake = false;
}
