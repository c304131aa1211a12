// Byte-by-byte FMP images for the tile-map tests.
#include "fmp_image.h"

namespace fmp {

Bytes &Bytes::u8(int x) {
  v.push_back(uint8_t(x));
  return *this;
}
Bytes &Bytes::i16(int x) {
  if (bLittle) return u8(x & 255).u8((x >> 8) & 255);
  return u8((x >> 8) & 255).u8(x & 255);
}
Bytes &Bytes::i32(int64_t x) {
  uint32_t u = uint32_t(x);
  if (bLittle) return u8(u & 255).u8((u >> 8) & 255).u8((u >> 16) & 255).u8(u >> 24);
  return be32(u);
}
Bytes &Bytes::be16(int x) { return u8((x >> 8) & 255).u8(x & 255); }
Bytes &Bytes::be32(uint32_t u) { return u8(u >> 24).u8((u >> 16) & 255).u8((u >> 8) & 255).u8(u & 255); }
Bytes &Bytes::text(const std::string &s) {
  for (char c : s) u8(c);
  return *this;
}
Bytes &Bytes::fill(size_t iCount, uint8_t x) {
  v.insert(v.end(), iCount, x);
  return *this;
}
Bytes &Bytes::append(const std::vector<uint8_t> &other) {
  v.insert(v.end(), other.begin(), other.end());
  return *this;
}

std::vector<uint8_t> Container(const std::vector<Chunk> &chunks, int64_t iLength) {
  Bytes body;
  for (const Chunk &c : chunks) body.text(c.tag).be32(uint32_t(c.data.size())).append(c.data);
  Bytes out;
  out.text("FORM").be32(uint32_t(iLength >= 0 ? iLength : int64_t(body.v.size()) + 4)).text("FMAP");
  return out.append(body.v).v;
}

std::vector<uint8_t> HeaderData(const Header &h, bool bLittle) {
  Bytes b(bLittle);
  b.u8(h.versionMajor).u8(h.versionMinor).u8(bLittle ? 1 : 0).u8(h.cellEncoding);
  b.i16(h.width).i16(h.height).fill(4, 0xEE);
  b.i16(h.blockWidth).i16(h.blockHeight).i16(h.depth).i16(h.recordSize).i16(h.recordCount).i16(h.graphicCount);
  b.fill(4, 0xEE);
  if (h.size > 24) {
    b.i16(h.stepX).i16(h.stepY).i16(h.shiftX).i16(h.shiftY);
    if (h.size > 36) b.i16(h.hitMask);
  }
  b.v.resize(h.size, 0);
  return b.v;
}

std::vector<uint8_t> BlockData(const std::vector<Block> &blocks, int iRecordSize, bool bLittle) {
  Bytes b(bLittle);
  for (const Block &k : blocks) {
    b.i32(k.back).i32(k.front1).i32(k.front2).i32(k.front3).i32(k.value1).i32(k.value2);
    b.i16(k.value3).i16(k.value4).u8(k.value5).u8(k.value6).u8(k.value7).u8(k.flags);
    if (iRecordSize > 32) b.fill(iRecordSize - 32, 0x5A);
  }
  return b.v;
}

std::vector<uint8_t> AnimData(const std::vector<int32_t> &frames, const std::vector<Anim> &anims, bool bLittle) {
  Bytes b(bLittle);
  for (int32_t f : frames) b.i32(f);
  b.u8(0xFF).fill(15, 0);
  for (const Anim &a : anims) b.u8(a.kind).u8(a.delay).u8(a.countdown).u8(0).i32(a.current).i32(a.first).i32(a.end);
  return b.v;
}

std::vector<uint8_t> CellData(const std::vector<int> &cells, bool bLittle) {
  Bytes b(bLittle);
  for (int c : cells) b.i16(c);
  return b.v;
}

std::vector<uint8_t> SolidGraphics32(const std::vector<int> &colours, int iWidth, int iHeight) {
  Bytes b;
  for (int c : colours)
    for (int i = 0; i < iWidth * iHeight; i++) b.u8(0x77).u8(c >> 16).u8((c >> 8) & 255).u8(c & 255);
  return b.v;
}

std::vector<Chunk> Map::Chunks() const {
  std::vector<Chunk> out;
  out.push_back({"MPHD", HeaderData(header, bLittle)});
  if (!palette.empty()) out.push_back({"CMAP", palette});
  out.push_back({"BKDT", BlockData(blocks, header.recordSize, bLittle)});
  if (!frames.empty() || !anims.empty()) out.push_back({"ANDT", AnimData(frames, anims, bLittle)});
  out.push_back({"BGFX", graphics});
  if (!cells.empty()) out.push_back({"BODY", CellData(cells, bLittle)});
  out.insert(out.end(), extra.begin(), extra.end());
  return out;
}

int CellColour(int iColumn, int iRow) { return (iColumn * 8 + 1) << 16 | (iRow * 8 + 2) << 8 | 0x33; }

Map GridMap(int iColumns, int iRows, int iBlockWidth, int iBlockHeight) {
  Map m;
  m.header.width = iColumns;
  m.header.height = iRows;
  m.header.blockWidth = iBlockWidth;
  m.header.blockHeight = iBlockHeight;
  m.header.recordCount = m.header.graphicCount = iColumns * iRows;
  m.blocks.clear();
  std::vector<int> colours;
  for (int r = 0; r < iRows; r++)
    for (int c = 0; c < iColumns; c++) {
      int i = r * iColumns + c;
      Block b;
      b.back = i;
      m.blocks.push_back(b);
      colours.push_back(CellColour(c, r));
      m.cells.push_back(i);
    }
  m.graphics = SolidGraphics32(colours, iBlockWidth, iBlockHeight);
  return m;
}

}  // namespace fmp
