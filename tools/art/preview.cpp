// Contact sheet and small previews.
#include "preview.h"

#include <algorithm>

#include "text.h"

namespace art {

namespace {

const int Background = 0x6E7680;  // neutral blue-grey
const int Gap = 10;

void PutRgb(BITMAP *b, int x, int y, int rgb) { putpixel(b, x, y, makecol32(rgb >> 16, (rgb >> 8) & 255, rgb & 255)); }

// Lays out the entries one under another; returns the sheet height, drawing
// only when `sheet` is given.
int Layout(const std::vector<SheetEntry> &entries, const Fonts &f, BITMAP *sheet, int *width) {
  int y = Gap;
  *width = 0;
  for (const SheetEntry &e : entries) {
    const Mask label = TextMask(f.sansBold, e.name, 14);
    if (sheet) {
      for (int j = 0; j < label.h; j++)
        for (int i = 0; i < label.w; i++) {
          const float a = label.a[j * label.w + i];
          const int v = int(110 + 145 * a);
          if (a > 0) putpixel(sheet, Gap + i, y + j, makecol32(v, v, v));
        }
    }
    y += label.h + 4;
    const int cols = e.strip->w / e.frameW, rows = e.strip->h / e.frameH;
    for (int r = 0; r < rows; r++) {
      for (int c = 0; c < cols; c++) {
        const int ox = Gap + c * (e.frameW * e.zoom + Gap), oy = y + r * (e.frameH * e.zoom + Gap);
        *width = std::max(*width, ox + e.frameW * e.zoom + Gap);
        if (!sheet) continue;
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
    y += rows * (e.frameH * e.zoom + Gap) + 4;
  }
  return y;
}

}  // namespace

BITMAP *ContactSheet(const std::vector<SheetEntry> &entries, const Fonts &f) {
  int w = 0;
  const int h = Layout(entries, f, nullptr, &w);
  BITMAP *sheet = create_bitmap_ex(32, w, h);
  clear_to_color(sheet, makecol32(Background >> 16, (Background >> 8) & 255, Background & 255));
  Layout(entries, f, sheet, &w);
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
