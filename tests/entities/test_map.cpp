#include "test_map.h"

#include <cstring>
#include <string>

#include "tilemap/tilemap.h"

namespace skvtest {

namespace {

void Put16(std::vector<uint8_t> &out, int iValue) {  // little-endian
  out.push_back(static_cast<uint8_t>(iValue & 0xFF));
  out.push_back(static_cast<uint8_t>((iValue >> 8) & 0xFF));
}
void Put32(std::vector<uint8_t> &out, int32_t iValue) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>((iValue >> (8 * i)) & 0xFF));
}
void PutBE32(std::vector<uint8_t> &out, uint32_t iValue) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>((iValue >> (8 * i)) & 0xFF));
}
void PutChunk(std::vector<uint8_t> &out, const char *cTag, const std::vector<uint8_t> &data) {
  out.insert(out.end(), cTag, cTag + 4);
  PutBE32(out, static_cast<uint32_t>(data.size()));
  out.insert(out.end(), data.begin(), data.end());
}

}  // namespace

bool LoadTestMap(int iWidth, int iHeight, const std::vector<int16_t> &cells) {
  std::vector<uint8_t> header;
  header.push_back(1);  // version 1.0
  header.push_back(0);
  header.push_back(1);  // little-endian
  header.push_back(1);  // one cell value per cell, block indices
  Put16(header, iWidth);
  Put16(header, iHeight);
  Put32(header, 0);
  Put16(header, 32);  // block width and height
  Put16(header, 32);
  Put16(header, 32);  // graphic depth
  Put16(header, 32);  // block record size
  Put16(header, 2);   // block records
  Put16(header, 2);   // graphics

  std::vector<uint8_t> blocks;
  for (int b = 0; b < 2; ++b) {
    Put32(blocks, b);  // back graphic = its own index
    for (int i = 0; i < 5; ++i) Put32(blocks, 0);
    Put16(blocks, 0);
    Put16(blocks, 0);
    blocks.push_back(0);
    blocks.push_back(0);
    blocks.push_back(0);
    blocks.push_back(b == 1 ? 0x01 : 0x00);  // block 1 is solid
  }

  std::vector<uint8_t> graphics;
  for (int g = 0; g < 2; ++g) {
    for (int p = 0; p < 32 * 32; ++p) {
      graphics.push_back(0);
      graphics.push_back(g == 1 ? 128 : 0);
      graphics.push_back(g == 1 ? 128 : 100);
      graphics.push_back(g == 1 ? 128 : 0);
    }
  }

  std::vector<uint8_t> body;
  for (int16_t v : cells) Put16(body, v);

  std::vector<uint8_t> chunks;
  PutChunk(chunks, "MPHD", header);
  PutChunk(chunks, "BKDT", blocks);
  PutChunk(chunks, "BGFX", graphics);
  PutChunk(chunks, "BODY", body);

  std::vector<uint8_t> image;
  image.insert(image.end(), {'F', 'O', 'R', 'M'});
  PutBE32(image, static_cast<uint32_t>(chunks.size() + 4));
  image.insert(image.end(), {'F', 'M', 'A', 'P'});
  image.insert(image.end(), chunks.begin(), chunks.end());
  return TileMapOpenBuffer(image.data(), image.size()) == 0;
}

bool LoadOpenMap(int iWidth, int iHeight) {
  return LoadTestMap(iWidth, iHeight,
                     std::vector<int16_t>(static_cast<size_t>(iWidth) * iHeight, 0));
}

}  // namespace skvtest
