// Loading FMP maps: container and budget, chunk order and tags, byte orders,
// cell encodings, graphic chunk choice, and the malformed maps that must be
// refused without holding anything.
#include <algorithm>
#include <functional>

#include "tilemap_test_util.h"

using namespace tmtest;

namespace {

// Three blocks, a still and a looping animation, 4 x 3 cells.
fmp::Map SmallMap(bool bLittle = false) {
  fmp::Map m;
  m.bLittle = bLittle;
  m.header.recordCount = 3;
  m.header.graphicCount = 3;
  m.blocks.assign(3, fmp::Block{});
  m.blocks[1].back = 1;
  m.blocks[1].front1 = 2;
  m.blocks[1].value1 = -70000;
  m.blocks[1].value3 = 40000;
  m.blocks[1].flags = 0x91;
  m.blocks[2].back = 2;
  m.frames = {2, 1, 0};
  m.anims = {{0, 3, 0, 0, 1, 3}, {2, 200, 0, 0, 0, 3}};
  m.graphics = fmp::SolidGraphics32({0x102030, 0x405060, 0x708090}, 4, 4);
  m.cells = {0, 1, 2, -1, 2, 1, 0, -2, 1, 1, 1, 1};
  return m;
}

int CountColour(BITMAP *pBitmap, int iRgb) {
  int iCount = 0;
  for (int y = 0; y < pBitmap->h; y++)
    for (int x = 0; x < pBitmap->w; x++) iCount += (getpixel(pBitmap, x, y) & 0xFFFFFF) == iRgb;
  return iCount;
}

}  // namespace

TEST(TileMapLoad, BudgetDecidesWhichChunksAreRead) {
  fmp::Map m = SmallMap();
  std::vector<uint8_t> whole = fmp::Container(m.Chunks());
  // A broken layer 1 after the budget is never looked at, even when the
  // buffer ends in the middle of it.
  m.extra = {{"LYR1", {1, 2, 3}}};
  std::vector<uint8_t> longer = fmp::Container(m.Chunks(), int64_t(whole.size()) - 8);
  using Loader = int (*)(const std::vector<uint8_t> &);
  for (Loader load : {Loader(LoadBuffer), Loader([](const std::vector<uint8_t> &i) { return LoadFile(i); })}) {
    ASSERT_EQ(0, load(longer));
    EXPECT_EQ(-1, TileMapSelectLayer(1));
    std::vector<uint8_t> cut(longer.begin(), longer.end() - 2);
    EXPECT_EQ(0, load(cut));
  }
  // A length promising more than the data holds fails on the next chunk header.
  std::vector<uint8_t> promising = fmp::Container(SmallMap().Chunks(), int64_t(whole.size()) + 12);
  EXPECT_EQ(-1, LoadBuffer(promising));
  EXPECT_EQ(MapErrBadFile, TileMapLastError());
  EXPECT_TRUE(NothingHeld());
  EXPECT_EQ(-1, LoadFile(promising));
  EXPECT_EQ(MapErrBadFile, TileMapLastError());
  EXPECT_TRUE(NothingHeld());
}

TEST(TileMapLoad, UnknownTagsAreSkippedByTheirLength) {
  fmp::Map m = SmallMap();
  m.extra = {{"ZZZZ", std::vector<uint8_t>(9, 0xFF)}, {"LYR8", {1}}, {"lyr1", {1}}, {"BOD", {}}};
  m.extra[3].tag = "BODX";
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_EQ(-1, TileMapSelectLayer(1));
  EXPECT_EQ(&TileMapState().blocks[2], TileMapBlockAt(2, 0));
}

