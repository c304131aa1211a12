// Any bytes as an FMP map: the loader must refuse them or load a map that
// every drawing pass and query can use without leaving its arrays. Both the
// memory and the file entry points see each input, on 8-, 16- and 32-bit
// screens (chosen by the input's length).
#include <allegro.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tilemap/tilemap.h"

namespace {

BITMAP *Screens[3];
BITMAP *Targets[3];
std::string TempFile;

void Check(bool bHolds) {
  if (!bHolds) __builtin_trap();
}

void StackedCell(int, int, int, int) {}

// Everything a loaded map offers, on a small target.
void Exercise(BITMAP *pTarget) {
  const TileMap &m = TileMapState();
  const MapHeader &h = m.header;
  Check(m.bitmaps != nullptr && m.blocks != nullptr);  // a map may come without layers
  Check(h.blockDepth == bitmap_color_depth(screen));
  int iWide = h.widthInBlocks * h.stepX, iHigh = h.heightInBlocks * h.stepY;
  const int iViews[][2] = {{0, 0}, {iWide / 2, iHigh / 2}, {iWide - 50, iHigh - 30}, {-17, -40}, {3, 5}};
  for (const auto &v : iViews) {
    TileMapPaintBack(pTarget, v[0], v[1], 0, 0, pTarget->w - 1, pTarget->h - 1);
    TileMapPaintBackKeyed(pTarget, v[0], v[1], 5, 7, 60, 40);
    TileMapPaintFront(pTarget, v[0], v[1], -3, -3, 90, 70, v[0] & 3);
    TileMapPaintStacked(pTarget, v[0], v[1], 0, 0, pTarget->w, pTarget->h, 1, StackedCell);
  }
  BITMAP *pSource = create_bitmap_ex(bitmap_color_depth(pTarget), 7, 5);
  BITMAP *pBackdrop = TileMapMakeBackdrop(pSource, 0);
  if (pBackdrop) {
    TileMapPaintBackdrop(pTarget, 11, 13, 0, 0, pTarget->w, pTarget->h, pBackdrop);
    destroy_bitmap(pBackdrop);
  }
  destroy_bitmap(pSource);
  for (int i = 0; i < 20; i++) {
    int x = (i * 37) % (iWide + 40) - 20, y = (i * 53) % (iHigh + 40) - 20;
    SolidAtPixel(x, y);
    TileMapBlockAtPixel(x, y);
    TileMapColumnOf(x, y);
    TileMapRowOf(x, y);
    const BlockRecord *b = TileMapBlockAt(x / 8, y / 8);
    if (b) Check(b->backGraphic != nullptr);
    TileMapStepAnimations();
  }
  TileMapFindBlock(0, 1 + h.graphicCount % 7);
  TileMapMakeRowIndex();
  for (int n = 7; n >= 0; n--) TileMapSelectLayer(n);
  TileMapPaintBack(pTarget, 1, 1, 0, 0, 40, 40);
  TileMapRewindAnimations();
  TileMapRefillVideo();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) abort();
  const int iDepths[3] = {8, 16, 32};
  for (int i = 0; i < 3; i++) {
    Screens[i] = create_bitmap_ex(iDepths[i], 64, 48);
    Targets[i] = create_bitmap_ex(iDepths[i], 160, 120);
  }
  set_color_depth(32);
  TempFile = "/tmp/fuzz_tilemap_" + std::to_string(getpid()) + ".fmp";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  if (size > (1u << 20)) return 0;
  int iScreen = size % 5 == 0 ? 0 : size % 5 == 1 ? 1 : 2;
  screen = Screens[iScreen];
  if (TileMapOpenBuffer(data, size) == 0) {
    Exercise(Targets[iScreen]);
  } else {
    Check(TileMapLastError() != MapErrNone);
  }
  FILE *f = fopen(TempFile.c_str(), "wb");
  if (f) {
    fwrite(data, 1, size, f);
    fclose(f);
    if (TileMapOpen(TempFile.c_str()) == 0) Exercise(Targets[iScreen]);
  }
  TileMapClose();
  remove(TempFile.c_str());
  return 0;
}
