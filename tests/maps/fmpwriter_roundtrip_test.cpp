// Maps made by the map writer, read back by the game's tile-map engine. The
// two were written independently, so agreement checks both: every cell
// encoding, byte order, header length and pixel depth gives the same blocks,
// cells and layers, and the painted screen shows the written pixels.
#include <gtest/gtest.h>

#include "run_coding_map.h"

#include <cstdio>
#include <cstring>

#include "common/allegro_env.h"
#include "fmpwriter/fmpwriter.h"
#include "tilemap/tilemap.h"

namespace {

// Seven colours every depth holds exactly (channels 0 or 255, no magenta).
const uint32_t Colours[7] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};
int ColourIndex(int iGraphic, int x, int y) { return (iGraphic * 3 + x + 2 * y) % 7; }

// 5 x 3 cells of 4 x 4 blocks: three graphics, four blocks, two animations,
// a second layer. An 8-bit map keeps colour i at palette index i + 1.
FmpMap TestMap(int iDepth = 32) {
  FmpMap m;
  m.widthInBlocks = 5;
  m.heightInBlocks = 3;
  m.blockWidth = m.blockHeight = 4;
  m.blockDepth = iDepth;
  if (iDepth == 8) {
    m.palette.assign(768, 0);
    for (int i = 0; i < 7; i++)
      for (int c = 0; c < 3; c++) m.palette[(i + 1) * 3 + c] = uint8_t(Colours[i] >> (16 - 8 * c));
  }
  for (int g = 0; g < 3; g++) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++)
        pixels.push_back(iDepth == 8 ? ColourIndex(g, x, y) + 1 : Colours[ColourIndex(g, x, y)]);
    m.graphics.push_back(pixels);
  }
  FmpBlock open, wall, marked, front;
  wall.backGraphic = 1;
  wall.flags = FmpFlagSolid;
  marked.backGraphic = 2;
  marked.value1 = -123456;
  marked.value3 = 0xFEDC;
  marked.value5 = 200;
  front.backGraphic = 0;
  front.frontGraphic1 = 2;
  front.flags = FmpFlagSeeThrough;
  m.blocks = {open, wall, marked, front};
  m.anims = {FmpAnim{1, 2, {2, 1, 0}}, FmpAnim{2, 0, {3, 1, 2}}};
  const int16_t a0 = FmpAnimCell(m, 0), a1 = FmpAnimCell(m, 1);
  m.layers = {{0, 1, 1, 1, 2,
               3, 3, 3, 3, a0,
               a1, 0, 0, 0, 0},
              {2, 2, 2, 2, 2, 2, 2, 1, 2, 2, 2, 2, 2, 2, 2}};
  return m;
}

int LoadImage(const std::vector<uint8_t> &bytes) {
  skvtest::EnsureAllegro();
  return TileMapOpenBuffer(bytes.data(), bytes.size());
}

// The block each cell of TestMap should show right after loading: a loop
// forward starts at its first frame, a loop backward at its last.
const int ExpectedBlocks[15] = {0, 1, 1, 1, 2, 3, 3, 3, 3, 2, 2, 0, 0, 0, 0};

