// Helpers shared by the stage layouts: a seeded generator of our own (the
// game's rand() stream is never touched), smooth noise, and shape painters
// for ground corners and objects.
#pragma once
#include <cmath>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "maps/mapgen.h"

namespace mapgen {

class Rng {
 public:
  explicit Rng(uint32_t seed) : iState(seed * 2654435761u + 0x6D2B79F5u) { if (!iState) iState = 1; }
  uint32_t next() {
    iState ^= iState << 13;
    iState ^= iState >> 17;
    iState ^= iState << 5;
    return iState;
  }
  int range(int lo, int hi) { return lo + static_cast<int>(next() % static_cast<uint32_t>(hi - lo + 1)); }
  float unit() { return (next() >> 8) / 16777216.0f; }
  bool chance(float p) { return unit() < p; }

 private:
  uint32_t iState;
};

// Smooth value noise in 0..1 on a unit lattice, and its sum of octaves.
float Noise(float x, float y, uint32_t seed);
float Fractal(float x, float y, uint32_t seed, int octaves = 3);

// Material bit for StageLayout::fits.
constexpr uint32_t Bit(int m) { return 1u << m; }
constexpr uint32_t LandBits = Bit(MatSand) | Bit(MatDirt) | Bit(MatGrass) | Bit(MatMeadow) | Bit(MatRoad) | Bit(MatCobble);
constexpr uint32_t FieldBits = Bit(MatWheat) | Bit(MatCrops) | Bit(MatPlough);

// Sets every corner for which pick(x, y) returns a material (>= 0).
void PaintCorners(StageLayout &L, int y0, int y1, const std::function<int(int, int)> &pick);
// A filled ellipse of corners.
void PaintBlob(StageLayout &L, float cx, float cy, float rx, float ry, int material, uint32_t seed);
// A rectangle of corners (inclusive), e.g. a field or a yard.
void PaintRect(StageLayout &L, int x0, int y0, int x1, int y1, int material);
// A road or path of the given half width through the points, in corners.
void PaintPath(StageLayout &L, const std::vector<std::pair<float, float>> &points, float halfWidth, int material);

// Places a w x h object at a random free spot in rows y0..y1 whose corners
// are all of the allowed materials; false after `tries` misses.
bool Scatter(StageLayout &L, Rng &rng, ObjectType type, int w, int h, int y0, int y1,
             uint32_t allowed, int variants, int tries = 40);
// A wall through the given cells; each piece links to its neighbours. A
// stone wall (ObjWall) takes extra variant bits (WallRuined, WallSunken).
void PlaceWall(StageLayout &L, const std::vector<std::pair<int, int>> &cells, ObjectType type = ObjPalisade,
               uint8_t extra = 0);
// A rectangular palisade with a gap of `gate` cells in the middle of the
// bottom side (and of the top side when gateTop).
void PlacePalisade(StageLayout &L, int col, int row, int w, int h, int gate, bool gateTop);

}  // namespace mapgen
