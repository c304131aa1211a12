// Shared helpers of the tile-map tests: loading images from memory or from
// a temporary file, and checking that a failed load holds nothing.
#pragma once
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/allegro_env.h"
#include "fmp_image.h"
#include "tilemap/tilemap.h"

namespace tmtest {

inline int LoadBuffer(const std::vector<uint8_t> &image) { return TileMapOpenBuffer(image.data(), image.size()); }

// Writes the image to a file in the test's folder and opens it by name. The
// file is named after the running test, as tests run side by side.
inline int LoadFile(const std::vector<uint8_t> &image) {
  const std::string sName =
      std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + ".fmp";
  const char *cName = sName.c_str();
  FILE *f = fopen(cName, "wb");
  if (f == nullptr) return -2;
  fwrite(image.data(), 1, image.size(), f);
  fclose(f);
  return TileMapOpen(cName);
}

inline ::testing::AssertionResult NothingHeld() {
  const TileMap &m = TileMapState();
  bool bLayers = false;
  for (MapLayer p : m.layers) bLayers = bLayers || p;
  if (m.blocks || m.graphicData || m.bitmaps || m.anims || m.frames || m.paletteBytes || bLayers ||
      m.currentLayer)
    return ::testing::AssertionFailure() << "map data still held";
  return ::testing::AssertionSuccess();
}

// Screen of another depth for one test; the 32-bit screen comes back after.
class ScreenDepthGuard {
 public:
  explicit ScreenDepthGuard(int iDepth) {
    set_color_depth(iDepth);
    destroy_bitmap(screen);
    screen = create_bitmap(640, 480);
  }
  ~ScreenDepthGuard() {
    set_color_depth(32);
    skvtest::ResetScreen();
  }
};

}  // namespace tmtest
