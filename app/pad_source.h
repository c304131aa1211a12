// Where the pad layer (app/pad.h) gets its pads on each system: on Linux the
// kernel's joystick devices in a watched folder (pad_linux.cpp), on Windows
// the XInput slots (pad_xinput.cpp). One source is built per system.
#pragma once
#include <cstdint>

#include "app/pad_layout.h"

// Opens the pads there are now and starts watching for others (cFolder:
// where the devices are, on Linux).
void PadSourceStart(const char *cFolder);
void PadSourceStop();

// Takes pads that came, drops pads that went (adding them to iPulled), reads
// every open pad and returns the actions held on them. Non-blocking, no
// allocation.
unsigned PadSourcePoll(int &iPulled);

// How many pads are open.
int PadSourceOpen();

#ifdef __linux__
// One event of a joystick device, as the kernel's struct js_event carries it.
struct PadEvent {
  uint8_t iType;    // PadEventButton or PadEventAxis, with PadEventInit for the state at open
  uint8_t iNumber;  // the button's or axis's place in the device's maps
  int16_t iValue;   // 0 or 1 for a button, -32767..32767 for an axis
};
constexpr uint8_t PadEventButton = 0x01, PadEventAxis = 0x02, PadEventInit = 0x80;

// How the source reaches a device; the kernel's joystick device by default.
// A test gives a stand-in, so a folder of plain files can play the pads.
struct PadDeviceOps {
  int (*fOpen)(const char *cPath);               // a handle >= 0, or -1
  bool (*fMaps)(int iHandle, PadMaps &maps);      // its axis and button maps
  int (*fRead)(int iHandle, PadEvent *pEvents, int iMax);  // waiting events; -1: the pad is gone
  void (*fClose)(int iHandle);
};

// Sets the device access (null: the kernel's). Takes effect at the next
// PadSourceStart.
void SetPadDeviceOps(const PadDeviceOps *pOps);

// The kernel's device access, for a test of a real pad.
const PadDeviceOps &KernelPadDevices();
#endif
