// Block graphics: pixel conversion from every map depth to 8-, 16- and
// 32-bit screens with the transparency rules, the no-video list, video mode
// and the bitmap references of the block records.
#include <cstring>

#include "tilemap/engine.h"
#include "tilemap_test_util.h"

using namespace tmtest;

namespace {

// One graphic of a single row of pixels, given as raw bytes at iDepth.
fmp::Map RowMap(int iDepth, const std::vector<uint8_t> &pixels) {
  fmp::Map m;
  m.header.depth = iDepth;
  m.header.blockWidth = int(pixels.size()) / ((iDepth + 1) / 8);
  m.header.blockHeight = 1;
  m.header.width = m.header.height = 1;
  m.cells = {0};
  m.graphics = pixels;
  return m;
}

// Pixels of graphic 0 after loading, as the screen's colour values.
std::vector<int> LoadedRow(const fmp::Map &m) {
  std::vector<int> out;
  if (LoadBuffer(m.Image()) != 0) return out;
  BITMAP *b = TileMapState().blocks[0].backGraphic;
  for (int x = 0; x < b->w; x++) out.push_back(getpixel(b, x, 0));
  return out;
}

}  // namespace

TEST(TileMapGraphics, EightBitMapsUseTheFullPalette) {
  fmp::Map m = RowMap(8, {0, 5, 255});
  m.palette.assign(768, 0);
  m.palette[0] = 9;  // index 0 is transparent whatever its colour
  m.palette[15] = 10, m.palette[16] = 21, m.palette[17] = 33;
  m.palette[765] = 255, m.palette[766] = 254, m.palette[767] = 253;
  EXPECT_EQ((std::vector<int>{makecol32(255, 0, 255), makecol32(10, 21, 33), makecol32(255, 254, 253)}), LoadedRow(m));
  EXPECT_EQ(10 >> 2, TileMapState().libraryPalette[5].r);
  EXPECT_EQ(33 >> 2, TileMapState().libraryPalette[5].b);
  {
    ScreenDepthGuard depth16(16);
    EXPECT_EQ((std::vector<int>{makecol16(255, 0, 255), makecol16(10, 21, 33), makecol16(255, 254, 253)}),
              LoadedRow(m));
  }
  ScreenDepthGuard depth8(8);
  EXPECT_EQ((std::vector<int>{0, 5, 255}), LoadedRow(m));
}

TEST(TileMapGraphics, HiColourDepthsWidenTheirChannels) {
  // 15 bits: white, magenta, pure green, and a half grey widened as 10000 -> 10000100.
  EXPECT_EQ((std::vector<int>{0xFFFFFF, 0xFF00FF, 0x00FF00, 0x848484}),
            LoadedRow(RowMap(15, fmp::Bytes().be16(0x7FFF).be16(0x7C1F).be16(0x03E0).be16(0x4210).v)));
  // Bit 15 of a 15-bit word is ignored.
  EXPECT_EQ((std::vector<int>{0x0000FF}), LoadedRow(RowMap(15, fmp::Bytes().be16(0x801F).v)));
  // 16 bits: green has six bits (100000 -> 10000010).
  EXPECT_EQ((std::vector<int>{0xFF00FF, 0x00FF00, 0x848284}),
            LoadedRow(RowMap(16, fmp::Bytes().be16(0xF81F).be16(0x07E0).be16(0x8410).v)));
  // The same words whatever the map's byte order.
  fmp::Map little = RowMap(16, fmp::Bytes().be16(0x07E0).v);
  little.bLittle = true;
  EXPECT_EQ((std::vector<int>{0x00FF00}), LoadedRow(little));
  EXPECT_EQ((std::vector<int>{0x123456}), LoadedRow(RowMap(24, {0x12, 0x34, 0x56})));
  EXPECT_EQ((std::vector<int>{0x123456}), LoadedRow(RowMap(32, {0xAB, 0x12, 0x34, 0x56})));
  // The converted data keeps the 32-bit form 0, red, green, blue.
  const uint8_t cForm[4] = {0, 0x12, 0x34, 0x56};
  EXPECT_EQ(0, memcmp(cForm, TileMapState().graphicData, 4));
}

TEST(TileMapGraphics, MagentaBecomesIndexZeroOnEightBitScreens) {
  ScreenDepthGuard depth8(8);
  EXPECT_EQ((std::vector<int>{0}), LoadedRow(RowMap(16, fmp::Bytes().be16(0xF81F).v)));
  EXPECT_EQ((std::vector<int>{0, makecol_depth(8, 0, 200, 0)}), LoadedRow(RowMap(24, {255, 0, 255, 0, 200, 0})));
  EXPECT_EQ((std::vector<int>{0}), LoadedRow(RowMap(32, {0, 255, 0, 255})));
}

TEST(TileMapGraphics, MagentaIsTheMaskOnDeeperScreens) {
  ScreenDepthGuard depth16(16);
  std::vector<int> row = LoadedRow(RowMap(32, {0, 255, 0, 255, 0, 1, 2, 3}));
  ASSERT_EQ(2u, row.size());
  EXPECT_EQ(MASK_COLOR_16, row[0]);
  EXPECT_EQ(makecol16(1, 2, 3), row[1]);
}

