// The quick sprite drawing against the library calls it stands for: the same
// pixels on every mix of colours and alphas, around the mask colour, at the
// edges of the clip rectangle and off them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <random>

#include "support/blit32.h"

namespace {

uint32_t &Pixel(BITMAP *pBitmap, int x, int y) {
  return reinterpret_cast<uint32_t *>(pBitmap->line[y])[x];
}

// Random pixels, about one in iMaskOdds of them magenta; the top byte is
// random too, so that a magenta with a top byte is not taken for the mask.
void Scribble(BITMAP *pBitmap, std::mt19937 &rng, int iMaskOdds) {
  for (int y = 0; y < pBitmap->h; ++y)
    for (int x = 0; x < pBitmap->w; ++x) {
      uint32_t v = rng();
      if (iMaskOdds > 0 && rng() % iMaskOdds == 0) v = rng() % 2 ? 0xFF00FF : (v | 0xFF00FF);
      Pixel(pBitmap, x, y) = v;
    }
}

// Number of pixels in which two bitmaps of the same size differ.
int Differences(BITMAP *a, BITMAP *b) {
  int iCount = 0;
  for (int y = 0; y < a->h; ++y)
    iCount += memcmp(a->line[y], b->line[y], a->w * 4) != 0;
  return iCount;
}

// Two copies of one destination: the library draws into one, ours into the
// other.
struct Pair {
  BITMAP *pLibrary, *pOurs;
  Pair(int iWidth, int iHeight) {
    pLibrary = create_bitmap_ex(32, iWidth, iHeight);
    pOurs = create_bitmap_ex(32, iWidth, iHeight);
  }
  ~Pair() {
    destroy_bitmap(pLibrary);
    destroy_bitmap(pOurs);
  }
  // The same random pixels in both (written directly: clipping stays out).
  void fill(std::mt19937 &rng) {
    std::mt19937 again = rng;
    Scribble(pLibrary, rng, 0);
    Scribble(pOurs, again, 0);
  }
  void clip(int iOn, int x1, int y1, int x2, int y2) {
    for (BITMAP *p : {pLibrary, pOurs}) {
      set_clip_rect(p, x1, y1, x2, y2);
      set_clip_state(p, iOn);
    }
  }
};

// Every comparison runs with the 256-bit registers and without them.
class QuickDrawing : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    if (Blit32UseWideRegisters(GetParam()) != GetParam()) GTEST_SKIP() << "no 256-bit registers";
  }
  void TearDown() override { Blit32UseWideRegisters(true); }
};

TEST_P(QuickDrawing, EveryChannelMixAtEveryAlphaMatchesTheLibrary) {
  // Sprite channels run along x, destination channels along y: each channel
  // meets every (sprite, destination) pair once per alpha.
  BITMAP *pSprite = create_bitmap_ex(32, 256, 256);
  Pair dest(256, 256);
  for (int y = 0; y < 256; ++y)
    for (int x = 0; x < 256; ++x) {
      Pixel(pSprite, x, y) = 0x5A000000u | (x << 16) | ((255 - x) << 8) | (x ^ 0x33);
      Pixel(dest.pLibrary, x, y) = 0xC3000000u | (y << 16) | (y << 8) | (255 - y);
    }
  BITMAP *pStart = create_bitmap_ex(32, 256, 256);
  blit(dest.pLibrary, pStart, 0, 0, 0, 0, 256, 256);
  for (int iAlpha = 0; iAlpha <= 255; ++iAlpha) {
    blit(pStart, dest.pLibrary, 0, 0, 0, 0, 256, 256);
    blit(pStart, dest.pOurs, 0, 0, 0, 0, 256, 256);
    set_trans_blender(0, 0, 0, iAlpha);
    draw_trans_sprite(dest.pLibrary, pSprite, 0, 0);
    DrawTransSprite32(dest.pOurs, pSprite, 0, 0, iAlpha);
    ASSERT_EQ(Differences(dest.pLibrary, dest.pOurs), 0) << "alpha " << iAlpha;
  }
  // The ends: alpha 255 gives the sprite, alpha 0 keeps the destination's
  // colour; both drop the top byte.
  DrawTransSprite32(dest.pOurs, pSprite, 0, 0, 255);
  EXPECT_EQ(Pixel(dest.pOurs, 7, 9), Pixel(pSprite, 7, 9) & 0xFFFFFF);
  blit(pStart, dest.pOurs, 0, 0, 0, 0, 256, 256);
  DrawTransSprite32(dest.pOurs, pSprite, 0, 0, 0);
  EXPECT_EQ(Pixel(dest.pOurs, 7, 9), Pixel(pStart, 7, 9) & 0xFFFFFF);
  destroy_bitmap(pStart);
  destroy_bitmap(pSprite);
}

