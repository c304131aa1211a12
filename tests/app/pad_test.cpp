// The pad layer: the layouts of the pads players own mapped to the game's
// actions, the watch for pads plugged in and pulled out, keeping the desktop
// awake, and (where one is plugged in) a real pad's layout.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <vector>

#include "app/globals.h"
#include "app/pad.h"
#include "app/pad_layout.h"
#include "common/scripted_pads.h"

namespace {

using namespace padcode;

// One input of a pad and the actions it must give: button i held, or axis i
// at iValue (every other axis at rest).
struct Press {
  bool bAxis;
  int i;
  int iValue;
  unsigned iExpected;
};
Press Button(int i, unsigned iExpected) { return {false, i, 1, iExpected}; }
Press Axis(int i, int iValue, unsigned iExpected) { return {true, i, iValue, iExpected}; }

const unsigned kSouth = PadFire | PadConfirm | PadAnyButton;
const unsigned kEast = PadFire | PadBack | PadAnyButton;
const unsigned kStart = PadPause | PadAnyButton;
const unsigned kOther = PadAnyButton;  // answers a message, nothing else
const unsigned kOldButton = PadFire | PadConfirm | PadAnyButton;

// A device as the kernel's joystick device shows it: the input codes of its
// axes and buttons in the device's order (joydev orders axes by code, and
// buttons by code from BTN_JOYSTICK up, then BTN_MISC up to BTN_JOYSTICK),
// the axes that rest at the bottom of their range (triggers and pedals), and
// what its inputs must do.
struct PadCase {
  const char *cName;
  std::vector<int> aAxes;
  std::vector<int> aButtons;
  std::vector<int> aRestingLow;  // places of axes resting at -32767
  std::vector<Press> aPresses;
};

// The axes and buttons of the kernel drivers' tables.
const std::vector<int> kXpadAxes = {AbsX, AbsY, AbsZ, AbsRx, AbsRy, AbsRz, AbsHat0X, AbsHat0Y};
const std::vector<int> kXpad360Buttons = {BtnSouth, BtnEast, BtnNorth, BtnWest, BtnTl, BtnTr,
                                          BtnSelect, BtnStart, BtnMode, BtnThumbL, BtnThumbR};
const std::vector<Press> kXpadPresses = {
    Button(0, kSouth), Button(1, kEast), Button(7, kStart), Button(2, kOther),
    Axis(6, -32767, PadLeft), Axis(7, 32767, PadDown), Axis(0, 20000, PadRight),
    Axis(1, -20000, PadUp), Axis(1, -10000, 0) /* inside the dead zone */,
    Axis(2, 32767, 0) /* left trigger pulled */, Axis(3, -32767, 0) /* right stick */};
// Generic HID mapping of PlayStation pads before their own drivers: axes
// X, Y, Z (right stick X), Rx (L2), Ry (R2), Rz (right stick Y), hat;
// buttons square, cross, circle, triangle, L1, R1, L2, R2, share/create,
// options, L3, R3, PS, touch pad (and mute) from BTN_TRIGGER up.
const std::vector<int> kHidGenericAxes = {AbsX, AbsY, AbsZ, AbsRx, AbsRy, AbsRz, AbsHat0X, AbsHat0Y};
std::vector<int> HidGenericButtons(int iCount) {
  std::vector<int> aCodes;
  for (int i = 0; i < iCount; ++i) aCodes.push_back(BtnTrigger + i);
  return aCodes;
}
const std::vector<Press> kHidGenericPresses = {
    Button(0, kOldButton) /* square */, Button(1, kOldButton) /* cross */,
    Button(2, kOther) /* circle */, Button(9, kOther) /* options */,
    Axis(6, 32767, PadRight) /* D-pad */, Axis(1, 32767, PadDown),
    Axis(2, -32767, 0) /* right stick */, Axis(3, 32767, 0) /* L2 */};

const PadCase kPads[] = {
    // xpad.c: xpad_common_btn, xpad360_btn, xpad_abs, xpad_abs_triggers, xpad_abs_pad.
    {"Xbox 360 (xpad)", kXpadAxes, kXpad360Buttons, {2, 5}, kXpadPresses},
    // xpad.c: xpad_xboxone_btn (its share button, KEY_RECORD, is no joystick
    // button) and xpad_btn_paddles of the Elite 2 after the rest.
    {"Xbox One / Series, Elite paddles (xpad)",
     kXpadAxes,
     {BtnSouth, BtnEast, BtnNorth, BtnWest, BtnTl, BtnTr, BtnSelect, BtnStart, BtnMode, BtnThumbL,
      BtnThumbR, BtnTriggerHappy1 + 4, BtnTriggerHappy1 + 5, BtnTriggerHappy1 + 6,
      BtnTriggerHappy1 + 7},
     {2, 5},
     {Button(0, kSouth), Button(1, kEast), Button(7, kStart), Button(11, kOther),
      Axis(7, -32767, PadUp), Axis(0, -32767, PadLeft), Axis(5, 32767, 0)}},
    // Steam presents the Deck's controls as a virtual Xbox 360 pad.
    {"Steam Deck through Steam (virtual Xbox 360 pad)", kXpadAxes, kXpad360Buttons, {2, 5},
     kXpadPresses},
    // hid-steam.c, steam_input_register with STEAM_QUIRK_DECK: the two touch
    // pads on hats 0 and 1, triggers on hat 2 (0..32767), the D-pad as
    // buttons; the pad clicks BTN_THUMB, BTN_THUMB2 and BTN_BASE come first.
    {"Steam Deck without Steam (hid-steam)",
     {AbsX, AbsY, AbsRx, AbsRy, AbsHat0X, AbsHat0Y, AbsHat1X, AbsHat1Y, AbsHat2X, AbsHat2Y},
     {BtnThumb, BtnThumb2, BtnBase, BtnSouth, BtnEast, BtnNorth, BtnWest, BtnTl, BtnTr, BtnTl2,
      BtnTr2, BtnSelect, BtnStart, BtnMode, BtnThumbL, BtnThumbR, BtnDpadUp, BtnDpadDown,
      BtnDpadLeft, BtnDpadRight, BtnTriggerHappy1, BtnTriggerHappy1 + 1, BtnTriggerHappy1 + 2,
      BtnTriggerHappy1 + 3},
     {8, 9},
     {Button(0, kOther) /* left pad click */, Button(3, kSouth), Button(4, kEast),
      Button(12, kStart), Button(16, PadUp | kOther), Button(18, PadLeft | kOther),
      Axis(4, -32767, 0) /* left touch pad */, Axis(0, 32767, PadRight), Axis(9, 32767, 0)}},
    // hid-playstation.c, ps_gamepad_create (DualSense from 5.12, DualShock 4
    // from 6.2) and hid-sony.c's ds4_keymap and ds4_absmap (4.10 to 6.1).
    {"PlayStation 4 and 5 (hid-playstation, hid-sony)",
     {AbsX, AbsY, AbsZ, AbsRx, AbsRy, AbsRz, AbsHat0X, AbsHat0Y},
     {BtnSouth, BtnEast, BtnNorth, BtnWest, BtnTl, BtnTr, BtnTl2, BtnTr2, BtnSelect, BtnStart,
      BtnMode, BtnThumbL, BtnThumbR},
     {2, 5},
     {Button(0, kSouth) /* cross */, Button(1, kEast) /* circle */, Button(3, kOther) /* square */,
      Button(9, kStart) /* options */, Axis(6, -32767, PadLeft), Axis(7, -32767, PadUp),
      Axis(2, 32767, 0) /* L2 */}},
    {"PlayStation 4 before 4.10 (hid-sony, generic HID)", kHidGenericAxes, HidGenericButtons(14),
     {3, 4}, kHidGenericPresses},
    {"PlayStation 5 before 5.12 (hid-generic)", kHidGenericAxes, HidGenericButtons(15), {3, 4},
     kHidGenericPresses},
    // hid-nintendo: procon_button_mappings (B is south, A east), the sticks,
    // and the D-pad on hat 0 (only the left Joy-Con has D-pad buttons).
    {"Nintendo Switch Pro (hid-nintendo)",
     {AbsX, AbsY, AbsRx, AbsRy, AbsHat0X, AbsHat0Y},
     {BtnSouth, BtnEast, BtnNorth, BtnWest, BtnZ, BtnTl, BtnTr, BtnTl2, BtnTr2, BtnSelect,
      BtnStart, BtnMode, BtnThumbL, BtnThumbR},
     {},
     {Button(0, kSouth) /* B */, Button(1, kEast) /* A */, Button(10, kStart) /* + */,
      Button(4, kOther) /* capture */, Axis(4, -32767, PadLeft), Axis(1, -32767, PadUp),
      Axis(2, 32767, 0) /* right stick */}},
    // analog.c and other old game-port drivers: X, Y, trigger and thumb.
    {"Old two-button joystick",
     {AbsX, AbsY},
     {BtnTrigger, BtnThumb},
     {},
     {Button(0, kOldButton), Button(1, kOldButton), Axis(0, -32767, PadLeft),
      Axis(1, 32767, PadDown), Axis(0, 16383, 0)}},
    // A device of the old kind whose first axes rest at one end (pedals).
    {"Pedals with two buttons (hid-generic)",
     {AbsX, AbsY, AbsZ},
     {BtnTrigger, BtnThumb},
     {0, 1},
     {Button(0, kOldButton), Axis(0, 32767, 0), Axis(1, 0, 0)}},
};

PadMaps MapsOf(const PadCase &pad) {
  PadMaps maps;
  maps.iAxes = static_cast<int>(pad.aAxes.size());
  maps.iButtons = static_cast<int>(pad.aButtons.size());
  for (int i = 0; i < maps.iAxes; ++i) maps.aAxisCodes[i] = static_cast<uint8_t>(pad.aAxes[i]);
  for (int i = 0; i < maps.iButtons; ++i) maps.aButtonCodes[i] = static_cast<uint16_t>(pad.aButtons[i]);
  return maps;
}

TEST(PadLayout, EveryPadInTheTableGivesTheGamesActions) {
  for (const PadCase &pad : kPads) {
    SCOPED_TRACE(pad.cName);
    const PadMaps maps = MapsOf(pad);
    PadLayout layout = LayoutFromMaps(maps);
    PadReading rest;
    for (int i : pad.aRestingLow) rest.aAxes[i] = -32767;
    DropRestingAxes(layout, rest, maps.iAxes);
    EXPECT_EQ(ActionsOf(layout, rest), 0u) << "at rest";
    for (const Press &press : pad.aPresses) {
      PadReading reading = rest;
      if (press.bAxis)
        reading.aAxes[press.i] = static_cast<int16_t>(press.iValue);
      else
        reading.iButtons = uint64_t{1} << press.i;
      EXPECT_EQ(ActionsOf(layout, reading), press.iExpected)
          << (press.bAxis ? "axis " : "button ") << press.i << " at " << press.iValue;
    }
  }
}

#ifdef __linux__
using skvtest::ScriptedPads;
using skvtest::Xbox360Maps;

TEST(PadWatch, PadsPluggedInAndPulledOutAreTakenAtTheNextRead) {
  ScriptedPads pads;
  EXPECT_EQ(PadActions(), 0u);
  EXPECT_EQ(PadsOpen(), 0);
  // Plugged in after the start: taken at the next read, D-pad and A at once.
  pads.plug(0, Xbox360Maps(), {0, 0, -32767, 0, 0, -32767});
  pads.axis(0, skvtest::Xbox360DpadY, -32767);
  pads.button(0, skvtest::Xbox360A, true);
  EXPECT_EQ(PadActions(), PadUp | kSouth);
  EXPECT_EQ(PadsOpen(), 1);
  EXPECT_FALSE(PadPulledOut());
  // A second pad adds its actions.
  pads.plug(1, Xbox360Maps());
  pads.axis(1, 0, 32767);
  EXPECT_EQ(PadActions(), PadUp | PadRight | kSouth);
  // Pulled out: its actions end, and the pull is told once.
  pads.pull(0);
  EXPECT_EQ(PadActions(), PadRight);
  EXPECT_EQ(PadsOpen(), 1);
  EXPECT_TRUE(PadPulledOut());
  EXPECT_FALSE(PadPulledOut());
  // A device that fails its reads is gone too, before the folder says so.
  pads.pull(1);
  EXPECT_EQ(PadActions(), 0u);
  EXPECT_EQ(PadsOpen(), 0);
  EXPECT_TRUE(PadPulledOut());
  // Other files in the folder are no pads.
  FILE *pFile = fopen((pads.folder() + "/event3").c_str(), "w");
  ASSERT_NE(pFile, nullptr);
  fclose(pFile);
  EXPECT_EQ(PadActions(), 0u);
  EXPECT_EQ(PadsOpen(), 0);
  unlink((pads.folder() + "/event3").c_str());
}

TEST(PadWatch, PadsAlreadyThereAreOpenedAtTheStart) {
  ScriptedPads first;
  first.plug(2, Xbox360Maps());
  first.button(2, skvtest::Xbox360B, true);
  StartPads(first.folder().c_str());  // starts afresh: the scan finds js2
  EXPECT_EQ(PadsOpen(), 1);
  EXPECT_EQ(PadActions(), kEast);
}

int iAwakeCalls = 0;
void CountAwake() { ++iAwakeCalls; }

TEST(PadWatch, APadInUseTellsTheDesktopEveryFiveSeconds) {
  ScriptedPads pads;
  SetDesktopAwakeCall(CountAwake);
  iAwakeCalls = 0;
  GameTicks = 1000;
  pads.plug(0, Xbox360Maps());
  PadActions();
  EXPECT_EQ(iAwakeCalls, 0) << "a pad lying still keeps nothing awake";
  pads.axis(0, 0, 30000);
  PadActions();
  EXPECT_EQ(iAwakeCalls, 1);
  GameTicks = 1000 + PadAwakeGap;
  PadActions();
  EXPECT_EQ(iAwakeCalls, 1);
  GameTicks = 1000 + PadAwakeGap + 1;
  PadActions();
  EXPECT_EQ(iAwakeCalls, 2);
  // Let go: nothing more, however long.
  pads.axis(0, 0, 0);
  GameTicks = 5000;
  PadActions();
  EXPECT_EQ(iAwakeCalls, 2);
  SetDesktopAwakeCall(nullptr);
}

// Reads the layout of a real pad; runs only where one is plugged in.
TEST(PadDevice, ARealPadsLayoutIsRead) {
  struct stat info;
  if (stat("/dev/input/js0", &info) != 0) GTEST_SKIP() << "no pad: /dev/input/js0 does not exist";
  const PadDeviceOps &ops = KernelPadDevices();
  const int iHandle = ops.fOpen("/dev/input/js0");
  if (iHandle < 0) GTEST_SKIP() << "/dev/input/js0 cannot be opened here";
  PadMaps maps;
  ASSERT_TRUE(ops.fMaps(iHandle, maps));
  PadEvent aEvents[64];
  const int iEvents = ops.fRead(iHandle, aEvents, 64);
  ops.fClose(iHandle);
  EXPECT_GT(maps.iAxes + maps.iButtons, 0);
  EXPECT_GE(iEvents, 0);
  const PadLayout layout = LayoutFromMaps(maps);
  unsigned iAll = 0;
  for (int i = 0; i < maps.iButtons && i < PadMaxButtons; ++i) iAll |= layout.aButtonActions[i];
  printf("js0: %d axes, %d buttons, %s layout\n", maps.iAxes, maps.iButtons,
         layout.bGamepad ? "gamepad" : "old joystick");
  // Every pad can fire and confirm, and a gamepad can go back and pause.
  EXPECT_NE(iAll & PadConfirm, 0u);
  if (layout.bGamepad) {
    EXPECT_EQ(iAll & (PadBack | PadPause), PadBack | PadPause);
  }
}
#endif

}  // namespace
