// Map drawing: which cells land where, the clip rectangle, views reaching
// past the map, staggered maps, animated cells and the other drawing passes.
#include "tilemap_test_util.h"

using namespace tmtest;

namespace {

const int Sentinel = 0x0A0B0C;

class TileMapDrawing : public ::testing::Test {
 protected:
  void SetUp() override {
    pTarget = create_bitmap(700, 540);
    clear_to_color(pTarget, Sentinel);
  }
  void TearDown() override { destroy_bitmap(pTarget); }
  int At(int x, int y) { return getpixel(pTarget, x, y); }
  BITMAP *pTarget = nullptr;
};

std::vector<int> Columns;
void CountColumn(int iColumn, int, int, int) { Columns.push_back(iColumn); }

}  // namespace

TEST_F(TileMapDrawing, DrawsTheCellsUnderTheView) {
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(25, 20, 32, 32).Image()));
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 640, 480);
  for (int r = 0; r < 15; r++)
    for (int c = 0; c < 20; c++) ASSERT_EQ(fmp::CellColour(c, r), At(c * 32 + 16, r * 32 + 16)) << c << "," << r;
  EXPECT_EQ(Sentinel, At(640, 100));
  EXPECT_EQ(Sentinel, At(100, 480));

  // Five pixels further down: row 0 is cut to 27 pixels and row 15 appears.
  TileMapPaintBack(pTarget, 37, 5, 0, 0, 640, 480);
  EXPECT_EQ(fmp::CellColour(1, 0), At(0, 0));
  EXPECT_EQ(fmp::CellColour(1, 0), At(26, 26));
  EXPECT_EQ(fmp::CellColour(2, 1), At(27, 27));
  EXPECT_EQ(fmp::CellColour(21, 15), At(639, 479));
  EXPECT_EQ(Sentinel, At(640, 479));
}

TEST_F(TileMapDrawing, ColumnCountFollowsTheScrollPosition) {
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(25, 20, 32, 32).Image()));
  for (int iMapX : {0, 1, 2, 31, 32, 33}) {
    Columns.clear();
    TileMapPaintStacked(pTarget, iMapX, 0, 0, 0, 639, 479, 0, CountColumn);
    size_t iExpected = (iMapX % 32 <= 1) ? 20 : 21;
    ASSERT_EQ(iExpected, Columns.size()) << iMapX;
    EXPECT_EQ(iMapX / 32, Columns.front());
  }
}

TEST_F(TileMapDrawing, ClipRectangleIsRestoredAndRespected) {
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(25, 20, 32, 32).Image()));
  for (int iState : {1, 0}) {
    set_clip_rect(pTarget, 10, 20, 300, 200);
    set_clip_state(pTarget, iState);
    TileMapPaintBack(pTarget, 40, 70, 100, 50, 64, 40);
    int x1, y1, x2, y2;
    get_clip_rect(pTarget, &x1, &y1, &x2, &y2);
    EXPECT_EQ(10, x1);
    EXPECT_EQ(20, y1);
    EXPECT_EQ(300, x2);
    EXPECT_EQ(200, y2);
    EXPECT_EQ(iState, get_clip_state(pTarget));
  }
  EXPECT_EQ(fmp::CellColour(1, 2), At(100, 50));
  EXPECT_EQ(fmp::CellColour(3, 3), At(163, 89));
  EXPECT_EQ(Sentinel, At(99, 60));
  EXPECT_EQ(Sentinel, At(164, 60));
  EXPECT_EQ(Sentinel, At(120, 90));
}

TEST_F(TileMapDrawing, OnlyCellsInsideTheMapAreDrawn) {
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(25, 20, 32, 32).Image()));
  TileMapPaintBack(pTarget, 0, -40, 0, 0, 639, 479);  // the stage's last step
  EXPECT_EQ(Sentinel, At(5, 39));
  EXPECT_EQ(fmp::CellColour(0, 0), At(5, 40));
  clear_to_color(pTarget, Sentinel);
  TileMapPaintBack(pTarget, 25 * 32 - 100, 20 * 32 - 50, 0, 0, 639, 479);
  EXPECT_EQ(fmp::CellColour(24, 19), At(99, 49));
  EXPECT_EQ(Sentinel, At(100, 10));
  EXPECT_EQ(Sentinel, At(10, 50));
  clear_to_color(pTarget, Sentinel);
  TileMapPaintBack(pTarget, -10, 0, 0, 0, 639, 479);
  EXPECT_EQ(Sentinel, At(9, 5));
  EXPECT_EQ(fmp::CellColour(0, 0), At(10, 5));
}

TEST_F(TileMapDrawing, NothingIsDrawnWithoutAMap) {
  // A fresh process has never loaded a map.
  EXPECT_EXIT(
      {
        TileMapPaintBack(pTarget, 0, 0, 0, 0, 100, 100);
        exit(At(5, 5) == Sentinel ? 0 : 1);
      },
      ::testing::ExitedWithCode(0), "");
  ASSERT_EQ(0, LoadBuffer(fmp::GridMap(4, 4, 32, 32).Image()));
  TileMapClose();
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 100, 100);
  EXPECT_EQ(Sentinel, At(5, 5));
}

