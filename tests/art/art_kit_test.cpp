// The painting kit: shape coverage, mask resolution, outlines, file writers
// and the glyph sheet layout the library grabs fonts from.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

#include "art.h"
#include "art_test_util.h"
#include "generate.h"
#include "preview.h"
#include "sdf.h"
#include "text.h"

using arttest::IsMask;

TEST(ArtKit, ShapesCoverTheirAreaWithSoftEdgesOnly) {
  art::Canvas c(40, 40);
  art::Fill(c, art::View{}, art::Circle(20, 20, 10), art::Rgb(255, 255, 255));
  double area = 0;
  int partial = 0;
  for (const art::Px &p : c.px) {
    area += p.a;
    if (p.a > 0.02f && p.a < 0.98f) partial++;
  }
  EXPECT_NEAR(area, 3.14159 * 100, 3.0);
  // Partial coverage only along the rim (about one pixel wide).
  EXPECT_GT(partial, 30);
  EXPECT_LT(partial, 2 * 3.14159 * 10 * 1.6);
  // The same circle through a view twice as large covers four times the area.
  art::Canvas big(80, 80);
  art::Fill(big, art::View{0, 0, 2}, art::Circle(20, 20, 10), art::Rgb(255, 255, 255));
  double bigArea = 0;
  for (const art::Px &p : big.px) bigArea += p.a;
  EXPECT_NEAR(bigArea, 4 * area, 8.0);
}

TEST(ArtKit, PolygonDistanceHasTheRightSignForEitherWinding) {
  const art::Sdf cw = art::Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}});
  const art::Sdf ccw = art::Polygon({{0, 0}, {0, 10}, {10, 10}, {10, 0}});
  for (const art::Sdf &s : {cw, ccw}) {
    EXPECT_NEAR(s(5, 5), -5.0f, 1e-4);
    EXPECT_NEAR(s(13, 5), 3.0f, 1e-4);
    EXPECT_NEAR(s(13, 14), 5.0f, 1e-4);
  }
  // Cutting a hole leaves a ring.
  const art::Sdf ring = art::Cut(art::Circle(0, 0, 10), art::Circle(0, 0, 5));
  EXPECT_GT(ring(0, 0), 0.0f);
  EXPECT_LT(ring(7, 0), 0.0f);
}

TEST(ArtKit, SpriteEdgesResolveAgainstTheRimNeverTheMask) {
  art::Canvas c(3, 1);
  c.blend(0, 0, art::Rgb(255, 255, 255), 1.0f);
  c.blend(1, 0, art::Rgb(255, 255, 255), 0.5f);
  c.blend(2, 0, art::Rgb(255, 255, 255), 0.2f);
  BITMAP *b = art::NewMaskedBitmap(3, 1);
  art::PutSprite(b, 0, 0, c, art::Rgb(0, 0, 100), 0.35f);
  EXPECT_EQ(getpixel(b, 0, 0), makecol32(255, 255, 255));
  // Half covered: halfway between the colour and the rim.
  const int half = getpixel(b, 1, 0);
  EXPECT_NEAR(getr32(half), 128, 1);
  EXPECT_NEAR(getb32(half), 178, 1);
  EXPECT_TRUE(IsMask(getpixel(b, 2, 0)));
  destroy_bitmap(b);
}

TEST(ArtKit, OutlineSurroundsTheShapeAndLeavesItAlone) {
  art::Canvas c(9, 9);
  for (int y = 3; y < 6; y++)
    for (int x = 3; x < 6; x++) c.blend(x, y, art::Rgb(200, 100, 50), 1.0f);
  art::AddOutline(c, art::Rgb(0, 0, 0));
  EXPECT_NEAR(c.at(4, 4).r, 200 / 255.0f, 1e-5);      // inside unchanged
  EXPECT_NEAR(c.at(2, 4).a, 1.0f, 1e-5);              // side neighbour fully rimmed
  EXPECT_NEAR(c.at(2, 4).r, 0.0f, 1e-5);              // in the rim colour
  EXPECT_NEAR(c.at(2, 2).a, 0.55f, 1e-5);             // corner neighbour partly
  EXPECT_EQ(c.at(0, 0).a, 0.0f);                      // two pixels away untouched
}

