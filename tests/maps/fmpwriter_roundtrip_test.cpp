// Maps made by the map writer, read back by the game's tile-map engine: every
// cell encoding, both byte orders and every pixel depth give the same map,
// and the painted screen shows the written pixels.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

#include "common/allegro_env.h"
#include "fmpwriter/fmpwriter.h"
#include "tilemap/tilemap.h"

namespace {

// 5 x 3 cells of 4 x 4 blocks: three graphics, four blocks, two animations.
FmpMap TestMap() {
  FmpMap m;
  m.widthInBlocks = 5;
  m.heightInBlocks = 3;
  m.blockWidth = m.blockHeight = 4;
  for (uint32_t base : {0x204060u, 0xC08040u, 0x10F010u}) {
    std::vector<uint32_t> g;
    for (int i = 0; i < 16; i++) g.push_back(base + static_cast<uint32_t>(i) * 0x010101u);
    m.graphics.push_back(g);
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
               a1, 0, 0, 0, 0}};
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
}

TEST(FmpWriterRoundTrip, EveryEncodingAndByteOrderGivesTheSameMap) {
  for (int enc = 0; enc <= 3; enc++)
    for (bool little : {true, false})
      for (bool shortHeader : {false, true}) {
        FmpMap m = TestMap();
        m.cellEncoding = enc;
        m.littleEndian = little;
        m.shortHeader = shortHeader;
        m.blockRecordSize = enc == 1 ? 40 : 32;
        std::string why, what = "encoding " + std::to_string(enc) + (little ? " little" : " big") +
                                (shortHeader ? " short header" : "");
        std::vector<uint8_t> bytes = FmpEncode(m, &why);
        ASSERT_FALSE(bytes.empty()) << why;
        ASSERT_EQ(LoadImage(bytes), 0) << what << ": error " << TileMapLastError();
        ExpectSameMap(m, what);
        TileMapClose();
      }
}

TEST(FmpWriterRoundTrip, PixelsSurviveAtEveryDepth) {
  // The sample colour keeps its top five bits per channel, so 15 and 16 bits
  // lose no more than the widening error.
  const uint32_t Sample = 0xF8C038;
  for (int depth : {8, 15, 16, 24, 32}) {
    FmpMap m = TestMap();
    m.blockDepth = depth;
    if (depth == 8) {
      m.palette.assign(768, 0);
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

TEST(FmpWriterRoundTrip, PaintedScreenShowsTheWrittenPixels) {
  FmpMap m = TestMap();
  std::string why;
  ASSERT_EQ(LoadImage(FmpEncode(m, &why)), 0) << why;
  BITMAP *target = create_bitmap(20, 12);
  clear_to_color(target, makecol(255, 255, 255));
  TileMapPaintBack(target, 0, 0, 0, 0, 20, 12);
  for (int row = 0; row < 3; row++)
    for (int col = 0; col < 5; col++) {
      const std::vector<uint32_t> &g = m.graphics[m.blocks[ExpectedBlocks[row * 5 + col]].backGraphic];
      for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
          ASSERT_EQ(static_cast<uint32_t>(skvtest::PixelRgb(target, col * 4 + x, row * 4 + y)), g[y * 4 + x])
              << "cell " << col << "," << row << " pixel " << x << "," << y;
    }
  destroy_bitmap(target);
  TileMapClose();
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
