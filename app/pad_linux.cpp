// The pads of a Linux machine: the kernel's joystick devices ("js<N>") in one
// folder, opened without blocking, their layout learnt from the device's axis
// and button maps, and the folder watched with inotify for pads plugged in
// or pulled out while the game runs.
#include <dirent.h>
#include <fcntl.h>
#include <linux/joystick.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/pad_source.h"

namespace {

constexpr int kMaxPads = 4;
constexpr int kPathRoom = 256;

struct OpenPad {
  int iHandle = -1;   // -1: the slot is free
  int iNumber = -1;   // N of js<N>
  PadLayout layout;
  PadReading reading;
};

OpenPad Pads[kMaxPads];
char cFolderPath[kPathRoom] = {};
int iWatch = -1;  // the inotify descriptor, -1 without a watch
const PadDeviceOps *pOps = nullptr;

// ---- The kernel's joystick device ----

int KernelOpen(const char *cPath) { return open(cPath, O_RDONLY | O_NONBLOCK | O_CLOEXEC); }

bool KernelMaps(int iHandle, PadMaps &maps) {
  uint8_t iAxes = 0, iButtons = 0;
  uint8_t aAxisCodes[ABS_CNT] = {};
  uint16_t aButtonCodes[KEY_MAX - BTN_MISC + 1] = {};
  if (ioctl(iHandle, JSIOCGAXES, &iAxes) < 0 || ioctl(iHandle, JSIOCGBUTTONS, &iButtons) < 0)
    return false;
  if (ioctl(iHandle, JSIOCGAXMAP, aAxisCodes) < 0 || ioctl(iHandle, JSIOCGBTNMAP, aButtonCodes) < 0)
    return false;
  maps.iAxes = iAxes < PadMaxAxes ? iAxes : PadMaxAxes;
  maps.iButtons = iButtons < PadMaxButtons ? iButtons : PadMaxButtons;
  memcpy(maps.aAxisCodes, aAxisCodes, maps.iAxes);
  memcpy(maps.aButtonCodes, aButtonCodes, maps.iButtons * sizeof(uint16_t));
  return true;
}

int KernelRead(int iHandle, PadEvent *pEvents, int iMax) {
  js_event aRaw[32];
  if (iMax > 32) iMax = 32;
  const ssize_t iBytes = read(iHandle, aRaw, sizeof(js_event) * iMax);
  if (iBytes < 0) return errno == EAGAIN || errno == EINTR ? 0 : -1;
  const int iCount = static_cast<int>(iBytes / sizeof(js_event));
  for (int i = 0; i < iCount; ++i) pEvents[i] = {aRaw[i].type, aRaw[i].number, aRaw[i].value};
  return iCount;
}

void KernelClose(int iHandle) { close(iHandle); }

const PadDeviceOps kKernelOps = {KernelOpen, KernelMaps, KernelRead, KernelClose};

// ---- Open pads ----

// N of a device named "js<N>", else -1.
int JoystickNumber(const char *cName) {
  if (strncmp(cName, "js", 2) != 0 || cName[2] < '0' || cName[2] > '9') return -1;
  char *pEnd = nullptr;
  const long iNumber = strtol(cName + 2, &pEnd, 10);
  return *pEnd == '\0' && iNumber < 1000 ? static_cast<int>(iNumber) : -1;
}

// Applies the waiting events (the state at open also to pRest); false when
// the pad is gone.
bool ReadEvents(OpenPad &pad, PadReading *pRest = nullptr) {
  PadEvent aEvents[32];
  for (;;) {
    const int iCount = pOps->fRead(pad.iHandle, aEvents, 32);
    if (iCount < 0) return false;
    for (int i = 0; i < iCount; ++i) {
      const PadEvent &event = aEvents[i];
      const int iType = event.iType & ~PadEventInit;
      if (iType == PadEventAxis && event.iNumber < PadMaxAxes) {
        pad.reading.aAxes[event.iNumber] = event.iValue;
        if (pRest != nullptr && (event.iType & PadEventInit) != 0)
          pRest->aAxes[event.iNumber] = event.iValue;
      } else if (iType == PadEventButton && event.iNumber < PadMaxButtons) {
        const uint64_t iBit = uint64_t{1} << event.iNumber;
        pad.reading.iButtons = event.iValue ? pad.reading.iButtons | iBit : pad.reading.iButtons & ~iBit;
      }
    }
    if (iCount < 32) return true;
  }
}

OpenPad *PadNumbered(int iNumber) {
  for (OpenPad &pad : Pads)
    if (pad.iHandle >= 0 && pad.iNumber == iNumber) return &pad;
  return nullptr;
}

void Close(OpenPad &pad) {
  pOps->fClose(pad.iHandle);
  pad = OpenPad();
}

// Opens js<iNumber> unless it is open already or no slot is free. A device
// that udev has not yet opened to us fails now and is tried again when its
// permissions change.
void OpenNumbered(int iNumber) {
  if (PadNumbered(iNumber) != nullptr) return;
  OpenPad *pFree = nullptr;
  for (OpenPad &pad : Pads)
    if (pad.iHandle < 0 && pFree == nullptr) pFree = &pad;
  if (pFree == nullptr) return;
  char cPath[kPathRoom + 16];
  snprintf(cPath, sizeof cPath, "%s/js%d", cFolderPath, iNumber);
  const int iHandle = pOps->fOpen(cPath);
  if (iHandle < 0) return;
  PadMaps maps;
  if (!pOps->fMaps(iHandle, maps)) {
    pOps->fClose(iHandle);
    return;
  }
  pFree->iHandle = iHandle;
  pFree->iNumber = iNumber;
  pFree->layout = LayoutFromMaps(maps);
  // The state at open comes first: what rests at an end is a trigger.
  PadReading rest;
  if (!ReadEvents(*pFree, &rest)) {
    Close(*pFree);
    return;
  }
  DropRestingAxes(pFree->layout, rest, maps.iAxes);
}

// One non-blocking look at the watch: pads that came are opened, pads that
// went are closed and counted.
void FollowWatch(int &iPulled) {
  if (iWatch < 0) return;
  alignas(inotify_event) char aBuffer[2048];
  for (;;) {
    const ssize_t iBytes = read(iWatch, aBuffer, sizeof aBuffer);
    if (iBytes <= 0) return;
    for (ssize_t iAt = 0; iAt < iBytes;) {
      const auto *pEvent = reinterpret_cast<const inotify_event *>(aBuffer + iAt);
      iAt += static_cast<ssize_t>(sizeof(inotify_event) + pEvent->len);
      const int iNumber = pEvent->len > 0 ? JoystickNumber(pEvent->name) : -1;
      if (iNumber < 0) continue;
      if ((pEvent->mask & (IN_DELETE | IN_MOVED_FROM)) != 0) {
        if (OpenPad *pPad = PadNumbered(iNumber)) {
          Close(*pPad);
          ++iPulled;
        }
      } else {
        OpenNumbered(iNumber);
      }
    }
  }
}

}  // namespace

