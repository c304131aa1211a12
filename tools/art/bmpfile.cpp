// 32-bit BMP writer: the library's own writer stores 24 bits; the game's
// sprite files are 32-bit, written here byte for byte the same every build.
#include <cstdint>
#include <cstdio>

#include "art.h"

namespace art {

static void PutLe(std::FILE *f, uint32_t v, int bytes) {
  for (int i = 0; i < bytes; i++) std::fputc(int((v >> (8 * i)) & 0xFF), f);
}

bool SaveBmp32(const std::string &path, BITMAP *bmp) {
  std::FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  const uint32_t image = uint32_t(bmp->w) * bmp->h * 4;
  std::fputc('B', f);
  std::fputc('M', f);
  PutLe(f, 54 + image, 4);  // file size
  PutLe(f, 0, 4);           // reserved
  PutLe(f, 54, 4);          // offset of the pixels
  PutLe(f, 40, 4);          // info header size
  PutLe(f, uint32_t(bmp->w), 4);
  PutLe(f, uint32_t(bmp->h), 4);  // positive: bottom-up rows
  PutLe(f, 1, 2);                 // planes
  PutLe(f, 32, 2);                // bits per pixel
  PutLe(f, 0, 4);                 // no compression
  PutLe(f, image, 4);
  PutLe(f, 2835, 4);  // 72 dpi
  PutLe(f, 2835, 4);
  PutLe(f, 0, 4);  // no palette
  PutLe(f, 0, 4);
  for (int y = bmp->h - 1; y >= 0; y--)
    for (int x = 0; x < bmp->w; x++) {
      const int c = getpixel(bmp, x, y);
      std::fputc(getb32(c), f);
      std::fputc(getg32(c), f);
      std::fputc(getr32(c), f);
      std::fputc(0, f);
    }
  return std::fclose(f) == 0;
}

}  // namespace art
