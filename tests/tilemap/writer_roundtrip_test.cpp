// Maps written by the game's map writer, loaded by the engine and painted:
// the two were written independently, so agreement on the pixels checks both.
#include "fmpwriter/fmpwriter.h"
#include "tilemap_test_util.h"

using namespace tmtest;

namespace {

// Seven colours every depth holds exactly (channels 0 or 255, no magenta).
const uint32_t Colours[7] = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF, 0xFFFFFF};

int ColourIndex(int iGraphic, int x, int y) { return (iGraphic * 3 + x + 2 * y) % 7; }

// 3 x 2 cells of 4 x 4 pixels; cell (0, 1) is an animation over blocks 2, 0.
FmpMap WrittenMap(int iDepth, bool bLittle, int iEncoding, bool bShortHeader) {
  FmpMap m;
  m.widthInBlocks = 3, m.heightInBlocks = 2;
  m.blockWidth = m.blockHeight = 4;
  m.blockDepth = iDepth;
  m.littleEndian = bLittle;
  m.cellEncoding = iEncoding;
  m.shortHeader = bShortHeader;
  m.blockRecordSize = iEncoding == 0 ? 32 : 40;
  if (iDepth == 8) {
    m.palette.assign(768, 0);
    for (int i = 0; i < 7; i++)
      for (int c = 0; c < 3; c++) m.palette[(i + 1) * 3 + c] = uint8_t(Colours[i] >> (16 - 8 * c));
  }
  for (int g = 0; g < 3; g++) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < 4; y++)
      for (int x = 0; x < 4; x++) pixels.push_back(iDepth == 8 ? ColourIndex(g, x, y) + 1 : Colours[ColourIndex(g, x, y)]);
    m.graphics.push_back(pixels);
  }
  m.blocks.resize(3);
  for (int i = 0; i < 3; i++) m.blocks[i].backGraphic = i;
  m.blocks[2].flags = FmpFlagSolid;
  FmpAnim anim;
  anim.frames = {2, 0};
  m.anims.push_back(anim);
  m.layers.push_back({1, 2, 0, FmpAnimCell(m, 0), 2, 1});
  m.layers.push_back({2, 2, 2, 1, 1, 1});
  return m;
}

}  // namespace

TEST(TileMapWriterRoundTrip, WrittenMapsPaintTheirGraphics) {
  struct Variant {
    int iDepth;
    bool bLittle;
    int iEncoding;
    bool bShort;
  };
  const int Back[2][3] = {{1, 2, 0}, {2, 2, 1}};  // graphic shown per cell, the animation at its first frame
  for (Variant v : {Variant{24, true, 1, false}, Variant{32, false, 2, true}, Variant{16, true, 3, false},
                    Variant{15, false, 0, false}, Variant{8, true, 1, false}}) {
    SCOPED_TRACE(v.iDepth);
    std::string why;
    std::vector<uint8_t> image = FmpEncode(WrittenMap(v.iDepth, v.bLittle, v.iEncoding, v.bShort), &why);
    ASSERT_FALSE(image.empty()) << why;
    ASSERT_EQ(0, LoadBuffer(image)) << TileMapLastError();
    BITMAP *pTarget = create_bitmap(20, 12);
    clear_to_color(pTarget, 0x123456);
    TileMapPaintBack(pTarget, 0, 0, 0, 0, 12, 8);
    for (int y = 0; y < 8; y++)
      for (int x = 0; x < 12; x++) {
        uint32_t iExpected = Colours[ColourIndex(Back[y / 4][x / 4], x % 4, y % 4)];
        ASSERT_EQ(makecol32(iExpected >> 16, (iExpected >> 8) & 255, iExpected & 255), uint32_t(getpixel(pTarget, x, y)))
            << x << "," << y;
      }
    EXPECT_EQ(0x123456, getpixel(pTarget, 12, 0));
    EXPECT_EQ(1, SolidAtPixel(40, 1));  // right of the 3-cell map
    EXPECT_EQ(1, TileMapSelectLayer(1));
    EXPECT_EQ(&TileMapState().blocks[1], TileMapBlockAt(2, 1));
    destroy_bitmap(pTarget);
  }
}
