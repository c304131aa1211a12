// TrueType lettering through FreeType.
#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>

namespace art {

namespace {

// One FreeType face, released on scope exit.
struct Face {
  FT_Library lib = nullptr;
  FT_Face face = nullptr;
  Face(const std::string &file, int pixelSize) {
    if (FT_Init_FreeType(&lib)) return;
    if (FT_New_Face(lib, file.c_str(), 0, &face)) {
      face = nullptr;
      return;
    }
    FT_Set_Pixel_Sizes(face, 0, pixelSize);
  }
  ~Face() {
    if (face) FT_Done_Face(face);
    if (lib) FT_Done_FreeType(lib);
  }
  bool ok() const { return face != nullptr; }
  int ascender() const { return int(face->size->metrics.ascender >> 6); }
  int descender() const { return int(-(face->size->metrics.descender >> 6)); }
};

}  // namespace

Mask TextMask(const std::string &fontFile, const std::string &text, int pixelSize, int pad) {
  Face f(fontFile, pixelSize);
  Mask m;
  if (!f.ok()) return m;
  // First pass: width from the advances (with kerning).
  int width = 0;
  FT_UInt prev = 0;
  std::vector<int> pens;
  for (unsigned char ch : text) {
    const FT_UInt gi = FT_Get_Char_Index(f.face, ch);
    if (prev && gi) {
      FT_Vector k;
      FT_Get_Kerning(f.face, prev, gi, FT_KERNING_DEFAULT, &k);
      width += int(k.x >> 6);
    }
    pens.push_back(width);
    FT_Load_Glyph(f.face, gi, FT_LOAD_DEFAULT);
    width += int(f.face->glyph->advance.x >> 6);
    prev = gi;
  }
  const int extra = pixelSize / 4;  // room for overhanging glyphs
  m.w = width + 2 * pad + extra;
  m.h = f.ascender() + f.descender() + 2 * pad;
  m.a.assign(size_t(m.w) * m.h, 0.0f);
  const int base = pad + f.ascender();
  for (size_t i = 0; i < text.size(); i++) {
    const FT_UInt gi = FT_Get_Char_Index(f.face, (unsigned char)text[i]);
    if (FT_Load_Glyph(f.face, gi, FT_LOAD_DEFAULT) || FT_Render_Glyph(f.face->glyph, FT_RENDER_MODE_NORMAL)) continue;
    const FT_GlyphSlot g = f.face->glyph;
    const FT_Bitmap &b = g->bitmap;
    for (unsigned int y = 0; y < b.rows; y++) {
      for (unsigned int x = 0; x < b.width; x++) {
        const int tx = pad + pens[i] + g->bitmap_left + int(x), ty = base - g->bitmap_top + int(y);
        if (tx < 0 || ty < 0 || tx >= m.w || ty >= m.h) continue;
        float &dst = m.a[ty * m.w + tx];
        dst = std::min(1.0f, dst + b.buffer[y * b.pitch + x] / 255.0f);
      }
    }
  }
  return m;
}

Mask Dilate(const Mask &m, int r) {
  Mask out{m.w + 2 * r, m.h + 2 * r, {}};
  out.a.assign(size_t(out.w) * out.h, 0.0f);
  for (int y = 0; y < out.h; y++)
    for (int x = 0; x < out.w; x++) {
      float best = 0;
      for (int dy = -r; dy <= r; dy++)
        for (int dx = -r; dx <= r; dx++) {
          const float dist = std::sqrt(float(dx * dx + dy * dy));
          if (dist > r + 0.5f) continue;
          const float edge = std::clamp(r + 0.5f - dist, 0.0f, 1.0f);
          best = std::max(best, m.at(x - r + dx, y - r + dy) * edge);
        }
      out.a[y * out.w + x] = best;
    }
  return out;
}

Mask Blur(const Mask &m, int r) {
  Mask out = m;
  std::vector<float> tmp(out.a.size());
  for (int pass = 0; pass < 2; pass++) {
    for (int y = 0; y < m.h; y++)
      for (int x = 0; x < m.w; x++) {
        float s = 0;
        for (int k = -r; k <= r; k++) s += out.at(x + k, y);
        tmp[y * m.w + x] = s / (2 * r + 1);
      }
    for (int y = 0; y < m.h; y++)
      for (int x = 0; x < m.w; x++) {
        float s = 0;
        for (int k = -r; k <= r; k++) {
          const int yy = y + k;
          s += (yy < 0 || yy >= m.h) ? 0.0f : tmp[yy * m.w + x];
        }
        out.a[y * m.w + x] = s / (2 * r + 1);
      }
  }
  return out;
}

void Stamp(Canvas &c, const Mask &m, int x, int y, Col col, float opacity) {
  for (int j = 0; j < m.h; j++)
    for (int i = 0; i < m.w; i++) c.blend(x + i, y + j, col, m.a[j * m.w + i] * opacity);
}

void Stamp(Canvas &c, const Mask &m, int x, int y, const std::function<Col(float, float)> &shade, float opacity) {
  for (int j = 0; j < m.h; j++)
    for (int i = 0; i < m.w; i++) {
      const float a = m.a[j * m.w + i];
      if (a > 0) c.blend(x + i, y + j, shade(float(i) / m.w, float(j) / m.h), a * opacity);
    }
}

BITMAP *GlyphSheet(const std::string &fontFile, int pixelSize, int *cellHeight) {
  Face f(fontFile, pixelSize);
  if (!f.ok()) return nullptr;
  const int first = ' ', last = '~', perRow = 16;
  const int ch = f.ascender() + f.descender();
  *cellHeight = ch;
  // Cell widths: the hinted advance, widened where a glyph reaches further.
  std::vector<int> widths;
  for (int c = first; c <= last; c++) {
    FT_Load_Char(f.face, c, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    const FT_GlyphSlot g = f.face->glyph;
    const int adv = int(g->advance.x >> 6);
    widths.push_back(std::max(adv, g->bitmap_left + int(g->bitmap.width)));
  }
  const int count = last - first + 1, rows = (count + perRow - 1) / perRow;
  int sheetW = 0;
  for (int r = 0; r < rows; r++) {
    int rowW = 1;
    for (int i = r * perRow; i < std::min(count, (r + 1) * perRow); i++) rowW += widths[i] + 1;
    sheetW = std::max(sheetW, rowW);
  }
  BITMAP *sheet = create_bitmap_ex(8, sheetW, rows * (ch + 1) + 1);
  if (!sheet) return nullptr;
  clear_to_color(sheet, 255);
  for (int i = 0; i < count; i++) {
    const int r = i / perRow;
    int x0 = 1;
    for (int k = r * perRow; k < i; k++) x0 += widths[k] + 1;
    const int y0 = 1 + r * (ch + 1);
    rectfill(sheet, x0, y0, x0 + widths[i] - 1, y0 + ch - 1, 0);
    FT_Load_Char(f.face, first + i, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO);
    const FT_GlyphSlot g = f.face->glyph;
    const FT_Bitmap &b = g->bitmap;
    for (unsigned int y = 0; y < b.rows; y++)
      for (unsigned int x = 0; x < b.width; x++) {
        const bool on = b.buffer[y * b.pitch + (x >> 3)] & (0x80 >> (x & 7));
        // A glyph reaching left of its pen position is moved right into its cell.
        const int gx = std::max(0, g->bitmap_left) + int(x), gy = f.ascender() - g->bitmap_top + int(y);
        if (on && gx >= 0 && gy >= 0 && gx < widths[i] && gy < ch) putpixel(sheet, x0 + gx, y0 + gy, 1);
      }
  }
  return sheet;
}

}  // namespace art
