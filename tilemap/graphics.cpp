// Block graphics: the raw pixels of a map converted once to the screen's
// depth, one bitmap per graphic, block records pointed at their bitmaps.
// Magenta (255, 0, 255) on hi-colour screens and index 0 on 8-bit screens are
// the transparent colours of masked drawing; index 0 of an 8-bit map becomes
// magenta on deeper screens.
#include <cstdlib>
#include <cstring>

#include "tilemap/engine.h"

namespace {

struct Rgb {
  int r, g, b;
};

// Widens a channel of n bits to 8 bits by repeating its top bits.
inline int Widen5(int x) { return (x << 3) | (x >> 2); }
inline int Widen6(int x) { return (x << 2) | (x >> 4); }

// Colour of a hi-colour source pixel (depths 15, 16, 24, 32).
Rgb SourceRgb(const uint8_t *p, int iDepth) {
  switch (iDepth) {
    case 15: {
      int w = (p[0] << 8) | p[1];
      return {Widen5((w >> 10) & 31), Widen5((w >> 5) & 31), Widen5(w & 31)};
    }
    case 16: {
      int w = (p[0] << 8) | p[1];
      return {Widen5((w >> 11) & 31), Widen6((w >> 5) & 63), Widen5(w & 31)};
    }
    case 24:
      return {p[0], p[1], p[2]};
    default:
      return {p[1], p[2], p[3]};
  }
}

// Stores a screen colour in the converted data's form for the screen depth.
inline void StoreColour(uint8_t *pOut, int iDepth, int iColour) {
  switch (iDepth) {
    case 8:
      pOut[0] = uint8_t(iColour);
      break;
    case 15:
    case 16: {
      uint16_t w = uint16_t(iColour);
      memcpy(pOut, &w, 2);
      break;
    }
    case 24:
      pOut[0] = uint8_t(iColour >> 16);
      pOut[1] = uint8_t(iColour >> 8);
      pOut[2] = uint8_t(iColour);
      break;
    default:
      pOut[0] = 0;
      pOut[1] = uint8_t(iColour >> 16);
      pOut[2] = uint8_t(iColour >> 8);
      pOut[3] = uint8_t(iColour);
      break;
  }
}

// Reads a colour back from the converted data's form.
inline int LoadColour(const uint8_t *p, int iDepth) {
  switch (iDepth) {
    case 8:
      return p[0];
    case 15:
    case 16: {
      uint16_t w;
      memcpy(&w, p, 2);
      return w;
    }
    case 24:
      return (p[0] << 16) | (p[1] << 8) | p[2];
    default:
      return (p[1] << 16) | (p[2] << 8) | p[3];
  }
}

int FailGraphics(int iCode) {
  TileMapClose();
  LoadedMap.lastError = iCode;
  return -1;
}

// Converts every pixel of the held data (at iFrom bits) to screen depth iTo.
void ConvertPixels(const uint8_t *pIn, uint8_t *pOut, size_t iPixels, int iFrom, int iTo) {
  const uint8_t *pPalette = LoadedMap.paletteBytes;
  int iInBytes = BytesPerPixel(iFrom), iOutBytes = BytesPerPixel(iTo);
  int iMagenta = makecol_depth(iTo, 255, 0, 255);
  // 8-bit maps convert through a 256-entry table built once.
  int iTable[256];
  if (iFrom == 8 && iTo != 8) {
    for (int i = 0; i < 256; i++)
      iTable[i] = i == 0 ? iMagenta
                         : makecol_depth(iTo, pPalette[i * 3], pPalette[i * 3 + 1], pPalette[i * 3 + 2]);
  }
  for (size_t i = 0; i < iPixels; i++, pIn += iInBytes, pOut += iOutBytes) {
    int iColour;
    if (iFrom == 8) {
      iColour = iTo == 8 ? pIn[0] : iTable[pIn[0]];
    } else {
      Rgb c = SourceRgb(pIn, iFrom);
      bool bMagenta = c.r == 255 && c.g == 0 && c.b == 255;
      iColour = (iTo == 8 && bMagenta) ? 0 : makecol_depth(iTo, c.r, c.g, c.b);
    }
    StoreColour(pOut, iTo, iColour);
  }
}

// Pixels of graphic i from the converted data into its bitmap.
void PaintGraphic(BITMAP *pBitmap, int iGraphic) {
  const MapHeader &h = LoadedMap.header;
  int iBytes = BytesPerPixel(h.blockDepth);
  const uint8_t *p = LoadedMap.graphicData + size_t(iGraphic) * h.blockWidth * h.blockHeight * iBytes;
  for (int y = 0; y < h.blockHeight; y++)
    for (int x = 0; x < h.blockWidth; x++, p += iBytes) putpixel(pBitmap, x, y, LoadColour(p, h.blockDepth));
}

// Whether the converted graphic data holds every graphic at blockDepth.
bool GraphicDataIsWhole() {
  const MapHeader &h = LoadedMap.header;
  if (LoadedMap.graphicData == nullptr || h.graphicCount <= 0) return false;
  size_t iNeeded = size_t(h.graphicCount) * h.blockWidth * h.blockHeight * BytesPerPixel(h.blockDepth);
  return LoadedMap.graphicDataSize >= iNeeded;
}

}  // namespace

