// Small helpers shared by the art tests.
#pragma once
#include <allegro.h>

#include <string>

namespace arttest {

inline std::string DataFile(const std::string &name) { return std::string(SKV_DATA_DIR) + "/" + name; }

inline bool IsMask(int c) { return getr32(c) == 255 && getg32(c) == 0 && getb32(c) == 255; }

// Pinkish colours that betray an edge blended into the mask.
inline bool NearMagenta(int c) {
  const int r = getr32(c), g = getg32(c), b = getb32(c);
  return !IsMask(c) && r > 150 && b > 150 && g < 110 && r - g > 90 && b - g > 90;
}

// Relative luminance 0..1 (sRGB weights, no linearisation).
inline float Luma(int c) { return (0.299f * getr32(c) + 0.587f * getg32(c) + 0.114f * getb32(c)) / 255.0f; }

}  // namespace arttest