TEST_P(QuickDrawing, TheBlenderIsLeftAtTheAlphaDrawn) {
  BITMAP *pSprite = create_bitmap_ex(32, 9, 5);
  std::mt19937 rng(7);
  Scribble(pSprite, rng, 4);
  Pair dest(20, 20);
  dest.fill(rng);
  set_trans_blender(0, 0, 0, 200);
  DrawTransSprite32(dest.pOurs, pSprite, 3, 3, 77);
  draw_trans_sprite(dest.pOurs, pSprite, 5, 8);  // a library call after ours
  set_trans_blender(0, 0, 0, 77);
  draw_trans_sprite(dest.pLibrary, pSprite, 3, 3);
  draw_trans_sprite(dest.pLibrary, pSprite, 5, 8);
  EXPECT_EQ(Differences(dest.pLibrary, dest.pOurs), 0);
  destroy_bitmap(pSprite);
}

// Random sprites at random places, partly or wholly off the destination, with
// clipping on and off, against draw_sprite and draw_trans_sprite.
TEST_P(QuickDrawing, RandomSpritesPlacesAndClipsMatchTheLibrary) {
  std::mt19937 rng(2024);
  Pair dest(157, 101);
  for (int iCase = 0; iCase < 600; ++iCase) {
    const int iWidth = 1 + rng() % 70, iHeight = 1 + rng() % 50;
    BITMAP *pSprite = create_bitmap_ex(32, iWidth, iHeight);
    Scribble(pSprite, rng, 1 + rng() % 4);
    dest.fill(rng);
    const int iClip = rng() % 3;
    if (iClip == 0) dest.clip(0, 0, 0, 0, 0);
    else if (iClip == 1) dest.clip(1, 0, 0, 156, 100);
    else dest.clip(1, rng() % 80, rng() % 50, 40 + rng() % 117, 30 + rng() % 71);
    // With clipping off only places inside the destination are valid.
    int x = static_cast<int>(rng() % 240) - 80, y = static_cast<int>(rng() % 160) - 55;
    if (iClip == 0) {
      x = rng() % (158 - iWidth > 0 ? 158 - iWidth : 1);
      y = rng() % (102 - iHeight > 0 ? 102 - iHeight : 1);
    }
    const bool bTrans = rng() % 2;
    const int iAlpha = rng() % 4 == 0 ? (rng() % 2 ? 0 : 255) : static_cast<int>(rng() % 256);
    if (bTrans) {
      set_trans_blender(0, 0, 0, iAlpha);
      draw_trans_sprite(dest.pLibrary, pSprite, x, y);
      DrawTransSprite32(dest.pOurs, pSprite, x, y, iAlpha);
    } else {
      draw_sprite(dest.pLibrary, pSprite, x, y);
      DrawSprite32(dest.pOurs, pSprite, x, y);
    }
    ASSERT_EQ(Differences(dest.pLibrary, dest.pOurs), 0)
        << "case " << iCase << (bTrans ? " translucent" : " masked") << " at " << x << ","
        << y << " size " << iWidth << "x" << iHeight << " clip " << iClip;
    destroy_bitmap(pSprite);
  }
}

TEST_P(QuickDrawing, OnlyExactMagentaIsLeftOut) {
  BITMAP *pSprite = create_bitmap_ex(32, 4, 1);
  Pixel(pSprite, 0, 0) = 0xFF00FF;
  Pixel(pSprite, 1, 0) = 0x01FF00FF;  // magenta with a top byte is drawn
  Pixel(pSprite, 2, 0) = 0xFF00FE;
  Pixel(pSprite, 3, 0) = 0x000000;
  BITMAP *pDest = create_bitmap_ex(32, 4, 1);
  clear_to_color(pDest, 0x123456);
  DrawSprite32(pDest, pSprite, 0, 0);
  EXPECT_EQ(Pixel(pDest, 0, 0), 0x123456u);
  EXPECT_EQ(Pixel(pDest, 1, 0), 0x01FF00FFu);
  EXPECT_EQ(Pixel(pDest, 2, 0), 0xFF00FEu);
  EXPECT_EQ(Pixel(pDest, 3, 0), 0u);
  destroy_bitmap(pSprite);
  destroy_bitmap(pDest);
}

