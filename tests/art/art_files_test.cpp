// The generated pictures and the story font, checked as the game uses them:
// loaded from the run folder, cut into frames, drawn with text on top.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "art_test_util.h"

using arttest::DataFile;
using arttest::IsMask;
using arttest::Luma;
using arttest::NearMagenta;

namespace {

struct Strip {
  const char *name;
  int frameW, frameH, cols, rows;  // cols 0: any number of columns
};

const Strip Sprites[] = {
    {"Dragon.bmp", 80, 110, 0, 1}, {"fire.bmp", 16, 16, 4, 1}, {"ice.bmp", 16, 16, 4, 1},
    {"orc2.bmp", 24, 32, 3, 4},    {"orc3.bmp", 24, 32, 3, 4}, {"orc4.bmp", 24, 32, 3, 4},
    {"orc5.bmp", 24, 32, 3, 4},    {"hut.bmp", 64, 64, 1, 1},  {"node.bmp", 32, 32, 8, 1},
};

BITMAP *Load(const std::string &name) { return load_bitmap(DataFile(name).c_str(), nullptr); }

// Bits per pixel from a BMP header (0 when the file is not a BMP).
int BmpDepth(const std::string &name) {
  FILE *f = std::fopen(DataFile(name).c_str(), "rb");
  if (!f) return 0;
  unsigned char h[30] = {};
  const size_t n = std::fread(h, 1, sizeof h, f);
  std::fclose(f);
  if (n < 30 || h[0] != 'B' || h[1] != 'M') return 0;
  return h[28] | (h[29] << 8);
}

// Pixels that differ between two frames of one strip.
int FrameDifference(BITMAP *b, int fw, int fh, int c1, int r1, int c2, int r2) {
  int diff = 0;
  for (int y = 0; y < fh; y++)
    for (int x = 0; x < fw; x++)
      if (getpixel(b, c1 * fw + x, r1 * fh + y) != getpixel(b, c2 * fw + x, r2 * fh + y)) diff++;
  return diff;
}

struct Area {
  float mean, spread;
};

// Mean luminance of a rectangle and its standard deviation.
Area Measure(BITMAP *b, int x0, int y0, int x1, int y1) {
  double sum = 0, sq = 0;
  int n = 0;
  for (int y = y0; y <= y1; y++)
    for (int x = x0; x <= x1; x++) {
      const double l = Luma(getpixel(b, x, y));
      sum += l;
      sq += l * l;
      n++;
    }
  const double mean = sum / n;
  return {float(mean), float(std::sqrt(std::max(0.0, sq / n - mean * mean)))};
}

}  // namespace

TEST(ArtSprites, FramesAreOnTheirGridWithMaskAroundEveryFrame) {
  for (const Strip &s : Sprites) {
    SCOPED_TRACE(s.name);
    EXPECT_EQ(BmpDepth(s.name), 32);
    BITMAP *b = Load(s.name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->h, s.frameH * s.rows);
    EXPECT_EQ(b->w % s.frameW, 0);
    if (s.cols) {
      EXPECT_EQ(b->w, s.frameW * s.cols);
    }
    for (int r = 0; r < b->h / s.frameH; r++)
      for (int c = 0; c < b->w / s.frameW; c++) {
        int border = 0, painted = 0, fringe = 0;
        for (int y = 0; y < s.frameH; y++)
          for (int x = 0; x < s.frameW; x++) {
            const int px = getpixel(b, c * s.frameW + x, r * s.frameH + y);
            const bool edge = x == 0 || y == 0 || x == s.frameW - 1 || y == s.frameH - 1;
            if (edge && !IsMask(px)) border++;
            if (!IsMask(px)) painted++;
            if (NearMagenta(px)) fringe++;
          }
        EXPECT_EQ(border, 0) << "frame " << c << "," << r << " touches its edge";
        EXPECT_EQ(fringe, 0) << "frame " << c << "," << r << " has pinkish pixels";
        EXPECT_GT(painted, s.frameW * s.frameH / 6) << "frame " << c << "," << r << " is nearly empty";
      }
    destroy_bitmap(b);
  }
}

TEST(ArtSprites, WalkCyclesAndShotLoopsChangeEveryFrame) {
  const char *walkers[] = {"orc2.bmp", "orc3.bmp", "orc4.bmp", "orc5.bmp"};
  for (const char *name : walkers) {
    SCOPED_TRACE(name);
    BITMAP *b = Load(name);
    ASSERT_NE(b, nullptr);
    for (int r = 0; r < 4; r++)
      for (int c = 0; c < 3; c++) EXPECT_GT(FrameDifference(b, 24, 32, c, r, (c + 1) % 3, r), 12) << "row " << r << " col " << c;
    // The four facings are four different pictures.
    for (int r = 0; r < 4; r++)
      for (int r2 = r + 1; r2 < 4; r2++) EXPECT_GT(FrameDifference(b, 24, 32, 1, r, 1, r2), 40) << r << " vs " << r2;
    destroy_bitmap(b);
  }
  for (const char *name : {"fire.bmp", "ice.bmp"}) {
    SCOPED_TRACE(name);
    BITMAP *b = Load(name);
    ASSERT_NE(b, nullptr);
    for (int c = 0; c < 4; c++) EXPECT_GT(FrameDifference(b, 16, 16, c, 0, (c + 1) % 4, 0), 10) << "col " << c;
    destroy_bitmap(b);
  }
}

