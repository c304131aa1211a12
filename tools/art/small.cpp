// Shots, the world-map marker, the orc hut and the clouds.
#include <algorithm>
#include <cmath>

#include "art.h"
#include "sdf.h"

namespace art {

namespace {

const float Pi = 3.14159265f;

float Smooth01(float x, float lo, float hi) {
  const float t = std::clamp((x - lo) / (hi - lo), 0.0f, 1.0f);
  return t * t * (3 - 2 * t);
}

// Fireball flying up: a white-hot head and flame tongues licking back down.
void DrawFire(Canvas &c, int frame) {
  Rng rng(100 + frame);
  std::vector<Sdf> parts{Circle(8, 6.2f, 3.9f)};
  const float sway[4] = {-1.2f, 0.6f, 1.3f, -0.4f};
  for (int i = 0; i < 3; i++) {
    const float bx = 8 + (i - 1) * 2.4f, len = 12.5f + rng.range(-1.5f, 1.8f) - std::fabs(i - 1.0f) * 2.5f;
    const float tipX = bx + sway[(frame + i) & 3] * (i == 1 ? 1.0f : 1.3f);
    parts.push_back(Limb(bx * 0.5f + 4, 7, 2.6f - std::fabs(i - 1.0f) * 0.6f, tipX, std::min(13.6f, 2 + len), 0.35f));
  }
  const Sdf flame = Union(parts);
  const uint32_t seed = 40u + frame * 7u;
  Fill(c, View{}, flame, [&](const Hit &h) {
    const float heat = std::clamp(-h.d / 3.2f, 0.0f, 1.0f) * (1.15f - 0.05f * std::max(0.0f, h.y - 6));
    const float n = Noise(h.x * 0.9f, h.y * 0.7f - frame * 2.0f, seed);
    const float t = std::clamp(heat + (n - 0.5f) * 0.35f, 0.0f, 1.0f);
    if (t < 0.35f) return Mix(Rgb(190, 40, 10), Rgb(245, 110, 20), t / 0.35f);
    if (t < 0.7f) return Mix(Rgb(245, 110, 20), Rgb(255, 214, 60), (t - 0.35f) / 0.35f);
    return Mix(Rgb(255, 214, 60), Rgb(255, 252, 220), (t - 0.7f) / 0.3f);
  });
}

// Ice shard spinning: a faceted crystal turned by 45 degrees per frame.
void DrawIce(Canvas &c, int frame) {
  const float a = frame * Pi / 4.0f + 0.25f;
  const float ca = std::cos(a), sa = std::sin(a);
  auto P = [&](float u, float v) { return Pt{8 + u * ca - v * sa, 8 + u * sa + v * ca}; };
  const Sdf shard = Polygon({P(0, -6.2f), P(2.5f, -1), P(1.5f, 4.8f), P(0, 6.2f), P(-1.5f, 4.8f), P(-2.5f, -1)});
  Fill(c, View{}, shard, [&](const Hit &h) {
    // Facets: which side of the long axis, and how near the tip.
    const float u = (h.x - 8) * ca + (h.y - 8) * sa;
    const float side = u > 0 ? 1.0f : -1.0f;
    const float facing = -(side * ca * LightX + side * sa * LightY);
    Col base = Mix(Rgb(70, 140, 210), Rgb(214, 244, 255), std::clamp(0.5f + facing * 0.6f, 0.0f, 1.0f));
    const float edge = std::clamp(-h.d / 1.6f, 0.0f, 1.0f);
    return Mix(Rgb(40, 96, 170), base, 0.35f + 0.65f * edge);
  });
  const Pt s = P(-0.6f, -3.0f);
  Fill(c, View{}, Circle(s.x, s.y, 0.9f), Rgb(255, 255, 255));
}

// World-map marker: a gold-rimmed stone with a glowing dragon-eye gem whose
// halo swells from frame 0 to 6; frame 7 is the conquered stone with a banner.
void DrawNode(Canvas &c, int frame) {
  const bool done = frame == 7;
  const float pulse = done ? 0.0f : frame / 6.0f;
  const View v{};
  if (!done) {
    // Halo: drawn as rays of light around the stone.
    const float r = 11.5f + pulse * 2.6f;
    Fill(c, v, Circle(16, 16, r), [&](const Hit &h) {
      const float t = std::clamp(-h.d / (r - 10.0f), 0.0f, 1.0f);
      return Mix(Rgb(150, 40, 10), Rgb(255, 190, 70), t * (0.5f + 0.5f * pulse));
    });
  }
  Fill(c, v, Circle(16, 16, 10.5f), [&](const Hit &h) { return Lit(done ? Rgb(120, 110, 100) : Rgb(214, 170, 60), h, 3.0f, 0.5f); });
  Fill(c, v, Circle(16, 16, 8.0f), [&](const Hit &h) {
    const float n = Noise(h.x * 0.7f, h.y * 0.7f, 77u);
    return Lit(Mix(Rgb(92, 88, 84), Rgb(60, 58, 56), n), h, 5.0f);
  });
  if (!done) {
    const Col hot = Mix(Rgb(200, 20, 10), Rgb(255, 120, 40), pulse);
    Fill(c, v, Ellipse(16, 16, 4.2f, 5.6f), [&](const Hit &h) { return Lit(hot, h, 3.0f, 0.8f); });
    Fill(c, v, Ellipse(16, 16, 0.9f, 4.2f), Mix(Rgb(40, 0, 0), Rgb(255, 230, 120), pulse * 0.9f));
  } else {
    // A planted banner: pole and a red pennant with a gold border.
    Fill(c, v, Capsule(13, 6, 13, 22, 1.0f), [](const Hit &h) { return Lit(Rgb(150, 110, 60), h, 1.0f); });
    Fill(c, v, Polygon({{14, 6}, {25, 9}, {14, 14}}), [](const Hit &h) {
      return h.d > -0.9f ? Rgb(230, 190, 70) : Lit(Rgb(190, 30, 24), h, 3.0f);
    });
    Fill(c, v, Ellipse(13, 22.5f, 3.5f, 1.3f), Rgb(70, 60, 50));
  }
}

// Orc hut from above: a conical hide-and-thatch roof tied with rope rings, a
// smoke hole with crossed poles, the doorway facing south.
void DrawHut(Canvas &c) {
  const View v{};
  const float cx = 32, cy = 30, R = 24;
  // Roof: shaded as a cone, straw strands running from the top down, two
  // rope rings holding it together.
  Fill(c, v, Circle(cx, cy, R), [&](const Hit &h) {
    const float dx = h.x - cx, dy = h.y - cy, r = std::hypot(dx, dy) + 1e-3f;
    const float ang = std::atan2(dy, dx);
    const float k = 0.6f;  // cone steepness
    float nx = dx / r * k, ny = dy / r * k, nz = 1;
    const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
    const float diff = std::max(0.0f, (nx * LightX + ny * LightY + nz * LightZ) / nl);
    const float strand = Noise(ang * 11.0f + 40, r * 0.06f, 9u) * 0.75f + Noise(ang * 23.0f + 40, r * 0.15f, 10u) * 0.25f;
    const bool rope = std::fabs(r - 11.0f) < 0.9f || std::fabs(r - 18.5f) < 0.9f;
    Col base = Mix(Rgb(196, 158, 88), Rgb(120, 86, 44), Smooth01(strand, 0.3f, 0.7f));
    if (rope) base = Rgb(80, 52, 28);
    return Scale(base, 0.45f + 0.75f * diff / LightZ);
  });
  // Smoke hole with embers glowing inside, and the crossed roof poles.
  Fill(c, v, Circle(cx, cy, 4.6f), [&](const Hit &h) {
    const float t = std::clamp(-h.d / 4.6f, 0.0f, 1.0f);
    return Mix(Rgb(40, 24, 14), Rgb(255, 120, 30), t * t);
  });
  for (int i = 0; i < 4; i++) {
    const float a = 0.6f + i * 1.5708f;
    const float x0 = cx + std::cos(a) * 3.0f, y0 = cy + std::sin(a) * 3.0f;
    const float x1 = cx + std::cos(a) * 9.5f, y1 = cy + std::sin(a) * 9.5f;
    Fill(c, v, Limb(x0, y0, 1.3f, x1, y1, 0.9f), [](const Hit &h) { return Lit(Rgb(120, 84, 50), h, 1.2f, 0.2f); });
  }
  // Doorway to the south under a hide awning.
  Fill(c, v, Box(32, 56, 7.0f, 4.0f, 2.0f), [](const Hit &h) { return Lit(Rgb(150, 108, 72), h, 2.5f); });
  Fill(c, v, Box(32, 58.5f, 4.0f, 2.0f, 1.0f), Rgb(26, 16, 10));
  // A skull on a pole beside the door.
  Fill(c, v, Capsule(51, 60, 51, 50, 0.9f), [](const Hit &h) { return Lit(Rgb(130, 96, 60), h, 1.0f); });
  Fill(c, v, Union(Circle(51, 48.5f, 3.0f), Box(51, 51.2f, 1.8f, 1.4f, 0.6f)),
       [](const Hit &h) { return Lit(Rgb(236, 228, 204), h, 2.2f, 0.4f); });
  Fill(c, v, Sym(Circle(49.7f, 48.8f, 0.9f), 51), Rgb(40, 30, 24));
}

// Cumulus seen from above: round lobes, bright on the lit side.
BITMAP *Cloud(int w, int h, uint64_t seed, int lobes) {
  Canvas c(w, h);
  Rng rng(seed);
  std::vector<Sdf> parts;
  for (int i = 0; i < lobes; i++) {
    const float t = (i + 0.5f) / lobes;
    const float x = w * (0.18f + 0.64f * t) + rng.range(-8, 8);
    const float y = h * 0.5f + rng.range(-0.2f, 0.2f) * h * (0.6f + std::sin(t * Pi) * 0.6f);
    const float r = std::min(w, h) * (0.16f + 0.14f * std::sin(t * Pi)) + rng.range(0, 8);
    parts.push_back(Circle(x, y, r));
  }
  Sdf shape = parts[0];
  for (size_t i = 1; i < parts.size(); i++) shape = Blend(shape, parts[i], 10.0f);
  const uint32_t nseed = uint32_t(seed);
  Fill(c, View{}, shape, [&](const Hit &hh) {
    const float n = Fbm(hh.x * 0.045f, hh.y * 0.045f, 4, nseed);
    // Lit like any volume, but kept light: a cloud's shade is pale blue.
    const Col lit = Lit(Rgb(255, 255, 255), hh, 22.0f);
    const float k = std::clamp((lit.r - 0.42f) / 0.7f, 0.0f, 1.0f);
    const Col base = Mix(Rgb(168, 184, 210), Rgb(252, 253, 255), k);
    return Mix(base, Rgb(186, 198, 220), std::clamp((n - 0.45f) * 1.2f, 0.0f, 0.5f));
  });
  BITMAP *b = NewMaskedBitmap(w, h);
  PutSprite(b, 0, 0, c, Rgb(170, 184, 206), 0.5f);
  return b;
}

}  // namespace

BITMAP *MakeShot(bool ice) {
  BITMAP *strip = NewMaskedBitmap(64, 16);
  for (int f = 0; f < 4; f++) {
    Canvas c(16, 16);
    if (ice) {
      DrawIce(c, f);
      AddOutline(c, Rgb(16, 36, 80), 0.9f);
      PutSprite(strip, f * 16, 0, c, Rgb(16, 36, 80));
    } else {
      DrawFire(c, f);
      AddOutline(c, Rgb(110, 20, 6), 0.8f);
      PutSprite(strip, f * 16, 0, c, Rgb(110, 20, 6));
    }
  }
  return strip;
}

BITMAP *MakeNodes() {
  BITMAP *strip = NewMaskedBitmap(8 * 32, 32);
  for (int f = 0; f < 8; f++) {
    Canvas c(32, 32);
    DrawNode(c, f);
    AddOutline(c, Rgb(30, 16, 8));
    PutSprite(strip, f * 32, 0, c, Rgb(30, 16, 8));
  }
  return strip;
}

BITMAP *MakeHut() {
  Canvas c(64, 64);
  DrawHut(c);
  AddOutline(c, Rgb(34, 22, 12));
  BITMAP *b = NewMaskedBitmap(64, 64);
  PutSprite(b, 0, 0, c, Rgb(34, 22, 12));
  return b;
}

BITMAP *MakeCloud(int kind) {
  return kind == 1 ? Cloud(200, 128, 1701, 6) : Cloud(160, 150, 2903, 5);
}

}  // namespace art
