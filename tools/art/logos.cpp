// The splash logos (library and maker) and the desktop icon.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "sdf.h"
#include "text.h"

namespace art {

namespace {

const int W = 640, H = 480;

BITMAP *ToBitmap(const Canvas &c) {
  BITMAP *b = create_bitmap_ex(32, c.w, c.h);
  PutOpaque(b, 0, 0, c);
  return b;
}

void Centred(Canvas &c, const std::string &font, const std::string &text, int size, int y,
             const std::function<Col(float, float)> &shade, float opacity = 1.0f) {
  const Mask m = TextMask(font, text, size, 0);
  const int w = m.w - size / 4;
  Stamp(c, m, (c.w - w) / 2, y, shade, opacity);
}

void Radial(Canvas &c, Col centre, Col edge, float cx, float cy, float r) {
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const float t = std::min(1.0f, std::hypot(x - cx, y - cy) / r);
      const Col col = Mix(centre, edge, t * t);
      c.at(x, y) = {col.r, col.g, col.b, 1};
    }
}

}  // namespace

// "made with" logo of the game library: a ring of four notes (a nod to the
// library's name and version) around a bold A, with the words beneath.
BITMAP *MakeLibraryLogo(const Fonts &f) {
  Canvas c(W, H);
  Radial(c, Rgb(40, 52, 78), Rgb(8, 10, 18), 320, 200, 420);
  const View v{};
  Fill(c, v, Cut(Circle(320, 170, 92), Circle(320, 170, 80)), [](const Hit &h) { return Lit(Rgb(210, 170, 70), h, 6.0f, 0.6f); });
  for (int i = 0; i < 4; i++) {
    const float a = -3.14159265f / 2 + i * 3.14159265f / 2 + 0.785f;
    const float x = 320 + std::cos(a) * 86, y = 170 + std::sin(a) * 86;
    Fill(c, v, Ellipse(x, y, 11, 8, -0.4f), [](const Hit &h) { return Lit(Rgb(236, 96, 60), h, 6.0f, 0.7f); });
    Fill(c, v, Capsule(x + 9, y - 3, x + 9, y - 28, 2.0f), Rgb(236, 220, 180));
  }
  const Mask a = TextMask(f.serifBold, "A", 120, 0);
  Stamp(c, Dilate(a, 3), 320 - (a.w - 30) / 2 - 3, 92 - 3, Rgb(10, 12, 24));
  Stamp(c, a, 320 - (a.w - 30) / 2, 92, [](float, float t) { return Mix(Rgb(250, 250, 255), Rgb(150, 180, 230), t); });
  Centred(c, f.sans, "made with", 26, 290, [](float, float) { return Rgb(190, 200, 220); });
  Centred(c, f.serifBold, "Allegro 4", 64, 322, [](float, float t) { return Mix(Rgb(255, 236, 170), Rgb(220, 150, 50), t); });
  Centred(c, f.sans, "game programming library", 20, 410, [](float, float) { return Rgb(130, 140, 170); });
  return ToBitmap(c);
}

// "Quillon productions": a sword whose crossguard (its quillons) crosses a
// quill pen, over the name.
BITMAP *MakeMakerLogo(const Fonts &f) {
  Canvas c(W, H);
  Radial(c, Rgb(246, 236, 214), Rgb(190, 170, 136), 320, 210, 460);
  const View v{};
  // Quill: a curved feather leaning right.
  std::vector<Pt> vane;
  Curve(vane, {300, 240}, {330, 120}, {410, 40}, 10);
  Curve(vane, {410, 40}, {400, 120}, {300, 240}, 10);
  Fill(c, v, Polygon(vane), [](const Hit &h) {
    const float barb = 0.5f + 0.5f * std::sin((h.x + h.y) * 0.9f);
    return Lit(Mix(Rgb(60, 70, 110), Rgb(110, 124, 170), barb * 0.5f), h, 12.0f);
  });
  Fill(c, v, Limb(296, 250, 2.2f, 408, 44, 0.8f), Rgb(230, 226, 210));
  // Sword: blade down, long curved quillons.
  Fill(c, v, Polygon({{314, 150}, {326, 150}, {326, 330}, {320, 352}, {314, 330}}), [](const Hit &h) {
    return Lit(h.x < 320 ? Rgb(226, 230, 236) : Rgb(160, 166, 176), h, 3.0f, 0.8f);
  });
  std::vector<Pt> guard;
  Curve(guard, {250, 128}, {280, 148}, {320, 146}, 8);
  Curve(guard, {320, 146}, {360, 148}, {390, 128}, 8);
  Curve(guard, {390, 128}, {362, 160}, {320, 156}, 8);
  Curve(guard, {320, 156}, {278, 160}, {250, 128}, 8);
  Fill(c, v, Polygon(guard), [](const Hit &h) { return Lit(Rgb(200, 150, 50), h, 4.0f, 0.7f); });
  Fill(c, v, Capsule(320, 146, 320, 96, 6), [](const Hit &h) { return Lit(Rgb(100, 56, 30), h, 5.0f); });
  Fill(c, v, Circle(320, 90, 9), [](const Hit &h) { return Lit(Rgb(200, 150, 50), h, 6.0f, 0.7f); });
  Fill(c, v, Circle(320, 90, 4), [](const Hit &h) { return Lit(Rgb(190, 30, 30), h, 4.0f, 0.9f); });
  Centred(c, f.serifBold, "Quillon", 72, 350, [](float, float t) { return Mix(Rgb(70, 40, 20), Rgb(40, 20, 10), t); });
  Centred(c, f.serif, "p r o d u c t i o n s", 24, 440, [](float, float) { return Rgb(110, 70, 40); });
  return ToBitmap(c);
}

BITMAP *MakeIcon(int size) {
  Canvas c(size, size);
  const float s = size / 64.0f;
  const View v{0, 0, s};
  Fill(c, v, Circle(32, 32, 31), [](const Hit &h) {
    return h.d > -3.0f ? Lit(Rgb(220, 170, 60), h, 3.0f, 0.6f) : Mix(Rgb(40, 60, 110), Rgb(20, 28, 60), std::min(1.0f, -h.d / 28.0f));
  });
  // The dragon's 80 x 110 frame fitted into the emblem; small icons show it
  // larger, centred on its chest, so that it stays recognisable.
  const bool small = size <= 32;
  const float k = small ? 0.7f : 0.5f, cy = small ? 44.0f : 55.0f;
  DrawDragon(c, View{(32 - 40 * k) * s, (32 - cy * k) * s, k * s}, 0);
  BITMAP *b = NewMaskedBitmap(size, size);
  PutSprite(b, 0, 0, c, Rgb(30, 16, 10), 0.4f);
  return b;
}

}  // namespace art
