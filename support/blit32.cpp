// Masked and translucent sprite drawing between 32-bit memory bitmaps.
//
// The library's translucent mix of a sprite pixel s over a destination pixel
// d at alpha a, with n = a + 1 (n = 0 for a = 0), per colour channel c:
//   p(c) = s(c) * n + d(c) * (256 - n)        (= 256 d + (s - d) n, 16 bits)
//   blue = p(blue) / 256, green = p(green) / 256,
//   red  = p(red) / 256 + 1 when d(green) + p(red) % 256 reaches 256.
// The extra one on red comes from the library working on red and blue in
// one word to which the whole destination pixel is added back, so the
// remainder of red meets the destination's green. The top byte of every
// mixed pixel is 0. Four pixels (eight where the processor has 256-bit
// registers) are mixed at once in 16-bit lanes.
#include "support/blit32.h"

#include <allegro/internal/aintern.h>

#include <algorithm>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define SKV_WIDE_REGISTERS 1
#endif

namespace {

const uint32_t MaskColour = MASK_COLOR_32;

// Both bitmaps plain 32-bit memory, and not the same pixels.
bool Quick(BITMAP *pDest, BITMAP *pSprite) {
  return bitmap_color_depth(pDest) == 32 && bitmap_color_depth(pSprite) == 32 &&
         is_memory_bitmap(pDest) && is_memory_bitmap(pSprite) &&
         !is_same_bitmap(pDest, pSprite);
}

// What is left of a draw after clipping: the sprite's first pixel and the
// destination's, and the size.
struct Clipped {
  int iSpriteX, iSpriteY, iDestX, iDestY, iWidth, iHeight;
};

// Cuts rPart to the sprite and the sprite, placed at (iX, iY), to the
// destination's clip rectangle (or to the bitmap when clipping is off).
// False when nothing is left.
bool ClipDraw(BITMAP *pDest, BITMAP *pSprite, int iX, int iY, const PixelRect &rPart,
              Clipped &c) {
  int x0 = std::max(rPart.iX, 0), y0 = std::max(rPart.iY, 0);
  int x1 = std::min(rPart.iX + rPart.iWidth, pSprite->w);
  int y1 = std::min(rPart.iY + rPart.iHeight, pSprite->h);
  const int iLeft = pDest->clip ? pDest->cl : 0, iRight = pDest->clip ? pDest->cr : pDest->w;
  const int iTop = pDest->clip ? pDest->ct : 0, iBottom = pDest->clip ? pDest->cb : pDest->h;
  x0 = std::max(x0, iLeft - iX);
  x1 = std::min(x1, iRight - iX);
  y0 = std::max(y0, iTop - iY);
  y1 = std::min(y1, iBottom - iY);
  if (x1 <= x0 || y1 <= y0) return false;
  c = {x0, y0, iX + x0, iY + y0, x1 - x0, y1 - y0};
  return true;
}

inline const uint32_t *SpriteRow(BITMAP *pSprite, const Clipped &c, int y) {
  return reinterpret_cast<const uint32_t *>(pSprite->line[c.iSpriteY + y]) + c.iSpriteX;
}

inline uint32_t *DestRow(BITMAP *pDest, const Clipped &c, int y) {
  return reinterpret_cast<uint32_t *>(pDest->line[c.iDestY + y]) + c.iDestX;
}

#if defined(SKV_WIDE_REGISTERS)
bool WideWanted = true;

bool WideAvailable() {
  __builtin_cpu_init();
  return __builtin_cpu_supports("avx2");
}

bool UseWide() {
  static const bool bAvailable = WideAvailable();
  return bAvailable && WideWanted;
}

// The masked row eight pixels at a time; returns how many pixels it did.
__attribute__((target("avx2"))) int MaskedRowWide(const uint32_t *pFrom, uint32_t *pTo,
                                                  int iCount) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(MaskColour));
  int i = 0;
  for (; i + 8 <= iCount; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pFrom + i));
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pTo + i));
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(pTo + i),
                        _mm256_blendv_epi8(s, d, _mm256_cmpeq_epi32(s, mask)));
  }
  return i;
}

// One row filled with a colour, eight pixels at a time; returns how many.
__attribute__((target("avx2"))) int FillRowWide(uint32_t *pTo, int iCount, uint32_t colour) {
  const __m256i v = _mm256_set1_epi32(static_cast<int>(colour));
  int i = 0;
  for (; i + 8 <= iCount; i += 8) _mm256_storeu_si256(reinterpret_cast<__m256i *>(pTo + i), v);
  return i;
}
#else
bool UseWide() { return false; }
#endif

