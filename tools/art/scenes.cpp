// The full-screen pictures: world map, title, story parchment, game over.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "sdf.h"
#include "text.h"

namespace art {

namespace {

const int W = 640, H = 480;
const float Pi = 3.14159265f;

float Smooth(float e0, float e1, float x) {
  const float t = std::clamp((x - e0) / (e1 - e0), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

BITMAP *ToBitmap(const Canvas &c) {
  BITMAP *b = create_bitmap_ex(32, c.w, c.h);
  PutOpaque(b, 0, 0, c);
  return b;
}

// Darkens (k < 1) or lightens (k > 1 towards white) a soft oval.
void Tint(Canvas &c, float cx, float cy, float rx, float ry, float k) {
  for (int y = std::max(0, int(cy - ry)); y < std::min(c.h, int(cy + ry) + 1); y++)
    for (int x = std::max(0, int(cx - rx)); x < std::min(c.w, int(cx + rx) + 1); x++) {
      const float d = std::hypot((x - cx) / rx, (y - cy) / ry);
      const float t = 1.0f - Smooth(0.55f, 1.0f, d);
      if (t <= 0) continue;
      Px &p = c.at(x, y);
      if (k < 1) {
        const float m = 1 - (1 - k) * t;
        p.r *= m, p.g *= m, p.b *= m;
      } else {
        const float m = (k - 1) * t;
        p.r += (1 - p.r) * m, p.g += (1 - p.g) * m, p.b += (1 - p.b) * m;
      }
    }
}

// Lettering with a dark outline and a soft drop shadow; (x, y) is the top left.
void Letter(Canvas &c, const std::string &font, const std::string &text, int size, int x, int y, Col fill,
            Col edge, int edgeWidth) {
  const Mask m = TextMask(font, text, size, 0);
  const Mask outline = Dilate(m, edgeWidth);
  Stamp(c, Blur(outline, 2), x - edgeWidth + 2, y - edgeWidth + 3, Rgb(0, 0, 0), 0.45f);
  Stamp(c, outline, x - edgeWidth, y - edgeWidth, edge);
  Stamp(c, m, x, y, fill);
}

int TextWidth(const std::string &font, const std::string &text, int size) {
  const Mask m = TextMask(font, text, size, 0);
  return m.w - size / 4;
}

// ---------------------------------------------------------------- world map

// Land outline of the painted map: the sea fills the south and bites into
// the west as the Bay of K'llisc.
float LandDistance(float x, float y) {
  static const Sdf coast =
      Polygon({{0, 0},     {640, 0},   {640, 404}, {600, 420}, {540, 436}, {470, 446}, {400, 450}, {352, 452},
               {300, 450}, {256, 440}, {232, 420}, {228, 390}, {212, 356}, {180, 336}, {146, 338}, {116, 356},
               {92, 392},  {56, 420},  {0, 430}});
  const float warp = (Fbm(x * 0.03f, y * 0.03f, 4, 501u) - 0.5f) * 22.0f;
  return coast(x, y) + warp;
}

struct Region {
  float x, y, rx, ry;
};
const Region Forest{232, 246, 112, 70};
const Region Grounds{268, 398, 52, 24};
const Region Village{392, 366, 46, 30};
const Pt Peak{420, 92};

float RegionWeight(const Region &r, float x, float y, float soft) {
  const float d = std::hypot((x - r.x) / r.rx, (y - r.y) / r.ry);
  return 1.0f - Smooth(1.0f - soft, 1.0f, d);
}

float Elevation(float x, float y) {
  const float mountain = std::exp(-(std::pow((x - Peak.x) / 150.0f, 2.0f) + std::pow((y - Peak.y) / 95.0f, 2.0f)));
  const float range = Smooth(240, 60, y) * 0.55f;
  const float ridges = 1.0f - std::fabs(Fbm(x * 0.02f, y * 0.02f, 5, 77u) * 2 - 1);
  return 0.25f * Fbm(x * 0.012f, y * 0.012f, 4, 12u) + (mountain * 0.9f + range) * (0.5f + 0.6f * ridges);
}

Col GroundColour(float x, float y, float elev) {
  const float n = Fbm(x * 0.05f, y * 0.05f, 4, 901u);
  Col grass = Mix(Rgb(70, 112, 52), Rgb(112, 140, 66), n);
  grass = Mix(grass, Rgb(132, 124, 76), Smooth(0.55f, 0.75f, Fbm(x * 0.01f, y * 0.01f, 3, 902u)) * 0.5f);
  const Col rock = Mix(Rgb(116, 96, 74), Rgb(150, 132, 110), n);
  Col c = Mix(grass, rock, Smooth(0.35f, 0.55f, elev));
  // Snow only on the high slopes around the peak.
  const float peak = std::exp(-(std::pow((x - Peak.x) / 120.0f, 2.0f) + std::pow((y - Peak.y) / 70.0f, 2.0f)));
  const float ridge = 1.0f - std::fabs(Fbm(x * 0.035f, y * 0.035f, 4, 78u) * 2 - 1);
  c = Mix(c, Rgb(236, 240, 246), Smooth(0.5f, 0.62f, peak * (0.35f + 0.9f * ridge)));
  // Dark forest floor, bare trampled earth at the training grounds.
  c = Mix(c, Rgb(34, 62, 34), RegionWeight(Forest, x, y, 0.35f));
  c = Mix(c, Mix(Rgb(124, 96, 62), Rgb(100, 76, 50), n), RegionWeight(Grounds, x, y, 0.5f) * 0.85f);
  c = Mix(c, Mix(Rgb(104, 94, 60), Rgb(88, 80, 52), n), RegionWeight(Village, x, y, 0.5f) * 0.85f);
  return c;
}

// River from the mountain down to the bay.
const std::vector<Pt> RiverPts = {{396, 150}, {360, 176}, {330, 172}, {300, 196}, {250, 214}, {205, 258}, {180, 300}, {170, 338}};

float RiverDistance(float x, float y) {
  float d = 1e9f;
  for (size_t i = 0; i + 1 < RiverPts.size(); i++) {
    const float w = 1.2f + 2.2f * i / RiverPts.size();
    d = std::min(d, Capsule(RiverPts[i].x, RiverPts[i].y, RiverPts[i + 1].x, RiverPts[i + 1].y, w)(x, y));
  }
  return d;
}

void PaintLand(Canvas &c) {
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const float land = LandDistance(x, y);
      const float n = Fbm(x * 0.04f, y * 0.04f, 3, 33u);
      Col col;
      if (land > 0) {
        // Sea: deeper away from the coast, with wind-streaked waves.
        const float depth = Smooth(0, 40, land);
        col = Mix(Rgb(52, 118, 140), Rgb(22, 50, 92), depth);
        const float wave = std::sin(x * 0.22f + Fbm(x * 0.02f, y * 0.05f, 3, 5u) * 14.0f + y * 0.05f);
        if (wave > 0.93f) col = Mix(col, Rgb(150, 190, 210), 0.35f * (1 - depth * 0.5f));
        if (land < 3.0f) col = Mix(col, Rgb(230, 236, 230), 0.5f * (1 - land / 3.0f));
      } else {
        const float e = Elevation(x, y);
        const float ex = Elevation(x + 1, y) - e, ey = Elevation(x, y + 1) - e;
        float nx = -ex * 110, ny = -ey * 110, nz = 1;
        const float l = std::sqrt(nx * nx + ny * ny + nz * nz);
        const float diff = std::max(0.0f, (nx * LightX + ny * LightY + nz * LightZ) / l) / LightZ;
        col = Scale(GroundColour(x, y, e), 0.55f + 0.5f * diff);
        if (land > -5.0f) col = Mix(col, Rgb(214, 196, 140), Smooth(-5, -1, land));
        const float river = RiverDistance(x, y);
        if (river < 0.8f) col = Mix(Rgb(60, 120, 150), col, Smooth(-0.6f, 0.8f, river));
        col = Mix(col, Scale(col, 0.85f), n * 0.3f);
      }
      c.at(x, y) = {col.r, col.g, col.b, 1};
    }
}

void Tree(Canvas &c, float x, float y, float r, uint32_t seed) {
  Fill(c, View{}, Circle(x + r * 0.5f, y + r * 0.6f, r), Rgb(10, 24, 12), 0.5f);
  Fill(c, View{}, Circle(x, y, r), [=](const Hit &h) {
    const float n = Noise(h.x * 0.8f, h.y * 0.8f, seed);
    return Lit(Mix(Rgb(30, 74, 36), Rgb(60, 110, 48), n), h, r);
  });
}

void Hutlet(Canvas &c, float x, float y) {
  Fill(c, View{}, Circle(x + 2, y + 2, 5), Rgb(20, 16, 10), 0.5f);
  Fill(c, View{}, Circle(x, y, 5), [&](const Hit &h) { return Lit(Rgb(170, 130, 74), h, 5.0f); });
  Fill(c, View{}, Circle(x, y, 1.2f), Rgb(40, 28, 18));
}

// A ring of wooden stakes around an oval, with a gap for the gate at the south.
void Palisade(Canvas &c, float cx, float cy, float rx, float ry, float spacing) {
  const float around = 2 * Pi * std::sqrt((rx * rx + ry * ry) / 2);
  const int n = int(around / spacing);
  for (int i = 0; i < n; i++) {
    const float a = 2 * Pi * i / n;
    if (std::fabs(a - Pi / 2) < 0.25f) continue;
    const float x = cx + std::cos(a) * rx, y = cy + std::sin(a) * ry;
    Fill(c, View{}, Circle(x + 0.8f, y + 0.8f, 1.4f), Rgb(20, 14, 8), 0.6f);
    Fill(c, View{}, Circle(x, y, 1.3f), [](const Hit &h) { return Lit(Rgb(130, 92, 52), h, 1.3f); });
  }
}

void PaintDetails(Canvas &c) {
  Rng rng(4242);
  // Forest canopy, denser towards its heart; a few stray trees elsewhere.
  for (int i = 0; i < 900; i++) {
    const float x = rng.range(100, 370), y = rng.range(160, 340);
    if (RegionWeight(Forest, x, y, 0.2f) < rng.range(0.3f, 1.0f) || LandDistance(x, y) > -6) continue;
    Tree(c, x, y, rng.range(3.5f, 6.5f), 300u + i);
  }
  for (int i = 0; i < 120; i++) {
    const float x = rng.range(20, 620), y = rng.range(200, 440);
    if (LandDistance(x, y) > -8 || Elevation(x, y) > 0.4f || RegionWeight(Grounds, x, y, 0.2f) > 0 ||
        RegionWeight(Village, x, y, 0.2f) > 0)
      continue;
    Tree(c, x, y, rng.range(2.5f, 4.5f), 700u + i);
  }
  // Training grounds: a fenced yard with straw targets.
  Palisade(c, Grounds.x, Grounds.y, 44, 20, 4.5f);
  for (int i = 0; i < 4; i++) {
    const float x = Grounds.x - 27 + i * 18, y = Grounds.y - 6 + (i & 1) * 10;
    Fill(c, View{}, Circle(x, y, 3.2f), [](const Hit &h) { return Lit(Rgb(220, 190, 110), h, 3.0f); });
    Fill(c, View{}, Circle(x, y, 1.2f), Rgb(170, 30, 20));
  }
  // K'llisc Village: huts inside a palisade.
  Palisade(c, Village.x, Village.y, 40, 25, 3.2f);
  const Pt huts[] = {{376, 352}, {398, 348}, {416, 362}, {372, 374}, {394, 378}, {410, 382}, {358, 362}};
  for (const Pt &p : huts) Hutlet(c, p.x, p.y);
  // The Demon Lord's fire glowing in the mountain's crater, smoke drifting east.
  Fill(c, View{}, Ellipse(Peak.x, Peak.y, 11, 8), [](const Hit &h) { return Lit(Rgb(90, 70, 60), h, 3.0f); });
  Fill(c, View{}, Ellipse(Peak.x + 0.5f, Peak.y + 0.5f, 6.5f, 4.5f), [](const Hit &h) {
    return Mix(Rgb(150, 30, 10), Rgb(255, 210, 110), std::clamp(-h.d / 4.0f, 0.0f, 1.0f));
  });
  for (int i = 0; i < 6; i++)
    Fill(c, View{}, Circle(Peak.x + 6 + i * 7.0f, Peak.y - 4 - i * 2.5f, 3.5f + i * 1.2f), Rgb(70, 64, 66), 0.35f - i * 0.04f);
  // Farm plots outside the village.
  Rng fields(77);
  for (int i = 0; i < 6; i++) {
    const float x = 440 + (i % 3) * 24 + fields.range(-3, 3), y = 330 + (i / 3) * 22 + fields.range(-3, 3);
    const Col crop = (i & 1) ? Rgb(150, 140, 70) : Rgb(96, 120, 50);
    Fill(c, View{}, Box(x, y, 10, 8, 1, 0.15f), [=](const Hit &h) {
      const float row = 0.5f + 0.5f * std::sin((h.x * 0.15f + h.y) * 1.6f);
      return Mix(crop, Scale(crop, 0.8f), row);
    }, 0.85f);
  }
  // A sailing ship off the south-east coast.
  Fill(c, View{}, Ellipse(604, 452, 10, 3.2f, -0.1f), Rgb(20, 40, 70), 0.5f);
  Fill(c, View{}, Ellipse(602, 449, 9, 3.0f, -0.1f), [](const Hit &h) { return Lit(Rgb(120, 80, 44), h, 2.0f); });
  Fill(c, View{}, Polygon({{600, 440}, {610, 446}, {600, 447}}), [](const Hit &h) { return Lit(Rgb(240, 236, 220), h, 2.0f); });
  Fill(c, View{}, Polygon({{597, 441}, {597, 447}, {591, 447}}), [](const Hit &h) { return Lit(Rgb(230, 226, 210), h, 2.0f); });
}

void PaintFrame(Canvas &c) {
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const int e = std::min(std::min(x, y), std::min(W - 1 - x, H - 1 - y));
      if (e < 7) {
        const Col wood = Mix(Rgb(74, 46, 24), Rgb(120, 80, 44), Noise(x * 0.3f, y * 0.05f + x * 0.01f, 55u));
        const Col col = Scale(wood, e == 0 || e == 6 ? 0.6f : 1.0f);
        c.at(x, y) = {col.r, col.g, col.b, 1};
      } else if (e < 20) {
        Px &p = c.at(x, y);
        const float k = 0.7f + 0.3f * (e - 7) / 13.0f;
        p.r *= k, p.g *= k, p.b *= k;
      }
    }
}

void Compass(Canvas &c, float cx, float cy) {
  Fill(c, View{}, Circle(cx, cy, 22), Rgb(230, 214, 170), 0.35f);
  Fill(c, View{}, Cut(Circle(cx, cy, 22), Circle(cx, cy, 20.5f)), Rgb(60, 40, 20));
  for (int i = 0; i < 8; i++) {
    const float a = i * Pi / 4 - Pi / 2, len = (i & 1) ? 12.0f : 24.0f, wd = (i & 1) ? 2.5f : 4.0f;
    const Pt tip{cx + std::cos(a) * len, cy + std::sin(a) * len};
    const Pt l{cx + std::cos(a + Pi / 2) * wd, cy + std::sin(a + Pi / 2) * wd};
    const Pt r{cx + std::cos(a - Pi / 2) * wd, cy + std::sin(a - Pi / 2) * wd};
    Fill(c, View{}, Polygon({{cx, cy}, l, tip}), (i == 0) ? Rgb(180, 30, 20) : Rgb(240, 230, 200));
    Fill(c, View{}, Polygon({{cx, cy}, tip, r}), (i == 0) ? Rgb(110, 20, 14) : Rgb(90, 70, 44));
  }
}

}  // namespace

BITMAP *MakeWorld(const Fonts &f) {
  Canvas c(W, H);
  PaintLand(c);
  PaintDetails(c);
  // Quiet, darker ground under each marker's name (printed in white at
  // marker x - 50, y + 42), so the names read well.
  const Pt markers[] = {{320, 420}, {250, 380}, {370, 350}, {180, 350}, {220, 250}};
  const int nameLen[] = {15, 17, 15, 14, 16};
  for (int i = 0; i < 5; i++) {
    const float x0 = markers[i].x - 50, x1 = x0 + nameLen[i] * 8, y0 = markers[i].y + 42;
    Tint(c, (x0 + x1) / 2, y0 + 4, (x1 - x0) / 2 + 12, 11, 0.5f);
  }
  Compass(c, 590, 60);
  PaintFrame(c);
  Letter(c, f.serifBold, "K'llisc Mountain", 17, 446, 112, Rgb(246, 232, 200), Rgb(40, 24, 12), 2);
  Letter(c, f.serifBold, "Skarnvale", 26, 24, 18, Rgb(250, 214, 120), Rgb(50, 24, 10), 2);
  Letter(c, f.serif, "The Sea", 15, 548, 448, Rgb(200, 222, 236), Rgb(16, 32, 60), 1);
  return ToBitmap(c);
}

// ---------------------------------------------------------------- title

namespace {

// The title's scene without its menu plaque.
void PaintTitleScene(Canvas &c, const Fonts &f) {
  // Dawn sky over layered mountain ridges.
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const float t = y / float(H);
      Col col = Mix(Rgb(28, 34, 84), Rgb(206, 112, 88), Smooth(0.0f, 0.72f, t));
      col = Mix(col, Rgb(255, 206, 140), Smooth(0.45f, 0.8f, t) * 0.8f);
      const float sun = std::hypot(x - 470.0f, (y - 330.0f) * 1.3f);
      col = Mix(col, Rgb(255, 240, 200), std::exp(-sun / 70.0f) * 0.9f);
      const float cloud = Smooth(0.55f, 0.8f, Fbm(x * 0.006f, y * 0.02f, 5, 61u));
      col = Mix(col, Mix(Rgb(250, 190, 170), Rgb(120, 80, 110), t), cloud * 0.45f * (1 - t * 0.6f));
      c.at(x, y) = {col.r, col.g, col.b, 1};
    }
  // A few stars still out in the high sky.
  Rng stars(515);
  for (int i = 0; i < 60; i++) {
    const float x = stars.range(0, W), y = stars.range(0, 150), r = stars.range(0.4f, 1.0f);
    Fill(c, View{}, Circle(x, y, r), Rgb(255, 250, 230), Smooth(150, 20, y) * stars.range(0.4f, 0.9f));
  }
  // K'llisc Mountain far away, its crater glowing.
  for (int x = 420; x < W; x++) {
    const float top = 300 - 120 * std::exp(-std::pow((x - 560) / 60.0f, 2.0f)) - 8 * Fbm(x * 0.05f, 0.3f, 3, 8u);
    for (int y = int(top); y < 330; y++) {
      const float glow = std::exp(-std::hypot(x - 560.0f, (y - top) * 1.5f) / 14.0f);
      c.blend(x, y, Mix(Rgb(150, 104, 128), Rgb(255, 120, 60), glow), std::clamp(y + 1 - top, 0.0f, 1.0f));
    }
  }
  const Col ridges[3] = {Rgb(122, 92, 120), Rgb(74, 56, 86), Rgb(34, 26, 44)};
  for (int layer = 0; layer < 3; layer++) {
    const float base = 300 + layer * 45, amp = 90 - layer * 20;
    for (int x = 0; x < W; x++) {
      const float top = base - amp * (1 - std::fabs(Fbm(x * 0.006f + layer * 3, layer * 1.7f, 5, 400u + layer) * 2 - 1));
      for (int y = std::max(0, int(top)); y < H; y++) {
        const float a = std::clamp(top + 1 - y, 0.0f, 1.0f);
        const float fog = Smooth(top, top + 120, y) * (0.35f - layer * 0.1f);
        const Col col = Mix(ridges[layer], Rgb(240, 170, 130), fog);
        c.blend(x, y, col, y == int(top) ? 1 - a : 1);
      }
    }
  }
  // The dragon, large, rising past the mountains.
  DrawDragon(c, View{28, 112, 3.2f}, 0);
  // Title lettering across the top right.
  const int size = 76;
  const int tw = TextWidth(f.serifBold, "Skarnvale", size);
  const int tx = 410 - tw / 2, ty = 22;
  Mask title = TextMask(f.serifBold, "Skarnvale", size, 0);
  Stamp(c, Blur(Dilate(title, 6), 4), tx - 6, ty - 6, Rgb(255, 200, 120), 0.5f);
  Stamp(c, Dilate(title, 3), tx - 3, ty - 3, Rgb(48, 16, 12));
  Stamp(c, title, tx, ty, [](float, float v) { return Mix(Rgb(255, 240, 170), Rgb(214, 120, 30), Smooth(0.3f, 0.8f, v)); });
}

// A calm parchment plaque with a lit rim and a soft shadow, centred at
// (x, y) with half sizes hw x hh.
void PaintPlaque(Canvas &c, float x, float y, float hw, float hh) {
  const Sdf plaque = Box(x, y, hw, hh, 8);
  Fill(c, View{}, Shift(plaque, 4, 5), Rgb(20, 10, 20), 0.4f);
  Fill(c, View{}, plaque, [](const Hit &h) {
    if (h.d > -2.5f) return Lit(Rgb(150, 100, 50), h, 2.5f, 0.3f);
    return Mix(Rgb(246, 236, 210), Rgb(226, 208, 170), Noise(h.x * 0.1f, h.y * 0.1f, 3u) * 0.6f);
  });
}

}  // namespace

