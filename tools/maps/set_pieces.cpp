// The landmark pieces of the stages: towers, ships, a stone bridge, stone
// walls (whole, ruined or sunken), a fallen giant tree, the wizards' sigil,
// market stalls, weapon racks, banners and a sea arch. Each is painted in
// object pixels of its footprint, lit from the top left like every object.
#include <algorithm>
#include <cmath>

#include "maps/paint_kit.h"

namespace mapgen {
namespace {

ObjectPixel Hit(Colour c, float alpha = 1) {
  ObjectPixel p;
  p.hit = true;
  p.c = c;
  p.alpha = alpha;
  return p;
}

// Distance from (x, y) to the segment (ax, ay)-(bx, by).
float SegmentDistance(float x, float y, float ax, float ay, float bx, float by) {
  float vx = bx - ax, vy = by - ay, len2 = vx * vx + vy * vy;
  float t = len2 > 0 ? Clamp01(((x - ax) * vx + (y - ay) * vy) / len2) : 0;
  float dx = x - (ax + t * vx), dy = y - (ay + t * vy);
  return std::sqrt(dx * dx + dy * dy);
}

// A stone watch tower: a crenellated ring round a plank floor with a brazier.
Colour WatchTower(float dx, float dy, float d, float a, float R) {
  const float nl = -(dx + dy) / (R * 1.41f);
  if (d > R * 0.76f) {
    bool merlon = std::fmod((a + Pi) / (2 * Pi) * 14, 1.0f) < 0.55f;
    Colour c = Scale(Colour{150, 144, 134}, (merlon ? 1.0f : 0.66f) + 0.3f * nl);
    if (std::fmod((a + Pi) / (2 * Pi) * 42, 1.0f) < 0.08f || std::fabs(d - R * 0.88f) < 0.7f) c = Scale(c, 0.7f);
    if (d > R - 1.3f || std::fabs(d - R * 0.76f) < 1.2f) c = Scale(c, 0.55f);
    return c;
  }
  float bx = dx - R * 0.2f, by = dy + R * 0.18f, bd = std::sqrt(bx * bx + by * by);
  if (bd < 6) return bd < 3.5f ? Mix(Colour{255, 230, 130}, Colour{220, 90, 30}, bd / 3.5f) : Colour{60, 56, 54};
  if (std::fabs(dx + R * 0.25f) < 7 && std::fabs(dy + R * 0.05f) < 7)  // the trapdoor
    return std::fabs(dx + R * 0.25f) > 5.5f || std::fabs(dy + R * 0.05f) > 5.5f ? Colour{60, 44, 30} : Colour{92, 68, 44};
  Colour c = Scale(Colour{132, 98, 62}, 0.9f + 0.2f * Hash01(0, static_cast<uint32_t>(dy + 200) / 6, 5));
  if (std::fmod(dy + 200, 6.0f) < 1) c = Scale(c, 0.7f);
  // The parapet's shadow on the floor, from the top left.
  float sx = dx + 5, sy = dy + 5;
  if (std::sqrt(sx * sx + sy * sy) > R * 0.76f) c = Scale(c, 0.62f);
  return c;
}

// A lighthouse from above: white gallery, the lamp's glass glowing, a red cap.
Colour Lighthouse(float dx, float dy, float d, float a, float R) {
  const float nl = -(dx + dy) / (R * 1.41f);
  if (d > R * 0.86f) {  // the iron rail of the gallery
    bool post = std::fmod((a + Pi) / (2 * Pi) * 24, 1.0f) < 0.2f;
    return Scale(Colour{64, 66, 72}, post ? 0.7f : 1.0f + 0.3f * nl);
  }
  if (d > R * 0.6f) {
    Colour c = Scale(Colour{222, 218, 206}, 0.92f + 0.18f * nl);
    if (std::fabs(d - R * 0.73f) < 0.6f) c = Scale(c, 0.85f);
    float sx = dx + 4, sy = dy + 4;
    if (std::sqrt(sx * sx + sy * sy) < R * 0.6f) c = Scale(c, 0.7f);  // the lamp room's shadow
    return c;
  }
  if (d > R * 0.4f) {  // the glass, lit from inside, with its glazing bars
    if (std::fmod((a + Pi) / (2 * Pi) * 8, 1.0f) < 0.1f) return Colour{70, 60, 50};
    float t = (d - R * 0.4f) / (R * 0.2f);
    return Mix(Colour{255, 246, 190}, Colour{246, 186, 70}, t);
  }
  if (d < 3) return Colour{220, 190, 90};  // the brass vane
  float light = 0.82f + 0.3f * std::cos(a + 3 * Pi / 4);
  Colour c = Scale(Colour{176, 52, 40}, light);
  if (std::fmod((a + Pi) / (2 * Pi) * 12, 1.0f) < 0.08f) c = Scale(c, 0.72f);
  return c;
}

// A wizard's tower: a steep slate cone with an orb of cold light at its tip.
Colour WizardTower(float dx, float dy, float d, float a, float R) {
  if (d > R - 3.5f) return Scale(Colour{72, 70, 78}, 1.0f - 0.3f * (dx + dy) / (R * 1.41f));
  if (d < 6) return Mix(Colour{236, 250, 255}, Colour{120, 200, 240}, d / 6);
  float light = 0.78f + 0.36f * std::cos(a + 3 * Pi / 4);
  Colour c = Scale(Colour{100, 82, 126}, light);
  if (std::fmod((a + Pi) / (2 * Pi) * 20, 1.0f) < 0.07f) c = Scale(c, 0.66f);
  if (std::fmod(d, 6.0f) < 1.1f) c = Scale(c, 0.8f);
  if (d < 9) c = Mix(c, Colour{150, 210, 250}, (9 - d) / 3 * 0.5f);  // the orb's glow on the slates
  return c;
}

ObjectPixel TowerAt(float x, float y, float w, float h, int kind) {
  const float cx = w / 2 - 4, cy = h / 2 - 4, R = std::min(w, h) / 2 - 6;
  const float dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy);
  if (d >= R) return {};
  const float a = std::atan2(dy, dx);
  switch (kind) {
    case TowerLight: return Hit(Lighthouse(dx, dy, d, a, R));
    case TowerWizard: return Hit(WizardTower(dx, dy, d, a, R));
    default: return Hit(WatchTower(dx, dy, d, a, R));
  }
}

// A hull seen from above, bow at the top: half its beam at t (0 bow, 1 stern).
float HalfBeam(float t, float beam) {
  if (t < 0 || t > 1) return -1;
  float hb = beam * std::min(1.0f, std::sqrt(t / 0.42f));
  if (t > 0.86f) hb *= 1 - (t - 0.86f) / 0.14f * 0.3f;
  return hb;
}

ObjectPixel WreckAt(float x, float y, float w, float h) {
  const float cx = w / 2 - 2, y0 = 4, len = h - 10;
  // The fallen mast and its torn sail lie across the hull into the sea.
  const float mx = cx, my = y0 + len * 0.34f, ex = w - 6, ey = my + len * 0.3f;
  float md = SegmentDistance(x, y, mx, my, ex, ey);
  if (md < 2.6f) return Hit(Scale(Colour{96, 74, 50}, md < 1 ? 1.1f : 0.8f));
  float along = ((x - mx) * (ex - mx) + (y - my) * (ey - my)) / ((ex - mx) * (ex - mx) + (ey - my) * (ey - my));
  if (along > 0.15f && along < 0.85f && md < 18 && (y - my) * (ex - mx) - (x - mx) * (ey - my) > 0) {
    float tear = PeriodicNoise(x, y, 4, 61) + 0.25f * (md / 18);  // ragged towards its free edge
    if (tear < 0.72f) return Hit(Scale(Colour{206, 196, 170}, 0.8f + 0.1f * std::sin(md * 0.9f) + 0.1f * (1 - md / 18)), 0.95f);
  }
  const float t = (y - y0) / len, hb = HalfBeam(t, w / 2 - 12);
  const float side = hb - std::fabs(x - cx);
  if (side < 0) return {};
  const float brk = 0.6f + 0.025f * std::sin(x * 0.3f) + 0.03f * Hash01(static_cast<uint32_t>(x) / 5, 0, 9);
  const Colour wood{120, 100, 76};
  if (t > brk) {  // the stern is stove in: ribs and broken strakes in the water
    bool rib = std::fmod(y, 9.0f) < 3.4f, strake = side < 4 && Hash01(static_cast<uint32_t>(y) / 5, x < cx, 3) < 0.75f;
    if (!rib && !strake) return {};
    return Hit(Scale(wood, rib ? 0.75f - 0.1f * std::fmod(y, 9.0f) : 0.55f), 0.92f);
  }
  if (side < 3) return Hit(Scale(wood, 0.5f + 0.1f * side));  // gunwale
  if (t > brk - 0.03f) return Hit(Colour{60, 48, 36});        // the splintered edge
  Colour c = Scale(wood, 0.85f + 0.25f * Hash01(static_cast<uint32_t>(x + 100) / 5, 0, 21));
  if (std::fmod(x + 100, 5.0f) < 1) c = Scale(c, 0.68f);
  if (std::fabs(y - (y0 + len * 0.2f)) < 6 && std::fabs(x - cx) < 7) c = Colour{40, 34, 30};  // open hatch
  if (std::hypot(x - mx, y - my) < 4.5f) c = Colour{70, 52, 36};                             // mast stump
  return Hit(c);
}

ObjectPixel BoatAt(float x, float y, float w, float h) {
  const float cx = w / 2 - 1, y0 = 3, len = h - 8;
  const float t = (y - y0) / len, hb = HalfBeam(t, w / 2 - 7);
  const float side = hb - std::fabs(x - cx);
  if (side < 0) return {};
  if (side < 2.2f) return Hit(Colour{92, 66, 42});
  Colour c = Scale(Colour{160, 120, 74}, 0.9f + 0.1f * std::sin(x * 1.3f));
  if (std::fabs(t - 0.45f) * len < 2 || std::fabs(t - 0.72f) * len < 2) c = Colour{110, 80, 50};  // thwarts
  if (t > 0.78f && std::fmod(x + y, 4.0f) < 1.2f) c = Colour{210, 200, 160};                      // the net
  return Hit(c);
}

// A stone bridge: a cobbled roadway between two parapets, its wing walls
// flaring out onto the banks at both ends.
ObjectPixel BridgeAt(float x, float y, float w, float h, int across) {
  const float u = across ? y : x, v = across ? x : y, span = across ? h : w, len = across ? w : h;
  const float fromEnd = std::min(v, len - 1 - v);
  const float inset = 7 * SmoothStep(6, 26, fromEnd);  // the deck narrows over the water
  const float edge = std::min(u, span - 1 - u) - inset;
  if (edge < 0) return {};
  if (edge < 8) {  // the parapets
    float shade = u < span / 2 ? 1.1f : 0.8f;
    Colour c = Scale(Colour{178, 170, 154}, shade * (0.92f + 0.16f * Hash01(static_cast<uint32_t>(v) / 10, u < span / 2, 11)));
    if (std::fmod(v, 10.0f) < 1 || edge < 1.2f || edge > 6.8f) c = Scale(c, 0.6f);
    return Hit(c);
  }
  int row = static_cast<int>(v / 7), col = static_cast<int>((u + (row & 1) * 4) / 8);
  float lu = std::fmod(u + (row & 1) * 4, 8.0f), lv = std::fmod(v, 7.0f);
  float hump = 1.06f - 0.14f * std::fabs(v / len - 0.5f) * 2;  // the crown of the arch catches the light
  Colour c = Scale(Colour{150, 138, 118}, hump * (0.86f + 0.24f * Hash01(col, row, 12)));
  if (lu < 1.2f || lv < 1.2f) c = Scale(c, 0.6f);
  if (edge < 12) c = Scale(c, 0.8f);  // in the parapets' lee
  return Hit(c);
}

// A stone wall piece: links N1 E2 S4 W8 as palisades; ruined or sunken.
ObjectPixel WallAt(float x, float y, int variant) {
  const float half = 9, c = 15;
  const bool n = variant & 1, e = variant & 2, s = variant & 4, wst = variant & 8;
  bool inX = std::fabs(x - c) < half, inY = std::fabs(y - c) < half;
  bool on = (inX && inY) || (inY && ((e && x > c) || (wst && x < c))) || (inX && ((n && y < c) || (s && y > c)));
  if (!on) return {};
  const bool runsAcross = inX && inY ? (e || wst) : inY;
  const float u = runsAcross ? x : y, v = runsAcross ? y - c + half : x - c + half;  // along, across
  int course = static_cast<int>(v / 6.0f);
  float lu = std::fmod(u + course * 5 + 40, 10.0f);
  const uint32_t block = static_cast<uint32_t>((u + course * 5 + 40) / 10);
  const float ruin = variant & WallSunken ? 0.12f : 0.3f;
  if (variant & WallRuined && Hash01(block, course, variant >> 6) < ruin + 0.1f * course) return {};
  Colour col = Scale(Colour{160, 152, 138}, 0.86f + 0.24f * Hash01(block, course, 19));
  col = Scale(col, v < 3 ? 1.15f : (v > 2 * half - 3 ? 0.72f : 1.0f));  // lit top edge, shaded bottom
  if (lu < 1.1f || std::fmod(v, 6.0f) < 0.9f) col = Scale(col, 0.66f);
  if (v < 1 || v > 2 * half - 1) col = Scale(col, 0.55f);  // the wall's outline
  if (variant & WallSunken) return Hit(Mix(col, Colour{226, 214, 160}, 0.45f), 0.8f);
  return Hit(col);
}

// A giant tree fallen left to right: the torn-up root plate, the trunk
// tapering, bare branches at the far end.
ObjectPixel LogAt(float x, float y, float w, float h) {
  const float cy = h / 2 - 4, rootX = 40, tipX = w - 40;
  float rx = (x - rootX) / 34, ry = (y - cy) / 42, rd = rx * rx + ry * ry;
  if (rd < 1) {
    float a = std::atan2(ry, rx);
    float root = std::fabs(std::sin(a * 9 + 3 * std::sin(std::sqrt(rd) * 6)));
    Colour c = root < 0.3f ? Colour{118, 92, 64} : Scale(Colour{78, 60, 44}, 0.8f + 0.3f * Hash01(int(x) / 3, int(y) / 3, 8));
    if (rd > 0.8f) c = Scale(Colour{96, 80, 58}, 0.9f);  // clods of earth round the rim
    return Hit(Scale(c, 1.05f - 0.25f * (rx + ry)));
  }
  for (int b = 0; b < 5; b++) {  // bare branches fanning out of the crown end
    float ang = -0.9f + b * 0.45f, bx = tipX - 50 + b * 12, bl = 34 + 10 * Hash01(b, 0, 4);
    float d = SegmentDistance(x, y, bx, cy, bx + bl * std::cos(ang), cy + bl * std::sin(ang));
    if (d < 3.2f - b * 0.3f) return Hit(Scale(Colour{104, 92, 78}, d < 1 ? 1.1f : 0.8f));
  }
  if (x < rootX || x > tipX) return {};
  float t = (x - rootX) / (tipX - rootX), r = 30 - 16 * t;
  float v = (y - cy - 3 * std::sin(t * 3)) / r;
  if (std::fabs(v) >= 1) return {};
  float light = 0.62f + 0.3f * std::sqrt(1 - v * v) - 0.38f * v;
  Colour c = Scale(Colour{122, 100, 78}, light);
  float groove = PeriodicNoise(x * 0.25f, v * 24, 8, 33);
  if (groove < 0.38f) c = Scale(c, 0.68f);
  if (v < -0.2f && PeriodicNoise(x, y, 4, 44) > 0.58f) c = Scale(Colour{84, 128, 56}, light);  // moss
  return Hit(c);
}

// The wizards' sigil: rune rings and a seven-pointed star burnt into the
// ground, glowing with their cold light.
ObjectPixel SigilAt(float x, float y, float w, float h) {
  const float cx = w / 2, cy = h / 2, R = std::min(w, h) / 2 - 6;
  const float dx = x - cx, dy = y - cy, d = std::sqrt(dx * dx + dy * dy), a = std::atan2(dy, dx);
  if (d > R + 2) return {};
  float line = std::min(std::fabs(d - (R - 3)), std::fabs(d - (R - 15)));
  line = std::min(line, std::fabs(d - R * 0.5f));
  const float rs = R - 15;
  for (int i = 0; i < 7; i++) {
    float a0 = i * 2 * Pi / 7 - Pi / 2, a1 = (i + 3) * 2 * Pi / 7 - Pi / 2;
    line = std::min(line, SegmentDistance(dx, dy, rs * std::cos(a0), rs * std::sin(a0), rs * std::cos(a1), rs * std::sin(a1)));
  }
  if (d > R - 15 && d < R - 3) {  // runes between the outer rings
    float cell = std::fmod((a + Pi) / (2 * Pi) * 21, 1.0f), mid = d - (R - 9);
    int rune = static_cast<int>((a + Pi) / (2 * Pi) * 21);
    float stroke = Hash01(rune, 0, 71) < 0.5f ? std::fabs(cell - 0.5f) * 24 : std::fabs(mid + (cell - 0.5f) * 8);
    if (cell > 0.2f && cell < 0.8f) line = std::min(line, std::max(stroke, std::fabs(mid) - 4));
  }
  const Colour core{226, 244, 255}, glow{150, 116, 236};
  if (line < 1.2f) return Hit(core);
  if (line < 3) return Hit(Mix(core, glow, (line - 1.2f) / 1.8f));
  if (line < 7) return Hit(glow, 0.55f * (1 - (line - 3) / 4));
  return Hit(Colour{30, 26, 34}, d > R - 17 || d < 12 ? 0.45f : 0.18f);  // scorched ground
}

ObjectPixel StallAt(float x, float y, float w, float h, int variant) {
  static const Colour Cloth[4] = {{180, 50, 44}, {120, 62, 128}, {58, 128, 70}, {210, 168, 52}};
  const float x0 = 3, y0 = 3, x1 = w - 6, y1 = h - 6;
  if (x < x0 || x >= x1 || y < y0 || y >= y1) return {};
  if (y > y1 - 4) {  // the scalloped valance
    float s = std::fmod(x - x0, 6.0f) - 3, r = y - (y1 - 4);
    if (s * s + r * r * 2 > 9) return {};
  }
  bool stripe = static_cast<int>((x - x0) / 6) & 1;
  Colour c = stripe ? Colour{232, 224, 204} : Cloth[variant & 3];
  float mid = (y0 + y1) / 2;
  c = Scale(c, y < mid ? 1.08f : 0.78f);
  if (std::fabs(y - mid) < 1) c = Scale(c, 0.6f);
  if (x - x0 < 1.2f || x1 - x < 1.2f || y - y0 < 1.2f) c = Scale(c, 0.7f);
  return Hit(c);
}

ObjectPixel RackAt(float x, float y, float w, float h) {
  static const Colour Shields[2] = {{160, 40, 34}, {226, 210, 170}};
  for (int s = 0; s < 2; s++) {
    float sx = x - (w - 30 + s * 15), sy = y - (h - 14), d = std::sqrt(sx * sx + sy * sy);
    if (d < 8) return Hit(d < 2.5f ? Colour{200, 190, 150} : Scale(Shields[s], d > 6.5f ? 0.55f : 1.1f - 0.05f * (sx + sy)));
  }
  for (float sx = 7; sx < w - 36; sx += 7) {
    if (std::fabs(x - sx) < 1.8f && y > 7 && y < h - 6) return Hit(Scale(Colour{134, 100, 64}, x < sx ? 1.15f : 0.8f));
    if (std::fabs(x - sx) < 3.5f - (8 - y) * 0.45f && y >= 1 && y <= 8) return Hit(Colour{210, 216, 224});  // spear heads
  }
  if (y > 12 && y < 19 && x > 3 && x < w - 6) return Hit(Scale(Colour{112, 80, 50}, y < 15 ? 1.15f : 0.75f));
  return {};
}

ObjectPixel BannerAt(float x, float y) {
  float pd = std::hypot(x - 9, y - 9);
  if (pd < 2.8f) return Hit(Colour{54, 42, 32});
  float wave = 1.6f * std::sin(x * 0.55f);
  if (x > 10 && x < 27 && y > 6 + wave && y < 22 + wave) {
    Colour c = Scale(Colour{176, 36, 32}, 0.9f + 0.25f * std::cos(x * 0.55f));
    float mx = x - 18.5f, my = y - 14 - wave;
    if (std::fabs(mx) + std::fabs(my) < 4.5f) c = Colour{30, 26, 24};  // the war chief's mark
    return Hit(c);
  }
  return {};
}

// A sea stack worn through into an arch: a flat-topped mass of layered rock,
// white with the birds that nest on it, the sea showing through the hole
// under its thin side, the surf breaking round it.
ObjectPixel ArchAt(float x, float y, float w, float h) {
  const float cx = w / 2 - 8, cy = h / 2 - 8, rx = w / 2 - 16, ry = h / 2 - 16;
  const float dx = (x - cx) / rx, dy = (y - cy) / ry, a = std::atan2(dy, dx);
  const float turn = (a + Pi) / (2 * Pi) * TexturePeriod;
  const float wobble = 0.6f + 0.36f * PeriodicNoise(turn, 5, 4, 91) + 0.1f * PeriodicNoise(turn, 9, 16, 97);
  const float q = std::sqrt(dx * dx + dy * dy) / wobble;
  const float hx = (x - cx - rx * 0.34f) / (rx * 0.3f), hy = (y - cy + ry * 0.05f) / (ry * 0.42f);
  const float qh = std::sqrt(hx * hx + hy * hy) * (0.9f + 0.2f * PeriodicNoise(x, y, 4, 92));
  const bool foam = PeriodicNoise(x, y, 4, 93) + 0.3f * Hash01(int(x) / 2, int(y) / 2, 93) > 0.7f;
  if ((q > 1 && q < 1.06f && foam) || (qh < 1 && qh > 0.88f && foam)) return Hit(Colour{232, 240, 240}, 0.7f);
  if (q >= 1 || qh < 1) return {};
  const float out = (1 - q) * 5, in = (qh - 1) * 2.2f, top = std::min(1.0f, std::min(out, in));
  float light;
  if (top >= 1) {
    light = 1.0f + 0.1f * PeriodicNoise(x, y, 8, 98);
  } else if (out < in) {  // the outer cliffs face away from the middle
    light = 0.8f - 0.5f * (dx + dy) / std::max(0.01f, std::sqrt(dx * dx + dy * dy));
  } else {  // the walls of the hole face into it
    light = 0.8f + 0.5f * (hx + hy) / std::max(0.01f, std::sqrt(hx * hx + hy * hy));
  }
  Colour c = Scale(Colour{128, 118, 104}, std::max(0.4f, std::min(1.3f, light)));
  if (top < 1 && std::fmod(top * 4 + PeriodicNoise(x, y, 4, 95) * 0.6f, 1.0f) < 0.2f) c = Scale(c, 0.78f);  // strata
  if (top >= 1 && PeriodicNoise(x * 2, y * 2, 8, 96) > 0.7f) c = Mix(c, Colour{236, 234, 224}, 0.7f);
  if (top >= 1 && PeriodicNoise(x * 2, y * 2, 8, 99) > 0.66f) c = Mix(c, Colour{96, 120, 64}, 0.6f);  // thrift
  return Hit(c);
}

}  // namespace

