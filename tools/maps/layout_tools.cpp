// Shape painters for the stage layouts.
#include "maps/layout_tools.h"

#include <algorithm>
#include <set>

namespace mapgen {

namespace {
float Lattice(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ seed * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  return (h >> 8) / 16777216.0f;
}
}  // namespace

float Noise(float x, float y, uint32_t seed) {
  int ix = static_cast<int>(std::floor(x)), iy = static_cast<int>(std::floor(y));
  float fx = x - ix, fy = y - iy;
  fx = fx * fx * (3 - 2 * fx);
  fy = fy * fy * (3 - 2 * fy);
  float a = Lattice(ix, iy, seed), b = Lattice(ix + 1, iy, seed);
  float c = Lattice(ix, iy + 1, seed), d = Lattice(ix + 1, iy + 1, seed);
  return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

float Fractal(float x, float y, uint32_t seed, int octaves) {
  float sum = 0, amp = 1, total = 0, f = 1;
  for (int o = 0; o < octaves; o++) {
    sum += amp * Noise(x * f, y * f, seed + o * 131);
    total += amp;
    amp *= 0.5f;
    f *= 2;
  }
  return sum / total;
}

void PaintCorners(StageLayout &L, int y0, int y1, const std::function<int(int, int)> &pick) {
  y0 = std::max(y0, 0);
  y1 = std::min(y1, L.rows);
  for (int y = y0; y <= y1; y++)
    for (int x = 0; x <= L.columns; x++) {
      int m = pick(x, y);
      if (m >= 0) L.corner(x, y) = static_cast<uint8_t>(m);
    }
}

void PaintBlob(StageLayout &L, float cx, float cy, float rx, float ry, int material, uint32_t seed) {
  int y0 = static_cast<int>(cy - ry - 2), y1 = static_cast<int>(cy + ry + 2);
  PaintCorners(L, y0, y1, [&](int x, int y) -> int {
    float dx = (x - cx) / rx, dy = (y - cy) / ry;
    float wobble = 0.8f + 0.4f * Noise(x * 0.35f, y * 0.35f, seed);
    return dx * dx + dy * dy < wobble * wobble ? material : -1;
  });
}

void PaintRect(StageLayout &L, int x0, int y0, int x1, int y1, int material) {
  PaintCorners(L, y0, y1, [&](int x, int y) -> int { return x >= x0 && x <= x1 && y >= y0 && y <= y1 ? material : -1; });
}

void PaintPath(StageLayout &L, const std::vector<std::pair<float, float>> &pts, float halfWidth, int material) {
  for (size_t i = 0; i + 1 < pts.size(); i++) {
    float ax = pts[i].first, ay = pts[i].second, bx = pts[i + 1].first, by = pts[i + 1].second;
    int y0 = static_cast<int>(std::min(ay, by) - halfWidth - 1), y1 = static_cast<int>(std::max(ay, by) + halfWidth + 1);
    PaintCorners(L, y0, y1, [&](int x, int y) -> int {
      float vx = bx - ax, vy = by - ay, len2 = vx * vx + vy * vy;
      float t = len2 > 0 ? ((x - ax) * vx + (y - ay) * vy) / len2 : 0;
      t = std::max(0.0f, std::min(1.0f, t));
      float dx = x - (ax + t * vx), dy = y - (ay + t * vy);
      return dx * dx + dy * dy <= halfWidth * halfWidth ? material : -1;
    });
  }
}

bool Scatter(StageLayout &L, Rng &rng, ObjectType type, int w, int h, int y0, int y1, uint32_t allowed,
             int variants, int tries) {
  y0 = std::max(y0, 0);
  y1 = std::min(y1, L.rows - h);
  if (y1 < y0) return false;
  for (int t = 0; t < tries; t++) {
    int col = rng.range(0, L.columns - w), row = rng.range(y0, y1);
    int variant = rng.range(0, variants - 1);
    if (!L.fits(col, row, w, h, allowed)) continue;
    Placement p;
    p.type = type;
    p.variant = static_cast<uint8_t>(variant);
    p.col = col;
    p.row = row;
    p.w = w;
    p.h = h;
    L.place(p);
    return true;
  }
  return false;
}

void PlaceWall(StageLayout &L, const std::vector<std::pair<int, int>> &cells, ObjectType type, uint8_t extra) {
  std::set<std::pair<int, int>> wall(cells.begin(), cells.end());
  for (const auto &c : wall) {
    int col = c.first, row = c.second;
    if (col < 0 || row < 0 || col >= L.columns || row >= L.rows) continue;
    if (L.objectAt[row * L.columns + col] >= 0) continue;
    int links = (wall.count({col, row - 1}) ? 1 : 0) | (wall.count({col + 1, row}) ? 2 : 0) |
                (wall.count({col, row + 1}) ? 4 : 0) | (wall.count({col - 1, row}) ? 8 : 0);
    Placement p;
    p.type = type;
    p.variant = static_cast<uint8_t>(links | extra);
    p.col = col;
    p.row = row;
    L.place(p);
  }
}

void PlacePalisade(StageLayout &L, int col, int row, int w, int h, int gate, bool gateTop) {
  std::vector<std::pair<int, int>> cells;
  int g0 = col + (w - gate) / 2, g1 = g0 + gate - 1;
  for (int x = col; x < col + w; x++) {
    bool inGate = x >= g0 && x <= g1;
    if (!(gateTop && inGate)) cells.push_back({x, row});
    if (!inGate) cells.push_back({x, row + h - 1});
  }
  for (int y = row + 1; y < row + h - 1; y++) {
    cells.push_back({col, y});
    cells.push_back({col + w - 1, y});
  }
  PlaceWall(L, cells);
}

}  // namespace mapgen