BITMAP *MakeTitle(const Fonts &f) {
  Canvas c(W, H);
  PaintTitleScene(c, f);
  // Behind the menu: black text at x 450, y 350 to 380.
  PaintPlaque(c, 488, 366, 58, 32);
  return ToBitmap(c);
}

BITMAP *MakeOptions(const Fonts &f) {
  Canvas c(W, H);
  PaintTitleScene(c, f);
  // Behind the Options screen's items: x 316 to 624, y 128 to 468.
  PaintPlaque(c, 470, 298, 154, 170);
  return ToBitmap(c);
}

// ---------------------------------------------------------------- parchment

namespace {

void PaintParchment(Canvas &c, uint32_t seed) {
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const float n = Fbm(x * 0.01f, y * 0.01f, 5, seed);
      const float fibre = Noise(x * 0.6f, y * 0.04f, seed + 1) * 0.5f + Noise(x * 0.05f, y * 0.7f, seed + 2) * 0.5f;
      Col col = Mix(Rgb(240, 226, 188), Rgb(214, 190, 140), n);
      col = Mix(col, Rgb(200, 176, 128), (fibre - 0.5f) * 0.3f + 0.1f);
      // Edges browned and burnt.
      const float e = std::min(std::min(x, y), std::min(c.w - 1 - x, c.h - 1 - y)) + (n - 0.5f) * 40.0f;
      col = Mix(col, Rgb(150, 100, 50), 1 - Smooth(0, 46, e));
      col = Mix(col, Rgb(50, 28, 14), 1 - Smooth(0, 10, e));
      c.at(x, y) = {col.r, col.g, col.b, 1};
    }
}