TEST(TileMapLoad, ShortAndLongHeaders) {
  fmp::Map m = SmallMap();
  m.header.blockWidth = 4;
  m.header.blockHeight = 2;
  m.graphics.resize(3 * 4 * 2 * 4);
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  const MapHeader &h = TileMapState().header;
  EXPECT_EQ(4, h.stepX);
  EXPECT_EQ(2, h.stepY);
  EXPECT_EQ(0, h.shiftX + h.shiftY + h.hitMaskBlock);

  m.header.size = 40;
  m.header.stepX = 6;
  m.header.stepY = 5;
  m.header.shiftX = 3;
  m.header.shiftY = 1;
  m.header.hitMask = 2;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_EQ(6, h.stepX);
  EXPECT_EQ(5, h.stepY);
  EXPECT_EQ(3, h.shiftX);
  EXPECT_EQ(1, h.shiftY);
  EXPECT_EQ(2, h.hitMaskBlock);
  m.header.size = 30;  // promises the step fields but ends inside them
  EXPECT_EQ(-1, LoadBuffer(m.Image()));
  EXPECT_EQ(MapErrBadFile, TileMapLastError());
}

TEST(TileMapLoad, BothByteOrdersGiveTheSameMap) {
  ASSERT_EQ(0, LoadBuffer(SmallMap(false).Image()));
  const TileMap &m = TileMapState();
  std::vector<BlockRecord> blocks(m.blocks, m.blocks + 3);
  std::vector<AnimRecord> anims(m.anims, m.animEnd);
  std::vector<int16_t> cells(m.layers[0], m.layers[0] + 12);
  ASSERT_EQ(0, LoadBuffer(SmallMap(true).Image()));
  EXPECT_EQ(1, m.header.byteOrder);
  for (int i = 0; i < 3; i++) {
    EXPECT_EQ(blocks[i].value1, m.blocks[i].value1);
    EXPECT_EQ(blocks[i].value3, m.blocks[i].value3);
    EXPECT_EQ(blocks[i].flags, m.blocks[i].flags);
  }
  EXPECT_EQ(-70000, m.blocks[1].value1);
  EXPECT_EQ(40000, m.blocks[1].value3);
  ASSERT_EQ(anims.size(), size_t(m.animEnd - m.anims));
  for (size_t i = 0; i < anims.size(); i++) {
    EXPECT_EQ(anims[i].kind, m.anims[i].kind);
    EXPECT_EQ(anims[i].current, m.anims[i].current);
    EXPECT_EQ(anims[i].end, m.anims[i].end);
  }
  EXPECT_EQ(cells, std::vector<int16_t>(m.layers[0], m.layers[0] + 12));
  EXPECT_EQ(-1, m.anims[0].kind);
}

TEST(TileMapLoad, VersionAndEncodingErrorsFreeEverything) {
  for (auto change : std::vector<std::function<void(fmp::Header &)>>{
           [](fmp::Header &h) { h.versionMajor = 2; }, [](fmp::Header &h) { h.cellEncoding = 4; },
           [](fmp::Header &h) { h.depth = 12; }}) {
    ASSERT_EQ(0, LoadBuffer(SmallMap().Image()));
    fmp::Map m = SmallMap();
    change(m.header);
    // The bad header comes after a palette, so something was held already.
    m.palette.assign(768, 1);
    std::vector<fmp::Chunk> chunks = m.Chunks();
    std::swap(chunks[0], chunks[1]);
    EXPECT_EQ(-1, LoadBuffer(fmp::Container(chunks)));
    EXPECT_EQ(MapErrBadVersion, TileMapLastError());
    EXPECT_TRUE(NothingHeld());
  }
}

