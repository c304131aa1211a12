// The stage layouts and the list of stages (stages.def). Row 0 is the top of the map, where a stage ends;
// the flight starts at the bottom (row 749) and climbs.
#include <algorithm>
#include <cmath>

#include "maps/landmarks.h"
#include "maps/layout_tools.h"

namespace mapgen {
namespace {

constexpr int Top = 0, Bottom = StageRows;

float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }

// Grass with meadow patches and the odd bare spot.
int Pasture(int x, int y, uint32_t seed, float bare = 0.8f, float lush = 0.6f) {
  float f = Fractal(x * 0.09f, y * 0.07f, seed);
  if (f > bare) return MatDirt;
  return Fractal(x * 0.13f, y * 0.11f, seed + 17) > lush ? MatMeadow : MatGrass;
}

// A winding line down the map: x at corner row y.
float Wind(float y, float centre, float swing, uint32_t seed) {
  return centre + swing * (2 * Fractal(0.5f, y * 0.012f, seed, 2) - 1) + 2.5f * std::sin(y * 0.05f);
}

std::vector<std::pair<float, float>> WindingPath(int y0, int y1, float centre, float swing, uint32_t seed) {
  std::vector<std::pair<float, float>> pts;
  // From just beyond one end to just beyond the other, so no road stops short.
  for (int y = y0 - 4; y <= y1 + 4; y += 4) pts.push_back({Wind(static_cast<float>(y), centre, swing, seed), static_cast<float>(y)});
  return pts;
}

// An island: shallows, a beach and, if large enough, grass.
void Island(StageLayout &L, float cx, float cy, float r, uint32_t seed) {
  PaintBlob(L, cx, cy, r + 2.5f, (r + 2.5f) * 0.8f, MatShallow, seed);
  PaintBlob(L, cx, cy, r, r * 0.8f, MatSand, seed + 1);
  if (r >= 3.5f) PaintBlob(L, cx, cy, r - 1.8f, (r - 1.8f) * 0.8f, MatGrass, seed + 2);
}

// A hedge of trees along a row or a column, where the ground allows.
void TreeLine(StageLayout &L, Rng &rng, int col, int row, int length, bool across, uint32_t allowed) {
  for (int i = 0; i < length; i++) {
    int x = across ? col + i : col, y = across ? row : row + i;
    if (rng.chance(0.85f) && L.fits(x, y, 1, 1, allowed)) L.place({ObjTree, static_cast<uint8_t>(rng.range(0, 3)), x, y, 1, 1});
  }
}

// Copses of woodland scattered over open country.
void Copses(StageLayout &L, Rng &rng, int y0, int y1, int count) {
  for (int i = 0; i < count; i++) {
    float x = 2 + rng.unit() * 36, y = y0 + rng.unit() * (y1 - y0);
    float r = 1.6f + rng.unit() * 2.4f;
    PaintBlob(L, x, y, r * 1.3f, r, MatForest, rng.next());
  }
}

// Ponds with a reedy bank of meadow.
void Ponds(StageLayout &L, Rng &rng, int y0, int y1, int count) {
  for (int i = 0; i < count; i++) {
    float x = 4 + rng.unit() * 32, y = y0 + rng.unit() * (y1 - y0);
    float r = 2.2f + rng.unit() * 2;
    PaintBlob(L, x, y, r + 1.5f, r + 1.0f, MatMeadow, rng.next());
    PaintBlob(L, x, y, r, r * 0.8f, MatShallow, rng.next());
  }
}

// Share of land corners (sand and higher, woods and rock excepted) in rows y0..y1.
float LandShare(const StageLayout &L, int y0, int y1) {
  int land = 0, all = 0;
  for (int y = std::max(y0, 0); y <= std::min(y1, L.rows); y++)
    for (int x = 0; x <= L.columns; x++, all++) {
      int m = L.corner(x, y);
      land += m >= MatSand && m != MatRock && m != MatForest;
    }
  return all ? static_cast<float>(land) / all : 0;
}

// Adds islands to every 480-pixel band of rows y0..y1 short of land.
void EnoughIslands(StageLayout &L, Rng &rng, int y0, int y1, float share, float radius) {
  for (int band = y0 / 15; band * 15 < y1; band++)
    for (int t = 0; t < 8 && LandShare(L, band * 15, band * 15 + 15) < share; t++)
      Island(L, 4 + rng.unit() * 32, band * 15 + 2 + rng.unit() * 11, radius + rng.unit() * 1.5f, rng.next());
}

// ---- Stage 1: the open sea, Kneebow's Shore, the land toward the mountain ----

// A river runs down from the mountain, then west across the land at
// riverRow, straight where the road crosses it at column bridgeX.
void ShoreRiver(StageLayout &L, int riverRow, float bridgeX) {
  std::vector<std::pair<float, float>> river;
  for (int y = 40; y < riverRow; y += 4) river.push_back({32 + 3 * std::sin(y * 0.03f), static_cast<float>(y)});
  for (int x = 32; x >= -4; x -= 2) {
    float near = Clamp01(std::fabs(x - bridgeX) / 6);
    river.push_back({static_cast<float>(x), riverRow + near * (3 * std::sin(x * 0.3f) + (32 - x) * 0.12f)});
  }
  PaintPath(L, river, 1.5f, MatShallow);
}

void LayoutShore(StageLayout &L, uint32_t seed) {
  Rng rng(seed);
  auto coast = [&](int x) { return 540 + 50 * (Fractal(x * 0.05f, 3.0f, seed + 1, 2) - 0.5f) + 5 * std::sin(x * 0.4f); };
  auto foot = [&](int x) { return 30 + 16 * Fractal(x * 0.12f, 9.0f, seed + 2, 2); };
  PaintCorners(L, Top, Bottom, [&](int x, int y) -> int {
    float c = coast(x);
    if (y > c) {
      float depth = y - c;
      bool shoal = Fractal(x * 0.1f, y * 0.06f, seed + 3) > 0.72f;
      return depth < 4 + 5 * Noise(x * 0.2f, y * 0.2f, seed + 4) || shoal ? MatShallow : MatDeep;
    }
    float beach = c - 3 - 4 * Noise(x * 0.25f, y * 0.1f, seed + 5);
    if (y > beach) return MatSand;
    if (y > beach - 16 && Fractal(x * 0.3f, y * 0.3f, seed + 10) > 0.55f) return MatSand;  // dunes
    if (y < foot(x)) return MatRock;
    float rocky = Clamp01((240 - y) / 210.0f);
    if (Fractal(x * 0.16f, y * 0.12f, seed + 6) > 0.8f - 0.16f * rocky) return MatRock;
    if (y > 90 && y < beach - 20 && Fractal(x * 0.08f, y * 0.05f, seed + 9) > 0.66f) return MatForest;
    return Pasture(x, y, seed + 7);
  });
  const int riverRow = 284;
  const RoadAt road = [seed](float y) { return Wind(y, 20, 9, seed + 8); };
  ShoreRiver(L, riverRow, road(riverRow));
  // Islands, sandbanks and skerries out at sea.
  for (int y = 744; y > 560; y -= rng.range(16, 22)) {
    float x = 5 + rng.unit() * 30;
    if (rng.chance(0.35f)) {
      PaintBlob(L, x, static_cast<float>(y), 6, 1.8f, MatShallow, rng.next());
      PaintBlob(L, x, static_cast<float>(y), 4.5f, 1.2f, MatSand, rng.next());
    } else {
      Island(L, x, static_cast<float>(y), 5.5f + rng.unit() * 3.0f, rng.next());
    }
    if (rng.chance(0.3f)) Island(L, x < 20 ? x + 16 + rng.unit() * 4 : x - 16 - rng.unit() * 4, y - 6.0f, 2.5f + rng.unit() * 2, rng.next());
  }
  EnoughIslands(L, rng, 570, 750, 0.17f, 5.5f);
  // The track from the beach to the pass in the mountain.
  PaintPath(L, WindingPath(Top, 520, 20, 9, seed + 8), 1.3f, MatDirt);
  PaintRect(L, 17, Top, 23, 14, MatDirt);
  PaintBlob(L, 8, 22, 5, 4, MatGrass, seed + 11);
  PaintBlob(L, 32, 18, 5, 5, MatGrass, seed + 12);
  PaintRect(L, 15, 15, 25, 30, MatDirt);
  Ponds(L, rng, 100, 480, 8);
  ShoreLandmarks(L, rng, static_cast<int>(coast(20)), riverRow, road);
  // Piers into the sea, rafts out on it.
  for (int i = 0; i < 6; i++) {
    int col = 2 + i * 6 + rng.range(0, 2);
    int row = static_cast<int>(coast(col)) - 1;
    int len = rng.range(4, 7);
    if (L.fits(col, row, 1, len, Bit(MatDeep) | Bit(MatShallow) | Bit(MatSand))) L.place({ObjDeck, 1, col, row, 1, len});
  }
  for (int i = 0; i < 24; i++) Scatter(L, rng, ObjDeck, rng.range(2, 3), 2, 570, 740, Bit(MatDeep), 2);
  for (int i = 0; i < 20; i++) Scatter(L, rng, ObjBoulder, 1, 1, 570, 745, Bit(MatShallow), 6);
  // Trees and rocks on land, more rocks toward the mountain.
  for (int i = 0; i < 400; i++) Scatter(L, rng, ObjTree, 1, 1, 40, 520, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 40; i++) Scatter(L, rng, ObjTree, 2, 2, 40, 520, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 90; i++) Scatter(L, rng, ObjBoulder, 1, 1, 20, 300, LandBits, 6);
  for (int i = 0; i < 20; i++) Scatter(L, rng, ObjTree, 1, 1, 560, 745, Bit(MatGrass), 4);
  for (int i = 0; i < 30; i++) Scatter(L, rng, ObjBoulder, 1, 1, 500, 745, Bit(MatSand), 6);
  // The end: standing stones guard the pass into the mountain.
  for (int i = 0; i < 5; i++) {
    L.place({ObjStone, static_cast<uint8_t>(i), 16, 1 + i * 3, 1, 1});
    L.place({ObjStone, static_cast<uint8_t>(i + 4), 23, 1 + i * 3, 1, 1});
  }
  L.place({ObjFire, 0, 19, 6, 1, 1});
  for (int i = 0; i < 3; i++) L.place({ObjTent, static_cast<uint8_t>(i), 18 + (i & 1) * 2, 9 + i * 2, 1, 1});
}

// ---- Stage 2a: the orcs' training grounds ----
void LayoutTraining(StageLayout &L, uint32_t seed) {
  Rng rng(seed);
  // Past the farmland the ground is trampled bare by the drilling hordes.
  PaintCorners(L, Top, Bottom, [&](int x, int y) -> int {
    return Pasture(x, y, seed + 1, y < 500 ? 0.56f : 0.7f, 0.72f);
  });
  // Farmland at the start: fields in a loose grid.
  for (int y = 740; y > 520; y -= rng.range(10, 16)) {
    for (int x = 1; x < 38;) {
      int w = rng.range(5, 11), h = rng.range(6, 9);
      if (rng.chance(0.75f)) {
        static const int Crops[3] = {MatWheat, MatCrops, MatPlough};
        PaintRect(L, x, y - h, std::min(x + w, 39), y, Crops[rng.range(0, 2)]);
      }
      x += w + rng.range(2, 3);
    }
  }
  Ponds(L, rng, 60, 745, 14);
  Copses(L, rng, 46, 745, 80);
  // The training road up the middle, and the grounds' set pieces beside it.
  PaintPath(L, WindingPath(Top, Bottom, 20, 8, seed + 2), 1.6f, MatRoad);
  TrainingLandmarks(L, rng, [seed](float y) { return Wind(y, 20, 8, seed + 2); });
  for (int y = 745; y > 60; y -= rng.range(8, 14)) {
    int len = rng.range(5, 12);
    TreeLine(L, rng, rng.range(0, 39 - len), y, len, true, Bit(MatGrass) | Bit(MatMeadow) | Bit(MatDirt));
  }
  for (int i = 0; i < 160; i++) Scatter(L, rng, ObjHay, 1, 1, 520, 745, Bit(MatWheat) | Bit(MatPlough), 1);
  for (int i = 0; i < 260; i++) Scatter(L, rng, ObjTree, 1, 1, 60, 745, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 120; i++) Scatter(L, rng, ObjBoulder, 1, 1, 60, 745, Bit(MatGrass) | Bit(MatDirt), 6);
  for (int i = 0; i < 80; i++) Scatter(L, rng, ObjTent, 1, 1, 60, 520, Bit(MatGrass) | Bit(MatDirt) | Bit(MatMeadow), 3);
  // The end: the war camp's great stockade with the chief's hall.
  PaintRect(L, 3, 4, 37, 44, MatDirt);
  PlacePalisade(L, 2, 3, 36, 42, 4, false);
  L.place({ObjHouse, 7, 16, 8, 8, 5});  // the war chief's longhouse, shingled
  for (int i = 0; i < 40; i++) Scatter(L, rng, ObjTent, rng.chance(0.4f) ? 2 : 1, 1 + (i & 1), 6, 40, Bit(MatDirt), 3);
  for (int i = 0; i < 6; i++) Scatter(L, rng, ObjFire, 1, 1, 14, 40, Bit(MatDirt), 1);
  L.mark("the war camp's stockade", 2, 3, 36, 42);
}

// ---- Stage 2: K'llisc Village ----
void LayoutVillage(StageLayout &L, uint32_t seed) {
  Rng rng(seed);
  PaintCorners(L, Top, Bottom, [&](int x, int y) -> int { return Pasture(x, y, seed + 1, 0.8f, 0.72f); });
  // Two rivers cross the valley; the road bridges them.
  const int rivers[2] = {560, 260};
  for (int r : rivers) {
    PaintCorners(L, r - 12, r + 12, [&](int x, int y) -> int {
      float centre = r + 5 * std::sin(x * 0.2f + r) + 3 * (Fractal(x * 0.1f, r, seed + 3, 2) - 0.5f);
      float d = std::fabs(y - centre);
      return d < 1.6f ? MatShallow : (d < 2.6f ? MatSand : -1);
    });
  }
  // Fields and gardens behind the houses.
  for (int i = 0; i < 50; i++) {
    int x = rng.range(0, 30), y = rng.range(30, 740), w = rng.range(4, 9), h = rng.range(4, 8);
    static const int Crops[3] = {MatWheat, MatCrops, MatPlough};
    bool clear = true;
    for (int r : rivers) clear = clear && (y + h < r - 5 || y > r + 5);
    if (clear) PaintRect(L, x, y, x + w, y + h, Crops[rng.range(0, 2)]);
  }
  Ponds(L, rng, 60, 745, 10);
  Copses(L, rng, 50, 745, 55);
  // The high street and the lanes off it.
  auto street = WindingPath(Top, Bottom, 20, 7, seed + 4);
  PaintPath(L, street, 1.5f, MatRoad);
  for (int y = 730; y > 60; y -= rng.range(22, 34)) {
    bool nearRiver = false;
    for (int r : rivers) nearRiver = nearRiver || std::abs(y - r) < 9;
    if (nearRiver) continue;
    float sx = Wind(static_cast<float>(y), 20, 7, seed + 4);
    float tx = rng.chance(0.5f) ? 1.0f : 39.0f;
    PaintPath(L, {{sx, static_cast<float>(y)}, {tx, y + rng.range(-6, 6) * 1.0f}}, 1.1f, MatRoad);
  }
  for (int r : rivers) {
    int col = static_cast<int>(Wind(static_cast<float>(r), 20, 7, seed + 4)) - 1;
    int row = r - 4;
    for (int y = row; y < row + 8; y++)
      for (int x = col; x < col + 3; x++) L.objectAt[y * L.columns + x] = -1;
    L.place({ObjDeck, 0, col, row, 3, 8});
  }
  VillageLandmarks(L, rng, [seed](float y) { return Wind(y, 20, 7, seed + 4); });
  // Houses along the roads: they stand on grass or gardens next to a road.
  const uint32_t ground = Bit(MatGrass) | Bit(MatMeadow) | Bit(MatDirt) | FieldBits;
  for (int y = 742; y > 40; y -= rng.range(3, 4)) {
    int sx = static_cast<int>(std::lround(Wind(static_cast<float>(y), 20, 7, seed + 4)));
    int w = rng.range(2, 3), h = rng.range(2, 3);
    int col = rng.chance(0.5f) ? sx - 2 - w : sx + 2;
    if (rng.chance(0.8f) && L.fits(col, y - h, w, h, ground, true))
      L.place({ObjHouse, static_cast<uint8_t>(rng.range(0, 5)), col, y - h, w, h});
  }
  for (int i = 0; i < 2500; i++) {
    int w = rng.range(2, 3), h = rng.range(2, 3);
    int col = rng.range(0, 40 - w), row = rng.range(40, 745 - h);
    if (!L.fits(col, row, w, h, ground, true)) continue;
    bool byRoad = false;
    for (int x = col - 1; x <= col + w && !byRoad; x++)
      for (int y = row - 1; y <= row + h && !byRoad; y++)
        if (x >= 0 && y >= 0 && x < 40 && y < 750 && L.corner(x, y) == MatRoad) byRoad = true;
    if (!byRoad) continue;
    L.place({ObjHouse, static_cast<uint8_t>(rng.range(0, 5)), col, row, w, h});
  }
  for (int y = 745; y > 50; y -= rng.range(9, 15)) {
    int len = rng.range(4, 10);
    TreeLine(L, rng, rng.range(0, 39 - len), y, len, true, Bit(MatGrass) | Bit(MatMeadow));
  }
  for (int i = 0; i < 260; i++) Scatter(L, rng, ObjTree, 1, 1, 40, 745, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 30; i++) Scatter(L, rng, ObjHay, 1, 1, 40, 745, Bit(MatWheat), 1);
  // The end: the cobbled square with its well and the chief's hall.
  PaintRect(L, 8, 3, 32, 36, MatCobble);
  L.place({ObjWell, 0, 19, 22, 1, 1});
  L.place({ObjHouse, 1, 14, 5, 12, 6});
  for (int i = 0; i < 4; i++) {
    L.place({ObjHouse, static_cast<uint8_t>(i * 2), 9, 8 + i * 6, 3, 3});
    L.place({ObjHouse, static_cast<uint8_t>(i * 2 + 5), 28, 8 + i * 6, 3, 3});
  }
  PlacePalisade(L, 7, 2, 27, 36, 4, false);
  L.mark("the chief's hall", 7, 2, 27, 36);
}

// ---- Stage 3: the Bay of K'llisc ----
void LayoutBay(StageLayout &L, uint32_t seed) {
  Rng rng(seed);
  PaintCorners(L, Top, Bottom, [&](int x, int y) -> int {
    return Fractal(x * 0.1f, y * 0.07f, seed + 1) > 0.62f ? MatShallow : MatDeep;
  });
  // The bay changes on the way in: sandbars and skerries at its mouth, then
  // wooded islands, then reefs and long spits before the harbour.
  for (int y = 744; y > 54; y -= rng.range(8, 11)) {
    if (y > 560) {
      float x = 4 + rng.unit() * 32;
      PaintBlob(L, x, y, 7 + rng.unit() * 4, 3.2f, MatShallow, rng.next());
      PaintBlob(L, x, y, 5 + rng.unit() * 3, 2.3f, MatSand, rng.next());
      Island(L, x < 20 ? x + 14 : x - 14, y - 5.0f, 4.0f + rng.unit() * 2.5f, rng.next());
    } else if (y > 260) {
      int n = rng.range(1, 2);
      for (int i = 0; i < n; i++) {
        float r = n == 1 ? 7.0f + rng.unit() * 5 : 4.0f + rng.unit() * 3;
        float x = 4 + (i + 0.2f + 0.6f * rng.unit()) * 32.0f / n;
        float cy = y + rng.range(-3, 3) * 1.0f;
        Island(L, x, cy, r, rng.next());
        if (r > 8) PaintBlob(L, x, cy, r - 5, (r - 5) * 0.7f, MatForest, rng.next());
        else if (r > 5) PaintBlob(L, x + 1, cy, 1.6f, 1.2f, MatRock, rng.next());
      }
    } else {
      float x = 6 + rng.unit() * 28;
      PaintPath(L, {{x - 8, static_cast<float>(y)}, {x + 8, y - 4.0f}}, 2.6f, MatShallow);
      PaintPath(L, {{x - 7, static_cast<float>(y)}, {x + 7, y - 4.0f}}, 1.4f, MatSand);
      Island(L, x < 20 ? x + 15 : x - 15, y - 6.0f, 3.5f + rng.unit() * 2, rng.next());
      for (int i = 0; i < 3; i++) Scatter(L, rng, ObjBoulder, 1, 1, y - 10, y + 4, Bit(MatShallow), 6, 10);
    }
  }
  EnoughIslands(L, rng, 60, 750, 0.3f, 3.5f);
  BayLandmarks(L, rng);
  // The far shore at the end: the bay's harbour under the hills.
  PaintCorners(L, Top, 60, [&](int x, int y) -> int {
    float edge = 40 + 8 * Fractal(x * 0.1f, 1.0f, seed + 2, 2);
    if (y > edge + 4) return -1;
    if (y > edge) return static_cast<int>(MatShallow);
    if (y > edge - 3) return static_cast<int>(MatSand);
    if (y < 6 + 5 * Noise(x * 0.3f, 0, seed + 3)) return static_cast<int>(MatRock);
    return Pasture(x, y, seed + 4, 0.7f);
  });
  for (int i = 0; i < 5; i++) {
    int col = 3 + i * 8;
    L.place({ObjDeck, 1, col, 40, 1, 12});
    L.place({ObjDeck, 0, col - 1, 50, 3, 2});
  }
  PaintPath(L, {{6, 22}, {34, 22}}, 1.2f, MatDirt);
  for (int i = 0; i < 14; i++) Scatter(L, rng, ObjHouse, 2, 2, 8, 34, Bit(MatGrass) | Bit(MatMeadow) | Bit(MatDirt), 8);
  for (int i = 0; i < 180; i++) Scatter(L, rng, ObjTree, 1, 1, 60, 745, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 60; i++) Scatter(L, rng, ObjBoulder, 1, 1, 60, 745, Bit(MatSand) | Bit(MatGrass), 6);
  for (int i = 0; i < 30; i++) Scatter(L, rng, ObjDeck, rng.range(2, 3), 2, 60, 745, Bit(MatDeep) | Bit(MatShallow), 2);
  L.mark("the harbour under the hills", 0, 0, 40, 54);
}

// ---- Stage 4: the Forgotten Forest ----
void LayoutForest(StageLayout &L, uint32_t seed) {
  Rng rng(seed);
  PaintCorners(L, Top, Bottom, [&](int x, int y) -> int {
    float open = Fractal(x * 0.09f, y * 0.045f, seed + 1);
    if (open > 0.57f) return Fractal(x * 0.2f, y * 0.2f, seed + 2) > 0.55f ? MatMeadow : MatGrass;
    return static_cast<int>(MatForest);
  });
  // Paths wind through the trees from clearing to clearing.
  PaintPath(L, WindingPath(Top, Bottom, 14, 11, seed + 3), 1.4f, MatDirt);
  PaintPath(L, WindingPath(Top, Bottom, 27, 11, seed + 5), 1.2f, MatDirt);
  for (int y = 730; y > 60; y -= rng.range(30, 45)) {
    PaintBlob(L, rng.range(6, 34), y, rng.range(4, 7), rng.range(3, 6), MatGrass, rng.next());
  }
  // Brooks cross the forest, and grey crags break through it.
  const float brooks[3] = {556, 330, 104};
  auto brookAt = [&](int b, float x) { return brooks[b] + 6 * std::sin(x * 0.25f + b) + x * 0.3f; };
  for (int b = 0; b < 3; b++) {
    std::vector<std::pair<float, float>> brook;
    for (int x = -2; x <= 42; x += 3) brook.push_back({static_cast<float>(x), brookAt(b, static_cast<float>(x))});
    PaintPath(L, brook, 2.4f, MatMeadow);
    PaintPath(L, brook, 1.2f, MatShallow);
  }
  for (int i = 0; i < 14; i++) PaintBlob(L, 3 + rng.unit() * 34, 80 + rng.unit() * 650, 2 + rng.unit() * 2, 2 + rng.unit() * 1.5f, MatRock, rng.next());
  // Every stretch of the forest keeps a clearing or two for its orcs.
  for (int band = 4; band < 50; band++)
    for (int t = 0; t < 6 && LandShare(L, band * 15, band * 15 + 15) < 0.3f; t++)
      PaintBlob(L, 5 + rng.unit() * 30, band * 15 + 3 + rng.unit() * 9, 3 + rng.unit() * 2, 2.5f + rng.unit() * 1.5f, MatGrass, rng.next());
  ForestLandmarks(L, rng, [&](float x) { return brookAt(1, x); }, seed + 8);
  for (int i = 0; i < 40; i++) Scatter(L, rng, ObjTree, 2, 2, 60, 745, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 160; i++) Scatter(L, rng, ObjTree, 1, 1, 60, 745, Bit(MatGrass) | Bit(MatMeadow), 4);
  for (int i = 0; i < 60; i++) Scatter(L, rng, ObjBoulder, 1, 1, 60, 745, Bit(MatGrass) | Bit(MatMeadow) | Bit(MatDirt), 6);
  // The end, the forest's dark heart: an ancient tree in the wizards' stone
  // ring, in a glade of the old black woods.
  PaintBlob(L, 20, 12, 16, 16, MatMeadow, seed + 6);
  PaintBlob(L, 20, 9, 8, 7, MatDirt, seed + 7);
  for (int i = 0; i < 12; i++) {
    float a = i * 2 * 3.14159265f / 12;
    L.place({ObjStone, static_cast<uint8_t>(i), static_cast<int>(std::lround(19.5f + 6.5f * std::cos(a))),
             static_cast<int>(std::lround(8.5f + 5.5f * std::sin(a))), 1, 1});
  }
  for (int i = 0; i < 16; i++) {  // the outer ring, every other stone fallen to a boulder
    float a = (i + 0.5f) * 2 * 3.14159265f / 16;
    int col = static_cast<int>(std::lround(19.5f + 11.0f * std::cos(a))), row = static_cast<int>(std::lround(8.5f + 6.5f * std::sin(a)));
    if (L.fits(col, row, 1, 1, 0xFFFFFFFFu)) L.place({i & 1 ? ObjBoulder : ObjStone, static_cast<uint8_t>(i), col, row, 1, 1});
  }
  L.place({ObjTree, TreeAncient | 1, 17, 6, 6, 6});
  L.place({ObjFire, 0, 15, 8, 1, 1});
  L.place({ObjFire, 0, 24, 9, 1, 1});
  L.mark("the forest's dark heart", 0, 0, 40, 40);
}

}  // namespace

const std::vector<StageInfo> &Stages() {
  static const std::vector<StageInfo> stages = {
#define SKV_STAGE(stem, name, seed, layout) {#stem ".fmp", name, seed, layout},
#include "maps/stages.def"
#undef SKV_STAGE
  };
  return stages;
}

}  // namespace mapgen