// A faint ring where a cup once stood.
void Stain(Canvas &c, float x, float y, float r) {
  Fill(c, View{}, Cut(Circle(x, y, r), Circle(x + 1, y + 1, r - 2.5f)), Rgb(160, 120, 70), 0.18f);
  Fill(c, View{}, Circle(x + 1, y + 1, r - 2.5f), Rgb(190, 150, 90), 0.06f);
}

}  // namespace

BITMAP *MakeStageIntro(const Fonts &f) {
  Canvas c(W, H);
  PaintParchment(c, 808u);
  Stain(c, 560, 400, 34);
  Stain(c, 90, 430, 22);
  const Col ink = Rgb(92, 56, 30);
  // Ruled border with corner knots.
  const Sdf frame = Cut(Box(320, 240, 292, 218, 6), Box(320, 240, 289, 215, 4));
  const Sdf inner = Cut(Box(320, 240, 284, 210, 4), Box(320, 240, 283, 209, 3));
  Fill(c, View{}, Union(frame, inner), ink, 0.85f);
  for (const Pt &k : {Pt{32, 26}, Pt{608, 26}, Pt{32, 454}, Pt{608, 454}}) {
    Fill(c, View{}, Cut(Circle(k.x, k.y, 9), Circle(k.x, k.y, 6.5f)), ink, 0.85f);
    Fill(c, View{}, Circle(k.x, k.y, 3), Rgb(170, 40, 30), 0.9f);
  }
  // Underline for the title (printed at 150, 70 in the story font).
  Fill(c, View{}, Limb(140, 96, 0.6f, 420, 96, 1.4f), ink, 0.7f);
  // The dragon sigil, faint, in the right margin beside the story.
  Canvas sigil(W, H);
  DrawDragon(sigil, View{470, 118, 1.65f}, 0);
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const Px &p = sigil.at(x, y);
      if (p.a > 0) c.blend(x, y, Rgb(130, 60, 30), p.a * (0.18f + 0.2f * (1 - p.r)));
    }
  // Wax seal at the bottom right.
  Fill(c, View{}, Circle(566, 420, 20), [](const Hit &h) {
    const float wob = Noise(h.x * 0.3f, h.y * 0.3f, 9u);
    return Lit(Mix(Rgb(170, 26, 20), Rgb(120, 14, 12), wob), h, 6.0f, 0.5f);
  });
  Letter(c, f.serifBold, "S", 22, 558, 406, Rgb(210, 80, 60), Rgb(110, 14, 10), 1);
  return ToBitmap(c);
}

