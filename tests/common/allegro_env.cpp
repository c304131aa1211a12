// Test main: brings up Allegro with the SYSTEM_NONE driver before any test.
#include "common/allegro_env.h"

#include "support/headless.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <gtest/gtest.h>

namespace skvtest {

void EnsureAllegro() {
  if (!StartHeadlessAllegro()) {
    fprintf(stderr, "headless Allegro failed: %s\n", allegro_error);
    std::abort();
  }
}

static std::function<void()> OnPoll;
static constexpr int ScriptedJoystickId = AL_ID('S', 'K', 'V', 'J');

static int ScriptedInit() {
  num_joysticks = 1;
  joy[0].flags = JOYFLAG_DIGITAL;
  joy[0].num_sticks = 1;
  joy[0].stick[0].num_axis = 2;
  joy[0].num_buttons = 2;
  return 0;
}
static void ScriptedExit() {}
static int ScriptedPoll() {
  if (OnPoll) OnPoll();
  return 0;
}
static JOYSTICK_DRIVER ScriptedDriver = {ScriptedJoystickId, "scripted", "scripted", "scripted",
                                         ScriptedInit, ScriptedExit, ScriptedPoll,
                                         nullptr, nullptr, nullptr, nullptr};

static _DRIVER_INFO ScriptedList[] = {{ScriptedJoystickId, &ScriptedDriver, FALSE},
                                      {0, nullptr, 0}};
static _DRIVER_INFO *ScriptedDrivers() { return ScriptedList; }

ScriptedJoystick::ScriptedJoystick(std::function<void()> fOnPoll) {
  OnPoll = std::move(fOnPoll);
  // The headless system offers its own joystick list; ours is offered for
  // this one installation only.
  auto *pSystemList = system_driver->joystick_drivers;
  system_driver->joystick_drivers = ScriptedDrivers;
  const int iResult = install_joystick(ScriptedJoystickId);
  system_driver->joystick_drivers = pSystemList;
  if (iResult != 0) {
    fprintf(stderr, "scripted joystick failed: %s\n", allegro_error);
    std::abort();
  }
}

ScriptedJoystick::~ScriptedJoystick() {
  remove_joystick();
  OnPoll = nullptr;
  memset(joy, 0, sizeof(JOYSTICK_INFO) * MAX_JOYSTICKS);
}

void ResetScreen() {
  if (screen) destroy_bitmap(screen);
  screen = create_bitmap(640, 480);
  clear_to_color(screen, 0);
}

}  // namespace skvtest

int main(int argc, char **argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
  skvtest::EnsureAllegro();
  return RUN_ALL_TESTS();
}