void SetPadDeviceOps(const PadDeviceOps *pNewOps) { pOps = pNewOps; }

const PadDeviceOps &KernelPadDevices() { return kKernelOps; }

void PadSourceStart(const char *cFolder) {
  PadSourceStop();
  if (pOps == nullptr) pOps = &kKernelOps;
  snprintf(cFolderPath, sizeof cFolderPath, "%s", cFolder);
  // Watched first, so a pad that comes during the scan is not missed.
  iWatch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
  if (iWatch >= 0 &&
      inotify_add_watch(iWatch, cFolderPath,
                        IN_CREATE | IN_ATTRIB | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO) < 0) {
    close(iWatch);
    iWatch = -1;
  }
  if (DIR *pDir = opendir(cFolderPath)) {
    while (const dirent *pEntry = readdir(pDir)) {
      const int iNumber = JoystickNumber(pEntry->d_name);
      if (iNumber >= 0) OpenNumbered(iNumber);
    }
    closedir(pDir);
  }
}

void PadSourceStop() {
  for (OpenPad &pad : Pads)
    if (pad.iHandle >= 0) Close(pad);
  if (iWatch >= 0) close(iWatch);
  iWatch = -1;
}

unsigned PadSourcePoll(int &iPulled) {
  FollowWatch(iPulled);
  unsigned iActions = 0;
  for (OpenPad &pad : Pads) {
    if (pad.iHandle < 0) continue;
    if (!ReadEvents(pad)) {
      // Unplugged before the watch said so (or with no watch at all).
      Close(pad);
      ++iPulled;
      continue;
    }
    iActions |= ActionsOf(pad.layout, pad.reading);
  }
  return iActions;
}

int PadSourceOpen() {
  int iOpen = 0;
  for (const OpenPad &pad : Pads) iOpen += pad.iHandle >= 0 ? 1 : 0;
  return iOpen;
}
