// A pad's layout from the kernel's names for its axes and buttons, and the
// game's actions from one reading of it.
#include "app/pad_layout.h"

#include "app/pad.h"

#ifdef __linux__
#include <linux/input-event-codes.h>
static_assert(padcode::AbsHat0X == ABS_HAT0X && padcode::AbsHat2Y == ABS_HAT2Y, "axis codes");
static_assert(padcode::BtnSouth == BTN_SOUTH && padcode::BtnEast == BTN_EAST &&
                  padcode::BtnStart == BTN_START && padcode::BtnMisc == BTN_MISC,
              "button codes");
static_assert(padcode::BtnDpadUp == BTN_DPAD_UP && padcode::BtnDpadRight == BTN_DPAD_RIGHT,
              "D-pad codes");
#endif

namespace {

// What a gamepad's named buttons do; every other button does nothing.
struct ButtonMeaning {
  int iCode;
  unsigned iActions;
};
const ButtonMeaning kGamepadButtons[] = {
    {padcode::BtnSouth, PadFire | PadConfirm},
    {padcode::BtnEast, PadFire | PadBack},
    {padcode::BtnStart, PadPause},
    {padcode::BtnDpadUp, PadUp},
    {padcode::BtnDpadDown, PadDown},
    {padcode::BtnDpadLeft, PadLeft},
    {padcode::BtnDpadRight, PadRight},
};

bool NamesButton(const PadMaps &maps, int iCode) {
  for (int i = 0; i < maps.iButtons && i < PadMaxButtons; ++i)
    if (maps.aButtonCodes[i] == iCode) return true;
  return false;
}

void SetAxisRole(PadLayout &layout, const PadMaps &maps, int iCode, uint8_t iRole) {
  for (int i = 0; i < maps.iAxes && i < PadMaxAxes; ++i)
    if (maps.aAxisCodes[i] == iCode) layout.aAxisRole[i] = iRole;
}

}  // namespace

PadLayout LayoutFromMaps(const PadMaps &maps) {
  PadLayout layout;
  const int iButtons = maps.iButtons < PadMaxButtons ? maps.iButtons : PadMaxButtons;
  const int iAxes = maps.iAxes < PadMaxAxes ? maps.iAxes : PadMaxAxes;
  layout.bGamepad = NamesButton(maps, padcode::BtnSouth);
  for (int i = 0; i < iButtons; ++i) layout.aButtonActions[i] = PadAnyButton;
  if (layout.bGamepad) {
    SetAxisRole(layout, maps, padcode::AbsX, PadLayout::Horizontal);
    SetAxisRole(layout, maps, padcode::AbsY, PadLayout::Vertical);
    for (int i = 0; i < iButtons; ++i)
      for (const ButtonMeaning &meaning : kGamepadButtons)
        if (maps.aButtonCodes[i] == meaning.iCode) layout.aButtonActions[i] |= meaning.iActions;
  } else {
    // The old meaning: the first stick, the first two buttons.
    if (iAxes > 0) layout.aAxisRole[0] = PadLayout::Horizontal;
    if (iAxes > 1) layout.aAxisRole[1] = PadLayout::Vertical;
    for (int i = 0; i < iButtons && i < 2; ++i) layout.aButtonActions[i] |= PadFire | PadConfirm;
  }
  // A driver that names D-pad buttons uses its hat for something else (the
  // Steam Deck's left touch pad).
  if (!NamesButton(maps, padcode::BtnDpadUp)) {
    SetAxisRole(layout, maps, padcode::AbsHat0X, PadLayout::Horizontal);
    SetAxisRole(layout, maps, padcode::AbsHat0Y, PadLayout::Vertical);
  }
  return layout;
}

void DropRestingAxes(PadLayout &layout, const PadReading &rest, int iAxes) {
  // A gamepad's triggers have codes of their own, which never steer; its
  // stick and D-pad may well be held while it is plugged in.
  if (layout.bGamepad) return;
  for (int i = 0; i < iAxes && i < PadMaxAxes; ++i) {
    const int iValue = rest.aAxes[i];
    if (iValue <= -PadDeadZone || iValue >= PadDeadZone) layout.aAxisRole[i] = PadLayout::Unused;
  }
}

unsigned ActionsOf(const PadLayout &layout, const PadReading &reading) {
  unsigned iActions = 0;
  for (int i = 0; i < PadMaxAxes; ++i) {
    const uint8_t iRole = layout.aAxisRole[i];
    if (iRole == PadLayout::Unused) continue;
    const int iValue = reading.aAxes[i];
    const bool bLow = iValue <= -PadDeadZone, bHigh = iValue >= PadDeadZone;
    const bool bAcross = iRole == PadLayout::Horizontal;
    if (bLow) iActions |= bAcross ? PadLeft : PadUp;
    if (bHigh) iActions |= bAcross ? PadRight : PadDown;
  }
  for (uint64_t iDown = reading.iButtons; iDown != 0; iDown &= iDown - 1) {
    const int i = __builtin_ctzll(iDown);
    if (i < PadMaxButtons) iActions |= layout.aButtonActions[i];
  }
  return iActions;
}