TEST(TileMapGraphics, NoVideoListMarksRangesUntilTheFirstBadEntry) {
  auto Flags = [](const char *cList, int iCount) {
    std::vector<uint8_t> flags(iCount, 0);
    ParseNoVideoList(cList, iCount, flags.data());
    std::string marked;
    for (int i = 0; i < iCount; i++)
      if (flags[i]) marked += std::to_string(i) + " ";
    return marked;
  };
  EXPECT_EQ("0 1 2 3 7 ", Flags("0-3,7", 10));
  EXPECT_EQ("", Flags("5-2", 10));
  EXPECT_EQ("", Flags("12", 10));
  EXPECT_EQ("9 ", Flags("9", 10));
  EXPECT_EQ("0 1 ", Flags("1,x,3", 10));  // "x" reads as an empty number, 0, then ends the list
  EXPECT_EQ("2 3 4 ", Flags("2-4,9-12,1", 10));
  EXPECT_EQ("0 4 ", Flags(",4", 10));  // an empty number is 0
  EXPECT_EQ("", Flags("99999999999999999999", 10));
}

TEST(TileMapGraphics, VideoModeNeedsHardwareBlitsAndFallsBackToMemory) {
  fmp::Map m = RowMap(32, std::vector<uint8_t>(4 * 3 * 4, 0x40));
  m.header.graphicCount = 3;
  m.header.blockWidth = 4;
  m.extra = {{"NOVC", fmp::Bytes().text("1").u8(0).v}};
  std::vector<uint8_t> image = m.Image();
  EXPECT_EQ(-1, TileMapOpenBufferVideo(image.data(), image.size()));
  EXPECT_EQ(MapErrNoVideoBlit, TileMapLastError());
  EXPECT_TRUE(NothingHeld());

  int iSaved = gfx_capabilities;
  gfx_capabilities |= GFX_HW_VRAM_BLIT;
  ASSERT_EQ(0, TileMapOpenBufferVideo(image.data(), image.size()));
  gfx_capabilities = iSaved;
  // Without a display no video bitmap can be made: every graphic gets memory.
  EXPECT_EQ(3, TileMapState().memoryBitmapCount);
  EXPECT_EQ(0, TileMapState().videoBitmapCount);
  BITMAP *b = TileMapState().bitmaps[2];
  clear_to_color(b, 0);
  EXPECT_EQ(3, TileMapRefillVideo());
  EXPECT_EQ(0x404040, getpixel(b, 3, 0));
  TileMapClose();
  EXPECT_EQ(MapBitmapsVideo, TileMapState().bitmapMode);  // the mode outlives the map
  ASSERT_EQ(0, LoadBuffer(image));
  EXPECT_EQ(0, TileMapRefillVideo());
}

// Also a map whose graphics come only in AGFX, which no screen can take.
TEST(TileMapGraphics, LoadingWithoutScreenFails) {
  fmp::Map agfxOnly = RowMap(8, {0, 1, 2, 3});
  agfxOnly.palette.assign(768, 9);
  std::vector<fmp::Chunk> chunks = agfxOnly.Chunks();
  for (fmp::Chunk &c : chunks)
    if (c.tag == "BGFX") c.tag = "AGFX";
  for (const auto &image : {RowMap(32, {0, 1, 2, 3}).Image(), fmp::Container(chunks)}) {
    BITMAP *pScreen = screen;
    screen = nullptr;
    int iResult = LoadBuffer(image);
    screen = pScreen;
    EXPECT_EQ(-1, iResult);
    EXPECT_EQ(MapErrNoScreen, TileMapLastError());
    EXPECT_TRUE(NothingHeld());
  }
}

TEST(TileMapGraphics, BlocksPointAtTheirBitmaps) {
  fmp::Map m = RowMap(32, std::vector<uint8_t>(4 * 4, 0));
  m.header.graphicCount = 4;
  m.header.blockWidth = 1;
  m.header.recordCount = 2;
  m.blocks = {fmp::Block{}, fmp::Block{}};
  m.blocks[1].back = 3, m.blocks[1].front2 = 2;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  const TileMap &t = TileMapState();
  EXPECT_EQ(t.bitmaps[0], t.blocks[0].backGraphic);
  EXPECT_NE(nullptr, t.blocks[0].backGraphic);
  EXPECT_EQ(nullptr, t.blocks[0].frontGraphic1);
  EXPECT_EQ(nullptr, t.blocks[0].frontGraphic2);
  EXPECT_EQ(nullptr, t.blocks[0].frontGraphic3);
  EXPECT_EQ(t.bitmaps[3], t.blocks[1].backGraphic);
  EXPECT_EQ(t.bitmaps[2], t.blocks[1].frontGraphic2);
  EXPECT_EQ(nullptr, t.bitmaps[4]);  // the list ends with an empty entry
  EXPECT_EQ(0, get_clip_state(t.bitmaps[1]));
  TileMapClose();
  TileMapClose();
  EXPECT_TRUE(NothingHeld());
}

TEST(TileMapGraphics, PaletteIsSetOnlyForEightBitMapsOnEightBitScreens) {
  fmp::Map m = RowMap(8, {1});
  m.palette.assign(768, 0);
  m.palette[3] = 252;
  PALETTE black;
  memset(black, 0, sizeof(black));
  set_palette(black);
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapUsePalette();  // 32-bit screen: nothing
  PALETTE now;
  get_palette(now);
  EXPECT_EQ(0, now[1].r);
  ScreenDepthGuard depth8(8);
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapUsePalette();
  get_palette(now);
  EXPECT_EQ(63, now[1].r);
  set_palette(black);
}