ObjectPixel SetPieceAt(int type, int variant, float x, float y, float w, float h) {
  switch (type) {
    case ObjTower: return TowerAt(x, y, w, h, variant);
    case ObjShip: return variant == ShipWreck ? WreckAt(x, y, w, h) : BoatAt(x, y, w, h);
    case ObjBridge: return BridgeAt(x, y, w, h, variant);
    case ObjWall: return WallAt(x, y, variant);
    case ObjLog: return variant & 1 ? LogAt(y, x, h, w) : LogAt(x, y, w, h);  // 1: fallen down the map
    case ObjSigil: return SigilAt(x, y, w, h);
    case ObjStall: return StallAt(x, y, w, h, variant);
    case ObjRack: return RackAt(x, y, w, h);
    case ObjBanner: return BannerAt(x, y);
    case ObjArch: return ArchAt(x, y, w, h);
    default: return {};
  }
}

float SetPieceShadow(int type, int variant) {
  switch (type) {
    case ObjTower: return 8;
    case ObjArch: return 9;
    case ObjLog: return 6;
    case ObjWall: return variant & WallSunken ? 0 : 4;
    case ObjBridge: return 5;
    case ObjShip: case ObjSigil: return 0;
    default: return 3.5f;
  }
}

bool SetPieceSolid(int type, int) { return type != ObjShip && type != ObjBridge && type != ObjSigil; }

int SetPieceClass(int type, int variant) {
  switch (type) {
    case ObjTower: case ObjStall: case ObjRack: case ObjBanner: return ClassBuilding;
    case ObjWall: return variant & WallSunken ? ClassWater : ClassWall;
    case ObjLog: return ClassTree;
    case ObjShip: case ObjBridge: return ClassDeck;
    case ObjSigil: return ClassOpen;
    default: return ClassRock;
  }
}

}  // namespace mapgen
