// Block queries and the game's collision rule, animation stepping of every
// kind, layer selection and the edits of the current layer.
#include <cstdio>

#include "tilemap_test_util.h"

using namespace tmtest;

namespace {

// 4 x 3 cells of 32 x 32 pixels; only cell (1, 1) is solid.
fmp::Map SolidMap() {
  fmp::Map m = fmp::GridMap(4, 3, 32, 32);
  m.blocks[1 * 4 + 1].flags = FlagSolid | 0x10;
  m.blocks[2].value1 = -5, m.blocks[2].value3 = 40000, m.blocks[3].value7 = 200;
  return m;
}

}  // namespace

TEST(TileMapQueries, SolidAtPixelTreatsEdgesAndOutsideAsSolid) {
  ASSERT_EQ(0, LoadBuffer(SolidMap().Image()));
  EXPECT_EQ(1, SolidAtPixel(0, 100));
  EXPECT_EQ(1, SolidAtPixel(100, 0));
  EXPECT_EQ(1, SolidAtPixel(-3, 40));
  EXPECT_EQ(1, SolidAtPixel(4 * 32, 40));
  EXPECT_EQ(1, SolidAtPixel(40, 3 * 32));
  EXPECT_EQ(0, SolidAtPixel(1, 1));
  EXPECT_EQ(0, SolidAtPixel(31, 31));
  EXPECT_EQ(1, SolidAtPixel(32, 32));
  EXPECT_EQ(1, SolidAtPixel(33, 33));
  EXPECT_EQ(1, SolidAtPixel(63, 63));
  EXPECT_EQ(0, SolidAtPixel(64, 33));
  EXPECT_EQ(0, SolidAtPixel(127, 95));
  TileMapClose();
  EXPECT_EQ(1, SolidAtPixel(33, 70));
  // Smaller blocks: the 32-pixel far edge lies beyond the layer, which is solid.
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(4, 3, 16, 16).Image()));
  EXPECT_EQ(0, SolidAtPixel(63, 47));
  EXPECT_EQ(1, SolidAtPixel(70, 10));
  EXPECT_EQ(1, SolidAtPixel(10, 50));
}

TEST(TileMapQueries, CellsAndPixelsOutsideTheLayerHaveNoBlock) {
  ASSERT_EQ(0, LoadBuffer(SolidMap().Image()));
  const TileMap &t = TileMapState();
  EXPECT_EQ(&t.blocks[11], TileMapBlockAt(3, 2));
  for (auto cell : {std::pair<int, int>{-1, 0}, {0, -1}, {4, 0}, {0, 3}}) EXPECT_EQ(nullptr, TileMapBlockAt(cell.first, cell.second));
  EXPECT_EQ(&t.blocks[5], TileMapBlockAtPixel(40, 40));
  EXPECT_EQ(nullptr, TileMapBlockAtPixel(-1, 40));
  EXPECT_EQ(nullptr, TileMapBlockAtPixel(128, 40));
  EXPECT_EQ(3, TileMapColumnOf(500, 0));
  EXPECT_EQ(0, TileMapRowOf(0, -20));
  TileMapPutCellAtPixel(100, 70, 1);
  EXPECT_EQ(&t.blocks[1], TileMapBlockAt(3, 2));
  TileMapPutCellAtPixel(100, 96, 0);  // outside: nothing written
  TileMapPutCell(4, 0, 0);  // would land on (0, 1) if unchecked
  EXPECT_EQ(&t.blocks[4], TileMapBlockAt(0, 1));
  EXPECT_EQ(0, TileMapMakeRowIndex());
  EXPECT_EQ(&t.blocks[1], TileMapBlockAt(3, 2));
  EXPECT_EQ(&t.blocks[6], TileMapBlockAt(2, 1));
}

TEST(TileMapQueries, FindBlockComparesTheChosenValue) {
  ASSERT_EQ(0, LoadBuffer(SolidMap().Image()));
  EXPECT_EQ(2, TileMapFindBlock(-5, 1));
  EXPECT_EQ(2, TileMapFindBlock(40000, 3));
  EXPECT_EQ(3, TileMapFindBlock(200, 7));
  EXPECT_EQ(0, TileMapFindBlock(0, 7));
  EXPECT_EQ(-1, TileMapFindBlock(-5, 2));
  EXPECT_EQ(-1, TileMapFindBlock(0, 8));
}

TEST(TileMapQueries, LayersAreSelectedAndReplaced) {
  fmp::Map m = SolidMap();
  std::vector<int> other(12, 7);
  m.extra = {{"LYR3", fmp::CellData(other, false)}};
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  const TileMap &t = TileMapState();
  EXPECT_EQ(-1, TileMapSelectLayer(8));
  EXPECT_EQ(-1, TileMapSelectLayer(2));
  EXPECT_EQ(&t.blocks[5], TileMapBlockAt(1, 1));
  EXPECT_EQ(3, TileMapSelectLayer(3));
  EXPECT_EQ(&t.blocks[7], TileMapBlockAt(1, 1));

  // All multiples of 16: byte offsets, 32 bytes a block and 16 an animation.
  std::vector<int16_t> offsets(12, 0);
  offsets[1] = 64, offsets[2] = 32 * 11;
  EXPECT_EQ(0, TileMapReplaceLayer(offsets.data(), 3));
  EXPECT_EQ(&t.blocks[2], TileMapBlockAt(1, 0));
  EXPECT_EQ(&t.blocks[11], TileMapBlockAt(2, 0));
  offsets[0] = 3;  // no longer offsets: copied as they are
  EXPECT_EQ(0, TileMapReplaceLayer(offsets.data(), 5));
  EXPECT_EQ(5, TileMapSelectLayer(5));
  EXPECT_EQ(&t.blocks[3], TileMapBlockAt(0, 0));
  EXPECT_EQ(nullptr, TileMapBlockAt(1, 0));  // 64 is past the blocks
  EXPECT_EQ(-1, TileMapReplaceLayer(offsets.data(), 8));

  FILE *f = fopen("layer.bin", "wb");
  fwrite(offsets.data(), 2, 11, f);
  fclose(f);
  EXPECT_EQ(-1, TileMapReplaceLayerFromFile("layer.bin", 6));
  f = fopen("layer.bin", "ab");
  fwrite(offsets.data(), 2, 1, f);
  fclose(f);
  EXPECT_EQ(0, TileMapReplaceLayerFromFile("layer.bin", 6));
  EXPECT_EQ(6, TileMapSelectLayer(6));
  EXPECT_EQ(&t.blocks[3], TileMapBlockAt(0, 0));
}