TEST_F(TileMapDrawing, AnimatedCellsShowTheirCurrentFrame) {
  fmp::Map m = fmp::GridMap(3, 1, 8, 8);
  m.frames = {1, 2};
  m.anims = {{1, 0, 0, 0, 0, 2}};
  m.cells[0] = -1;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 24, 8);
  EXPECT_EQ(fmp::CellColour(1, 0), At(2, 2));
  TileMapStepAnimations();
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 24, 8);
  EXPECT_EQ(fmp::CellColour(2, 0), At(2, 2));
}

// 4 x 4 cells of 8 x 8 pixels, rows paired with the second one shifted by
// (4, 4); the cell (1, 2) shows graphic 0, which is never drawn.
TEST_F(TileMapDrawing, StaggeredMapsDrawRowPairsMasked) {
  fmp::Map m = fmp::GridMap(4, 4, 8, 8);
  m.header.size = 38;
  m.header.stepX = m.header.stepY = 8;
  m.header.shiftX = m.header.shiftY = 4;
  m.cells[2 * 4 + 1] = 0;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapPaintBack(pTarget, 4, 4, 0, 0, 32, 32);
  EXPECT_EQ(fmp::CellColour(0, 1), At(2, 2));   // row 1 at (-4, -4), seen through the empty cell
  EXPECT_EQ(fmp::CellColour(0, 3), At(2, 6));   // row 3 at (-4, 4) over row 2
  EXPECT_EQ(fmp::CellColour(1, 3), At(6, 6));
  EXPECT_EQ(fmp::CellColour(2, 2), At(9, 2));   // row 2 at (0, 0)
  EXPECT_EQ(fmp::CellColour(3, 1), At(26, 2));  // row 1, last column at x 20
  EXPECT_EQ(Sentinel, At(30, 2));               // no column 4
  EXPECT_EQ(Sentinel, At(2, 14));               // no row 4
}

TEST_F(TileMapDrawing, KeyedFrontAndBackdropPasses) {
  fmp::Map m = fmp::GridMap(4, 1, 4, 4);
  m.graphics[64 + 16 + 1] = 255;  // graphic 1, pixel (0, 1): magenta
  m.graphics[64 + 16 + 2] = 0;
  m.graphics[64 + 16 + 3] = 255;
  m.blocks[1].flags = FlagSeeThrough;
  m.blocks[3].flags = FlagSeeThrough;
  m.blocks[0].front2 = 2, m.blocks[0].front3 = 3;
  ASSERT_EQ(0, LoadBuffer(m.Image()));
  TileMapPaintBack(pTarget, 0, 0, 0, 0, 16, 4);
  EXPECT_EQ(makecol32(255, 0, 255), At(4, 1));
  clear_to_color(pTarget, Sentinel);
  TileMapPaintBackKeyed(pTarget, 0, 0, 0, 0, 16, 4);
  EXPECT_EQ(Sentinel, At(4, 1));
  EXPECT_EQ(fmp::CellColour(1, 0), At(5, 1));
  EXPECT_EQ(fmp::CellColour(2, 0), At(9, 1));
  TileMapPaintFront(pTarget, 0, 0, 0, 0, 16, 4, 1);
  EXPECT_EQ(fmp::CellColour(2, 0), At(1, 1));
  TileMapPaintFront(pTarget, 0, 0, 0, 0, 16, 4, 7);  // any other slot is the third
  EXPECT_EQ(fmp::CellColour(3, 0), At(1, 1));

  // A 16 x 8 backdrop grows by one block, wrapping its left columns and top rows.
  BITMAP *pSource = create_bitmap(16, 8);
  for (int y = 0; y < 8; y++)
    for (int x = 0; x < 16; x++) putpixel(pSource, x, y, x * 16 + y);
  BITMAP *pBackdrop = TileMapMakeBackdrop(pSource, 0);
  ASSERT_NE(nullptr, pBackdrop);
  EXPECT_EQ(20, pBackdrop->w);
  EXPECT_EQ(12, pBackdrop->h);
  EXPECT_EQ(2 * 16 + 1, getpixel(pBackdrop, 18, 9));
  EXPECT_EQ(nullptr, TileMapMakeBackdrop(pSource, 2));
  clear_to_color(pTarget, Sentinel);
  // Half speed: at mapX 4 the see-through cell 3 (x 8) shows backdrop x 2 + 8.
  TileMapPaintBackdrop(pTarget, 4, 2, 0, 0, 12, 4, pBackdrop);
  EXPECT_EQ(10 * 16 + 1, At(8, 0));
  EXPECT_EQ(Sentinel, At(4, 0));
  destroy_bitmap(pBackdrop);
  destroy_bitmap(pSource);
}