void ExpectSameMap(const FmpMap &m, const std::string &what) {
  const TileMap &t = TileMapState();
  ASSERT_EQ(t.header.widthInBlocks, m.widthInBlocks) << what;
  ASSERT_EQ(t.header.heightInBlocks, m.heightInBlocks) << what;
  ASSERT_EQ(t.header.blockRecordCount, 4) << what;
  ASSERT_EQ(t.header.graphicCount, 3) << what;
  for (int row = 0; row < 3; row++)
    for (int col = 0; col < 5; col++) {
      const BlockRecord *b = TileMapBlockAt(col, row);
      ASSERT_NE(b, nullptr) << what;
      EXPECT_EQ(b - t.blocks, ExpectedBlocks[row * 5 + col]) << what << " cell " << col << "," << row;
    }
  EXPECT_EQ(t.blocks[1].flags, FlagSolid) << what;
  EXPECT_EQ(t.blocks[2].value1, -123456) << what;
  EXPECT_EQ(t.blocks[2].value3, 0xFEDC) << what;
  EXPECT_EQ(t.blocks[2].value5, 200) << what;
  EXPECT_EQ(t.blocks[3].flags, FlagSeeThrough) << what;
  EXPECT_EQ(t.blocks[3].frontGraphic1, t.blocks[2].backGraphic) << what;
  EXPECT_EQ(t.blocks[0].frontGraphic1, nullptr) << what;
  EXPECT_EQ(SolidAtPixel(5, 1), 1) << what;   // block 1 at cell (1, 0)
  EXPECT_EQ(SolidAtPixel(1, 5), 0) << what;   // block 3 at cell (0, 1)
  EXPECT_EQ(SolidAtPixel(40, 1), 1) << what;  // right of the map
}

// Every pixel of the painted map is the written one; the target outside the
// map is left alone.
void ExpectPaintedPixels(const FmpMap &m, const std::string &what) {
  BITMAP *pTarget = create_bitmap(24, 12);
  clear_to_color(pTarget, 0x123456);
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 20, 12);
  for (int y = 0; y < 12; y++)
    for (int x = 0; x < 20; x++) {
      const int g = m.blocks[ExpectedBlocks[(y / 4) * 5 + x / 4]].backGraphic;
      ASSERT_EQ(uint32_t(skvtest::PixelRgb(pTarget, x, y)), Colours[ColourIndex(g, x % 4, y % 4)])
          << what << " pixel " << x << "," << y;
    }
  EXPECT_EQ(0x123456, getpixel(pTarget, 20, 0)) << what;
  destroy_bitmap(pTarget);
}

TEST(FmpWriterRoundTrip, EveryEncodingByteOrderHeaderAndDepthGivesTheSameMap) {
  const int Depths[5] = {8, 15, 16, 24, 32};
  int iVariant = 0;
  for (int enc = 0; enc <= 3; enc++)
    for (bool little : {true, false})
      for (bool shortHeader : {false, true}) {
        const int iDepth = Depths[iVariant++ % 5];
        FmpMap m = TestMap(iDepth);
        m.cellEncoding = enc;
        m.littleEndian = little;
        m.shortHeader = shortHeader;
        m.blockRecordSize = enc == 1 ? 40 : 32;
        std::string why, what = "encoding " + std::to_string(enc) + (little ? " little" : " big") +
                                (shortHeader ? " short header" : "") + " depth " +
                                std::to_string(iDepth);
        std::vector<uint8_t> bytes = FmpEncode(m, &why);
        ASSERT_FALSE(bytes.empty()) << why;
        ASSERT_EQ(LoadImage(bytes), 0) << what << ": error " << TileMapLastError();
        ExpectSameMap(m, what);
        ExpectPaintedPixels(m, what);
        EXPECT_EQ(1, TileMapSelectLayer(1)) << what;
        EXPECT_EQ(&TileMapState().blocks[1], TileMapBlockAt(2, 1)) << what;
        TileMapClose();
      }
}