TEST_P(QuickDrawing, SubBitmapDestinationsMatchTheLibrary) {
  std::mt19937 rng(99);
  Pair dest(120, 90);
  dest.fill(rng);
  BITMAP *pSprite = create_bitmap_ex(32, 33, 21);
  Scribble(pSprite, rng, 3);
  BITMAP *pSubLibrary = create_sub_bitmap(dest.pLibrary, 17, 11, 60, 40);
  BITMAP *pSubOurs = create_sub_bitmap(dest.pOurs, 17, 11, 60, 40);
  draw_sprite(pSubLibrary, pSprite, 40, -5);
  DrawSprite32(pSubOurs, pSprite, 40, -5);
  set_trans_blender(0, 0, 0, 130);
  draw_trans_sprite(pSubLibrary, pSprite, -9, 25);
  DrawTransSprite32(pSubOurs, pSprite, -9, 25, 130);
  EXPECT_EQ(Differences(dest.pLibrary, dest.pOurs), 0);
  destroy_bitmap(pSubLibrary);
  destroy_bitmap(pSubOurs);
  destroy_bitmap(pSprite);
}

// A sprite that is magenta outside a part: drawing the part alone gives the
// whole call's pixels, and nothing outside the part is read.
TEST_P(QuickDrawing, APartOfAnOtherwiseEmptySpriteMatchesTheWholeCall) {
  std::mt19937 rng(5);
  Pair dest(640, 480);
  BITMAP *pSprite = create_bitmap_ex(32, 640, 480);
  BITMAP *pDirty = create_bitmap_ex(32, 640, 480);
  for (int iCase = 0; iCase < 40; ++iCase) {
    // Some parts reach past the sprite's edges.
    const PixelRect part = {static_cast<int>(rng() % 700) - 30, static_cast<int>(rng() % 520) - 20,
                            static_cast<int>(rng() % 200), static_cast<int>(rng() % 60)};
    clear_to_color(pSprite, 0xFF00FF);
    Scribble(pDirty, rng, 3);
    blit(pDirty, pSprite, part.iX, part.iY, part.iX, part.iY, part.iWidth, part.iHeight);
    dest.fill(rng);
    const int x = static_cast<int>(rng() % 60) - 30, y = static_cast<int>(rng() % 40) - 20;
    const int iAlpha = rng() % 256;
    if (iCase % 2) {
      draw_sprite(dest.pLibrary, pSprite, x, y);
      DrawSpritePart32(dest.pOurs, pDirty, x, y, part);
    } else {
      set_trans_blender(0, 0, 0, iAlpha);
      draw_trans_sprite(dest.pLibrary, pSprite, x, y);
      DrawTransSpritePart32(dest.pOurs, pDirty, x, y, part, iAlpha);
    }
    ASSERT_EQ(Differences(dest.pLibrary, dest.pOurs), 0) << "case " << iCase;
  }
  destroy_bitmap(pSprite);
  destroy_bitmap(pDirty);
}

TEST_P(QuickDrawing, RandomRectanglesFillAsTheLibraryDoes) {
  std::mt19937 rng(17);
  Pair dest(97, 61);
  for (int iCase = 0; iCase < 400; ++iCase) {
    dest.fill(rng);
    const int iClip = rng() % 3;
    if (iClip == 0) dest.clip(0, 0, 0, 0, 0);
    else if (iClip == 1) dest.clip(1, 0, 0, 96, 60);
    else dest.clip(1, rng() % 50, rng() % 30, 30 + rng() % 67, 20 + rng() % 41);
    // Corners in either order, reaching past the edges unless clipping is off.
    const int iSpan = iClip == 0 ? 0 : 40;
    int x1 = static_cast<int>(rng() % (97 + 2 * iSpan)) - iSpan;
    int x2 = static_cast<int>(rng() % (97 + 2 * iSpan)) - iSpan;
    int y1 = static_cast<int>(rng() % (61 + 2 * iSpan)) - iSpan;
    int y2 = static_cast<int>(rng() % (61 + 2 * iSpan)) - iSpan;
    const int iColour = static_cast<int>(rng());
    rectfill(dest.pLibrary, x1, y1, x2, y2, iColour);
    FillRect32(dest.pOurs, x1, y1, x2, y2, iColour);
    ASSERT_EQ(Differences(dest.pLibrary, dest.pOurs), 0)
        << "case " << iCase << ": " << x1 << "," << y1 << " " << x2 << "," << y2 << " clip "
        << iClip;
  }
  dest.clip(1, 0, 0, 96, 60);
  // The whole bitmap with corners one past it, as the frame's sky fill does.
  rectfill(dest.pLibrary, 0, 0, 97, 61, 0x4040C0);
  FillRect32(dest.pOurs, 0, 0, 97, 61, 0x4040C0);
  EXPECT_EQ(Differences(dest.pLibrary, dest.pOurs), 0);
  EXPECT_EQ(Pixel(dest.pOurs, 96, 60), 0x4040C0u);
}