void FillRow(uint32_t *pTo, int iCount, uint32_t colour) {
  int i = 0;
#if defined(SKV_WIDE_REGISTERS)
  if (UseWide()) i = FillRowWide(pTo, iCount, colour);
#endif
  std::fill(pTo + i, pTo + iCount, colour);
}

void MaskedRow(const uint32_t *pFrom, uint32_t *pTo, int iCount) {
  int i = 0;
#if defined(SKV_WIDE_REGISTERS)
  if (UseWide()) i = MaskedRowWide(pFrom, pTo, iCount);
#endif
#if defined(__SSE2__)
  const __m128i mask = _mm_set1_epi32(static_cast<int>(MaskColour));
  for (; i + 4 <= iCount; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pFrom + i));
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pTo + i));
    const __m128i keep = _mm_cmpeq_epi32(s, mask);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(pTo + i),
                     _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, s)));
  }
#endif
  for (; i < iCount; ++i)
    if (pFrom[i] != MaskColour) pTo[i] = pFrom[i];
}

// One pixel mixed as the library's trans blender does it; n is 0..256.
inline uint32_t Mix(uint32_t s, uint32_t d, uint32_t n) {
  const uint32_t dGreen = (d >> 8) & 0xFF;
  const uint32_t pBlue = (s & 0xFF) * n + (d & 0xFF) * (256 - n);
  const uint32_t pGreen = ((s >> 8) & 0xFF) * n + dGreen * (256 - n);
  const uint32_t pRed = ((s >> 16) & 0xFF) * n + ((d >> 16) & 0xFF) * (256 - n);
  const uint32_t red = (pRed >> 8) + ((dGreen + (pRed & 0xFF)) >> 8);
  return red << 16 | (pGreen >> 8) << 8 | pBlue >> 8;
}

#if defined(__SSE2__)
// Two pixels, widened to 16-bit lanes (blue, green, red, top of each), mixed.
inline __m128i MixLanes(__m128i s, __m128i d, __m128i share, __m128i rest, __m128i redLanes) {
  const __m128i p = _mm_add_epi16(_mm_mullo_epi16(s, share), _mm_mullo_epi16(d, rest));
  // Each red lane meets the destination's green from the lane before it.
  const __m128i remainder = _mm_and_si128(p, _mm_set1_epi16(0xFF));
  const __m128i carry = _mm_srli_epi16(_mm_add_epi16(_mm_slli_si128(d, 2), remainder), 8);
  return _mm_add_epi16(_mm_srli_epi16(p, 8), _mm_and_si128(carry, redLanes));
}
#endif

#if defined(SKV_WIDE_REGISTERS)
// MixLanes on four pixels; the lane shift stays within each 128-bit half,
// which holds two whole pixels.
__attribute__((target("avx2"))) inline __m256i MixLanesWide(__m256i s, __m256i d, __m256i share,
                                                            __m256i rest, __m256i redLanes) {
  const __m256i p = _mm256_add_epi16(_mm256_mullo_epi16(s, share), _mm256_mullo_epi16(d, rest));
  const __m256i remainder = _mm256_and_si256(p, _mm256_set1_epi16(0xFF));
  const __m256i carry =
      _mm256_srli_epi16(_mm256_add_epi16(_mm256_slli_si256(d, 2), remainder), 8);
  return _mm256_add_epi16(_mm256_srli_epi16(p, 8), _mm256_and_si256(carry, redLanes));
}

