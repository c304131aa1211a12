// Clouds: their random size, tint and place, the drift, and when they count
// as in view.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/globals.h"
#include "level/sky.h"
#include "stage_files.h"
#include "tilemap/tilemap.h"

using namespace stagetest;

namespace {

class Sky : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteStagePictures();
    WriteMap("sky.fmp", 20, 750, [](int, int) { return false; });
    ASSERT_EQ(TileMapOpen("sky.fmp"), 0);
  }
  void TearDown() override {
    TileMapClose();
    ReleaseCloudPictures();
  }
  StageFolder folder;
};

TEST_F(Sky, RandomValuesStayInTheirRanges) {
  srand(1234);
  bool bBothPictures[2] = {false, false};
  for (int i = 0; i < 300; ++i) {
    Cloud cloud;
    cloud.initCloud(-720, 23760, 80, 40, -1, 1, 1);
    ASSERT_GE(cloud.iAlpha, 41);
    ASSERT_LE(cloud.iAlpha, 119);
    ASSERT_GE(cloud.iWidth, 64);
    ASSERT_LE(cloud.iWidth, 313);
    ASSERT_GE(cloud.iHeight, 64);
    ASSERT_LE(cloud.iHeight, 313);
    ASSERT_GE(cloud.fY, -720 - 23759);
    ASSERT_LE(cloud.fY, -720 + 23759);
    ASSERT_GE(cloud.fX, 0.0f);
    ASSERT_LT(cloud.fX, 640.0f);
    EXPECT_EQ(cloud.fVelX, -1.0f);
    EXPECT_EQ(cloud.fVelY, 1.0f);
    ASSERT_EQ(cloud.pScratch->w, cloud.iWidth);
    ASSERT_EQ(cloud.pScratch->h, cloud.iHeight);
    bBothPictures[cloud.iPicture] = true;
  }
  EXPECT_TRUE(bBothPictures[0] && bBothPictures[1]);
}

TEST_F(Sky, TheStretchedPictureIsTheFramesPicture) {
  srand(8);
  Cloud cloud;
  cloud.initCloud(-600, 23880, 80, 40, 1, 1, 1);
  // Each cloud keeps its own stretched copy of the shared picture.
  Cloud other;
  other.initCloud(-600, 23880, 80, 40, 1, 1, 1);
  EXPECT_NE(cloud.pScratch.get(), other.pScratch.get());
  // What a stretch in the frame itself would give.
  BITMAP *pReference = create_bitmap(cloud.iWidth, cloud.iHeight);
  rectfill(pReference, 0, 0, pReference->w, pReference->h, ColourMagenta);
  stretch_sprite(pReference, CloudPicture(cloud.iPicture), 0, 0, cloud.iWidth, cloud.iHeight);
  int iDiffer = 0;
  for (int y = 0; y < cloud.iHeight; ++y)
    for (int x = 0; x < cloud.iWidth; ++x)
      iDiffer += getpixel(pReference, x, y) != getpixel(cloud.pScratch.get(), x, y);
  EXPECT_EQ(iDiffer, 0);
  // Drawn twice, the cloud looks the same both times; magenta stays see-through.
  BITMAP *pFirst = create_bitmap(640, 480);
  BITMAP *pSecond = create_bitmap(640, 480);
  clear_to_color(pFirst, 0x000080);
  clear_to_color(pSecond, 0x000080);
  cloud.fX = 100.0f;
  cloud.fY = 50.0f;
  cloud.drawCloud(pFirst, 0, 0);
  cloud.drawCloud(pSecond, 0, 0);
  iDiffer = 0;
  int iTouched = 0;
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) {
      iDiffer += getpixel(pFirst, x, y) != getpixel(pSecond, x, y);
      iTouched += (getpixel(pFirst, x, y) & 0xFFFFFF) != 0x000080;
    }
  EXPECT_EQ(iDiffer, 0);
  EXPECT_GT(iTouched, 0);
  EXPECT_LT(iTouched, cloud.iWidth * cloud.iHeight);
  EXPECT_EQ(getpixel(pFirst, 100, 50) & 0xFFFFFF, 0x000080) << "the picture's magenta corner";
  destroy_bitmap(pReference);
  destroy_bitmap(pFirst);
  destroy_bitmap(pSecond);
}