void ParseNoVideoList(const char *cList, int iGraphicCount, uint8_t *pFlags) {
  const char *p = cList;
  auto Number = [&p]() {
    long v = 0;
    while (*p >= '0' && *p <= '9') {
      if (v < 1000000) v = v * 10 + (*p - '0');
      p++;
    }
    return v;
  };
  while (*p) {
    long a = Number();
    if (a >= iGraphicCount) return;
    long b = a;
    if (*p == '-') {
      p++;
      b = Number();
      if (b < a || b >= iGraphicCount) return;
    }
    for (long i = a; i <= b; i++) pFlags[i] = 1;
    if (*p == ',') p++;
    else if (*p) return;
  }
}

int TileMapConvertGraphics() {
  if (screen == nullptr) return FailGraphics(MapErrNoScreen);
  if (LoadedMap.bitmapMode == MapBitmapsVideo && !(gfx_capabilities & GFX_HW_VRAM_BLIT))
    return FailGraphics(MapErrNoVideoBlit);
  MapHeader &h = LoadedMap.header;
  int iScreen = bitmap_color_depth(screen);
  // The held data must hold every graphic; an 8-bit map needs its palette
  // on a deeper screen.
  if (!GraphicDataIsWhole()) return FailGraphics(MapErrBadFile);
  if (h.blockDepth == 8 && iScreen != 8 && LoadedMap.paletteBytes == nullptr)
    return FailGraphics(MapErrBadFile);
  size_t iPixels = size_t(h.graphicCount) * h.blockWidth * h.blockHeight;
  auto *pOut = static_cast<uint8_t *>(malloc(iPixels * BytesPerPixel(iScreen)));
  if (pOut == nullptr) return FailGraphics(MapErrOutOfMemory);
  ConvertPixels(LoadedMap.graphicData, pOut, iPixels, h.blockDepth, iScreen);
  free(LoadedMap.graphicData);
  LoadedMap.graphicData = pOut;
  LoadedMap.graphicDataSize = iPixels * BytesPerPixel(iScreen);
  h.blockDepth = int16_t(iScreen);
  return TileMapBuildBitmaps();
}

// One bitmap for graphic i: video memory when asked for and allowed, else
// memory. nullptr only when a memory bitmap cannot be made.
static BITMAP *MakeBlockBitmap(bool bTryVideo) {
  TileMap &m = LoadedMap;
  // Without a graphics driver (no display) there is no video memory to ask.
  if (bTryVideo && gfx_driver != nullptr) {
    BITMAP *pVideo = create_video_bitmap(m.header.blockWidth, m.header.blockHeight);
    if (pVideo) {
      m.videoBitmapCount++;
      acquire_bitmap(pVideo);
      return pVideo;
    }
  }
  BITMAP *pMemory = create_bitmap_ex(m.header.blockDepth, m.header.blockWidth, m.header.blockHeight);
  if (pMemory) m.memoryBitmapCount++;
  return pMemory;
}