TEST(ArtKit, BmpWriterRoundTripsEveryChannel) {
  BITMAP *b = create_bitmap_ex(32, 3, 2);
  const int cols[6][3] = {{255, 0, 255}, {10, 20, 30}, {200, 100, 0}, {0, 0, 0}, {255, 255, 255}, {1, 254, 7}};
  for (int i = 0; i < 6; i++) putpixel(b, i % 3, i / 3, makecol32(cols[i][0], cols[i][1], cols[i][2]));
  const std::string path = std::string(SKV_BINARY_DIR) + "/art_roundtrip.bmp";
  ASSERT_TRUE(art::SaveBmp32(path, b));
  BITMAP *back = load_bitmap(path.c_str(), nullptr);
  ASSERT_NE(back, nullptr);
  ASSERT_EQ(back->w, 3);
  ASSERT_EQ(back->h, 2);
  for (int i = 0; i < 6; i++) {
    const int c = getpixel(back, i % 3, i / 3);
    EXPECT_EQ(getr32(c), cols[i][0]) << i;
    EXPECT_EQ(getg32(c), cols[i][1]) << i;
    EXPECT_EQ(getb32(c), cols[i][2]) << i;
  }
  destroy_bitmap(back);
  destroy_bitmap(b);
  std::remove(path.c_str());
}

TEST(ArtKit, GlyphSheetIsGrabbedAsAMonochromeFont) {
  int cellHeight = 0;
  BITMAP *sheet = art::GlyphSheet(art::StoryFontFile(), art::StoryFontSize, &cellHeight);
  ASSERT_NE(sheet, nullptr);
  EXPECT_EQ(bitmap_color_depth(sheet), 8);
  FONT *f = grab_font_from_bitmap(sheet);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(text_height(f), cellHeight);
  EXPECT_TRUE(is_mono_font(f));
  EXPECT_EQ(get_font_range_end(f, -1) - get_font_range_begin(f, -1) + 1, 95);
  EXPECT_EQ(text_length(f, " "), text_length(f, "  ") / 2);
  destroy_font(f);
  destroy_bitmap(sheet);
  // A missing font file gives no sheet rather than an empty font.
  EXPECT_EQ(art::GlyphSheet("/nonexistent.ttf", 16, &cellHeight), nullptr);
}

TEST(ArtKit, NoiseIsRepeatableAndInRange) {
  float lo = 1, hi = 0;
  for (int i = 0; i < 500; i++) {
    const float x = i * 0.37f, y = i * 0.11f;
    const float n = art::Fbm(x, y, 4, 7u);
    EXPECT_EQ(n, art::Fbm(x, y, 4, 7u));
    lo = std::min(lo, n);
    hi = std::max(hi, n);
  }
  EXPECT_GE(lo, 0.0f);
  EXPECT_LE(hi, 1.0f);
  EXPECT_GT(hi - lo, 0.3f);  // it varies
  EXPECT_NE(art::Noise(3.5f, 2.5f, 1u), art::Noise(3.5f, 2.5f, 2u));
}

TEST(ArtKit, VolumesAreLitFromTheTopLeft) {
  art::Canvas c(40, 40);
  art::Fill(c, art::View{}, art::Circle(20, 20, 15), [](const art::Hit &h) { return art::Lit(art::Rgb(200, 200, 200), h, 15); });
  const art::Col topLeft = c.colour(11, 11), bottomRight = c.colour(29, 29), centre = c.colour(20, 20);
  EXPECT_GT(topLeft.r, centre.r * 0.95f);
  EXPECT_GT(topLeft.r, bottomRight.r + 0.2f);
  EXPECT_NEAR(c.colour(20, 20).r, 200 / 255.0f, 0.05f);  // a flat top keeps its colour
}

