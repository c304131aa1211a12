// Lettering for the pictures (anti-aliased coverage masks from a TrueType
// font) and the glyph sheet from which the story font is built.
#pragma once
#include <allegro.h>

#include <string>
#include <vector>

#include "canvas.h"

namespace art {

// A coverage mask, 0..1 per pixel.
struct Mask {
  int w = 0, h = 0;
  std::vector<float> a;
  float at(int x, int y) const { return (x < 0 || y < 0 || x >= w || y >= h) ? 0.0f : a[y * w + x]; }
};

// Renders `text` at `pixelSize` with the TrueType font file, leaving `pad`
// empty pixels on every side. The baseline lies at `pad` + ascender.
// Returns an empty mask when the font cannot be read.
Mask TextMask(const std::string &fontFile, const std::string &text, int pixelSize, int pad = 0);

// Mask grown by r pixels (round pen) and softened by a box blur of radius r.
Mask Dilate(const Mask &m, int r);
Mask Blur(const Mask &m, int r);

// Paints colour c through the mask with its top-left at (x, y).
void Stamp(Canvas &c, const Mask &m, int x, int y, Col col, float opacity = 1.0f);
// Same with a colour per pixel (u, v: 0..1 across the mask).
void Stamp(Canvas &c, const Mask &m, int x, int y, const std::function<Col(float u, float v)> &shade,
           float opacity = 1.0f);

// Glyph sheet in the layout the library grabs fonts from: an 8-bit bitmap
// with the characters ' ' to '~' on a grid of cells separated by colour 255,
// glyph pixels colour 1, background colour 0. Rendered without anti-aliasing
// (a monochrome font takes the text colour). Null when the font is missing.
// `cellHeight` receives the height of every cell.
BITMAP *GlyphSheet(const std::string &fontFile, int pixelSize, int *cellHeight);

}  // namespace art
