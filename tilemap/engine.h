// Internals shared by the engine's source files: the one map and what the
// loader keeps aside while a map is being decoded. Not for other folders.
#pragma once
#include <cstddef>
#include <cstdint>

#include "tilemap/tilemap.h"

// The one loaded map.
extern TileMap LoadedMap;

// Loader bookkeeping beside the public map state.
struct MapLoadState {
  int32_t *pGraphicIndex;  // 4 graphic indices per block record until bitmaps exist
  bool bHeaderSeen;        // an MPHD chunk was decoded in this load
  bool bGraphicsFromAgfx;  // the held graphic data came from AGFX (depth 8)
  bool bHeaderUsed;        // a chunk was decoded with the header's values
  bool bShortPalette;      // the CMAP chunk held fewer than 256 colours
};
extern MapLoadState LoadState;

// Bytes per pixel of graphic data at a depth: 8 -> 1, 15/16 -> 2, 24 -> 3, 32 -> 4.
inline int BytesPerPixel(int iDepth) { return (iDepth + 1) / 8; }

// Number of AnimRecords held, the terminator included (0 when none).
inline ptrdiff_t AnimCount() { return LoadedMap.anims ? LoadedMap.animEnd - LoadedMap.anims : 0; }

// The block a cell value shows, or nullptr when the value points outside the
// loaded arrays (the loader rejects such maps; cells written later may still).
inline const BlockRecord *BlockOfCell(int iValue) {
  const TileMap &m = LoadedMap;
  if (m.blocks == nullptr) return nullptr;
  if (iValue >= 0) return iValue < m.header.blockRecordCount ? &m.blocks[iValue] : nullptr;
  ptrdiff_t iAnim = AnimCount() + iValue;
  if (iAnim < 1) return nullptr;
  int32_t iFrame = m.anims[iAnim].current;
  if (iFrame < 0 || iFrame >= m.frameCount) return nullptr;
  int32_t iBlock = m.frames[iFrame];
  if (iBlock < 0 || iBlock >= m.header.blockRecordCount) return nullptr;
  return &m.blocks[iBlock];
}

// First cell of a row of the current layer (row table when there is one).
inline const int16_t *LayerRow(int iRow) {
  const TileMap &m = LoadedMap;
  if (m.currentRowIndex) return m.currentLayer + m.currentRowIndex[iRow];
  return m.currentLayer + static_cast<ptrdiff_t>(iRow) * m.header.widthInBlocks;
}

// Destroys every block bitmap up to the first empty entry and empties the
// array (which stays allocated). The engine's block bitmaps are released only
// here: the map's public array holds them, so they have no other owner.
void DestroyBlockBitmaps();

// Sets one flag per graphic named by a no-video list such as "0-3,7". Reading
// stops at the first number that is out of range or any unexpected character.
void ParseNoVideoList(const char *cList, int iGraphicCount, uint8_t *pFlags);

// Division and remainder rounding toward minus infinity, so positions left
// of or above the map line up with the cells like any other.
inline int FloorDiv(int a, int b) {
  int q = a / b;
  return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}
inline int FloorMod(int a, int b) {
  int m = a % b;
  return m < 0 ? m + b : m;
}

// Depth of the screen bitmap, or 0 when there is none.
int ScreenDepth();