TEST(TileMapLoad, CellEncodingZeroUsesByteOffsets) {
  fmp::Map m = SmallMap();
  m.header.cellEncoding = 0;
  for (int i = 0; i < 3; i++) m.blocks[i].back = i * 64;  // 4 x 4 x 4 bytes a graphic
  m.blocks[1].front1 = 2 * 64 + 10;                          // truncates to graphic 2
  m.frames = {2 * 32, 32, 0};
  // ANDT holds 12 + 16 + 32 bytes; indices are stored as offsets from its end.
  m.anims = {{1, 0, 0, -60, -60, -48}, {4, 0, 0, -60, -56, -60 + 13}};
  m.cells = {64, 32, 0, -16, -24, -32, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  const TileMap &t = TileMapState();
  EXPECT_EQ(t.bitmaps[2], t.blocks[2].backGraphic);
  EXPECT_EQ(t.bitmaps[2], t.blocks[1].frontGraphic1);
  EXPECT_EQ(&t.blocks[2], TileMapBlockAt(0, 0));
  EXPECT_EQ(&t.blocks[1], TileMapBlockAt(1, 0));
  EXPECT_EQ((std::vector<int16_t>{2, 1, 0, -1, -1, -2}), std::vector<int16_t>(t.layers[0], t.layers[0] + 6));
  EXPECT_EQ(0, t.anims[1].first);
  EXPECT_EQ(3, t.anims[1].end);
  EXPECT_EQ(1, t.anims[2].first);
  EXPECT_EQ(3, t.anims[2].end);  // (-47 + 60) / 4 truncates to 3
  EXPECT_EQ(&t.blocks[1], TileMapBlockAt(3, 0));  // kind 4 starts at frame 1
  EXPECT_EQ(&t.blocks[2], TileMapBlockAt(1, 1));
}

TEST(TileMapLoad, RunEncodings) {
  auto Decode = [](int iEncoding, int iWidth, int iHeight, std::vector<int> numbers) {
    fmp::Map m = SmallMap();
    m.header.cellEncoding = iEncoding;
    m.header.width = iWidth;
    m.header.height = iHeight;
    m.cells.clear();
    m.extra = {{"BODY", fmp::CellData(numbers, false)}};
    int iResult = LoadBuffer(m.Image());
    const TileMap &t = TileMapState();
    return iResult != 0 ? std::vector<int16_t>{} : std::vector<int16_t>(t.layers[0], t.layers[0] + iWidth * iHeight);
  };
  using V = std::vector<int16_t>;
  EXPECT_EQ((V{2, 1, 0, 1, 1}), Decode(2, 5, 1, {3, 2, 1, 0, -2, 1}));
  EXPECT_EQ((V{2, 1, 0, 1, 1}), Decode(2, 5, 1, {0, 3, 2, 1, 0, 0, -2, 1}));
  EXPECT_EQ((V{1, 2, 1, 2, 1, 2}), Decode(3, 6, 1, {2, 1, 2, -4, -2}));
  EXPECT_EQ((V{0, 1, 2, 0, 1, 2}), Decode(3, 3, 2, {3, 0, 1, 2, -3, -3}));  // back into the row above
  // Runs that overrun the row, reach before the layer, point forward,
  // run out of data, or leave the layer short are refused.
  for (auto bad : std::vector<std::pair<int, std::vector<int>>>{{2, {3, 1, 1, 1, 3, 1, 1, 1}},
                                                                {2, {-5, 1}},
                                                                {3, {1, 1, -2, -2}},
                                                                {3, {2, 1, 1, -2, 0}},
                                                                {3, {1, 1, -1, -2}},
                                                                {2, {3, 1, 1}},
                                                                {2, {5, 1, 1, 1, 1, 1}},
                                                                {2, {0, 0, 0}}}) {
    EXPECT_EQ(V{}, Decode(bad.first, 4, 1, bad.second));
    EXPECT_EQ(MapErrBadFile, TileMapLastError());
    EXPECT_TRUE(NothingHeld());
  }
}

TEST(TileMapLoad, GraphicChunkFollowsScreenDepth) {
  fmp::Map m = SmallMap();
  m.palette.assign(768, 0);
  m.palette[3 * 7] = 200;
  fmp::Chunk agfx{"AGFX", std::vector<uint8_t>(3 * 16, 7)};
  m.extra = {{"BGFX", fmp::SolidGraphics32({1, 2, 3}, 4, 4)}, agfx};
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_EQ(0x102030, getpixel(TileMapState().blocks[0].backGraphic, 1, 1));  // first BGFX wins
  {
    ScreenDepthGuard depth8(8);
    ASSERT_EQ(0, LoadBuffer(m.Image()));
    EXPECT_EQ(8, TileMapState().header.heldDepth);
    EXPECT_EQ(7, getpixel(TileMapState().blocks[0].backGraphic, 1, 1));
    m.extra = {{"BGFX", fmp::SolidGraphics32({1, 2, 3}, 4, 4)}};
    std::vector<fmp::Chunk> chunks = m.Chunks();
    chunks[4] = agfx;  // AGFX first, BGFX after the layer
    ASSERT_EQ(0, LoadBuffer(fmp::Container(chunks)));
    EXPECT_EQ(7, getpixel(TileMapState().blocks[0].backGraphic, 1, 1));
  }
}

TEST(TileMapLoad, NoVideoListIsKeptOnlyWhenShort) {
  fmp::Map m = SmallMap();
  m.extra = {{"NOVC", fmp::Bytes().text("0-1,2").u8(0).text("junk").v}};
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_STREQ("0-1,2", TileMapState().noVideoList);
  m.extra[0].data.resize(69, 'x');
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_STREQ("0-1,2", TileMapState().noVideoList);
  m.extra[0].data.resize(70, 'x');
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_STREQ("", TileMapState().noVideoList);
}

TEST(TileMapLoad, FailedOpenKeepsThePreviousMap) {
  ASSERT_EQ(0, LoadFile(SmallMap().Image()));
  const BlockRecord *pBefore = TileMapBlockAt(1, 0);
  EXPECT_EQ(-1, TileMapOpen("no such map.fmp"));
  EXPECT_EQ(MapErrCannotOpen, TileMapLastError());
  EXPECT_EQ(pBefore, TileMapBlockAt(1, 0));
  std::vector<uint8_t> image = SmallMap().Image();
  image[10] = 'X';  // "FMXP"
  EXPECT_EQ(-1, LoadFile(image));
  EXPECT_EQ(MapErrBadFile, TileMapLastError());
  EXPECT_EQ(pBefore, TileMapBlockAt(1, 0));
  EXPECT_EQ(0x91, TileMapBlockAt(1, 0)->flags);
}

// Maps other editors write: fields that are unused or have a meaning in the
// format, and header layouts no other test reaches. Each loads through both
// entry points and paints its blocks.
TEST(TileMapLoad, VariantsOfOtherEditorsLoadAndPaint) {
  struct Case {
    const char *cName;
    std::function<void(fmp::Map &)> changeMap;
    std::function<void(std::vector<fmp::Chunk> &)> changeChunks;
  };
  auto Long = [](fmp::Map &m, int iSize) {
    m.header.size = iSize, m.header.stepX = 4, m.header.stepY = 4;
  };
  auto Same = [](std::vector<fmp::Chunk> &) {};
  const Case cases[] = {
      {"animation without frames", [](fmp::Map &m) { m.anims.push_back({1, 0, 0, 1, 1, 1}); }, Same},
      {"empty animation at the end of the frames",
       [](fmp::Map &m) { m.anims[1] = {2, 200, 0, 3, 3, 3}; }, Same},
      {"empty frame list",
       [](fmp::Map &m) { m.frames.clear(), m.anims = {{0, 3, 0, 0, 0, 0}, {1, 1, 0, 0, 0, 0}}; },
       Same},
      {"hit mask past the graphics of a plain map",
       [&](fmp::Map &m) { Long(m, 38), m.header.hitMask = 9; }, Same},
      {"negative shifts",
       [&](fmp::Map &m) { Long(m, 38), m.header.shiftX = -2, m.header.shiftY = -3; }, Same},
      {"short palette of a 32-bit map", [](fmp::Map &m) { m.palette.assign(100, 5); }, Same},
      {"second header before the blocks", [](fmp::Map &) {},
       [](std::vector<fmp::Chunk> &c) {
         c.insert(c.begin(), c.front());
         c.front().data[5] = 9;  // a width of 9 that the later header replaces
       }},
      {"version 0", [](fmp::Map &m) { m.header.versionMajor = 0; }, Same},
      {"byte-order flag 2", [](fmp::Map &) {}, [](std::vector<fmp::Chunk> &c) { c[0].data[2] = 2; }},
      {"36-byte header", [&](fmp::Map &m) { Long(m, 36), m.header.stepX = 5; }, Same},
  };
  BITMAP *pTarget = create_bitmap(64, 64);
  for (const Case &c : cases) {
    SCOPED_TRACE(c.cName);
    fmp::Map m = SmallMap();
    c.changeMap(m);
    std::vector<fmp::Chunk> chunks = m.Chunks();
    c.changeChunks(chunks);
    const std::vector<uint8_t> image = fmp::Container(chunks);
    for (int iPath = 0; iPath < 2; iPath++) {
      ASSERT_EQ(0, iPath ? LoadFile(image) : LoadBuffer(image));
      const MapHeader &h = TileMapState().header;
      EXPECT_EQ(4, h.widthInBlocks);
      EXPECT_EQ(&TileMapState().blocks[2], TileMapBlockAt(2, 0));
      clear_bitmap(pTarget);
      TileMapPaintBack(pTarget, 0, 0, 0, 0, 64, 64);
      TileMapStepAnimations();
      if (h.shiftX == 0 && h.shiftY == 0)  // cell (1, 1) shows block 1
        EXPECT_EQ(0x405060, getpixel(pTarget, h.stepX + 1, h.stepY + 1) & 0xFFFFFF);
      else
        EXPECT_GT(CountColour(pTarget, 0x405060), 0);
    }
  }
  destroy_bitmap(pTarget);
}

// The library's packfile layer compresses whole files; the "rp" open reads them.
TEST(TileMapLoad, PackfileCompressedMapOpens) {
  const std::vector<uint8_t> image = SmallMap().Image();
  PACKFILE *pFile = pack_fopen("PackfileCompressedMapOpens.fmp", F_WRITE_PACKED);
  ASSERT_NE(nullptr, pFile);
  pack_fwrite(image.data(), long(image.size()), pFile);
  pack_fclose(pFile);
  ASSERT_EQ(0, TileMapOpen("PackfileCompressedMapOpens.fmp"));
  EXPECT_EQ(0x91, TileMapBlockAt(1, 0)->flags);
  EXPECT_EQ(&TileMapState().blocks[1], TileMapBlockAt(1, 2));
}

// Every malformed map is refused with code 2 through both entry points.
TEST(TileMapLoad, MalformedMapsAreRefused) {
  using Make = std::function<std::vector<fmp::Chunk>(fmp::Map)>;
  auto M = [](std::function<void(fmp::Map &)> f) -> Make {
    return [f](fmp::Map m) { f(m); return m.Chunks(); };
  };
  auto C = [](std::function<void(std::vector<fmp::Chunk> &)> f) -> Make {
    return [f](fmp::Map m) { std::vector<fmp::Chunk> c = m.Chunks(); f(c); return c; };
  };
  auto Find = [](std::vector<fmp::Chunk> &c, const char *tag) -> fmp::Chunk & {
    return *std::find_if(c.begin(), c.end(), [tag](const fmp::Chunk &k) { return k.tag == tag; });
  };
  std::vector<std::pair<const char *, Make>> cases = {
      {"short palette of an 8-bit map", M([](fmp::Map &m) {
         m.header.depth = 8, m.graphics.assign(48, 1), m.palette.assign(767, 0);
       })},
      {"animations without terminator",
       C([&](auto &c) { Find(c, "ANDT").data = fmp::Bytes().i32(0).fill(28, 0).v; })},
      {"cell past the blocks", M([](fmp::Map &m) { m.cells[5] = 3; })},
      {"cell on the terminator", M([](fmp::Map &m) { m.cells[5] = -3; })},
      {"animated cell without animations", M([](fmp::Map &m) { m.frames.clear(), m.anims.clear(); })},
      {"frame past the blocks", M([](fmp::Map &m) { m.frames[1] = 3; })},
      {"animation past the frames", M([](fmp::Map &m) { m.anims[1].end = 4; })},
      {"animation first after end", M([](fmp::Map &m) { m.anims[1].first = 2, m.anims[1].end = 1; })},
      {"back graphic past the data", M([](fmp::Map &m) { m.blocks[2].back = 3; })},
      {"negative front graphic", M([](fmp::Map &m) { m.blocks[2].front3 = -1; })},
      {"record size below 32", M([](fmp::Map &m) { m.header.recordSize = 31; })},
      {"zero width", M([](fmp::Map &m) { m.header.width = 0; })},
      {"negative height", M([](fmp::Map &m) { m.header.height = -3; })},
      {"zero block width", M([](fmp::Map &m) { m.header.blockWidth = 0; })},
      {"no graphics", M([](fmp::Map &m) { m.header.graphicCount = 0; })},
      {"hit mask past the graphics of a staggered map", M([](fmp::Map &m) {
         m.header.size = 38, m.header.stepX = m.header.stepY = 4, m.header.hitMask = 3;
         m.header.shiftX = 2;
       })},
      {"header missing", C([](auto &c) { c.erase(c.begin()); })},
      {"header after the layer", C([](auto &c) { std::rotate(c.begin(), c.begin() + 1, c.end()); })},
      {"second header after the blocks", C([](auto &c) { c.insert(c.begin() + 2, c.front()); })},
      {"graphics missing", C([&](auto &c) { Find(c, "BGFX").tag = "XGFX"; })},
      {"graphics short", M([](fmp::Map &m) { m.graphics.pop_back(); })},
      {"blocks short", C([&](auto &c) { Find(c, "BKDT").data.resize(95); })},
      {"blocks missing", C([&](auto &c) { Find(c, "BKDT").tag = "XKDT"; })},
      {"layer short", M([](fmp::Map &m) { m.cells.pop_back(); })},
      {"8-bit map without palette", M([](fmp::Map &m) { m.header.depth = 8, m.graphics.assign(48, 1); })},
  };
  for (auto &c : cases) {
    SCOPED_TRACE(c.first);
    std::vector<uint8_t> image = fmp::Container(c.second(SmallMap()));
    ASSERT_EQ(0, LoadBuffer(SmallMap().Image()));
    EXPECT_EQ(-1, LoadBuffer(image));
    EXPECT_EQ(MapErrBadFile, TileMapLastError());
    EXPECT_TRUE(NothingHeld());
    EXPECT_EQ(-1, LoadFile(image));
    EXPECT_EQ(MapErrBadFile, TileMapLastError());
    EXPECT_TRUE(NothingHeld());
  }
}

TEST(TileMapLoad, MemoryImagesAreReadOnlyWithinTheirLength) {
  std::vector<uint8_t> image = SmallMap().Image();
  for (size_t iCut : {size_t(0), size_t(11), size_t(12), size_t(20), image.size() - 1}) {
    std::vector<uint8_t> cut(image.begin(), image.begin() + iCut);
    cut.shrink_to_fit();  // so the sanitizer sees the end
    EXPECT_EQ(-1, TileMapOpenBuffer(cut.data(), cut.size()));
    EXPECT_EQ(MapErrBadFile, TileMapLastError());
  }
  EXPECT_EQ(-1, TileMapOpenBuffer(nullptr, 100));
  EXPECT_EQ(MapErrBadFile, TileMapLastError());
}