// Hit mask graphic 1: left half transparent. Cells 8 x 8 in a 10 x 10 step,
// second rows shifted by (5, 5).
TEST(TileMapQueries, HitMaskCorrectsStaggeredLookups) {
  fmp::Map m = fmp::GridMap(4, 4, 8, 8);
  m.header.size = 38;
  m.header.stepX = m.header.stepY = 10;
  m.header.shiftX = m.header.shiftY = 5;
  m.header.hitMask = 1;
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 4; x++) {
      uint8_t *p = &m.graphics[(64 + y * 8 + x) * 4];
      p[1] = 255, p[2] = 0, p[3] = 255;
    }
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  EXPECT_EQ(-1, TileMapMaskSide(12, 3, 0));  // transparent, left and upper half
  EXPECT_EQ(-1, TileMapMaskSide(12, 3, 1));
  EXPECT_EQ(1, TileMapMaskSide(12, 5, 1));
  EXPECT_EQ(0, TileMapMaskSide(16, 3, 0));   // opaque
  EXPECT_EQ(0, TileMapMaskSide(16, 3, 1));
  EXPECT_EQ(0, TileMapMaskSide(18, 3, 0));   // in the gap right of the block
  EXPECT_EQ(-1, TileMapMaskSide(18, 3, 1));
  EXPECT_EQ(1, TileMapMaskSide(18, 7, 1));
  EXPECT_EQ(1, TileMapMaskSide(12, 18, 1));  // in the gap below the block
  EXPECT_EQ(-1, TileMapMaskSide(12, 18, 0));
  EXPECT_EQ(0, TileMapMaskSide(17, 18, 0));
  EXPECT_EQ(0, TileMapColumnOf(7, 0));       // (12, 5): transparent left half
  EXPECT_EQ(1, TileMapRowOf(7, 0));          // row pair 0, lower half
  EXPECT_EQ(1, TileMapColumnOf(11, 0));
}

TEST(TileMapQueries, EveryAnimationKindSteps) {
  fmp::Map m = fmp::GridMap(7, 1, 4, 4);
  m.frames = {4, 5, 6, 3};
  // kind, delay, countdown, current, first, end
  m.anims = {{1, 0, 0, 0, 0, 3}, {2, 0, 0, 0, 0, 3}, {3, 0, 0, 0, 0, 3}, {9, 0, 0, 2, 0, 3},
             {4, 0, 0, 0, 0, 3}, {8, 0, 0, 0, 0, 3}, {7, 0, 0, 0, 0, 3}, {5, 0, 0, 0, 0, 1},
             {1, 2, 0, 0, 0, 3}, {1, 200, 0, 0, 0, 3}, {1, 0, 0, 0, 3, 3}, {0, 0, 0, 0, 0, 3},
             {6, 0, 0, 0, 3, 3}};
  const int iAnims = int(m.anims.size());
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  const TileMap &t = TileMapState();
  auto Shown = [&](int i) { return t.frames[t.anims[i + 1].current]; };
  std::vector<std::string> seen(iAnims);
  for (int iStep = 0; iStep < 7; iStep++) {
    for (int i = 0; i < iAnims; i++) seen[i] += char('0' + Shown(i));
    TileMapStepAnimations();
  }
  EXPECT_EQ("4564564", seen[0]);   // loop forward, back to the first every third call
  EXPECT_EQ("6546546", seen[1]);   // loop backward starts at the last frame
  EXPECT_EQ("4564444", seen[2]);   // play once, then rests on the first
  EXPECT_EQ(AnimOnceDone, t.anims[3].kind);
  EXPECT_EQ("4564444", seen[3]);   // stored as finished: rewound to play once
  EXPECT_EQ("4566666", seen[4]);   // play once and hold
  EXPECT_EQ("4565456", seen[5]);   // ping-pong begun forward
  EXPECT_EQ("6545654", seen[6]);   // ping-pong begun backward
  EXPECT_EQ("4444444", seen[7]);   // ping-pong over one frame
  EXPECT_EQ("4445556", seen[8]);   // delay 2: every third call
  EXPECT_EQ("4564564", seen[9]);   // delay above 127: every call
  EXPECT_EQ("3333333", seen[10]);  // no frames: never moves
  EXPECT_EQ("4444444", seen[11]);  // still
  EXPECT_EQ("3333333", seen[12]);
  // Animated cells follow; rewinding starts over.
  m.cells[0] = -iAnims;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapStepAnimations();
  EXPECT_EQ(&t.blocks[5], TileMapBlockAt(0, 0));
  TileMapRewindAnimations();
  EXPECT_EQ(&t.blocks[4], TileMapBlockAt(0, 0));
  EXPECT_EQ(-1, t.anims[0].kind);
}
