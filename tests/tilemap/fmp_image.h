// FMP images assembled byte by byte for the tile-map tests: every number is
// written here with its own byte order, independently of the game's map
// writer, so the writer and the loader cannot share one mistake.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

namespace fmp {

// A growing byte string with writers for the map's numbers.
class Bytes {
 public:
  explicit Bytes(bool bLittleEndian = false) : bLittle(bLittleEndian) {}
  Bytes &u8(int v);
  Bytes &i16(int v);   // map byte order
  Bytes &i32(int64_t v);  // map byte order
  Bytes &be16(int v);  // big-endian whatever the map's order (hi-colour pixels)
  Bytes &be32(uint32_t v);
  Bytes &text(const std::string &s);  // the characters, no terminator
  Bytes &fill(size_t iCount, uint8_t v);
  Bytes &append(const std::vector<uint8_t> &other);
  std::vector<uint8_t> v;
  bool bLittle;
};

struct Chunk {
  std::string tag;  // exactly four characters
  std::vector<uint8_t> data;
};

// "FORM", L, "FMAP", the chunks. L is the true length unless given.
std::vector<uint8_t> Container(const std::vector<Chunk> &chunks, int64_t iLength = -1);

struct Header {
  int versionMajor = 1, versionMinor = 0, cellEncoding = 1;
  int width = 4, height = 3;
  int blockWidth = 4, blockHeight = 4, depth = 32;
  int recordSize = 32, recordCount = 1, graphicCount = 1;
  int size = 24;  // 24 (short), 36 or 38 and more (long)
  int stepX = 0, stepY = 0, shiftX = 0, shiftY = 0, hitMask = 0;  // long header only
};
std::vector<uint8_t> HeaderData(const Header &h, bool bLittle);

struct Block {
  int32_t back = 0, front1 = 0, front2 = 0, front3 = 0;
  int32_t value1 = 0, value2 = 0;
  int value3 = 0, value4 = 0, value5 = 0, value6 = 0, value7 = 0, flags = 0;
};
struct Anim {
  int kind = 1, delay = 0, countdown = 0;
  int32_t current = 0, first = 0, end = 0;
};

// Block records, iRecordSize bytes apart (padding after the first 32).
std::vector<uint8_t> BlockData(const std::vector<Block> &blocks, int iRecordSize, bool bLittle);
// Frame list, terminator, animation records, values written as given.
std::vector<uint8_t> AnimData(const std::vector<int32_t> &frames, const std::vector<Anim> &anims,
                              bool bLittle);
// One number per cell (encodings 0 and 1).
std::vector<uint8_t> CellData(const std::vector<int> &cells, bool bLittle);

// 32-bit graphics, each a single colour 0xRRGGBB.
std::vector<uint8_t> SolidGraphics32(const std::vector<int> &colours, int iWidth, int iHeight);

// A whole map: header, blocks, optional palette and animations, graphics,
// layer 0 at encoding 1. Extra chunks go after the layer.
struct Map {
  bool bLittle = false;
  Header header;
  std::vector<Block> blocks{Block{}};
  std::vector<uint8_t> palette;  // CMAP data when not empty
  std::vector<int32_t> frames;
  std::vector<Anim> anims;       // ANDT when frames or anims are given
  std::vector<uint8_t> graphics; // BGFX data
  std::vector<int> cells;        // BODY, left out when empty
  std::vector<Chunk> extra;

  std::vector<Chunk> Chunks() const;
  std::vector<uint8_t> Image() const { return Container(Chunks()); }
};

// A w x h map of 32-bit single-colour blocks, one block and graphic per
// cell; cell (c, r) shows CellColour(c, r).
Map GridMap(int iColumns, int iRows, int iBlockWidth, int iBlockHeight);
int CellColour(int iColumn, int iRow);

}  // namespace fmp
