// Orcs and the wizard: little figures seen from above and in front, three
// walking frames for each of the four facings (up, right, down, left).
#include <algorithm>
#include <cmath>

#include "art.h"
#include "sdf.h"

namespace art {

namespace {

enum Weapon { Club, Spear, Axe, Staff };

struct Outfit {
  Col skin, tunic, trim, boots, metal;
  Weapon weapon;
  bool helmet;  // iron helmet with horns
  bool shield;
  bool robe;    // the wizard: long robe and pointed hat
};

const Outfit Outfits[4] = {
    // orc2: a grunt in leather with a knotted club
    {Rgb(96, 160, 62), Rgb(128, 86, 48), Rgb(92, 60, 34), Rgb(66, 44, 28), Rgb(150, 150, 150), Club, false, false, false},
    // orc3: darker spearman with a horned helmet and a red tunic
    {Rgb(84, 128, 58), Rgb(168, 40, 32), Rgb(230, 196, 80), Rgb(54, 40, 30), Rgb(160, 164, 170), Spear, true, false, false},
    // orc4: grey-skinned brute in mail with an axe and a round shield
    {Rgb(120, 140, 96), Rgb(110, 116, 128), Rgb(70, 74, 84), Rgb(48, 40, 34), Rgb(196, 200, 210), Axe, false, true, false},
    // orc5: the wizard in a starry blue robe with a glowing staff
    {Rgb(150, 176, 110), Rgb(46, 58, 150), Rgb(236, 200, 80), Rgb(40, 30, 60), Rgb(120, 240, 220), Staff, false, false, true},
};

const Col Rim = Rgb(26, 20, 14);

// Paints parts of one frame; mirrored frames keep the light in the top left.
// Figures are drawn a little smaller than their design so that every frame
// keeps a clear mask border.
struct Painter {
  Canvas &c;
  bool flip;
  static constexpr float K = 0.92f;
  View view() const { return View{12 * (1 - K), 15.5f * (1 - K), K}; }
  Sdf f(const Sdf &s) const { return flip ? MirrorX(s, 12) : s; }
  void fill(const Sdf &s, const Shader &sh) const { Fill(c, view(), f(s), sh); }
  void fill(const Sdf &s, Col col, float thick = 2.0f, float gloss = 0.0f) const {
    Fill(c, view(), f(s), [=](const Hit &h) { return Lit(col, h, thick, gloss); });
  }
};

// facing: 0 up, 1 right, 2 down; step: -1, 0, +1 across the walk cycle.
void DrawWeapon(const Painter &p, const Outfit &o, float hx, float hy, float tilt) {
  const float s = std::sin(tilt), c = std::cos(tilt);
  auto at = [&](float along) { return Pt{hx + s * along, hy - c * along}; };
  switch (o.weapon) {
    case Club: {
      const Pt a = at(-2), b = at(9);
      p.fill(Limb(a.x, a.y, 0.9f, b.x, b.y, 2.0f), Rgb(120, 80, 40), 1.5f);
      p.fill(Circle(b.x, b.y, 1.1f), Rgb(140, 100, 60), 1.0f);
      break;
    }
    case Spear: {
      const Pt a = at(-5), b = at(12), tip = at(16);
      p.fill(Capsule(a.x, a.y, b.x, b.y, 0.6f), Rgb(130, 94, 52), 0.6f);
      p.fill(Polygon({at(11), {b.x + c * 1.5f, b.y + s * 1.5f}, tip, {b.x - c * 1.5f, b.y - s * 1.5f}}), o.metal, 1.0f, 0.6f);
      break;
    }
    case Axe: {
      const Pt a = at(-2), b = at(9);
      p.fill(Capsule(a.x, a.y, b.x, b.y, 0.7f), Rgb(110, 76, 40), 0.7f);
      const Pt m = at(7.5f);
      // The blade faces the body so that it stays inside the frame.
      p.fill(Ellipse(m.x - c * 2.2f, m.y - s * 2.2f, 2.4f, 3.0f, tilt), o.metal, 1.5f, 0.7f);
      break;
    }
    case Staff: {
      const Pt a = at(-6), b = at(13);
      p.fill(Capsule(a.x, a.y, b.x, b.y, 0.7f), Rgb(110, 74, 40), 0.7f);
      p.fill(Circle(b.x, b.y - 0.5f, 2.1f), [&](const Hit &h) {
        return Mix(o.metal, Rgb(255, 255, 255), std::clamp(-h.d / 2.0f, 0.0f, 1.0f) * 0.8f);
      });
      break;
    }
  }
}

void DrawHead(const Painter &p, const Outfit &o, int facing, float y) {
  const float hx = facing == 1 ? 12.5f : 12.0f;
  if (o.robe) {
    // Pointed hat with a wide brim; the face peeks out below it.
    if (facing != 0) p.fill(Ellipse(hx + (facing == 1 ? 1.5f : 0), y + 1.5f, 4.0f, 3.4f), o.skin, 2.0f);
    p.fill(Ellipse(12, y - 0.5f, 7.2f, 3.6f), o.tunic, 2.5f);
    const float lean = facing == 1 ? -2.0f : 0.6f;
    p.fill(Polygon({{7.5f, y - 1.0f}, {16.5f, y - 1.0f}, {12 + lean, y - 7.0f}}), o.tunic, 3.0f);
    p.fill(Ellipse(12, y - 1.0f, 4.6f, 1.1f), o.trim, 0.8f, 0.4f);
    if (facing == 2) {
      p.fill(Circle(10.3f, y + 1.6f, 0.75f), Rgb(255, 236, 90));
      p.fill(Circle(13.7f, y + 1.6f, 0.75f), Rgb(255, 236, 90));
      p.fill(Polygon({{9.5f, y + 3.2f}, {14.5f, y + 3.2f}, {12, y + 7.5f}}), Rgb(200, 200, 196), 1.0f);
    } else if (facing == 1) {
      p.fill(Circle(15.0f, y + 1.3f, 0.75f), Rgb(255, 236, 90));
      p.fill(Polygon({{12.0f, y + 3.0f}, {16.5f, y + 3.0f}, {13.5f, y + 7.0f}}), Rgb(200, 200, 196), 1.0f);
    }
    return;
  }
  // Ears stick out to the sides (or back, in profile).
  if (facing == 1) {
    p.fill(Polygon({{10.5f, y - 1.0f}, {6.0f, y - 3.5f}, {9.5f, y + 1.5f}}), o.skin, 1.0f);
  } else {
    p.fill(Sym(Polygon({{7.5f, y - 0.5f}, {3.0f, y - 2.5f}, {7.0f, y + 2.0f}}), 12), o.skin, 1.0f);
  }
  const Sdf skull = facing == 1 ? Blend(Ellipse(12, y, 4.8f, 4.6f), Ellipse(16.0f, y + 1.5f, 2.6f, 2.2f), 1.2f)
                                : Ellipse(hx, y, 5.0f, 4.8f);
  p.fill(skull, o.skin, 3.0f, 0.2f);
  if (o.helmet) {
    p.fill(Intersect(Ellipse(hx, y - 0.3f, 5.4f, 5.1f), Box(hx, y - 4.5f, 7, 4.6f)), o.metal, 3.0f, 0.8f);
    p.fill(Sym(Limb(8.0f, y - 2.5f, 1.1f, 5.2f, y - 6.5f, 0.3f), 12), Rgb(236, 226, 196), 1.0f);
  } else if (facing != 2) {
    // Topknot of black hair.
    p.fill(Circle(facing == 1 ? 10.5f : 12.0f, y - 3.5f, 1.8f), Rgb(40, 32, 28), 1.5f);
  }
  if (facing == 2) {
    p.fill(Box(12, y - 0.5f, 3.8f, 0.6f, 0.4f), Scale(o.skin, 0.6f));  // brow
    p.fill(Circle(10.0f, y + 0.8f, 0.8f), Rgb(255, 70, 30));
    p.fill(Circle(14.0f, y + 0.8f, 0.8f), Rgb(255, 70, 30));
    p.fill(Sym(Limb(10.3f, y + 3.8f, 0.5f, 10.0f, y + 2.4f, 0.25f), 12), Rgb(246, 240, 220));
  } else if (facing == 1) {
    p.fill(Circle(14.6f, y - 0.2f, 0.8f), Rgb(255, 70, 30));
    p.fill(Limb(17.0f, y + 2.8f, 0.5f, 17.4f, y + 1.3f, 0.25f), Rgb(246, 240, 220));
  }
}

void DrawFigure(Canvas &c, const Outfit &o, int facing, int frame, bool flip) {
  const Painter p{c, flip};
  const float step = float(frame - 1);      // -1, 0, +1
  const float bob = frame == 1 ? -0.6f : 0.0f;
  const float headY = 8.5f + bob;
  const Col legCol = o.robe ? o.boots : Scale(o.tunic, 0.8f);
  const bool side = facing == 1;
  // Weapon behind the body when seen from behind.
  const float swing = side ? -step * 2.2f : step * 1.2f;
  if (facing == 0) DrawWeapon(p, o, 17.5f, 20.0f + swing, 0.1f);
  // Legs and feet.
  if (side) {
    const float far = 11.5f - step * 3.0f, nearX = 11.5f + step * 3.0f;
    p.fill(Limb(11.5f, 21, 2.0f, far, 28.0f, 1.6f), Scale(legCol, 0.7f), 1.5f);
    p.fill(Ellipse(far + 1.0f, 29.3f, 2.4f, 1.4f), Scale(o.boots, 0.7f), 1.2f);
    p.fill(Limb(11.5f, 21, 2.2f, nearX, 28.0f, 1.7f), legCol, 1.5f);
    p.fill(Ellipse(nearX + 1.0f, 29.4f, 2.5f, 1.5f), o.boots, 1.2f);
  } else {
    for (int leg = 0; leg < 2; leg++) {
      const float x = leg ? 14.5f : 9.5f;
      const float reach = (leg ? step : -step) * 1.1f * (facing == 2 ? 1.0f : -1.0f);
      p.fill(Limb(x, 21, 2.2f, x, 27.5f + reach, 1.8f), legCol, 1.5f);
      p.fill(Ellipse(x, 28.6f + reach, 2.2f, 1.4f), o.boots, 1.2f);
    }
  }
  // Body.
  if (o.robe) {
    const float sway = step * 0.8f;
    p.fill(Polygon({{8.0f, 13.5f + bob}, {16.0f, 13.5f + bob}, {19.0f + sway, 28.5f}, {5.0f + sway, 28.5f}}),
           [&](const Hit &h) {
             const bool star = Noise(h.x * 1.7f, h.y * 1.7f, 63u) > 0.86f;
             const Col base = h.y > 26.8f ? o.trim : (star ? Rgb(200, 210, 255) : o.tunic);
             return Lit(base, h, 4.0f);
           });
  } else {
    const float w = side ? 4.6f : 6.2f;
    p.fill(Ellipse(side ? 11.5f : 12.0f, 17.5f + bob, w, 5.4f), [&](const Hit &h) {
      const bool belt = std::fabs(h.y - (20.5f + bob)) < 0.8f;
      return Lit(belt ? o.trim : o.tunic, h, 3.5f, o.weapon == Axe ? 0.4f : 0.0f);
    });
    if (o.weapon == Axe && !side) p.fill(Sym(Circle(7.0f, 14.0f + bob, 2.0f), 12), o.metal, 1.5f, 0.6f);
  }
  // Arms swing against the legs.
  const Col armCol = o.robe ? o.tunic : o.skin;
  if (side) {
    const float hx = 11.5f + swing, hy = 21.0f;
    p.fill(Limb(11.5f, 14.5f + bob, 1.8f, hx, hy, 1.4f), armCol, 1.4f);
    p.fill(Circle(hx, hy + 0.3f, 1.4f), o.skin, 1.2f);
    if (o.shield) p.fill(Ellipse(8.0f, 18.5f + bob, 2.0f, 4.6f), o.metal, 2.0f, 0.6f);
    DrawWeapon(p, o, hx + 0.5f, hy, 0.22f);
  } else {
    const float lh = 21.0f - swing, rh = 21.0f + swing;
    p.fill(Limb(6.2f, 14.5f + bob, 1.8f, 5.4f, lh, 1.4f), armCol, 1.4f);
    p.fill(Limb(17.8f, 14.5f + bob, 1.8f, 18.6f, rh, 1.4f), armCol, 1.4f);
    p.fill(Circle(5.4f, lh + 0.4f, 1.5f), o.skin, 1.2f);
    p.fill(Circle(18.6f, rh + 0.4f, 1.5f), o.skin, 1.2f);
    if (o.shield && facing == 2) p.fill(Circle(5.6f, lh - 1.0f, 3.4f), [&](const Hit &h) {
      return Lit(-h.d < 1.0f ? o.metal : Rgb(120, 60, 40), h, 3.0f, 0.5f);
    });
  }
  DrawHead(p, o, facing, headY);
  if (facing == 2) DrawWeapon(p, o, 18.4f, 21.0f + swing, 0.1f);
}

}  // namespace

BITMAP *MakeOrc(int kind) {
  const Outfit &o = Outfits[std::clamp(kind, 2, 5) - 2];
  BITMAP *strip = NewMaskedBitmap(3 * 24, 4 * 32);
  // Rows: 0 up, 1 right, 2 down, 3 left (the right-facing view mirrored).
  const int facingOfRow[4] = {0, 1, 2, 1};
  for (int row = 0; row < 4; row++)
    for (int col = 0; col < 3; col++) {
      Canvas c(24, 32);
      DrawFigure(c, o, facingOfRow[row], col, row == 3);
      AddOutline(c, Rim);
      PutSprite(strip, col * 24, row * 32, c, Rim);
    }
  return strip;
}

}  // namespace art