// ---------------------------------------------------------------- game over

BITMAP *MakeGameOver(const Fonts &) {
  Canvas c(W, H);
  // Smoky dusk above, pale mist over the battlefield below.
  for (int y = 0; y < H; y++)
    for (int x = 0; x < W; x++) {
      const float t = y / float(H);
      Col col = Mix(Rgb(56, 48, 62), Rgb(214, 196, 182), Smooth(0.0f, 0.55f, t));
      const float smoke = Fbm(x * 0.007f + t * 2, y * 0.014f, 5, 91u);
      col = Mix(col, Rgb(40, 34, 42), Smooth(0.45f, 0.8f, smoke) * Smooth(0.6f, 0.1f, t) * 0.8f);
      c.at(x, y) = {col.r, col.g, col.b, 1};
    }
  // K'llisc Mountain, the Demon Lord's fire in its crater and a smoke plume.
  const float peakX = 470;
  auto mountain = [&](float x) {
    return 250 - 185 * std::exp(-std::pow((x - peakX) / 130.0f, 2.0f)) - 20 * Fbm(x * 0.02f, 0.5f, 4, 17u);
  };
  for (int y = 0; y < 120; y++)
    for (int x = 380; x < 560; x++) {
      const float plume = Fbm(x * 0.02f, y * 0.03f - 4, 4, 44u);
      const float spread = 18 + (120 - y) * 0.5f;
      const float w = Smooth(spread, 0, std::fabs(x - peakX - (120 - y) * 0.35f));
      c.blend(x, y, Rgb(36, 28, 32), w * Smooth(0.35f, 0.65f, plume) * 0.85f);
    }
  for (int x = 0; x < W; x++) {
    const float top = mountain(x);
    for (int y = std::max(0, int(top)); y < 280; y++) {
      const float glow = std::exp(-std::hypot((x - peakX) * 0.8f, y - top) / 26.0f);
      const float haze = Smooth(top, 280, y) * 0.35f;
      const Col rock = Mix(Mix(Rgb(74, 58, 68), Rgb(150, 120, 124), haze), Rgb(236, 90, 40), glow);
      c.blend(x, y, rock, std::clamp(y + 1 - top, 0.0f, 1.0f));
    }
  }
  // The orc camp on the near ridge: hut cones, banners and torches.
  auto ridge = [](float x) { return 262 - 26 * Fbm(x * 0.008f, 3.3f, 4, 23u); };
  for (int x = 0; x < W; x++)
    for (int y = int(ridge(x)); y < 300; y++) c.blend(x, y, Rgb(46, 38, 44), std::clamp(y + 1 - ridge(x), 0.0f, 1.0f));
  Rng rng(66);
  for (int i = 0; i < 10; i++) {
    const float x = 24 + i * 66 + rng.range(-12, 12), base = ridge(x) + 5;
    const float hw = rng.range(12, 20), hh = rng.range(18, 30);
    Fill(c, View{}, Polygon({{x - hw, base}, {x + hw, base}, {x + 2, base - hh}}), Rgb(38, 30, 36));
    Fill(c, View{}, Union(Capsule(x - 2, base - hh + 3, x + 6, base - hh - 7, 0.8f), Capsule(x + 6, base - hh + 3, x - 2, base - hh - 7, 0.8f)),
         Rgb(38, 30, 36));
    const float px = x + hw + 8;
    Fill(c, View{}, Capsule(px, base, px, base - hh - 16, 1.1f), Rgb(38, 30, 36));
    Fill(c, View{}, Polygon({{px + 1, base - hh - 15}, {px + 16, base - hh - 11}, {px + 10, base - hh - 8}, {px + 15, base - hh - 4}, {px + 1, base - hh - 5}}),
         Rgb(130, 32, 26));
    if (i % 3 == 1) {
      Fill(c, View{}, Circle(x - hw - 4, base - 10, 4.5f), Rgb(255, 170, 60), 0.25f);
      Fill(c, View{}, Circle(x - hw - 4, base - 10, 1.6f), Rgb(255, 220, 120));
    }
  }
  // Mist rolling over the field below the camp.
  for (int y = 250; y < H; y++)
    for (int x = 0; x < W; x++) {
      const float m = Fbm(x * 0.006f, y * 0.02f, 5, 19u);
      c.blend(x, y, Mix(Rgb(236, 230, 224), Rgb(206, 198, 194), m), Smooth(262, 300, y) * (0.8f + 0.2f * m));
    }
  // The fallen dragon's torn wing in the mist, bottom right.
  std::vector<Pt> wing;
  Curve(wing, {640, 350}, {560, 350}, {500, 400}, 8);
  Curve(wing, {500, 400}, {530, 410}, {526, 440}, 5);
  Curve(wing, {526, 440}, {556, 440}, {560, 470}, 5);
  Curve(wing, {560, 470}, {590, 462}, {606, 486}, 5);
  wing.push_back({640, 486});
  const Sdf wingShape = Polygon(wing);
  Fill(c, View{}, wingShape, [](const Hit &h) {
    const float fade = Smooth(330, 470, h.y);
    return Mix(Rgb(110, 60, 58), Rgb(70, 34, 34), fade);
  }, 0.85f);
  Fill(c, View{}, Union({Capsule(640, 352, 500, 400, 2.6f), Capsule(560, 378, 526, 440, 1.6f), Capsule(590, 370, 560, 470, 1.6f),
                         Capsule(620, 364, 606, 480, 1.6f)}),
       Rgb(60, 30, 30), 0.9f);
  // A broken spear with a torn dragon banner, planted in the field.
  Fill(c, View{}, Capsule(262, 430, 250, 318, 1.8f), Rgb(70, 52, 44), 0.9f);
  Fill(c, View{}, Polygon({{251, 326}, {300, 334}, {290, 348}, {304, 362}, {282, 358}, {286, 376}, {253, 360}}), Rgb(150, 40, 34), 0.85f);
  Fill(c, View{}, Circle(276, 348, 5), Rgb(220, 180, 80), 0.7f);
  return ToBitmap(c);
}

}  // namespace art