TEST(ArtSprites, MarkerPulsesAndCompletedMarkerStandsApart) {
  BITMAP *b = Load("node.bmp");
  ASSERT_NE(b, nullptr);
  for (int c = 0; c < 6; c++) EXPECT_GT(FrameDifference(b, 32, 32, c, 0, c + 1, 0), 10) << c;
  for (int c = 0; c < 7; c++) EXPECT_GT(FrameDifference(b, 32, 32, c, 0, 7, 0), 150) << c;
  destroy_bitmap(b);
}

TEST(ArtSprites, OrcsAndWizardAreDistinctFigures) {
  std::vector<BITMAP *> figures;
  for (const char *name : {"orc2.bmp", "orc3.bmp", "orc4.bmp", "orc5.bmp"}) figures.push_back(Load(name));
  for (size_t i = 0; i < figures.size(); i++) ASSERT_NE(figures[i], nullptr);
  for (size_t i = 0; i < figures.size(); i++)
    for (size_t j = i + 1; j < figures.size(); j++) {
      int diff = 0;
      for (int y = 64; y < 96; y++)  // row 2: facing down, the view the player sees most
        for (int x = 0; x < 72; x++) diff += getpixel(figures[i], x, y) != getpixel(figures[j], x, y);
      EXPECT_GT(diff, 72 * 32 / 4) << "orc" << i + 2 << " vs orc" << j + 2;
    }
  for (BITMAP *b : figures) destroy_bitmap(b);
}

TEST(ArtSprites, CloudsAreSoftShapesOnTheMask) {
  for (const char *name : {"cloud1.bmp", "cloud2.bmp"}) {
    SCOPED_TRACE(name);
    EXPECT_EQ(BmpDepth(name), 32);
    BITMAP *b = Load(name);
    ASSERT_NE(b, nullptr);
    EXPECT_GE(b->w, 32);
    EXPECT_GE(b->h, 32);
    int painted = 0, dark = 0, edge = 0;
    for (int y = 0; y < b->h; y++)
      for (int x = 0; x < b->w; x++) {
        const int c = getpixel(b, x, y);
        if (IsMask(c)) continue;
        painted++;
        if (Luma(c) < 0.55f) dark++;  // clouds are light all over, rim included
        if (x == 0 || y == 0 || x == b->w - 1 || y == b->h - 1) edge++;
      }
    EXPECT_GT(painted, b->w * b->h / 3);
    EXPECT_EQ(dark, 0);
    EXPECT_EQ(edge, 0);
    destroy_bitmap(b);
  }
}

TEST(ArtPictures, FullScreenPicturesLoadAtScreenSize) {
  for (const char *name : {"world.bmp", "title_screen.bmp", "options_screen.bmp", "stage_intro.bmp", "gameover.bmp", "quillon.bmp",
                           "allegro.pcx"}) {
    SCOPED_TRACE(name);
    BITMAP *b = Load(name);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->w, 640);
    EXPECT_EQ(b->h, 480);
    // A picture, not a flat fill.
    EXPECT_GT(Measure(b, 0, 0, 639, 479).spread, 0.05f);
    destroy_bitmap(b);
  }
}

TEST(ArtPictures, TextPlacesHaveTheContrastTheTextNeeds) {
  // White stage names, 8 pixels high, at marker x - 50, y + 42 on the world map.
  BITMAP *world = Load("world.bmp");
  ASSERT_NE(world, nullptr);
  const int markers[5][3] = {{320, 420, 15}, {250, 380, 17}, {370, 350, 15}, {180, 350, 14}, {220, 250, 16}};
  for (const auto &m : markers) {
    const Area a = Measure(world, m[0] - 50, m[1] + 42, m[0] - 50 + 8 * m[2] - 1, m[1] + 49);
    EXPECT_LT(a.mean, 0.42f) << "name under marker at " << m[0] << "," << m[1];
  }
  destroy_bitmap(world);
  // Black menu on the title, black captions on the game-over scene, black
  // story text on the parchment: light and calm behind all of them.
  struct Place {
    const char *name;
    int x0, y0, x1, y1;
  };
  const Place light[] = {{"title_screen.bmp", 446, 346, 512, 382},
                         {"gameover.bmp", 346, 296, 470, 326},
                         {"gameover.bmp", 6, 436, 182, 452},
                         {"stage_intro.bmp", 146, 66, 330, 92},
                         {"stage_intro.bmp", 116, 116, 420, 444}};
  for (const Place &p : light) {
    SCOPED_TRACE(p.name);
    BITMAP *b = Load(p.name);
    ASSERT_NE(b, nullptr);
    const Area a = Measure(b, p.x0, p.y0, p.x1, p.y1);
    EXPECT_GT(a.mean, 0.68f) << p.x0 << "," << p.y0;
    EXPECT_LT(a.spread, 0.08f) << p.x0 << "," << p.y0;
    destroy_bitmap(b);
  }
}

