// The content tools' PNG writer.
#include "png/png_writer.h"

#include <zlib.h>

#include <cstdio>

namespace {

void Put32(std::vector<uint8_t> &out, uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(v >> s));
}

void Chunk(std::vector<uint8_t> &out, const char *tag, const std::vector<uint8_t> &data) {
  Put32(out, static_cast<uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), tag, tag + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0, &out[start], static_cast<uInt>(out.size() - start));
  Put32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint32_t> &pixels,
                               bool bAlpha) {
  const int channels = bAlpha ? 4 : 3;
  std::vector<uint8_t> raw;
  raw.reserve(static_cast<size_t>(height) * (width * channels + 1));
  for (int y = 0; y < height; y++) {
    raw.push_back(0);  // no filter
    for (int x = 0; x < width; x++) {
      uint32_t p = pixels[static_cast<size_t>(y) * width + x];
      raw.push_back(static_cast<uint8_t>(p >> 16));
      raw.push_back(static_cast<uint8_t>(p >> 8));
      raw.push_back(static_cast<uint8_t>(p));
      if (bAlpha) raw.push_back(static_cast<uint8_t>(p >> 24));
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 9) != Z_OK)
    return {};
  packed.resize(packedSize);

  std::vector<uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> header;
  Put32(header, static_cast<uint32_t>(width));
  Put32(header, static_cast<uint32_t>(height));
  // 8 bits, RGB or RGBA, deflate, no filter, no interlace
  header.insert(header.end(), {8, static_cast<uint8_t>(bAlpha ? 6 : 2), 0, 0, 0});
  Chunk(file, "IHDR", header);
  Chunk(file, "IDAT", packed);
  Chunk(file, "IEND", {});
  return file;
}

bool WritePng(const std::string &path, int width, int height, const std::vector<uint32_t> &pixels,
              bool bAlpha) {
  const std::vector<uint8_t> file = EncodePng(width, height, pixels, bAlpha);
  if (file.empty()) return false;
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return false;
  bool ok = std::fwrite(file.data(), 1, file.size(), f) == file.size();
  return std::fclose(f) == 0 && ok;
}

