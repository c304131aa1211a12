// Painting surface of the art generator: a float RGBA canvas (premultiplied),
// shapes given as signed distance functions filled with per-pixel coverage, a
// top-left light for volume shading, value noise, and the conversions to the
// game's 32-bit bitmaps with the magenta mask.
#pragma once
#include <allegro.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace art {

// A colour, components 0..1 (the file's sRGB values / 255).
struct Col {
  float r = 0, g = 0, b = 0;
};
Col Rgb(int r, int g, int b);
Col Mix(Col a, Col b, float t);  // a at t = 0, b at t = 1
Col Scale(Col c, float k);
Col Add(Col a, Col b);

// Premultiplied pixel.
struct Px {
  float r = 0, g = 0, b = 0, a = 0;
};

class Canvas {
 public:
  Canvas(int iWidth, int iHeight);
  int w, h;
  std::vector<Px> px;
  Px &at(int x, int y) { return px[y * w + x]; }
  const Px &at(int x, int y) const { return px[y * w + x]; }
  // Paints colour c with opacity a over the pixel (source over).
  void blend(int x, int y, Col c, float a);
  // Unpremultiplied colour of a pixel (black where fully transparent).
  Col colour(int x, int y) const;
};

// Signed distance in design units: negative inside, positive outside.
using Sdf = std::function<float(float, float)>;

// What a shader learns about the point being painted (design units).
struct Hit {
  float x, y;    // point
  float d;       // signed distance
  float gx, gy;  // outward unit gradient of the distance
};
using Shader = std::function<Col(const Hit &)>;

// Maps design coordinates to canvas pixels: pixel = origin + design * scale.
struct View {
  float ox = 0, oy = 0, s = 1;
};

// Fills the shape with the shader's colour at the given opacity; edge pixels
// get their exact coverage. Blocks far from the shape are skipped using the
// distance bound, so shapes may be evaluated over the whole canvas.
void Fill(Canvas &c, const View &v, const Sdf &shape, const Shader &shader, float opacity = 1.0f);
void Fill(Canvas &c, const View &v, const Sdf &shape, Col col, float opacity = 1.0f);

// The one light of every picture: from the top left, a little above.
extern const float LightX, LightY, LightZ;

// Shades a rounded volume: the surface rises over `thick` design units from
// the outline, lit from the top left, with an optional glossy highlight.
Col Lit(Col base, const Hit &h, float thick, float gloss = 0.0f);

// Deterministic value noise in 0..1 and its fractal sum (octaves halve in size).
float Noise(float x, float y, uint32_t seed);
float Fbm(float x, float y, int octaves, uint32_t seed);

// Small deterministic generator for scattering details.
class Rng {
 public:
  explicit Rng(uint64_t seed) : s(seed) {}
  uint32_t next();
  float uniform();                  // 0..1
  float range(float lo, float hi);  // lo..hi
 private:
  uint64_t s;
};

// A dark rim under the painted shapes: every transparent pixel next to a
// painted one gets colour c at the neighbour's coverage times strength.
void AddOutline(Canvas &c, Col col, float strength = 1.0f);

// The game's colour for a sprite pixel, or the mask colour.
constexpr int MaskRgb = 0xFF00FF;

// Sprite conversion: pixels of coverage below `threshold` become the mask
// colour, every other pixel is drawn opaque, its partial coverage resolved
// against the dark colour `rim` (never against the mask).
void PutSprite(BITMAP *dst, int dx, int dy, const Canvas &c, Col rim, float threshold = 0.35f);
// Opaque conversion: the canvas over black.
void PutOpaque(BITMAP *dst, int dx, int dy, const Canvas &c);

// 32-bit memory bitmap filled with the mask colour.
BITMAP *NewMaskedBitmap(int w, int h);

// PNG output (32-bit bitmaps; `maskToAlpha` turns mask pixels transparent).
bool SavePng(const std::string &path, BITMAP *bmp, bool maskToAlpha);

}  // namespace art
