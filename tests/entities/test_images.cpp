#include "test_images.h"

#include <unistd.h>

#include <cstdlib>

#include "common/allegro_env.h"

namespace skvtest {

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