TEST(ArtFont, StoryFontIsTheFirstObjectOfScriptDat) {
  DATAFILE *d = load_datafile(DataFile("script.dat").c_str());
  ASSERT_NE(d, nullptr);
  ASSERT_EQ(d[0].type, DAT_FONT);
  FONT *f = static_cast<FONT *>(d[0].dat);
  ASSERT_NE(f, nullptr);
  EXPECT_GE(text_height(f), 16);
  EXPECT_LE(text_height(f), 22);
  EXPECT_TRUE(is_mono_font(f));
  EXPECT_EQ(get_font_range_begin(f, -1), ' ');
  EXPECT_EQ(get_font_range_end(f, -1), '~');
  // Proportional and readable: wide letters wider than narrow ones.
  EXPECT_GT(text_length(f, "W"), text_length(f, "i"));
  // The longest story lines, printed at x 120, stay left of the margin art.
  for (const char *line : {"The Orcish defenses are ", "Here, the Orcish tribes ", "The only known village  ",
                           "Carefully choose, water ", "Control to shoot fire."})
    EXPECT_LT(120 + text_length(f, line), 460) << line;
  // The caller's colour applies: black text on white leaves only black and white.
  BITMAP *b = create_bitmap_ex(32, 200, 40);
  clear_to_color(b, makecol32(255, 255, 255));
  textout_ex(b, f, "Game Over", 4, 4, makecol32(0, 0, 0), -1);
  int black = 0, other = 0;
  for (int y = 0; y < b->h; y++)
    for (int x = 0; x < b->w; x++) {
      const int c = getpixel(b, x, y);
      if (c == makecol32(0, 0, 0))
        black++;
      else if (c != makecol32(255, 255, 255))
        other++;
    }
  EXPECT_GT(black, 150);
  EXPECT_EQ(other, 0);
  destroy_bitmap(b);
  unload_datafile(d);
}

TEST(ArtIcons, EverySizeIsASquarePng) {
  for (int size : {16, 32, 48, 64, 128, 256}) {
    const std::string name = "icons/skarnvale-" + std::to_string(size) + ".png";
    FILE *f = std::fopen(DataFile(name).c_str(), "rb");
    ASSERT_NE(f, nullptr) << name;
    unsigned char h[24] = {};
    const size_t n = std::fread(h, 1, sizeof h, f);
    std::fclose(f);
    ASSERT_EQ(n, sizeof h);
    EXPECT_EQ(h[1], 'P');
    EXPECT_EQ(h[12], 'I');  // IHDR first
    const int w = (h[16] << 24) | (h[17] << 16) | (h[18] << 8) | h[19];
    const int hh = (h[20] << 24) | (h[21] << 16) | (h[22] << 8) | h[23];
    EXPECT_EQ(w, size);
    EXPECT_EQ(hh, size);
  }
}

TEST(ArtIcons, WindowIconHoldsEachSizeAtTheTopOnTheMask) {
  BITMAP *b = Load("window_icon.bmp");
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->w, 16 + 32 + 48 + 64);
  EXPECT_EQ(b->h, 64);
  int left = 0;
  for (int size : {16, 32, 48, 64}) {
    int drawn = 0, below = 0;
    for (int y = 0; y < b->h; y++)
      for (int x = left; x < left + size; x++) {
        if (y < size && !IsMask(getpixel(b, x, y))) drawn++;
        if (y >= size && !IsMask(getpixel(b, x, y))) below++;
      }
    EXPECT_GT(drawn, size * size / 2) << size;
    EXPECT_EQ(below, 0) << size;
    left += size;
  }
  destroy_bitmap(b);
}

TEST(ArtSprites, RoundThingsAreLitFromTheTopLeft) {
  // The hut roof and the marker stone are round seen from above: their top
  // left half catches the light, their bottom right half is in shade.
  struct Round {
    const char *name;
    int x0, y0, size;
  };
  for (const Round &r : {Round{"hut.bmp", 7, 6, 50}, Round{"node.bmp", 7 * 32 + 6, 6, 20}}) {
    SCOPED_TRACE(r.name);
    BITMAP *b = Load(r.name);
    ASSERT_NE(b, nullptr);
    double lit = 0, shade = 0;
    for (int y = 0; y < r.size; y++)
      for (int x = 0; x < r.size; x++) {
        const int c = getpixel(b, r.x0 + x, r.y0 + y);
        if (IsMask(c)) continue;
        if (x + y < r.size - 4) lit += Luma(c);
        if (x + y > r.size + 4) shade += Luma(c);
      }
    EXPECT_GT(lit, shade * 1.15);
    destroy_bitmap(b);
  }
}
