// How one pad's axes and buttons become the game's actions (app/pad.h). The
// kernel's joystick device names every axis and button by its input code
// (the axis and button maps, JSIOCGAXMAP and JSIOCGBTNMAP, in the device's
// own order); from those codes the D-pad, the left stick and the south, east
// and Start buttons are found the same way on every pad with a gamepad
// driver. A device that names no gamepad button (an old joystick) keeps the
// old meaning: its first two axes steer and buttons 0 and 1 fire and
// confirm. Plain data and pure functions: the same on every system.
#pragma once
#include <cstdint>

// The input codes the layout looks for (the kernel's input-event-codes.h;
// checked against it where it exists).
namespace padcode {
constexpr int AbsX = 0x00, AbsY = 0x01, AbsZ = 0x02, AbsRx = 0x03, AbsRy = 0x04, AbsRz = 0x05;
constexpr int AbsHat0X = 0x10, AbsHat0Y = 0x11, AbsHat1X = 0x12, AbsHat1Y = 0x13;
constexpr int AbsHat2X = 0x14, AbsHat2Y = 0x15;
constexpr int BtnMisc = 0x100;  // the first code of the button map
constexpr int BtnTrigger = 0x120, BtnThumb = 0x121, BtnThumb2 = 0x122, BtnTop = 0x123;
constexpr int BtnTop2 = 0x124, BtnPinkie = 0x125, BtnBase = 0x126, BtnBase2 = 0x127;
constexpr int BtnBase3 = 0x128, BtnBase4 = 0x129, BtnBase5 = 0x12a, BtnBase6 = 0x12b;
constexpr int BtnSouth = 0x130, BtnEast = 0x131, BtnC = 0x132, BtnNorth = 0x133;
constexpr int BtnWest = 0x134, BtnZ = 0x135, BtnTl = 0x136, BtnTr = 0x137, BtnTl2 = 0x138;
constexpr int BtnTr2 = 0x139, BtnSelect = 0x13a, BtnStart = 0x13b, BtnMode = 0x13c;
constexpr int BtnThumbL = 0x13d, BtnThumbR = 0x13e;
constexpr int BtnDpadUp = 0x220, BtnDpadDown = 0x221, BtnDpadLeft = 0x222, BtnDpadRight = 0x223;
constexpr int BtnTriggerHappy1 = 0x2c0;
}  // namespace padcode

// The most axes and buttons a layout reads; a device's further ones are
// ignored (no pad players own has that many).
constexpr int PadMaxAxes = 16;
constexpr int PadMaxButtons = 48;

// What the kernel tells of one device: the input code of each axis and button.
struct PadMaps {
  int iAxes = 0;
  int iButtons = 0;
  uint8_t aAxisCodes[PadMaxAxes] = {};
  uint16_t aButtonCodes[PadMaxButtons] = {};
};

// What each axis and button means to the game.
struct PadLayout {
  enum AxisRole : uint8_t { Unused, Horizontal, Vertical };
  bool bGamepad = false;                  // names gamepad buttons
  uint8_t aAxisRole[PadMaxAxes] = {};     // AxisRole per axis
  unsigned aButtonActions[PadMaxButtons] = {};  // PadAction bits per button
};

// One device's state: axis positions (-32767..32767) and buttons held.
struct PadReading {
  int16_t aAxes[PadMaxAxes] = {};
  uint64_t iButtons = 0;  // bit i: button i is down
};

// The layout of a device with these maps: the left stick (ABS_X, ABS_Y) and
// the D-pad (BTN_DPAD_* buttons where the driver names them, else ABS_HAT0X,
// ABS_HAT0Y) steer; south fires and confirms, east fires and goes back,
// Start pauses. Without gamepad buttons: axes 0 and 1 and the D-pad's hat
// steer, buttons 0 and 1 fire and confirm.
PadLayout LayoutFromMaps(const PadMaps &maps);

// Takes the steering role from every axis of an old joystick's layout that
// rests at one end of its range (a trigger or pedal, read as a held
// direction otherwise): rest is the state the device gave when opened.
// Gamepad layouts are left as they are (their triggers never steer).
void DropRestingAxes(PadLayout &layout, const PadReading &rest, int iAxes);

// The actions held in one reading of a device.
unsigned ActionsOf(const PadLayout &layout, const PadReading &reading);
