// Tile painting: material textures (periodic noise), blended corner to corner
// with foam, shadows and rough edges, then objects with their shadows.
#include "maps/paint.h"

#include "maps/paint_kit.h"

#include <algorithm>
#include <cmath>
#include <tuple>

namespace mapgen {

// Value noise that repeats every TexturePeriod pixels; freq lattice cells per period.
float PeriodicNoise(float u, float v, int freq, uint32_t seed) {
  float gx = u * freq / TexturePeriod, gy = v * freq / TexturePeriod;
  int ix = static_cast<int>(std::floor(gx)), iy = static_cast<int>(std::floor(gy));
  float fx = Smooth(gx - ix), fy = Smooth(gy - iy);
  auto wrap = [freq](int i) { return static_cast<uint32_t>(((i % freq) + freq) % freq); };
  float a = Hash01(wrap(ix), wrap(iy), seed), b = Hash01(wrap(ix + 1), wrap(iy), seed);
  float c = Hash01(wrap(ix), wrap(iy + 1), seed), d = Hash01(wrap(ix + 1), wrap(iy + 1), seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

namespace {

float Fbm(float u, float v, int freq, int octaves, uint32_t seed) {
  float sum = 0, amp = 1, total = 0;
  for (int o = 0; o < octaves; o++) {
    sum += amp * PeriodicNoise(u, v, freq << o, seed + o * 101);
    total += amp;
    amp *= 0.5f;
  }
  return sum / total;
}


// How a material's edge is roughened and blended.
struct MaterialStyle {
  Colour base;
  bool solid;
  float roughness;  // amplitude of the edge noise
  float softness;   // half width of the blend across the edge
};

const MaterialStyle Styles[MatCount] = {
    {{26, 66, 124}, true, 0.30f, 0.10f},    // deep water
    {{48, 128, 152}, true, 0.45f, 0.14f},   // shallow water
    {{214, 196, 142}, false, 0.35f, 0.03f}, // sand
    {{124, 98, 66}, false, 0.35f, 0.04f},   // dirt
    {{74, 128, 52}, false, 0.40f, 0.05f},   // grass
    {{54, 106, 44}, false, 0.50f, 0.10f},   // meadow
    {{204, 176, 92}, false, 0.04f, 0.015f}, // wheat
    {{96, 140, 62}, false, 0.04f, 0.015f},  // crops
    {{118, 84, 56}, false, 0.04f, 0.015f},  // ploughed
    {{164, 134, 94}, false, 0.12f, 0.03f},  // road
    {{128, 122, 114}, false, 0.06f, 0.015f},// cobbles
    {{124, 118, 108}, true, 0.40f, 0.02f},  // rock
    {{44, 92, 40}, true, 0.70f, 0.02f},     // forest
    {{74, 68, 62}, false, 0.45f, 0.06f},    // ash
    {{26, 50, 42}, true, 0.70f, 0.02f},     // dark wood
};

bool IsWater(int m) { return m == MatDeep || m == MatShallow; }

int GroundClass(int m) {
  if (IsWater(m)) return ClassWater;
  if (m == MatRock) return ClassRock;
  if (m == MatForest || m == MatDarkWood) return ClassTree;
  return ClassOpen;
}

// Forest crowns: a jittered 8 x 8 grid of domes over one texture period.
struct Crown { float x, y, r; Colour c; };

std::vector<Crown> MakeCrowns(uint32_t seed) {
  // Large crowns on a jittered 3 x 3 grid, smaller ones between them.
  std::vector<Crown> crowns;
  const float step = TexturePeriod / 3.0f;
  for (int layer = 0; layer < 2; layer++)
    for (int gy = 0; gy < 3; gy++)
      for (int gx = 0; gx < 3; gx++) {
        uint32_t k = seed + layer * 10;
        float x = (gx + 0.5f * layer + 0.5f) * step + (Hash01(gx, gy, k) - 0.5f) * 12;
        float y = (gy + 0.5f * layer + 0.5f) * step + (Hash01(gx, gy, k + 1) - 0.5f) * 12;
        float r = layer == 0 ? 11 + Hash01(gx, gy, k + 2) * 4 : 7 + Hash01(gx, gy, k + 2) * 3;
        float t = Hash01(gx, gy, k + 3);
        Colour c = Mix(Colour{36, 92, 34}, Colour{78, 124, 46}, t);
        if (Hash01(gx, gy, k + 4) < 0.2f) c = Colour{30, 76, 46};  // a dark fir
        crowns.push_back({x, y, r, c});
      }
  return crowns;
}

// Crown height (0 in the gaps) and shaded colour at a texture pixel.
float CrownAt(const std::vector<Crown> &crowns, float u, float v, Colour *out) {
  float best = 0;
  Colour col{20, 44, 22};
  for (const Crown &c : crowns) {
    float dx = u - c.x, dy = v - c.y;
    dx -= TexturePeriod * std::round(dx / TexturePeriod);
    dy -= TexturePeriod * std::round(dy / TexturePeriod);
    float d2 = (dx * dx + dy * dy) / (c.r * c.r);
    if (d2 >= 1) continue;
    float h = std::sqrt(1 - d2);
    if (h > best) {
      best = h;
      float light = 0.72f + 0.38f * h - 0.28f * (dx + dy) / c.r;
      col = Scale(c.c, light);
    }
  }
  if (out) *out = col;
  return best;
}

}  // namespace

bool TileKey::operator<(const TileKey &o) const {
  auto t = [](const TileKey &k) {
    return std::make_tuple(k.corner[0], k.corner[1], k.corner[2], k.corner[3], k.phaseX, k.phaseY,
                           k.decoration, k.object, k.variant, k.objW, k.objH, k.partX, k.partY);
  };
  return t(*this) < t(o);
}

Painter::Painter(uint32_t seed) : iSeed(seed) { buildTextures(); }

void Painter::buildTextures() {
  const int n = TexturePeriod;
  std::vector<Crown> crowns = MakeCrowns(iSeed + 900), oldCrowns = MakeCrowns(iSeed + 1900);
  for (int m = 0; m < MatCount; m++) {
    colour[m].resize(n * n);
    edge[m].resize(n * n);
    const uint32_t s = iSeed + m * 1000;
    const Colour base = Styles[m].base;
    for (int v = 0; v < n; v++)
      for (int u = 0; u < n; u++) {
        float fu = u + 0.5f, fv = v + 0.5f;
        float big = Fbm(fu, fv, 4, 4, s), fine = Hash01(u, v, s + 7);
        Colour c = Scale(base, 0.86f + 0.28f * big);
        float e = Fbm(fu, fv, 2, 4, s + 50);
        switch (m) {
          case MatDeep: {
            float crest = std::sin(2 * Pi * (fv / 16 + 1.4f * Fbm(fu, fv, 2, 3, s + 3)));
            float patch = SmoothStep(0.45f, 0.7f, Fbm(fu, fv, 4, 2, s + 13));
            if (crest > 0.84f) c = Mix(c, Colour{118, 164, 206}, (crest - 0.84f) / 0.16f * 0.6f * patch);
            break;
          }
          case MatShallow: {
            float ridge = 1 - std::fabs(2 * Fbm(fu, fv, 8, 2, s + 3) - 1);
            c = Mix(c, Colour{110, 190, 190}, SmoothStep(0.84f, 0.98f, ridge) * 0.35f);
            break;
          }
          case MatSand: case MatDirt: case MatRoad:
            // Flat ground shows its repeat most: keep the blotches faint.
            c = Scale(base, (0.93f + 0.14f * big) * (0.94f + 0.12f * fine));
            if (Hash01(u, v, s + 9) < 0.025f) c = Scale(c, 0.78f);
            break;
          case MatGrass: case MatMeadow: {
            c = Scale(c, 0.9f + 0.2f * fine);
            float blade = Hash01(u / 2, v, s + 9);
            if (blade < 0.08f) c = Scale(c, 0.8f);
            else if (blade > 0.94f) c = Mix(c, Colour{150, 180, 80}, 0.35f);
            if (m == MatMeadow && Hash01(u, v, s + 11) < 0.006f) c = Colour{230, 210, 90};
            break;
          }
          case MatWheat: case MatPlough: {
            float row = 0.5f + 0.5f * std::sin(2 * Pi * fv / 8);
            c = Scale(c, 0.78f + 0.3f * row + 0.08f * fine);
            break;
          }
          case MatCrops: {
            float row = 0.5f + 0.5f * std::sin(2 * Pi * (fu + 2) / 8);  // rows not on block edges
            float plant = row * (0.6f + 0.8f * Fbm(fu, fv, 32, 1, s + 5));
            c = plant > 0.55f ? Scale(Colour{88, 146, 58}, 0.8f + 0.3f * plant) : Scale(Colour{112, 86, 58}, 0.9f + 0.1f * fine);
            break;
          }
          case MatCobble: {
            // Stones on a staggered 8-pixel grid with dark joints, kept off
            // the block edges so the joints do not line up with them.
            int sv = (v + 3) % TexturePeriod, row = sv / 8;
            int su = (u + 3 + (row & 1) * 4) % TexturePeriod, col = su / 8;
            float lx = su % 8 + 0.5f, ly = sv % 8 + 0.5f;
            float stone = 0.85f + 0.25f * Hash01(col, row, s + 4);
            c = Scale(base, stone);
            if (lx < 1.2f || ly < 1.2f) c = Scale(base, 0.55f);
            else if (lx < 3 && ly < 3) c = Scale(c, 1.12f);
            break;
          }
          case MatRock: {
            float h = Fbm(fu, fv, 4, 5, s + 3);
            float hx = Fbm(fu + 1.5f, fv, 4, 5, s + 3), hy = Fbm(fu, fv + 1.5f, 4, 5, s + 3);
            float light = 1 + 3.0f * ((h - hx) + (h - hy));
            c = Scale(c, std::max(0.5f, std::min(1.4f, light)));
            float crack = std::fabs(Fbm(fu, fv, 8, 2, s + 8) - 0.5f);
            if (crack < 0.012f) c = Scale(c, 0.6f);
            e = h;
            break;
          }
          case MatForest: {
            Colour cc;
            e = CrownAt(crowns, fu, fv, &cc);
            c = cc;
            break;
          }
          case MatDarkWood: {  // old firs and yews, blue-black under the canopy
            Colour cc;
            e = CrownAt(oldCrowns, fu, fv, &cc);
            c = Mix(cc, Colour{16, 26, 34}, 0.45f);
            break;
          }
          case MatAsh: {  // soot over burnt ground, charcoal and the odd ember
            c = Scale(base, 0.8f + 0.35f * big);
            float soot = Fbm(fu, fv, 8, 2, s + 3);
            if (soot > 0.6f) c = Scale(c, 0.62f);
            if (fine < 0.05f) c = Colour{34, 30, 28};
            else if (fine > 0.997f) c = Colour{230, 120, 40};
            break;
          }
          default: break;
        }
        colour[m][v * n + u] = {c.r, c.g, c.b};
        edge[m][v * n + u] = e;
      }
  }
}

// The ground at one tile pixel: the lowest corner material, then each higher
// one blended in where the corners reach it.
void Painter::ground(const TileKey &k, int px, int py, Rgb *out, bool *blocking, int *cls) const {
  const int u = k.phaseX * TileSize + px, v = k.phaseY * TileSize + py;
  const int at = v * TexturePeriod + u;
  int lowest = std::min(std::min(k.corner[0], k.corner[1]), std::min(k.corner[2], k.corner[3]));
  Colour c{colour[lowest][at].r, colour[lowest][at].g, colour[lowest][at].b};
  int showing = lowest;
  const float fx = (px + 0.5f) / TileSize, fy = (py + 0.5f) / TileSize;
  const float w[4] = {(1 - fx) * (1 - fy), fx * (1 - fy), (1 - fx) * fy, fx * fy};
  for (int m = lowest + 1; m < MatCount; m++) {
    if (k.corner[0] != m && k.corner[1] != m && k.corner[2] != m && k.corner[3] != m) continue;
    float b = 0;
    for (int i = 0; i < 4; i++) b += k.corner[i] >= m ? w[i] : 0;
    const MaterialStyle &st = Styles[m];
    float s = b + st.roughness * (edge[m][at] - 0.5f) - 0.5f;
    if (s < 0 && s > -0.08f) {
      float near = 1 + s / 0.08f;  // 1 at the edge, 0 further out
      if (IsWater(showing) && !IsWater(m)) c = Mix(c, Colour{226, 236, 236}, near * near * 0.75f);
      if (m == MatRock || m == MatForest || m == MatDarkWood) c = Scale(c, 1 - 0.42f * near);
    }
    float soft = IsWater(showing) && !IsWater(m) ? 0.015f : st.softness;
    float alpha = SmoothStep(-soft, soft, s);
    if (alpha <= 0) continue;
    Colour top{colour[m][at].r, colour[m][at].g, colour[m][at].b};
    if (m == MatSand && IsWater(showing) && s < 0.05f) top = Scale(top, 0.8f + 4 * s);  // wet sand
    c = Mix(c, top, alpha);
    if (alpha >= 0.5f) showing = m;
  }
  *out = {c.r, c.g, c.b};
  *blocking = Styles[showing].solid;
  *cls = GroundClass(showing);
}

namespace {

// A roof burnt through: charred thatch, the blackened rafters over the gaps,
// embers glowing at the edges of the holes.
ObjectPixel BurntRoofAt(float x, float y, float d, float light, int variant) {
  ObjectPixel p;
  float hole = PeriodicNoise(x, y, 6, 300 + variant) * 0.7f + 0.3f * Hash01(int(x) / 3, int(y) / 3, variant);
  hole += 0.25f * SmoothStep(4, 14, d);  // the eaves last longest
  if (hole > 0.7f) {
    if (std::fmod(d, 9.0f) < 2.2f) {  // a rafter
      p.hit = true;
      p.c = Scale(Colour{40, 32, 28}, light);
    }
    return p;
  }
  p.hit = true;
  Colour c = Scale(Colour{66, 56, 48}, light * (0.8f + 0.4f * Hash01(int(x), int(y), 17)));
  if (std::fmod(d, 5.0f) < 1.1f) c = Scale(c, 0.75f);
  if (hole > 0.62f) c = Mix(Colour{150, 60, 26}, Colour{250, 150, 60}, (hole - 0.62f) / 0.08f);
  if (d < 1.2f) c = Scale(c, 0.6f);
  p.c = c;
  return p;
}

ObjectPixel HouseAt(float x, float y, float w, float h, int variant) {
  static const Colour Roofs[4] = {{186, 150, 84}, {160, 74, 54}, {112, 106, 100}, {130, 96, 62}};
  ObjectPixel p;
  const float x0 = 3, y0 = 3, x1 = w - 7, y1 = h - 7;
  if (x < x0 || y < y0 || x >= x1 || y >= y1) return p;
  p.hit = true;
  const float dTop = y - y0, dBottom = y1 - y, dLeft = x - x0, dRight = x1 - x;
  float d = std::min(std::min(dTop, dBottom), std::min(dLeft, dRight));
  float light = d == dTop ? 1.12f : d == dLeft ? 1.0f : d == dRight ? 0.78f : 0.7f;
  if (variant & HouseBurnt) return BurntRoofAt(x, y, d, light, variant);
  Colour c = Scale(Roofs[variant & 3], light);
  // Courses of tiles or thatch parallel to the nearest eave.
  if (std::fmod(d, 5.0f) < 1.1f) c = Scale(c, 0.82f);
  float other = std::min(std::min(dTop == d ? 1e9f : dTop, dBottom == d ? 1e9f : dBottom),
                         std::min(dLeft == d ? 1e9f : dLeft, dRight == d ? 1e9f : dRight));
  if (other - d < 1.2f) c = Scale(Roofs[variant & 3], 0.62f);  // ridge and hips
  if (d < 1.2f) c = Scale(c, 0.6f);                             // eaves
  if (variant & 4) {                                            // chimney
    float cx = x0 + (x1 - x0) * 0.3f, cy = y0 + (y1 - y0) * 0.28f;
    if (std::fabs(x - cx) < 3.5f && std::fabs(y - cy) < 3.5f)
      c = (std::fabs(x - cx) < 1.8f && std::fabs(y - cy) < 1.8f) ? Colour{40, 36, 34} : Colour{118, 102, 92};
  }
  p.c = c;
  return p;
}

ObjectPixel TentAt(float x, float y, float w, float h, int variant) {
  static const Colour Hides[3] = {{152, 122, 84}, {106, 88, 68}, {142, 70, 52}};
  ObjectPixel p;
  float cx = w / 2 - 2, cy = h / 2 - 2, r = std::min(w, h) / 2 - 5;
  float dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
  if (d >= r) return p;
  p.hit = true;
  float a = std::atan2(dy, dx);
  float light = 0.86f + 0.28f * std::cos(a + 3 * Pi / 4);
  Colour c = Scale(Hides[variant % 3], light);
  float seam = std::fmod((a + Pi) / (2 * Pi) * 8 + 8, 1.0f);
  if (seam < 0.06f || seam > 0.94f) c = Scale(c, 0.7f);
  if (d > r - 1.3f) c = Scale(c, 0.65f);
  if (d < 2.2f) c = Colour{60, 44, 30};
  p.c = c;
  return p;
}

ObjectPixel PalisadeAt(float x, float y, int links) {
  ObjectPixel p;
  const float cx = 16, cy = 16;
  const float dirs[4][2] = {{0, -1}, {1, 0}, {0, 1}, {-1, 0}};
  float bestD = 1e9f, bx = 0, by = 0;
  auto consider = [&](float sx, float sy) {
    float dx = x - sx, dy = y - sy, d = dx * dx + dy * dy;
    if (d < bestD) { bestD = d; bx = dx; by = dy; }
  };
  consider(cx, cy);
  for (int i = 0; i < 4; i++) {
    if (!(links & (1 << i))) continue;
    // One stake beyond the edge too: the neighbour's first stake, whose
    // shadow falls into this block.
    for (int s = 1; s <= 4; s++) consider(cx + dirs[i][0] * s * 16 / 3.0f, cy + dirs[i][1] * s * 16 / 3.0f);
  }
  const float r = 4.6f;
  if (bestD >= r * r) return p;
  p.hit = true;
  float light = 1.0f - 0.35f * (bx + by) / r;
  Colour c = Scale(Colour{120, 86, 52}, light);
  if (bestD < 1.0f) c = Colour{70, 50, 30};  // the pointed top
  p.c = c;
  return p;
}

}  // namespace

// A lumpy dome: boulders and standing stones.
ObjectPixel StoneAt(float x, float y, float cx, float cy, float rx, float ry, int variant, Colour base) {
  ObjectPixel p;
  float dx = (x - cx) / rx, dy = (y - cy) / ry;
  float a = std::atan2(dy, dx);
  float wobble = 0.82f + 0.18f * PeriodicNoise((a + Pi) / (2 * Pi) * TexturePeriod, variant * 16.0f, 6, 77 + variant);
  float d2 = (dx * dx + dy * dy) / (wobble * wobble);
  if (d2 >= 1) return p;
  p.hit = true;
  float hgt = std::sqrt(1 - d2);
  float light = 0.55f + 0.5f * hgt - 0.35f * (dx + dy);
  p.c = Scale(base, std::max(0.45f, std::min(1.35f, light)));
  if (d2 > 0.86f) p.c = Scale(p.c, 0.75f);
  return p;
}

namespace {

ObjectPixel TreeAt(float x, float y, float w, float h, int variant) {
  static const Colour Leaves[4] = {{52, 110, 40}, {70, 124, 46}, {40, 94, 48}, {92, 122, 40}};
  ObjectPixel p;
  const float scale = std::min(w, h) / 32;
  float best = 0;
  Colour col{0, 0, 0};
  for (int i = 0; i < 6; i++) {
    float a = i * 2 * Pi / 5 + variant;
    // Crown and shadow stay inside the footprint: 14 + 5 + 8.5 + 3.5 < 32.
    float rr = i == 5 ? 0 : 5.0f * scale;
    float cx = w / 2 - 2 + std::cos(a) * rr, cy = h / 2 - 2 + std::sin(a) * rr;
    float r = (i == 5 ? 9.0f : 7.0f + Hash01(i, variant, 31) * 1.5f) * scale;
    float dx = x - cx, dy = y - cy, d2 = (dx * dx + dy * dy) / (r * r);
    if (d2 >= 1) continue;
    float hgt = std::sqrt(1 - d2) + (i == 5 ? 0.15f : 0);
    if (hgt > best) {
      best = hgt;
      Colour leaf = variant & TreeAncient ? Mix(Leaves[variant & 3], Colour{24, 40, 44}, 0.6f) : Leaves[variant & 3];
      col = Scale(leaf, 0.7f + 0.4f * hgt - 0.3f * (dx + dy) / r);
    }
  }
  if (best <= 0) return p;
  p.hit = true;
  p.c = col;
  return p;
}

ObjectPixel DeckAt(float x, float y, float w, float h, int variant) {
  ObjectPixel p;
  p.hit = true;
  bool across = variant & 1;  // planks running left to right
  float along = across ? y : x;
  int plank = static_cast<int>(along / 6);
  Colour c = Scale(Colour{152, 116, 74}, 0.85f + 0.25f * Hash01(plank, variant, 41));
  if (std::fmod(along, 6.0f) < 1.0f) c = Scale(c, 0.6f);
  float edgeX = std::min(x, w - 1 - x), edgeY = std::min(y, h - 1 - y);
  if ((across ? edgeX : edgeY) < 2) c = Scale(Colour{112, 84, 52}, 0.9f);  // beams
  if (edgeX < 4 && edgeY < 4) c = Colour{84, 62, 40};                         // posts
  p.c = c;
  return p;
}

ObjectPixel TargetAt(float x, float y) {
  ObjectPixel p;
  float dx = x - 14, dy = y - 14, d = std::sqrt(dx * dx + dy * dy);
  if (d >= 10) return p;
  p.hit = true;
  int ring = static_cast<int>(d / 2.5f);
  p.c = (ring & 1) ? Colour{196, 170, 96} : Colour{168, 44, 34};
  p.c = Scale(p.c, 1.05f - 0.02f * (dx + dy));
  return p;
}

// A camp fire in a ring of stones; the variant is the flicker frame.
ObjectPixel FireAt(float x, float y, int frame) {
  ObjectPixel p;
  float dx = x - 15, dy = y - 15, d = std::sqrt(dx * dx + dy * dy);
  float a = std::atan2(dy, dx);
  float flame = 5.2f + 1.2f * std::sin(5 * a + frame * 2.1f);
  if (d < 6.5f && d < flame) {
    p.hit = true;
    p.c = Mix(Colour{255, 240, 150}, Colour{226, 88, 22}, d / flame);
  } else if (d < 6.5f) {
    p.hit = true;
    p.c = Colour{62, 40, 26};  // embers and logs
  } else if (d < 9.5f) {
    if (std::fmod((a + Pi) * 9 / (2 * Pi), 1.0f) < 0.78f) {
      p.hit = true;
      p.c = Scale(Colour{126, 122, 116}, 1.1f - 0.04f * (dx + dy) / 2);
    }
  }
  return p;
}

ObjectPixel WellAt(float x, float y) {
  ObjectPixel p;
  float dx = x - 14, dy = y - 14, d = std::sqrt(dx * dx + dy * dy);
  if (d >= 11.5f) return p;
  p.hit = true;
  if (d < 6.5f) p.c = Colour{26, 34, 52};
  else p.c = Scale(Colour{134, 126, 116}, 1.0f - 0.03f * (dx + dy) / 2 + 0.1f * Hash01(int(x), int(y), 3));
  if (std::fabs(dy) < 1.5f && d < 11.5f) p.c = Colour{104, 76, 46};  // crossbar
  return p;
}

ObjectPixel HayAt(float x, float y) {
  ObjectPixel p;
  float dx = x - 14, dy = y - 14, d = std::sqrt(dx * dx + dy * dy);
  if (d >= 10.5f) return p;
  p.hit = true;
  float a = std::atan2(dy, dx);
  float spiral = std::fmod(d / 2.2f + a / (2 * Pi) + 10, 1.0f);
  p.c = Scale(Colour{210, 178, 92}, (spiral < 0.25f ? 0.82f : 1.0f) * (1.05f - 0.025f * (dx + dy)));
  return p;
}

ObjectPixel ShapeAt(const TileKey &k, float x, float y) {
  const float w = k.objW * TileSize, h = k.objH * TileSize;
  switch (k.object) {
    case ObjHouse: return HouseAt(x, y, w, h, k.variant);
    case ObjTent: return TentAt(x, y, w, h, k.variant);
    case ObjPalisade: return PalisadeAt(x, y, k.variant);
    case ObjBoulder: {
      Colour base = (k.variant & 1) ? Colour{132, 124, 110} : Colour{112, 108, 104};
      float r = 9 + (k.variant % 3) * 1.5f;
      return StoneAt(x, y, w / 2 - 2, h / 2 - 2, r, r * 0.85f, k.variant, base);
    }
    case ObjTree: return TreeAt(x, y, w, h, k.variant);
    case ObjDeck: return DeckAt(x, y, w, h, k.variant);
    case ObjStone: return StoneAt(x, y, w / 2 - 2, h / 2 - 3, 7 * w / TileSize, 10 * h / TileSize, k.variant, Colour{150, 146, 140});
    case ObjTarget: return TargetAt(x, y);
    case ObjFire: return FireAt(x, y, k.variant);
    case ObjWell: return WellAt(x * TileSize / w, y * TileSize / h);
    case ObjHay: return HayAt(x, y);
    default: return k.object >= ObjTower ? SetPieceAt(k.object, k.variant, x, y, w, h) : ObjectPixel{};
  }
}

bool ObjectSolid(int type, int variant) {
  if (type >= ObjTower) return SetPieceSolid(type, variant);
  return type != ObjDeck && type != ObjFire && type != ObjNone;
}

int ObjectClass(int type, int variant) {
  switch (type) {
    case ObjHouse: case ObjTent: case ObjWell: return ClassBuilding;
    case ObjPalisade: return ClassWall;
    case ObjTree: case ObjHay: return ClassTree;
    case ObjDeck: return ClassDeck;
    case ObjNone: case ObjFire: return ClassOpen;
    default: return type >= ObjTower ? SetPieceClass(type, variant) : ClassRock;
  }
}

// Small details scattered on plain cells so no stretch repeats.
bool DecorationAt(int material, int kind, int px, int py, Colour under, Colour *out) {
  float dx = px - 16.0f, dy = py - 16.0f;
  switch (material) {
    case MatGrass: case MatMeadow:
      if (kind == 1) {  // a few flowers
        for (int i = 0; i < 5; i++) {
          int fx = 8 + Hash(i, material, 5) % 16, fy = 8 + Hash(i, material, 6) % 16;
          if (std::abs(px - fx) + std::abs(py - fy) <= 1) {
            *out = (i & 1) ? Colour{236, 230, 200} : Colour{220, 190, 60};
            return true;
          }
        }
      } else {  // tufts of longer grass
        for (int i = 0; i < 3; i++) {
          float tx = px - (6.0f + Hash(i, kind, 9) % 20), ty = py - (6.0f + Hash(i, kind, 10) % 20);
          if (std::fabs(tx) < 4 && ty > -3 && ty < 1 && std::fabs(tx) < 1.5f * (1 - ty)) {
            *out = ((px + i) & 1) ? Scale(under, 0.72f) : Mix(under, Colour{150, 186, 84}, 0.4f);
            return true;
          }
        }
      }
      return false;
    case MatSand: case MatDirt: case MatRoad:
      if (kind == 1 || kind == 3) {  // pebbles
        for (int i = 0; i < 4; i++) {
          int fx = 9 + Hash(i, kind, 7) % 14, fy = 9 + Hash(i, kind, 8) % 14;
          float ex = px - fx, ey = py - fy;
          if (ex * ex + ey * ey < 2.5f) { *out = Scale(Colour{150, 140, 128}, 1.1f - 0.1f * (ex + ey)); return true; }
        }
      } else if (kind == 2 && material == MatSand) {  // driftwood
        if (std::fabs(dy - dx * 0.3f) < 1.6f && std::fabs(dx) < 8) { *out = Colour{132, 110, 84}; return true; }
      }
      return false;
    case MatForest: {
      // A crown that stands out of the canopy: a birch, a dark fir, an autumn oak.
      static const Colour Crowns[3] = {{96, 138, 58}, {30, 74, 46}, {128, 118, 52}};
      float cx = 14.0f + kind * 0.5f, cy = 15.0f - kind * 0.5f, r = 11.5f + kind * 0.5f;
      float ex = px + 0.5f - cx, ey = py + 0.5f - cy, d2 = (ex * ex + ey * ey) / (r * r);
      if (d2 < 1) {
        float h = std::sqrt(1 - d2);
        *out = Scale(Crowns[kind - 1], 0.7f + 0.4f * h - 0.28f * (ex + ey) / r);
        if (kind == 2 && std::fmod(std::atan2(ey, ex) * 8 / Pi + 16, 2.0f) < 0.5f) *out = Scale(*out, 0.8f);
        return true;
      }
      float sx = ex - 3, sy = ey - 3;
      if ((sx * sx + sy * sy) < r * r) { *out = Scale(under, 0.6f); return true; }  // its shadow
      return false;
    }
    case MatDeep:
      if (kind == 1 && std::fabs(dy + dx * 0.1f) < 0.8f && std::fabs(dx) < 5) { *out = Mix(under, Colour{220, 232, 240}, 0.6f); return true; }
      return false;
    default:
      return false;
  }
}

}  // namespace

bool ObjectCoversTile(const TileKey &k) {
  if (k.object == ObjNone) return false;
  for (int py = 0; py < TileSize; py++)
    for (int px = 0; px < TileSize; px++) {
      ObjectPixel p = ShapeAt(k, k.partX * TileSize + px + 0.5f, k.partY * TileSize + py + 0.5f);
      if (!p.hit || p.alpha < 1) return false;
    }
  return true;
}

bool Painter::object(const TileKey &k, int ox, int oy, const Rgb &under, Rgb *out, int *hit) const {
  ObjectPixel p = ShapeAt(k, ox + 0.5f, oy + 0.5f);
  *hit = 0;
  if (p.hit) {
    Colour c = Mix(Colour{under.r, under.g, under.b}, p.c, p.alpha);
    *out = {c.r, c.g, c.b};
    *hit = ObjectSolid(k.object, k.variant) ? 1 : 2;
    return true;
  }
  if (k.object == ObjDeck) return false;
  const float sx = k.object >= ObjTower ? SetPieceShadow(k.object, k.variant) : k.object == ObjStone ? 5.0f : 3.5f;
  if (sx <= 0) return false;
  if (ShapeAt(k, ox + 0.5f - sx, oy + 0.5f - sx).hit) {  // shadow, light from the top left
    *out = {under.r * 0.58f, under.g * 0.58f, under.b * 0.62f};
    return true;
  }
  return false;
}

Tile Painter::paint(const TileKey &k) const {
  Tile t;
  t.pixels.resize(TileSize * TileSize);
  int blocked = 0, groundBlocked = 0, objectBlocked = 0, deck = 0;
  int groundClassCount[8] = {0};
  const bool plain = k.corner[0] == k.corner[1] && k.corner[1] == k.corner[2] && k.corner[2] == k.corner[3];
  for (int py = 0; py < TileSize; py++)
    for (int px = 0; px < TileSize; px++) {
      Rgb c;
      bool groundBlocks;
      int cls;
      ground(k, px, py, &c, &groundBlocks, &cls);
      if (plain && k.decoration && k.object == ObjNone) {
        Colour d;
        if (DecorationAt(k.corner[0], k.decoration, px, py, Colour{c.r, c.g, c.b}, &d)) c = {d.r, d.g, d.b};
      }
      int hit = 0;
      if (k.object != ObjNone) {
        Rgb o;
        if (object(k, k.partX * TileSize + px, k.partY * TileSize + py, c, &o, &hit)) c = o;
      }
      bool blocks = hit == 1 || (groundBlocks && hit != 2);
      if (blocks) {
        blocked++;
        if (hit == 1) objectBlocked++;
        else { groundBlocked++; groundClassCount[cls]++; }
      }
      if (hit == 2 && ObjectClass(k.object, k.variant) == ClassDeck) deck++;
      auto byte = [](float v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5f)); };
      uint32_t rgb = (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b);
      if (rgb == 0xFF00FF) rgb = 0xFE00FF;  // never the mask colour
      t.pixels[py * TileSize + px] = rgb;
    }
  t.solid = blocked * 5 >= TileSize * TileSize;  // a fifth of the block or more
  if (t.solid) {
    if (objectBlocked >= groundBlocked) {
      t.blockClass = ObjectClass(k.object, k.variant);
    } else {
      int best = ClassWater;
      for (int c : {ClassWater, ClassRock, ClassTree})
        if (groundClassCount[c] > groundClassCount[best]) best = c;
      t.blockClass = best;
    }
  } else {
    t.blockClass = deck * 2 >= TileSize * TileSize ? ClassDeck : ClassOpen;
  }
  return t;
}

}  // namespace mapgen