TEST(ArtKit, LetteringMasksGrowWithTheTextAndTheirPens) {
  const std::string font = art::StoryFontFile();
  const art::Mask one = art::TextMask(font, "Ab", 20), two = art::TextMask(font, "AbAb", 20);
  ASSERT_GT(one.w, 0);
  EXPECT_GT(two.w, one.w + 15);
  EXPECT_EQ(one.h, two.h);
  auto mass = [](const art::Mask &m) {
    double s = 0;
    for (float a : m.a) s += a;
    return s;
  };
  EXPECT_NEAR(mass(two), 2 * mass(one), mass(one) * 0.1);
  // A thicker pen covers more; blurring keeps the ink.
  const art::Mask grown = art::Dilate(one, 2);
  EXPECT_EQ(grown.w, one.w + 4);
  EXPECT_GT(mass(grown), mass(one) * 1.5);
  EXPECT_NEAR(mass(art::Blur(grown, 1)), mass(grown), mass(grown) * 0.05);
  EXPECT_EQ(art::TextMask("/nonexistent.ttf", "Ab", 20).w, 0);
}

TEST(ArtKit, HalfSizeAveragesEachChannel) {
  BITMAP *b = create_bitmap_ex(32, 2, 2);
  putpixel(b, 0, 0, makecol32(200, 0, 0));
  putpixel(b, 1, 0, makecol32(0, 100, 0));
  putpixel(b, 0, 1, makecol32(0, 0, 40));
  putpixel(b, 1, 1, makecol32(0, 0, 0));
  BITMAP *h = art::HalfSize(b);
  ASSERT_EQ(h->w, 1);
  const int c = getpixel(h, 0, 0);
  EXPECT_EQ(getr32(c), 50);
  EXPECT_EQ(getg32(c), 25);
  EXPECT_EQ(getb32(c), 10);
  destroy_bitmap(h);
  destroy_bitmap(b);
}

TEST(ArtKit, ContactSheetShowsEveryFrameWithoutTheMask) {
  BITMAP *strip = art::NewMaskedBitmap(30, 10);
  for (int f = 0; f < 3; f++) rectfill(strip, f * 10 + 2, 2, f * 10 + 7, 7, makecol32(10 + f * 100, 200, 30));
  const std::string d = SKV_TTF_DIR;
  const art::Fonts fonts{d + "/DejaVuSerif-Bold.ttf", d + "/DejaVuSerif.ttf", d + "/DejaVuSans-Bold.ttf", d + "/DejaVuSans.ttf"};
  BITMAP *sheet = art::ContactSheet({{"strip.bmp", strip, 10, 10, 4}}, fonts);
  ASSERT_NE(sheet, nullptr);
  int seen[3] = {0, 0, 0}, mask = 0;
  for (int y = 0; y < sheet->h; y++)
    for (int x = 0; x < sheet->w; x++) {
      const int c = getpixel(sheet, x, y);
      if (IsMask(c)) mask++;
      for (int f = 0; f < 3; f++) seen[f] += c == makecol32(10 + f * 100, 200, 30);
    }
  for (int f = 0; f < 3; f++) EXPECT_EQ(seen[f], 6 * 6 * 16) << "frame " << f << " enlarged four times";
  EXPECT_EQ(mask, 0);
  destroy_bitmap(sheet);
  destroy_bitmap(strip);
}

TEST(ArtKit, IconIsARoundEmblemOnTheMask) {
  for (int size : {16, 64}) {
    BITMAP *icon = art::MakeIcon(size);
    ASSERT_NE(icon, nullptr);
    EXPECT_EQ(icon->w, size);
    EXPECT_TRUE(IsMask(getpixel(icon, 0, 0)));
    EXPECT_TRUE(IsMask(getpixel(icon, size - 1, size - 1)));
    EXPECT_FALSE(IsMask(getpixel(icon, size / 2, size / 2)));
    EXPECT_FALSE(IsMask(getpixel(icon, size / 2, 1)));
    destroy_bitmap(icon);
  }
}
