// Test main: brings up Allegro with the SYSTEM_NONE driver before any test.
#include "common/allegro_env.h"

#include <cerrno>
#include <cstdlib>
#include <gtest/gtest.h>

namespace skvtest {

static bool AllegroUp = false;

void EnsureAllegro() {
  if (AllegroUp) return;
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    fprintf(stderr, "headless Allegro failed: %s\n", allegro_error);
    std::abort();
  }
  set_color_depth(32);
  // Without a graphics mode the library's 32-bit layout defaults to blue
  // highest; the game's screen (and its packed colours) keep red highest.
  _rgb_r_shift_32 = 16;
  _rgb_g_shift_32 = 8;
  _rgb_b_shift_32 = 0;
  _rgb_a_shift_32 = 24;
  AllegroUp = true;
  ResetScreen();
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