// The run encodings, read back by the engine: the cells come back exactly,
// and the layer needs every byte the writer gave it.
TEST(FmpWriterRoundTrip, RunEncodedLayersGiveBackTheirCells) {
  FmpMap m = RunCodingMap();
  std::string why;
  for (bool little : {true, false})
    for (int enc : {2, 3}) {
      m.littleEndian = little;
      m.cellEncoding = enc;
      std::vector<uint8_t> bytes = FmpEncode(m, &why);
      ASSERT_FALSE(bytes.empty()) << why;
      ASSERT_EQ(LoadImage(bytes), 0) << "encoding " << enc;
      const int16_t *pCells = TileMapState().layers[0];
      EXPECT_EQ(std::vector<int16_t>(pCells, pCells + 36), m.layers[0]) << "encoding " << enc;
      // The layer is the last chunk: one number less leaves a row short.
      size_t iAt = bytes.size();
      while (memcmp(&bytes[iAt - 8], "BODY", 4) != 0) --iAt;
      auto Shorten = [&bytes](size_t iField) {
        uint32_t v = (bytes[iField] << 24) | (bytes[iField + 1] << 16) | (bytes[iField + 2] << 8) | bytes[iField + 3];
        v -= 2;
        for (int i = 0; i < 4; i++) bytes[iField + i] = uint8_t(v >> (24 - 8 * i));
      };
      Shorten(iAt - 4);
      Shorten(4);
      bytes.resize(bytes.size() - 2);
      EXPECT_EQ(LoadImage(bytes), -1) << "encoding " << enc;
    }
  TileMapClose();
}

TEST(FmpWriterRoundTrip, PixelsSurviveAtEveryDepth) {
  // The sample colour keeps its top five bits per channel, so 15 and 16 bits
  // lose no more than the widening error.
  const uint32_t Sample = 0xF8C038;
  for (int depth : {8, 15, 16, 24, 32}) {
    FmpMap m = TestMap(depth);
    if (depth == 8) {
      m.palette[5 * 3] = 0xF8;
      m.palette[5 * 3 + 1] = 0xC0;
      m.palette[5 * 3 + 2] = 0x38;
      for (auto &g : m.graphics) g.assign(16, 5);
      m.graphics[1][0] = 9;
    } else {
      for (auto &g : m.graphics) g.assign(16, Sample);
      m.graphics[1][0] = 0x000000;
    }
    std::string why;
    std::vector<uint8_t> bytes = FmpEncode(m, &why);
    ASSERT_FALSE(bytes.empty()) << why;
    ASSERT_EQ(LoadImage(bytes), 0) << "depth " << depth << ": error " << TileMapLastError();
    BITMAP *g = TileMapState().blocks[1].backGraphic;
    int got = skvtest::PixelRgb(g, 1, 0);
    int r = (got >> 16) & 255, gr = (got >> 8) & 255, b = got & 255;
    EXPECT_NEAR(r, 0xF8, 7) << "depth " << depth;
    EXPECT_NEAR(gr, 0xC0, 7) << "depth " << depth;
    EXPECT_NEAR(b, 0x38, 7) << "depth " << depth;
    if (depth != 8) {
      EXPECT_EQ(skvtest::PixelRgb(g, 0, 0), 0) << "depth " << depth;
    }
    TileMapClose();
  }
}

TEST(FmpWriterRoundTrip, TextDescriptionToFile) {
  const char *text =
      "size 2 2\nblock-size 2 2\norder big\nencoding 3\n"
      "graphic fill 336699\ngraphic checker ff0000 00ff00 1\n"
      "block 0\nblock 1 flags=1\n"
      "row 0 1\nrow 1 1\n";
  FmpMap m;
  std::string why;
  ASSERT_TRUE(FmpParseText(text, &m, &why)) << why;
  const std::string path = std::string(SKV_BINARY_DIR) + "/tests/maps/roundtrip_text.fmp";
  ASSERT_TRUE(FmpWriteFile(m, path, &why)) << why;
  skvtest::EnsureAllegro();
  ASSERT_EQ(TileMapOpen(path.c_str()), 0) << TileMapLastError();
  EXPECT_EQ(TileMapBlockAt(0, 0) - TileMapState().blocks, 0);
  EXPECT_EQ(TileMapBlockAt(1, 1) - TileMapState().blocks, 1);
  EXPECT_EQ(skvtest::PixelRgb(TileMapBlockAt(1, 0)->backGraphic, 1, 0), 0x00FF00);
  EXPECT_EQ(SolidAtPixel(3, 3), 1);
  EXPECT_EQ(SolidAtPixel(1, 1), 0);
  TileMapClose();
  std::remove(path.c_str());
}

}  // namespace