TEST_F(Sky, TouchingTheViewsEdgeCountsAsInView) {
  Cloud cloud;
  cloud.iWidth = 100;
  cloud.iHeight = 80;
  cloud.fY = 1000.0f;
  const int iCamY = 900;
  cloud.fX = -100.0f;  // right edge on the view's left edge
  EXPECT_TRUE(cloud.inView(0, iCamY));
  cloud.fX = -100.5f;
  EXPECT_FALSE(cloud.inView(0, iCamY));
  cloud.fX = 640.0f;
  EXPECT_TRUE(cloud.inView(0, iCamY));
  cloud.fX = 641.0f;
  EXPECT_FALSE(cloud.inView(0, iCamY));
  EXPECT_TRUE(cloud.inView(1, iCamY)) << "the camera moves the view";
  cloud.fX = 10.0f;
  EXPECT_TRUE(cloud.inView(0, 1000 + 80)) << "bottom edge on the view's top";
  EXPECT_FALSE(cloud.inView(0, 1000 + 81));
  EXPECT_TRUE(cloud.inView(0, 1000 - 480)) << "top edge on the view's bottom";
  EXPECT_FALSE(cloud.inView(0, 1000 - 481));
}

TEST_F(Sky, OutOfViewCloudsDrawNothing) {
  srand(3);
  Cloud cloud;
  cloud.initCloud(-600, 23880, 80, 40, 1, 1, 1);
  BITMAP *pDest = create_bitmap(640, 480);
  clear_to_color(pDest, 0x000080);
  cloud.fX = 200.0f;
  cloud.fY = 5000.0f;
  cloud.drawCloud(pDest, 0, 5000 + cloud.iHeight + 1);
  cloud.drawCloud(pDest, 0, 5000 - 481);
  EXPECT_EQ(CountRgb(pDest, 0, 0, 639, 479, 0x000080), 640 * 480);
  // Hanging over the view's top edge, its lower part shows.
  cloud.drawCloud(pDest, 0, 5000 + cloud.iHeight / 2);
  EXPECT_LT(CountRgb(pDest, 0, 0, 639, 479, 0x000080), 640 * 480);
  destroy_bitmap(pDest);
}

// Clouds hanging over each edge of the view, and the corners, mix into the
// frame as the library's translucent sprite drawing does.
TEST_F(Sky, CloudsAtTheViewsEdgesMixAsTheLibraryDoes) {
  srand(11);
  BITMAP *pDest = create_bitmap(640, 480);
  BITMAP *pExpected = create_bitmap(640, 480);
  for (int y = 0; y < 480; ++y)
    for (int x = 0; x < 640; ++x) putpixel(pDest, x, y, makecol(x % 256, y % 256, (x ^ y) % 256));
  blit(pDest, pExpected, 0, 0, 0, 0, 640, 480);
  const struct { float fX, fY; } places[] = {{-100.5f, 200.0f}, {600.0f, 200.0f}, {300.0f, -90.0f},
                                             {300.0f, 430.25f}, {-60.0f, -60.0f}, {590.0f, 440.0f},
                                             {-10.0f, -10.0f}, {640.0f, 480.0f}};
  for (const auto &place : places) {
    Cloud cloud;
    cloud.initCloud(-600, 23880, 80, 40, 1, 1, 1);
    cloud.fX = place.fX + 1000.0f;
    cloud.fY = place.fY + 7000.0f;
    cloud.drawCloud(pDest, 1000, 7000);
    set_trans_blender(0, 0, 0, cloud.iAlpha);
    draw_trans_sprite(pExpected, cloud.pScratch.get(), static_cast<int>(place.fX),
                      static_cast<int>(place.fY));
    int iDiffer = 0;
    for (int y = 0; y < 480; ++y)
      for (int x = 0; x < 640; ++x) iDiffer += getpixel(pDest, x, y) != getpixel(pExpected, x, y);
    EXPECT_EQ(iDiffer, 0) << "cloud at " << place.fX << ", " << place.fY;
  }
  destroy_bitmap(pDest);
  destroy_bitmap(pExpected);
}

TEST_F(Sky, DriftIsAThirdOfAPixelPerMove) {
  Cloud cloud;
  cloud.fX = 300.0f;
  cloud.fY = 700.0f;
  cloud.fVelX = 1.0f;
  cloud.fVelY = -1.0f;
  cloud.iMoveDelay = 1;
  GameTicks = 500;
  cloud.driftCloud();  // the first move is due at once
  EXPECT_NEAR(cloud.fX, 300.0f + 1.0f / 3.0f, 1e-4);
  EXPECT_NEAR(cloud.fY, 700.0f - 1.0f / 3.0f, 1e-4);
  GameTicks = 501;
  cloud.driftCloud();
  EXPECT_NEAR(cloud.fX, 300.0f + 1.0f / 3.0f, 1e-4) << "one tick is not enough";
  GameTicks = 502;
  cloud.driftCloud();
  GameTicks = 504;
  cloud.driftCloud();
  EXPECT_NEAR(cloud.fX, 301.0f, 1e-3);
  EXPECT_NEAR(cloud.fY, 699.0f, 1e-3);
}

}  // namespace
