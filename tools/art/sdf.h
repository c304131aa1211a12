// Signed distance shapes for the art generator (design units, y down).
#pragma once
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "canvas.h"

namespace art {

struct Pt {
  float x, y;
};

inline Sdf Circle(float cx, float cy, float r) {
  return [=](float x, float y) { return std::hypot(x - cx, y - cy) - r; };
}

// Ellipse with radii rx, ry turned by `angle` radians (a close approximation
// of the true distance, exact on the outline).
inline Sdf Ellipse(float cx, float cy, float rx, float ry, float angle = 0.0f) {
  const float c = std::cos(angle), s = std::sin(angle);
  return [=](float x, float y) {
    const float px = (x - cx) * c + (y - cy) * s;
    const float py = -(x - cx) * s + (y - cy) * c;
    const float k0 = std::hypot(px / rx, py / ry);
    const float k1 = std::hypot(px / (rx * rx), py / (ry * ry));
    if (k1 < 1e-6f) return -std::min(rx, ry);
    return k0 * (k0 - 1.0f) / k1;
  };
}

// Segment from a to b with radius ra at a and rb at b (a tapered limb).
inline Sdf Limb(float ax, float ay, float ra, float bx, float by, float rb) {
  return [=](float x, float y) {
    const float dx = bx - ax, dy = by - ay;
    const float len2 = dx * dx + dy * dy;
    float t = len2 > 0 ? ((x - ax) * dx + (y - ay) * dy) / len2 : 0.0f;
    t = std::clamp(t, 0.0f, 1.0f);
    const float px = ax + dx * t - x, py = ay + dy * t - y;
    return std::hypot(px, py) - (ra + (rb - ra) * t);
  };
}

inline Sdf Capsule(float ax, float ay, float bx, float by, float r) { return Limb(ax, ay, r, bx, by, r); }

// Box centred at (cx, cy) with half sizes hw, hh, corner radius rc, turned by angle.
inline Sdf Box(float cx, float cy, float hw, float hh, float rc = 0.0f, float angle = 0.0f) {
  const float c = std::cos(angle), s = std::sin(angle);
  return [=](float x, float y) {
    const float px = std::fabs((x - cx) * c + (y - cy) * s) - (hw - rc);
    const float py = std::fabs(-(x - cx) * s + (y - cy) * c) - (hh - rc);
    const float ox = std::max(px, 0.0f), oy = std::max(py, 0.0f);
    return std::hypot(ox, oy) + std::min(std::max(px, py), 0.0f) - rc;
  };
}

// Closed polygon (any winding), exact distance.
inline Sdf Polygon(std::vector<Pt> v) {
  return [v = std::move(v)](float x, float y) {
    const size_t n = v.size();
    float d = 1e30f;
    bool inside = false;
    for (size_t i = 0, j = n - 1; i < n; j = i++) {
      const float ex = v[j].x - v[i].x, ey = v[j].y - v[i].y;
      const float wx = x - v[i].x, wy = y - v[i].y;
      const float len2 = ex * ex + ey * ey;
      const float t = len2 > 0 ? std::clamp((wx * ex + wy * ey) / len2, 0.0f, 1.0f) : 0.0f;
      d = std::min(d, std::hypot(wx - ex * t, wy - ey * t));
      if ((v[i].y > y) != (v[j].y > y) && x < (v[j].x - v[i].x) * (y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
        inside = !inside;
    }
    return inside ? -d : d;
  };
}

// Points along a quadratic curve a-c-b (for building polygons with bulging edges).
inline void Curve(std::vector<Pt> &out, Pt a, Pt c, Pt b, int steps = 8) {
  for (int i = 0; i <= steps; i++) {
    const float t = float(i) / steps, u = 1 - t;
    out.push_back({u * u * a.x + 2 * u * t * c.x + t * t * b.x, u * u * a.y + 2 * u * t * c.y + t * t * b.y});
  }
}

inline Sdf Union(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::min(a(x, y), b(x, y)); };
}
inline Sdf Union(std::vector<Sdf> parts) {
  return [parts = std::move(parts)](float x, float y) {
    float d = 1e30f;
    for (const Sdf &p : parts) d = std::min(d, p(x, y));
    return d;
  };
}
// Union with a rounded blend of width k.
inline Sdf Blend(Sdf a, Sdf b, float k) {
  return [=](float x, float y) {
    const float da = a(x, y), db = b(x, y);
    const float hh = std::clamp(0.5f + 0.5f * (db - da) / k, 0.0f, 1.0f);
    return db + (da - db) * hh - k * hh * (1.0f - hh);
  };
}
inline Sdf Cut(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::max(a(x, y), -b(x, y)); };
}
inline Sdf Intersect(Sdf a, Sdf b) {
  return [=](float x, float y) { return std::max(a(x, y), b(x, y)); };
}
inline Sdf Shift(Sdf a, float dx, float dy) {
  return [=](float x, float y) { return a(x - dx, y - dy); };
}
// Mirror image about the vertical line x = cx.
inline Sdf MirrorX(Sdf a, float cx) {
  return [=](float x, float y) { return a(2 * cx - x, y); };
}
// Symmetric about x = cx: the shape and its mirror image.
inline Sdf Sym(Sdf a, float cx) { return Union(a, MirrorX(a, cx)); }

}  // namespace art
