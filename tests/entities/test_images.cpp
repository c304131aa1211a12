#include "test_images.h"

#include <unistd.h>

#include <cstdlib>

#include "common/allegro_env.h"

#include <gtest/gtest.h>

namespace skvtest {

namespace {
// The headless library packs 32-bit pixels with red in the low byte; the game's
// screen (and its own colour packing) has red in bits 16-23. Tests use the
// screen's layout so that packed colours and makecol() agree.
class ScreenPixelLayout : public ::testing::Environment {
 public:
  void SetUp() override {
    EnsureAllegro();
    _rgb_r_shift_32 = 16;
    _rgb_g_shift_32 = 8;
    _rgb_b_shift_32 = 0;
    _rgb_a_shift_32 = 24;
  }
};
const ::testing::Environment *const Layout =
    ::testing::AddGlobalTestEnvironment(new ScreenPixelLayout);
}  // namespace

const std::string &TestFolder() {
  static std::string Folder;
  if (Folder.empty()) {
    char cTemplate[] = "/tmp/skv-entities-XXXXXX";
    const char *cMade = mkdtemp(cTemplate);
    if (cMade == nullptr) std::abort();
    Folder = cMade;
    if (chdir(cMade) != 0) std::abort();
  }
  return Folder;
}

int StripColour(int iCol, int iRow, int iTint) {
  return makecol(40 + 50 * iCol, 30 + 60 * iRow, 100 + iCol + 10 * iRow + iTint);
}

void WriteStrip(const char *cName, int iW, int iH, int iCols, int iRows, int iTint) {
  EnsureAllegro();
  TestFolder();
  BITMAP *pStrip = create_bitmap(iW * iCols, iH * iRows);
  for (int r = 0; r < iRows; ++r) {
    for (int c = 0; c < iCols; ++c) {
      rectfill(pStrip, c * iW, r * iH, c * iW + iW - 1, r * iH + iH - 1, StripColour(c, r, iTint));
      putpixel(pStrip, c * iW, r * iH, makecol(255, 0, 255));
    }
  }
  if (save_bmp(cName, pStrip, nullptr) != 0) std::abort();
  destroy_bitmap(pStrip);
}

}  // namespace skvtest
