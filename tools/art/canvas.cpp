// Painting surface, shape filling, light, noise and bitmap conversion.
#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "png/png_writer.h"

namespace art {

Col Rgb(int r, int g, int b) { return {r / 255.0f, g / 255.0f, b / 255.0f}; }
Col Mix(Col a, Col b, float t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Col Scale(Col c, float k) { return {c.r * k, c.g * k, c.b * k}; }
Col Add(Col a, Col b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }

Canvas::Canvas(int iWidth, int iHeight) : w(iWidth), h(iHeight), px(size_t(iWidth) * iHeight) {}

void Canvas::blend(int x, int y, Col c, float a) {
  if (x < 0 || y < 0 || x >= w || y >= h || a <= 0) return;
  a = std::min(a, 1.0f);
  Px &p = at(x, y);
  p.r = c.r * a + p.r * (1 - a);
  p.g = c.g * a + p.g * (1 - a);
  p.b = c.b * a + p.b * (1 - a);
  p.a = a + p.a * (1 - a);
}

Col Canvas::colour(int x, int y) const {
  const Px &p = at(x, y);
  if (p.a <= 1e-6f) return {};
  return {p.r / p.a, p.g / p.a, p.b / p.a};
}

void Fill(Canvas &c, const View &v, const Sdf &shape, const Shader &shader, float opacity) {
  constexpr int B = 8;
  const float inv = 1.0f / v.s;
  const float e = 0.35f * inv;  // gradient step: a third of a pixel
  for (int by = 0; by < c.h; by += B) {
    for (int bx = 0; bx < c.w; bx += B) {
      const float cx = (bx + B * 0.5f - v.ox) * inv, cy = (by + B * 0.5f - v.oy) * inv;
      if (shape(cx, cy) * v.s > B * 0.75f + 2.0f) continue;
      for (int y = by; y < std::min(by + B, c.h); y++) {
        for (int x = bx; x < std::min(bx + B, c.w); x++) {
          const float dx = (x + 0.5f - v.ox) * inv, dy = (y + 0.5f - v.oy) * inv;
          const float d = shape(dx, dy);
          const float cov = std::clamp(0.5f - d * v.s, 0.0f, 1.0f);
          if (cov <= 0) continue;
          float gx = shape(dx + e, dy) - shape(dx - e, dy);
          float gy = shape(dx, dy + e) - shape(dx, dy - e);
          const float gl = std::hypot(gx, gy);
          if (gl > 1e-9f) {
            gx /= gl;
            gy /= gl;
          } else {
            gx = gy = 0;
          }
          c.blend(x, y, shader(Hit{dx, dy, d, gx, gy}), cov * opacity);
        }
      }
    }
  }
}

void Fill(Canvas &c, const View &v, const Sdf &shape, Col col, float opacity) {
  Fill(c, v, shape, [col](const Hit &) { return col; }, opacity);
}

// (-0.5, -0.6, 0.62) normalised: from the top left, a little above.
static const float LightLength = std::sqrt(0.5f * 0.5f + 0.6f * 0.6f + 0.62f * 0.62f);
const float LightX = -0.5f / LightLength, LightY = -0.6f / LightLength, LightZ = 0.62f / LightLength;

Col Lit(Col base, const Hit &h, float thick, float gloss) {
  const float t = std::clamp(-h.d / thick, 0.0f, 1.0f);
  const float u = 1.0f - t;
  const float slope = std::min(2.5f, u / std::sqrt(std::max(1e-3f, 1.0f - u * u)));
  float nx = h.gx * slope, ny = h.gy * slope, nz = 1.0f;
  const float nl = std::sqrt(nx * nx + ny * ny + nz * nz);
  nx /= nl;
  ny /= nl;
  nz /= nl;
  const float diff = std::max(0.0f, nx * LightX + ny * LightY + nz * LightZ);
  const float shade = 0.42f + 0.58f * diff / LightZ;
  Col out = Scale(base, shade);
  if (gloss > 0) {
    float hx = LightX, hy = LightY, hz = LightZ + 1.0f;
    const float hl = std::sqrt(hx * hx + hy * hy + hz * hz);
    const float nh = std::max(0.0f, (nx * hx + ny * hy + nz * hz) / hl);
    const float shine = gloss * std::pow(nh, 24.0f);
    out = Add(out, {shine, shine, shine});
  }
  return out;
}

static uint32_t Hash(int x, int y, uint32_t seed) {
  uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
  h ^= h >> 13;
  h *= 0x85ebca6bu;
  h ^= h >> 16;
  h *= 0xc2b2ae35u;
  h ^= h >> 15;
  return h;
}

float Noise(float x, float y, uint32_t seed) {
  const float fx = std::floor(x), fy = std::floor(y);
  const int ix = int(fx), iy = int(fy);
  float tx = x - fx, ty = y - fy;
  tx = tx * tx * (3 - 2 * tx);
  ty = ty * ty * (3 - 2 * ty);
  const float k = 1.0f / 4294967295.0f;
  const float a = Hash(ix, iy, seed) * k, b = Hash(ix + 1, iy, seed) * k;
  const float c = Hash(ix, iy + 1, seed) * k, d = Hash(ix + 1, iy + 1, seed) * k;
  return a + (b - a) * tx + (c - a) * ty + (a - b - c + d) * tx * ty;
}

float Fbm(float x, float y, int octaves, uint32_t seed) {
  float sum = 0, amp = 0.5f, norm = 0;
  for (int i = 0; i < octaves; i++) {
    sum += amp * Noise(x, y, seed + i * 977u);
    norm += amp;
    amp *= 0.5f;
    x = x * 2.03f + 17.1f;
    y = y * 2.03f - 9.7f;
  }
  return sum / norm;
}

uint32_t Rng::next() {
  uint64_t z = (s += 0x9e3779b97f4a7c15ull);
  z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
  z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
  return uint32_t((z ^ (z >> 31)) >> 32);
}
float Rng::uniform() { return next() / 4294967296.0f; }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }

void AddOutline(Canvas &c, Col col, float strength) {
  const std::vector<Px> src = c.px;
  for (int y = 0; y < c.h; y++) {
    for (int x = 0; x < c.w; x++) {
      float m = 0;
      for (int dy = -1; dy <= 1; dy++) {
        for (int dx = -1; dx <= 1; dx++) {
          const int nx = x + dx, ny = y + dy;
          if ((dx == 0 && dy == 0) || nx < 0 || ny < 0 || nx >= c.w || ny >= c.h) continue;
          const float wgt = (dx == 0 || dy == 0) ? 1.0f : 0.55f;
          m = std::max(m, src[ny * c.w + nx].a * wgt);
        }
      }
      const float oa = std::min(1.0f, m * strength);
      Px &p = c.at(x, y);
      const float k = (1 - p.a) * oa;
      p.r += col.r * k;
      p.g += col.g * k;
      p.b += col.b * k;
      p.a += k;
    }
  }
}

static int Byte(float v) { return std::clamp(int(std::lround(v * 255.0f)), 0, 255); }

void PutSprite(BITMAP *dst, int dx, int dy, const Canvas &c, Col rim, float threshold) {
  for (int y = 0; y < c.h; y++) {
    for (int x = 0; x < c.w; x++) {
      const Px &p = c.at(x, y);
      int col = MaskRgb;
      if (p.a >= threshold) {
        const float a = std::min(p.a, 1.0f);
        col = makecol32(Byte(p.r + rim.r * (1 - a)), Byte(p.g + rim.g * (1 - a)), Byte(p.b + rim.b * (1 - a)));
      }
      putpixel(dst, dx + x, dy + y, col);
    }
  }
}

void PutOpaque(BITMAP *dst, int dx, int dy, const Canvas &c) {
  for (int y = 0; y < c.h; y++)
    for (int x = 0; x < c.w; x++) {
      const Px &p = c.at(x, y);
      putpixel(dst, dx + x, dy + y, makecol32(Byte(p.r), Byte(p.g), Byte(p.b)));
    }
}

BITMAP *NewMaskedBitmap(int w, int h) {
  BITMAP *b = create_bitmap_ex(32, w, h);
  if (b) clear_to_color(b, MaskRgb);
  return b;
}

bool SavePng(const std::string &path, BITMAP *bmp, bool maskToAlpha) {
  std::vector<uint32_t> pixels;
  pixels.reserve(size_t(bmp->w) * bmp->h);
  for (int y = 0; y < bmp->h; y++) {
    for (int x = 0; x < bmp->w; x++) {
      const int c = getpixel(bmp, x, y) & 0xFFFFFF;
      const bool masked = maskToAlpha && c == MaskRgb;
      const uint32_t rgb = uint32_t(getr32(c)) << 16 | uint32_t(getg32(c)) << 8 | uint32_t(getb32(c));
      pixels.push_back(masked ? 0 : rgb | 0xFF000000u);
    }
  }
  return WritePng(path, bmp->w, bmp->h, pixels, maskToAlpha);
}

}  // namespace art
