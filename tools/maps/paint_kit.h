// Small helpers shared by the tile painters (paint.cpp, set_pieces.cpp):
// colours, hashes, periodic noise, and what an object shows at one pixel.
#pragma once
#include <cmath>
#include <cstdint>

#include "maps/paint.h"

namespace mapgen {

constexpr float Pi = 3.14159265f;

inline uint32_t Hash(uint32_t x, uint32_t y, uint32_t s) {
  uint32_t h = x * 0x8DA6B343u ^ y * 0xD8163841u ^ s * 0xCB1AB31Fu;
  h ^= h >> 13;
  h *= 0x5BD1E995u;
  h ^= h >> 15;
  h *= 0x27D4EB2Du;
  h ^= h >> 16;
  return h;
}
inline float Hash01(uint32_t x, uint32_t y, uint32_t s) { return (Hash(x, y, s) >> 8) / 16777216.0f; }

inline float Smooth(float t) { return t * t * (3 - 2 * t); }
inline float Clamp01(float v) { return v < 0 ? 0 : (v > 1 ? 1 : v); }
inline float SmoothStep(float a, float b, float v) { return Smooth(Clamp01((v - a) / (b - a))); }

// Value noise that repeats every TexturePeriod pixels; freq lattice cells per period.
float PeriodicNoise(float u, float v, int freq, uint32_t seed);

struct Colour { float r, g, b; };
inline Colour Mix(Colour a, Colour b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
inline Colour Scale(Colour a, float k) { return {a.r * k, a.g * k, a.b * k}; }

// What an object shows at one pixel: nothing, or a colour laid over the
// ground with the given opacity.
struct ObjectPixel {
  bool hit = false;
  Colour c{0, 0, 0};
  float alpha = 1;
};

// A lumpy dome: boulders and standing stones.
ObjectPixel StoneAt(float x, float y, float cx, float cy, float rx, float ry, int variant, Colour base);

// The landmark pieces (ObjTower ... ObjArch) at object pixel (x, y) of a
// w x h pixel footprint.
ObjectPixel SetPieceAt(int type, int variant, float x, float y, float w, float h);
// Shadow offset of a landmark piece (0: it lies flat and casts none).
float SetPieceShadow(int type, int variant);
// Whether a landmark piece stops orcs, and what its blocks are (BlockClass).
bool SetPieceSolid(int type, int variant);
int SetPieceClass(int type, int variant);

}  // namespace mapgen
