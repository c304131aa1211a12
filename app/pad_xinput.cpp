// The pads of a Windows machine: the four XInput slots, read through the
// system's own XInput library (loaded when the pads start, so the game needs
// no DLL Windows lacks). A slot that was empty is looked at again once a
// second: asking an empty slot every pass is slow on some systems.
// The library's header comes before Windows' own (winalleg.h), as it asks.
#include "app/globals.h"
#include "app/pad.h"
#include "app/pad_source.h"

#include <winalleg.h>
#include <xinput.h>

namespace {

constexpr int kSlots = XUSER_MAX_COUNT;
constexpr int kEmptySlotGap = 50;  // ticks between looks at an empty slot

using GetStateCall = DWORD(WINAPI *)(DWORD, XINPUT_STATE *);
HMODULE XInputLibrary = nullptr;
GetStateCall GetState = nullptr;
bool bConnected[kSlots] = {};
int iLastEmptyLook = 0;

// The game's actions on one XInput pad: the D-pad and the left stick steer,
// A (south) fires and confirms, B (east) fires and goes back, Start pauses.
unsigned ActionsOfState(const XINPUT_GAMEPAD &pad) {
  const WORD iButtons = pad.wButtons;
  unsigned iActions = 0;
  if (iButtons != 0) iActions |= PadAnyButton;
  if ((iButtons & XINPUT_GAMEPAD_DPAD_UP) != 0 || pad.sThumbLY >= PadDeadZone) iActions |= PadUp;
  if ((iButtons & XINPUT_GAMEPAD_DPAD_DOWN) != 0 || pad.sThumbLY <= -PadDeadZone) iActions |= PadDown;
  if ((iButtons & XINPUT_GAMEPAD_DPAD_LEFT) != 0 || pad.sThumbLX <= -PadDeadZone) iActions |= PadLeft;
  if ((iButtons & XINPUT_GAMEPAD_DPAD_RIGHT) != 0 || pad.sThumbLX >= PadDeadZone) iActions |= PadRight;
  if ((iButtons & XINPUT_GAMEPAD_A) != 0) iActions |= PadFire | PadConfirm;
  if ((iButtons & XINPUT_GAMEPAD_B) != 0) iActions |= PadFire | PadBack;
  if ((iButtons & XINPUT_GAMEPAD_START) != 0) iActions |= PadPause;
  return iActions;
}

}  // namespace

void PadSourceStart(const char *) {
  PadSourceStop();
  // Windows 8 and later have 1.4; 9.1.0 comes with every version since Vista.
  XInputLibrary = LoadLibraryA("xinput1_4.dll");
  if (XInputLibrary == nullptr) XInputLibrary = LoadLibraryA("xinput9_1_0.dll");
  if (XInputLibrary == nullptr) return;
  GetState = reinterpret_cast<GetStateCall>(
      reinterpret_cast<void (*)()>(GetProcAddress(XInputLibrary, "XInputGetState")));
  XINPUT_STATE state;
  for (int i = 0; i < kSlots && GetState != nullptr; ++i)
    bConnected[i] = GetState(i, &state) == ERROR_SUCCESS;
  iLastEmptyLook = GameTicks.load();
}

void PadSourceStop() {
  GetState = nullptr;
  if (XInputLibrary != nullptr) FreeLibrary(XInputLibrary);
  XInputLibrary = nullptr;
  for (bool &bSlot : bConnected) bSlot = false;
}

unsigned PadSourcePoll(int &iPulled) {
  if (GetState == nullptr) return 0;
  const bool bLookAtEmpty = TicksSince(iLastEmptyLook) > kEmptySlotGap;
  if (bLookAtEmpty) iLastEmptyLook = GameTicks.load();
  unsigned iActions = 0;
  for (int i = 0; i < kSlots; ++i) {
    if (!bConnected[i] && !bLookAtEmpty) continue;
    XINPUT_STATE state;
    const bool bNow = GetState(i, &state) == ERROR_SUCCESS;
    if (bConnected[i] && !bNow) ++iPulled;
    bConnected[i] = bNow;
    if (bNow) iActions |= ActionsOfState(state.Gamepad);
  }
  return iActions;
}

int PadSourceOpen() {
  int iOpen = 0;
  for (bool bSlot : bConnected) iOpen += bSlot ? 1 : 0;
  return iOpen;
}