// The translucent row eight pixels at a time; returns how many it did.
__attribute__((target("avx2"))) int TransRowWide(const uint32_t *pFrom, uint32_t *pTo,
                                                 int iCount, uint32_t n) {
  const __m256i mask = _mm256_set1_epi32(static_cast<int>(MaskColour));
  const __m256i colour = _mm256_set1_epi32(0x00FFFFFF);
  const __m256i zero = _mm256_setzero_si256();
  const __m256i share = _mm256_set1_epi16(static_cast<short>(n));
  const __m256i rest = _mm256_set1_epi16(static_cast<short>(256 - n));
  const __m256i redLanes = _mm256_set_epi16(0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0);
  int i = 0;
  for (; i + 8 <= iCount; i += 8) {
    const __m256i s = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pFrom + i));
    const __m256i keep = _mm256_cmpeq_epi32(s, mask);
    if (_mm256_movemask_epi8(keep) == -1) continue;  // all see-through (cloud edges)
    const __m256i d = _mm256_loadu_si256(reinterpret_cast<const __m256i *>(pTo + i));
    const __m256i lo = MixLanesWide(_mm256_unpacklo_epi8(s, zero), _mm256_unpacklo_epi8(d, zero),
                                    share, rest, redLanes);
    const __m256i hi = MixLanesWide(_mm256_unpackhi_epi8(s, zero), _mm256_unpackhi_epi8(d, zero),
                                    share, rest, redLanes);
    const __m256i mixed = _mm256_and_si256(_mm256_packus_epi16(lo, hi), colour);
    _mm256_storeu_si256(reinterpret_cast<__m256i *>(pTo + i), _mm256_blendv_epi8(mixed, d, keep));
  }
  return i;
}
#endif

void TransRow(const uint32_t *pFrom, uint32_t *pTo, int iCount, uint32_t n) {
  int i = 0;
#if defined(SKV_WIDE_REGISTERS)
  if (UseWide()) i = TransRowWide(pFrom, pTo, iCount, n);
#endif
#if defined(__SSE2__)
  const __m128i mask = _mm_set1_epi32(static_cast<int>(MaskColour));
  const __m128i colour = _mm_set1_epi32(0x00FFFFFF);
  const __m128i zero = _mm_setzero_si128();
  const __m128i share = _mm_set1_epi16(static_cast<short>(n));
  const __m128i rest = _mm_set1_epi16(static_cast<short>(256 - n));
  const __m128i redLanes = _mm_set_epi16(0, 1, 0, 0, 0, 1, 0, 0);
  for (; i + 4 <= iCount; i += 4) {
    const __m128i s = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pFrom + i));
    const __m128i keep = _mm_cmpeq_epi32(s, mask);
    if (_mm_movemask_epi8(keep) == 0xFFFF) continue;  // all see-through
    const __m128i d = _mm_loadu_si128(reinterpret_cast<const __m128i *>(pTo + i));
    const __m128i lo = MixLanes(_mm_unpacklo_epi8(s, zero), _mm_unpacklo_epi8(d, zero), share,
                                rest, redLanes);
    const __m128i hi = MixLanes(_mm_unpackhi_epi8(s, zero), _mm_unpackhi_epi8(d, zero), share,
                                rest, redLanes);
    const __m128i mixed = _mm_and_si128(_mm_packus_epi16(lo, hi), colour);
    _mm_storeu_si128(reinterpret_cast<__m128i *>(pTo + i),
                     _mm_or_si128(_mm_and_si128(keep, d), _mm_andnot_si128(keep, mixed)));
  }
#endif
  for (; i < iCount; ++i)
    if (pFrom[i] != MaskColour) pTo[i] = Mix(pFrom[i], pTo[i], n);
}

PixelRect Whole(BITMAP *pSprite) { return {0, 0, pSprite->w, pSprite->h}; }

}  // namespace

bool Blit32UseWideRegisters(bool bWanted) {
#if defined(SKV_WIDE_REGISTERS)
  WideWanted = bWanted;
#endif
  return UseWide();
}

PixelRect RectUnion(const PixelRect &a, const PixelRect &b) {
  const bool bEmptyA = a.iWidth <= 0 || a.iHeight <= 0;
  const bool bEmptyB = b.iWidth <= 0 || b.iHeight <= 0;
  if (bEmptyA) return b;
  if (bEmptyB) return a;
  const int x0 = std::min(a.iX, b.iX), y0 = std::min(a.iY, b.iY);
  const int x1 = std::max(a.iX + a.iWidth, b.iX + b.iWidth);
  const int y1 = std::max(a.iY + a.iHeight, b.iY + b.iHeight);
  return {x0, y0, x1 - x0, y1 - y0};
}

PixelRect TextBox(const FONT *pFont, const char *cText, int iX, int iY) {
  return {iX, iY, text_length(pFont, cText), text_height(pFont)};
}

void DrawSprite32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY) {
  DrawSpritePart32(pDest, pSprite, iX, iY, Whole(pSprite));
}

