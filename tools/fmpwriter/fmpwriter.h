// Map writer: turns an in-memory description of a tile map (size, block
// records, block graphics, animations, cell layers) into the bytes of an FMP
// file. Used by the stage-map generator and the skv_fmpwrite command.
// Independent of the game's loader, so the two cannot share one mistake.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// One block record: which graphics it draws and its data values and flags.
// Graphic fields are graphic indices (0 as a front graphic means none).
struct FmpBlock {
  int32_t backGraphic = 0;
  int32_t frontGraphic1 = 0;
  int32_t frontGraphic2 = 0;
  int32_t frontGraphic3 = 0;
  int32_t value1 = 0;
  int32_t value2 = 0;
  uint16_t value3 = 0;
  uint16_t value4 = 0;
  uint8_t value5 = 0;
  uint8_t value6 = 0;
  uint8_t value7 = 0;
  uint8_t flags = 0;
};

// Flag bits of a block record.
enum : uint8_t {
  FmpFlagSolid = 0x01,
  FmpFlagSeeThrough = 0x10,
  FmpFlagStackMore = 0x20,
  FmpFlagLeftHalf = 0x40,
  FmpFlagRightHalf = 0x80,
};

// An animated block: a list of block-record indices shown in turn.
struct FmpAnim {
  int kind = 1;   // 0 still, 1 loop forward, 2 loop backward, 3..9 as the format
  int delay = 0;  // ticks between frames, 0..255
  std::vector<int> frames;
};

// Everything a map file holds. Pixel values of `graphics` are 0xRRGGBB for
// depths 15, 16, 24 and 32, and palette indices (0..255) for depth 8.
struct FmpMap {
  int widthInBlocks = 0;
  int heightInBlocks = 0;
  int blockWidth = 32;
  int blockHeight = 32;
  int blockDepth = 24;         // 8, 15, 16, 24 or 32
  bool littleEndian = true;    // byte order of the numbers inside chunks
  int cellEncoding = 1;        // 0 byte offsets, 1 plain, 2 runs, 3 runs with copies
  int blockRecordSize = 32;    // at least 32; records are padded with zeros
  bool shortHeader = false;    // 24-byte header without the stagger fields
  std::vector<uint8_t> palette;                // 768 bytes (RGB) for depth 8
  std::vector<std::vector<uint32_t>> graphics;  // blockWidth x blockHeight each
  std::vector<FmpBlock> blocks;
  std::vector<FmpAnim> anims;
  std::vector<std::vector<int16_t>> layers;  // [0] is BODY, then LYR1..LYR7
};

// The cell value that shows animation `index` (0-based, in `anims` order).
int16_t FmpAnimCell(const FmpMap &map, int index);

// Checks the description; on a fault returns false and says why.
bool FmpValidate(const FmpMap &map, std::string *why);

// The whole file image; empty (with `why` set) when the description is invalid.
std::vector<uint8_t> FmpEncode(const FmpMap &map, std::string *why);

// Encodes and writes the file; false (with `why` set) on any failure.
bool FmpWriteFile(const FmpMap &map, const std::string &path, std::string *why);

// Reads the text description used by the skv_fmpwrite command (syntax in
// fmptext.cpp); false with a message naming the line on a fault.
bool FmpParseText(const std::string &text, FmpMap *map, std::string *why);