// Points every block record at its bitmaps; a front graphic 0 means none.
static void ResolveBlocks() {
  TileMap &m = LoadedMap;
  const int32_t *pIndex = LoadState.pGraphicIndex;
  if (m.blocks == nullptr || pIndex == nullptr) return;
  for (int i = 0; i < m.header.blockRecordCount; i++, pIndex += 4) {
    BlockRecord &b = m.blocks[i];
    b.backGraphic = m.bitmaps[pIndex[0]];
    b.frontGraphic1 = pIndex[1] ? m.bitmaps[pIndex[1]] : nullptr;
    b.frontGraphic2 = pIndex[2] ? m.bitmaps[pIndex[2]] : nullptr;
    b.frontGraphic3 = pIndex[3] ? m.bitmaps[pIndex[3]] : nullptr;
  }
}

void DestroyBlockBitmaps() {
  BITMAP **pBitmaps = LoadedMap.bitmaps;
  if (pBitmaps == nullptr) return;
  for (BITMAP **p = pBitmaps; *p; p++) {
    destroy_bitmap(*p);
    *p = nullptr;
  }
}

int TileMapBuildBitmaps() {
  TileMap &m = LoadedMap;
  if (!GraphicDataIsWhole()) return FailGraphics(MapErrBadFile);
  int iCount = m.header.graphicCount;
  auto *pNoVideo = static_cast<uint8_t *>(calloc(iCount, 1));
  if (pNoVideo == nullptr) return FailGraphics(MapErrOutOfMemory);
  ParseNoVideoList(m.noVideoList, iCount, pNoVideo);
  if (m.bitmaps) {  // built before: start afresh rather than leak
    DestroyBlockBitmaps();
  } else {
    m.bitmaps = static_cast<BITMAP **>(calloc(size_t(iCount) + 2, sizeof(BITMAP *)));
    if (m.bitmaps == nullptr) {
      free(pNoVideo);
      return FailGraphics(MapErrOutOfMemory);
    }
  }
  m.bitmaps[0] = nullptr;
  m.videoBitmapCount = m.memoryBitmapCount = 0;
  for (int i = 0; i < iCount; i++) {
    m.bitmaps[i + 1] = nullptr;
    BITMAP *pBitmap = MakeBlockBitmap(m.bitmapMode == MapBitmapsVideo && !pNoVideo[i]);
    if (pBitmap == nullptr) {
      free(pNoVideo);
      return FailGraphics(MapErrBitmap);
    }
    m.bitmaps[i] = pBitmap;
    set_clip_rect(pBitmap, 0, 0, pBitmap->w - 1, pBitmap->h - 1);
    set_clip_state(pBitmap, 0);
    PaintGraphic(pBitmap, i);
    if (is_video_bitmap(pBitmap)) release_bitmap(pBitmap);
  }
  ResolveBlocks();
  free(pNoVideo);
  return 0;
}

void TileMapUsePalette() {
  if (screen && bitmap_color_depth(screen) == 8 && LoadedMap.header.blockDepth == 8)
    set_palette(LoadedMap.libraryPalette);
}

int TileMapRefillVideo() {
  TileMap &m = LoadedMap;
  if (m.bitmapMode != MapBitmapsVideo || m.bitmaps == nullptr || !GraphicDataIsWhole()) return 0;
  int iCount = 0;
  for (BITMAP **p = m.bitmaps; *p; p++, iCount++) {
    acquire_bitmap(*p);
    PaintGraphic(*p, iCount);
    release_bitmap(*p);
  }
  return iCount;
}
