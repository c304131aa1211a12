// Contact sheet and small previews.
#include "preview.h"

#include <algorithm>

#include "text.h"

namespace art {

namespace {

const int Background = 0x6E7680;  // neutral blue-grey
const int Gap = 10;

void PutRgb(BITMAP *b, int x, int y, int rgb) { putpixel(b, x, y, makecol32(rgb >> 16, (rgb >> 8) & 255, rgb & 255)); }

// Size of one entry's block: caption above its grid of enlarged frames.
void BlockSize(const SheetEntry &e, int labelH, int *w, int *h) {
  const int cols = e.strip->w / e.frameW, rows = e.strip->h / e.frameH;
  *w = cols * (e.frameW * e.zoom + Gap) - Gap;
  *h = labelH + 4 + rows * (e.frameH * e.zoom + Gap) - Gap;
}

void DrawBlock(BITMAP *sheet, const SheetEntry &e, const Mask &label, int x, int y) {
  for (int j = 0; j < label.h; j++)
    for (int i = 0; i < label.w; i++) {
      const float a = label.a[j * label.w + i];
      const int v = int(110 + 145 * a);
      if (a > 0) putpixel(sheet, x + i, y + j, makecol32(v, v, v));
    }
  y += label.h + 4;
  const int cols = e.strip->w / e.frameW, rows = e.strip->h / e.frameH;
  for (int r = 0; r < rows; r++)
    for (int c = 0; c < cols; c++) {
      const int ox = x + c * (e.frameW * e.zoom + Gap), oy = y + r * (e.frameH * e.zoom + Gap);
      for (int j = 0; j < e.frameH * e.zoom; j++)
        for (int i = 0; i < e.frameW * e.zoom; i++) {
          const int px = getpixel(e.strip, c * e.frameW + i / e.zoom, r * e.frameH + j / e.zoom);
          if ((px & 0xFFFFFF) == MaskRgb)
            PutRgb(sheet, ox + i, oy + j, ((i / 4 + j / 4) & 1) ? Background : Background + 0x060606);
          else
            putpixel(sheet, ox + i, oy + j, px);
        }
    }
}

// Places the blocks left to right in rows no wider than MaxWidth; returns
// the sheet size, drawing only when `sheet` is given.
void Layout(const std::vector<SheetEntry> &entries, const Fonts &f, BITMAP *sheet, int *width, int *height) {
  const int MaxWidth = 1100;
  int x = Gap, y = Gap, rowH = 0;
  *width = 0;
  for (const SheetEntry &e : entries) {
    const Mask label = TextMask(f.sansBold, e.name, 14);
    int w, h;
    BlockSize(e, label.h, &w, &h);
    if (x > Gap && x + w + Gap > MaxWidth) {
      x = Gap;
      y += rowH + 2 * Gap;
      rowH = 0;
    }
    if (sheet) DrawBlock(sheet, e, label, x, y);
    *width = std::max(*width, x + w + Gap);
    rowH = std::max(rowH, h);
    x += w + 3 * Gap;
  }
  *height = y + rowH + Gap;
}

}  // namespace

BITMAP *ContactSheet(const std::vector<SheetEntry> &entries, const Fonts &f) {
  int w = 0, h = 0;
  Layout(entries, f, nullptr, &w, &h);
  BITMAP *sheet = create_bitmap_ex(32, w, h);
  clear_to_color(sheet, makecol32(Background >> 16, (Background >> 8) & 255, Background & 255));
  Layout(entries, f, sheet, &w, &h);
  return sheet;
}

BITMAP *HalfSize(BITMAP *pic) {
  BITMAP *out = create_bitmap_ex(32, pic->w / 2, pic->h / 2);
  for (int y = 0; y < out->h; y++)
    for (int x = 0; x < out->w; x++) {
      int r = 0, g = 0, b = 0;
      for (int k = 0; k < 4; k++) {
        const int c = getpixel(pic, 2 * x + (k & 1), 2 * y + (k >> 1));
        r += getr32(c);
        g += getg32(c);
        b += getb32(c);
      }
      putpixel(out, x, y, makecol32((r + 2) / 4, (g + 2) / 4, (b + 2) / 4));
    }
  return out;
}

}  // namespace art