void DrawSpritePart32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY, const PixelRect &rPart) {
  if (!Quick(pDest, pSprite)) {
    draw_sprite(pDest, pSprite, iX, iY);
    return;
  }
  Clipped c;
  if (!ClipDraw(pDest, pSprite, iX, iY, rPart, c)) return;
  for (int y = 0; y < c.iHeight; ++y)
    MaskedRow(SpriteRow(pSprite, c, y), DestRow(pDest, c, y), c.iWidth);
}

static int iBlenderAlpha = 0;

void SetTransAlpha(int iAlpha) {
  set_trans_blender(0, 0, 0, iAlpha);
  iBlenderAlpha = iAlpha;
}

int TransAlpha() { return iBlenderAlpha; }

void DrawTransSprite32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY, int iAlpha) {
  DrawTransSpritePart32(pDest, pSprite, iX, iY, Whole(pSprite), iAlpha);
}

void DrawTransSpritePart32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY,
                           const PixelRect &rPart, int iAlpha) {
  SetTransAlpha(iAlpha);
  if (!Quick(pDest, pSprite) || iAlpha < 0 || iAlpha > 255) {
    draw_trans_sprite(pDest, pSprite, iX, iY);
    return;
  }
  Clipped c;
  if (!ClipDraw(pDest, pSprite, iX, iY, rPart, c)) return;
  const uint32_t n = iAlpha == 0 ? 0 : static_cast<uint32_t>(iAlpha) + 1;
  for (int y = 0; y < c.iHeight; ++y)
    TransRow(SpriteRow(pSprite, c, y), DestRow(pDest, c, y), c.iWidth, n);
}

void FillRect32(BITMAP *pDest, int x1, int y1, int x2, int y2, int iColour) {
  if (bitmap_color_depth(pDest) != 32 || !is_memory_bitmap(pDest) ||
      _drawing_mode != DRAW_MODE_SOLID) {
    rectfill(pDest, x1, y1, x2, y2, iColour);
    return;
  }
  if (x2 < x1) std::swap(x1, x2);
  if (y2 < y1) std::swap(y1, y2);
  x1 = std::max(x1, pDest->clip ? pDest->cl : 0);
  x2 = std::min(x2, (pDest->clip ? pDest->cr : pDest->w) - 1);
  y1 = std::max(y1, pDest->clip ? pDest->ct : 0);
  y2 = std::min(y2, (pDest->clip ? pDest->cb : pDest->h) - 1);
  for (int y = y1; y <= y2 && x1 <= x2; ++y)
    FillRow(reinterpret_cast<uint32_t *>(pDest->line[y]) + x1, x2 - x1 + 1,
            static_cast<uint32_t>(iColour));
}

void Blit32(BITMAP *pSource, BITMAP *pDest, int iSourceX, int iSourceY, int iDestX, int iDestY,
            int iWidth, int iHeight) {
  if (!Quick(pDest, pSource)) {
    blit(pSource, pDest, iSourceX, iSourceY, iDestX, iDestY, iWidth, iHeight);
    return;
  }
  // Cut to the source, then to the destination's clip rectangle.
  if (iSourceX < 0) {
    iWidth += iSourceX;
    iDestX -= iSourceX;
    iSourceX = 0;
  }
  if (iSourceY < 0) {
    iHeight += iSourceY;
    iDestY -= iSourceY;
    iSourceY = 0;
  }
  iWidth = std::min(iWidth, pSource->w - iSourceX);
  iHeight = std::min(iHeight, pSource->h - iSourceY);
  if (iDestX < pDest->cl) {
    iWidth -= pDest->cl - iDestX;
    iSourceX += pDest->cl - iDestX;
    iDestX = pDest->cl;
  }
  if (iDestY < pDest->ct) {
    iHeight -= pDest->ct - iDestY;
    iSourceY += pDest->ct - iDestY;
    iDestY = pDest->ct;
  }
  iWidth = std::min(iWidth, pDest->cr - iDestX);
  iHeight = std::min(iHeight, pDest->cb - iDestY);
  if (iWidth <= 0 || iHeight <= 0) return;
  for (int y = 0; y < iHeight; ++y)
    memcpy(reinterpret_cast<uint32_t *>(pDest->line[iDestY + y]) + iDestX,
           reinterpret_cast<const uint32_t *>(pSource->line[iSourceY + y]) + iSourceX,
           static_cast<size_t>(iWidth) * 4);
}
