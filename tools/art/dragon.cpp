// The player's dragon, seen from above, flying up the screen with its wings
// spread. Design units are the pixels of the 80 x 110 frame.
#include <cmath>

#include "art.h"
#include "sdf.h"

namespace art {

namespace {

const Col Scales = Rgb(178, 34, 28);
const Col ScalesDark = Rgb(112, 18, 20);
const Col Membrane = Rgb(214, 92, 38);
const Col MembraneEdge = Rgb(246, 160, 64);
const Col Bone = Rgb(96, 20, 18);
const Col Ridge = Rgb(238, 186, 72);
const Col Horn = Rgb(236, 222, 182);
const Col Rim = Rgb(42, 10, 10);

// Scaled hide: a fine mottling on the lit volume.
Col Hide(const Hit &h, float thick) {
  const float n = Noise(h.x * 0.9f, h.y * 0.9f, 11u);
  return Lit(Mix(Scales, ScalesDark, 0.45f * n), h, thick, 0.25f);
}

// The left wing (the right one is its mirror image). Beat 0 glides with the
// wings spread; later beats sweep the tips down and inward.
Sdf WingShape(int beat, std::vector<Pt> *tips, Pt *wrist) {
  const float lift[4] = {0.0f, -5.0f, 4.0f, 9.0f};
  const float span[4] = {0.0f, 2.0f, 4.0f, 9.0f};
  const float dy = lift[beat & 3], dx = span[beat & 3];
  const Pt shoulder{33, 40};
  *wrist = {14 + dx * 0.5f, 25 + dy * 0.6f};
  *tips = {{2 + dx, 15 + dy}, {2 + dx, 34 + dy * 0.8f}, {7 + dx, 50 + dy * 0.5f}, {19 + dx * 0.5f, 60}};
  std::vector<Pt> poly;
  poly.push_back(shoulder);
  Curve(poly, shoulder, {22, 27 + dy * 0.3f}, *wrist, 6);
  Curve(poly, *wrist, {6 + dx, 16 + dy}, (*tips)[0], 4);
  Pt prev = (*tips)[0];
  for (size_t i = 1; i < tips->size(); i++) {
    const Pt t = (*tips)[i];
    // The membrane sags toward the wrist between two fingers.
    const Pt mid{(prev.x + t.x) * 0.5f, (prev.y + t.y) * 0.5f};
    const Pt sag{mid.x + (wrist->x - mid.x) * 0.28f, mid.y + (wrist->y - mid.y) * 0.28f};
    Curve(poly, prev, sag, t, 6);
    prev = t;
  }
  Curve(poly, prev, {26, 60}, {33, 58}, 4);
  return Polygon(poly);
}

void DrawWings(Canvas &c, const View &v, int beat) {
  std::vector<Pt> tips;
  Pt wrist;
  const Sdf wing = WingShape(beat, &tips, &wrist);
  const Sdf both = Sym(wing, 40);
  // Each panel of skin between two fingers sags a little differently.
  std::vector<float> fingerAngles;
  for (const Pt &t : tips) fingerAngles.push_back(std::atan2(t.y - wrist.y, t.x - wrist.x));
  Fill(c, v, both, [&](const Hit &h) {
    const float lx = 40 - std::fabs(h.x - 40);  // on the left wing
    const float a = std::atan2(h.y - wrist.y, lx - wrist.x);
    int panel = 0;
    for (float fa : fingerAngles) panel += a > fa;
    const float edge = std::clamp(1.0f - (-h.d) / 4.0f, 0.0f, 1.0f);
    const float vein = Noise(h.x * 0.6f, h.y * 0.6f, 5u);
    const Col skin = Mix(Mix(Membrane, MembraneEdge, edge * 0.6f), Rgb(170, 60, 30), vein * 0.3f);
    return Lit(Scale(skin, (panel & 1) ? 0.9f : 1.0f), h, 14.0f);
  });
  // Finger bones and the arm.
  std::vector<Sdf> bones;
  bones.push_back(Limb(33, 40, 2.6f, wrist.x, wrist.y, 1.6f));
  for (const Pt &t : tips) bones.push_back(Limb(wrist.x, wrist.y, 1.3f, t.x, t.y, 0.45f));
  const Sdf boneSet = Sym(Union(bones), 40);
  Fill(c, v, boneSet, [](const Hit &h) { return Lit(Bone, h, 1.5f, 0.3f); });
  // Claw at each wrist.
  Fill(c, v, Sym(Limb(wrist.x, wrist.y, 1.4f, wrist.x - 1.5f, wrist.y - 3.5f, 0.3f), 40), Horn);
}

}  // namespace

void DrawDragon(Canvas &c, const View &v, int beat) {
  DrawWings(c, v, beat);
  // Tail: an S-curve of tapering segments ending in a spade.
  const Pt tail[] = {{40, 64}, {43, 76}, {41, 88}, {37, 97}, {39, 104}};
  const float rad[] = {5.5f, 4.0f, 2.8f, 1.8f, 0.9f};
  std::vector<Sdf> seg;
  for (int i = 0; i < 4; i++) seg.push_back(Limb(tail[i].x, tail[i].y, rad[i], tail[i + 1].x, tail[i + 1].y, rad[i + 1]));
  const Sdf spade = Polygon({{39, 101}, {43.5f, 105}, {39.5f, 109}, {35, 105}});
  Fill(c, v, spade, [](const Hit &h) { return Lit(Ridge, h, 2.0f, 0.3f); });
  Fill(c, v, Union(seg), [](const Hit &h) { return Hide(h, 4.0f); });
  // Hind legs folded back under the hips, front claws under the chest.
  const Sdf hind = Sym(Union(Limb(35, 64, 3.0f, 30, 72, 2.0f), Limb(30, 72, 2.0f, 31, 77, 1.2f)), 40);
  Fill(c, v, hind, [](const Hit &h) { return Hide(h, 2.5f); });
  const Sdf toes = Sym(Union({Limb(31, 77, 0.7f, 29.5f, 80, 0.3f), Limb(31, 77, 0.7f, 32.5f, 80.5f, 0.3f)}), 40);
  Fill(c, v, toes, Horn);
  const Sdf fore = Sym(Limb(34, 46, 2.2f, 30, 51, 1.3f), 40);
  Fill(c, v, fore, [](const Hit &h) { return Hide(h, 2.0f); });
  // Body, neck and head as one smooth volume.
  Sdf body = Blend(Ellipse(40, 45, 8.5f, 10.5f), Ellipse(40, 58, 7.0f, 9.0f), 4.0f);
  body = Blend(body, Limb(40, 38, 5.5f, 40, 22, 3.6f), 3.0f);
  body = Blend(body, Ellipse(40, 15.5f, 6.2f, 7.0f), 2.5f);
  body = Blend(body, Limb(40, 13, 4.2f, 40, 4.5f, 2.6f), 2.0f);
  Fill(c, v, body, [](const Hit &h) { return Hide(h, 6.0f); });
  // Brow ridges and horns sweeping back.
  const Sdf horns = Sym(Union(Limb(36.0f, 15.5f, 1.6f, 32.5f, 22.5f, 1.0f), Limb(32.5f, 22.5f, 1.0f, 31.0f, 26.5f, 0.3f)), 40);
  Fill(c, v, horns, [](const Hit &h) { return Lit(Horn, h, 1.2f, 0.5f); });
  // Golden ridge along the spine.
  const float ridgeY[] = {20, 25, 30, 35, 40, 45, 50, 55, 60, 66, 72};
  for (float y : ridgeY) {
    const float x = y < 64 ? 40.0f : 40.0f + (y - 64) * 0.25f;
    const float r = y < 30 ? 0.9f : (y < 60 ? 1.3f : 1.0f);
    Fill(c, v, Polygon({{x, y - 2.2f}, {x + r, y + 0.8f}, {x - r, y + 0.8f}}),
         [](const Hit &h) { return Lit(Ridge, h, 0.8f, 0.4f); });
  }
  // Eyes glowing at the sides of the head, nostrils at the snout.
  Fill(c, v, Sym(Ellipse(35.6f, 11.5f, 1.3f, 1.8f, 0.35f), 40), Rgb(255, 230, 90));
  Fill(c, v, Sym(Circle(38.4f, 5.5f, 0.6f), 40), Rgb(60, 10, 10));
}

BITMAP *MakeDragon() {
  const int fw = 80, fh = 110, frames = 4;
  BITMAP *strip = NewMaskedBitmap(fw * frames, fh);
  for (int i = 0; i < frames; i++) {
    Canvas c(fw, fh);
    // A little smaller than the design so wing tips and tail keep off the edge.
    const float k = 0.95f;
    DrawDragon(c, View{40 * (1 - k), 55 * (1 - k), k}, i);
    AddOutline(c, Rim);
    PutSprite(strip, i * fw, 0, c, Rim);
  }
  return strip;
}

}  // namespace art