// Copies of random rectangles reaching past the source and the clip
// rectangle, with clipping on and off, against blit.
TEST(Copy, RandomRectanglesCopyAsBlitDoes) {
  std::mt19937 rng(41);
  Pair dest(90, 70);
  BITMAP *pSource = create_bitmap_ex(32, 50, 40);
  for (int iCase = 0; iCase < 500; ++iCase) {
    Scribble(pSource, rng, 3);
    dest.fill(rng);
    const int iClip = rng() % 3;
    if (iClip == 0) dest.clip(1, 0, 0, 89, 69);
    else dest.clip(iClip == 1, rng() % 45, rng() % 35, 40 + rng() % 50, 30 + rng() % 40);
    const int sx = static_cast<int>(rng() % 70) - 10, sy = static_cast<int>(rng() % 60) - 10;
    const int dx = static_cast<int>(rng() % 130) - 20, dy = static_cast<int>(rng() % 110) - 20;
    const int w = static_cast<int>(rng() % 60) - 5, h = static_cast<int>(rng() % 50) - 5;
    blit(pSource, dest.pLibrary, sx, sy, dx, dy, w, h);
    Blit32(pSource, dest.pOurs, sx, sy, dx, dy, w, h);
    ASSERT_EQ(Differences(dest.pLibrary, dest.pOurs), 0)
        << "case " << iCase << ": from " << sx << "," << sy << " to " << dx << "," << dy << " size "
        << w << "x" << h << " clip " << iClip;
  }
  dest.clip(1, 0, 0, 89, 69);
  destroy_bitmap(pSource);
}

TEST_P(QuickDrawing, OutsideTheSolidModeTheFillIsTheLibrarys) {
  std::mt19937 rng(3);
  Pair dest(40, 30);
  dest.fill(rng);
  set_trans_blender(0, 0, 0, 100);
  drawing_mode(DRAW_MODE_TRANS, nullptr, 0, 0);
  rectfill(dest.pLibrary, 5, 5, 30, 20, 0x102030);
  FillRect32(dest.pOurs, 5, 5, 30, 20, 0x102030);
  solid_mode();
  EXPECT_EQ(Differences(dest.pLibrary, dest.pOurs), 0);
  EXPECT_NE(Pixel(dest.pOurs, 10, 10), 0x102030u) << "mixed, not painted";
}

INSTANTIATE_TEST_SUITE_P(Registers, QuickDrawing, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                           return info.param ? "Wide" : "Narrow";
                         });

TEST(Rectangles, UnionsAndTextBoxes) {
  const PixelRect a = {10, 20, 5, 5}, b = {0, 30, 3, 1}, empty = {100, 100, 0, 7};
  const PixelRect u = RectUnion(a, b);
  EXPECT_EQ(u.iX, 0);
  EXPECT_EQ(u.iY, 20);
  EXPECT_EQ(u.iWidth, 15);
  EXPECT_EQ(u.iHeight, 11);
  const PixelRect v = RectUnion(empty, a);
  EXPECT_EQ(v.iX, 10);
  EXPECT_EQ(v.iWidth, 5);
  EXPECT_EQ(RectUnion(a, empty).iHeight, 5);
  // A line of text with a background fills exactly its box.
  BITMAP *pLayer = create_bitmap_ex(32, 200, 40);
  clear_to_color(pLayer, 0xFF00FF);
  const PixelRect box = TextBox(font, "SCORE: 1230", 13, 9);
  textout_ex(pLayer, font, "SCORE: 1230", 13, 9, 0xFFFFFF, 0x000000);
  int iInside = 0, iOutside = 0;
  for (int y = 0; y < pLayer->h; ++y)
    for (int x = 0; x < pLayer->w; ++x) {
      const bool bIn = x >= box.iX && x < box.iX + box.iWidth && y >= box.iY &&
                       y < box.iY + box.iHeight;
      const bool bWritten = Pixel(pLayer, x, y) != 0xFF00FF;
      (bIn ? iInside : iOutside) += bWritten;
    }
  EXPECT_EQ(iInside, box.iWidth * box.iHeight);
  EXPECT_EQ(iOutside, 0);
  destroy_bitmap(pLayer);
}

}  // namespace
