// Pads a test plugs in and pulls out (Linux): each pad is a plain file
// "js<N>" in a fresh folder, so the pad layer's watch sees it come and go,
// while its maps and events are kept here and handed to the layer through a
// stand-in device access. The layer is started on the folder and stopped at
// the end.
#pragma once
#ifdef __linux__
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/pad.h"
#include "app/pad_layout.h"
#include "app/pad_source.h"

namespace skvtest {

// The xpad driver's Xbox 360 pad: left stick X, Y, left trigger, right
// stick X, Y, right trigger, D-pad X, Y; A, B, X, Y, LB, RB, Back, Start,
// Guide, the two stick clicks.
inline PadMaps Xbox360Maps() {
  using namespace padcode;
  PadMaps maps;
  const uint8_t aAxes[] = {AbsX, AbsY, AbsZ, AbsRx, AbsRy, AbsRz, AbsHat0X, AbsHat0Y};
  const uint16_t aButtons[] = {BtnSouth, BtnEast, BtnNorth, BtnWest, BtnTl, BtnTr,
                               BtnSelect, BtnStart, BtnMode, BtnThumbL, BtnThumbR};
  maps.iAxes = sizeof aAxes;
  maps.iButtons = sizeof aButtons / sizeof aButtons[0];
  memcpy(maps.aAxisCodes, aAxes, sizeof aAxes);
  memcpy(maps.aButtonCodes, aButtons, sizeof aButtons);
  return maps;
}
constexpr int Xbox360DpadX = 6, Xbox360DpadY = 7, Xbox360A = 0, Xbox360B = 1;

class ScriptedPads {
 public:
  ScriptedPads() {
    char cTemplate[] = "/tmp/skv-pads-XXXXXX";
    sFolder = mkdtemp(cTemplate);
    for (int i = 0; i < kDevices; ++i) Devices()[i] = Device();
    static const PadDeviceOps kOps = {Open, Maps, Read, Close};
    SetPadDeviceOps(&kOps);
    StartPads(sFolder.c_str());
  }
  ~ScriptedPads() {
    StopPads();
    SetPadDeviceOps(nullptr);
    for (int i = 0; i < kDevices; ++i) unlink(path(i).c_str());
    rmdir(sFolder.c_str());
  }

  // Plugs pad N in: its state at open is every axis at aRest (0 when not
  // given) and no button down.
  void plug(int n, const PadMaps &maps, std::vector<int16_t> aRest = {}) {
    Device &device = Devices()[n];
    device = Device();
    device.bPresent = true;
    device.maps = maps;
    for (int i = 0; i < maps.iAxes; ++i) {
      const int16_t iValue = i < static_cast<int>(aRest.size()) ? aRest[i] : 0;
      device.aQueue.push_back({PadEventAxis | PadEventInit, static_cast<uint8_t>(i), iValue});
    }
    for (int i = 0; i < maps.iButtons; ++i)
      device.aQueue.push_back({PadEventButton | PadEventInit, static_cast<uint8_t>(i), 0});
    FILE *pFile = fopen(path(n).c_str(), "w");
    if (pFile != nullptr) fclose(pFile);
  }
  // Pulls pad N out: its reads fail and its file goes.
  void pull(int n) {
    Devices()[n].bPresent = false;
    unlink(path(n).c_str());
  }
  void button(int n, int i, bool bDown) {
    Devices()[n].aQueue.push_back({PadEventButton, static_cast<uint8_t>(i), int16_t(bDown ? 1 : 0)});
  }
  void axis(int n, int i, int16_t iValue) {
    Devices()[n].aQueue.push_back({PadEventAxis, static_cast<uint8_t>(i), iValue});
  }
  std::string path(int n) const { return sFolder + "/js" + std::to_string(n); }
  const std::string &folder() const { return sFolder; }

 private:
  static constexpr int kDevices = 8;
  struct Device {
    bool bPresent = false;
    PadMaps maps;
    std::vector<PadEvent> aQueue;
  };
  static Device *Devices() {
    static Device aDevices[kDevices];
    return aDevices;
  }
  static int Open(const char *cPath) {
    const char *pName = strrchr(cPath, '/');
    const int n = atoi(pName != nullptr ? pName + 3 : cPath + 2);
    return n >= 0 && n < kDevices && Devices()[n].bPresent ? n : -1;
  }
  static bool Maps(int n, PadMaps &maps) {
    maps = Devices()[n].maps;
    return true;
  }
  static int Read(int n, PadEvent *pEvents, int iMax) {
    Device &device = Devices()[n];
    if (!device.bPresent) return -1;
    int iCount = 0;
    while (iCount < iMax && !device.aQueue.empty()) {
      pEvents[iCount++] = device.aQueue.front();
      device.aQueue.erase(device.aQueue.begin());
    }
    return iCount;
  }
  static void Close(int) {}

  std::string sFolder;
};

}  // namespace skvtest
#endif
