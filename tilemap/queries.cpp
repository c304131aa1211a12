// Block queries, the game's collision test, animation stepping and the
// layer edits the engine offers to tools and other maps.
#include <cstdlib>
#include <cstring>

#include "tilemap/engine.h"

namespace {

inline int Clamp(int v, int iLow, int iHigh) { return v < iLow ? iLow : v > iHigh ? iHigh : v; }

bool IsStaggered() { return LoadedMap.header.shiftX != 0 || LoadedMap.header.shiftY != 0; }

bool InsideMapPixels(int iX, int iY) {
  const MapHeader &h = LoadedMap.header;
  return iX >= 0 && iY >= 0 && iX < h.widthInBlocks * h.blockWidth && iY < h.heightInBlocks * h.blockHeight;
}

int64_t LayerCells() { return int64_t(LoadedMap.header.widthInBlocks) * LoadedMap.header.heightInBlocks; }

}  // namespace

// ------------------------------------------------------------ queries -----

int SolidAtPixel(int iX, int iY) {
  const MapHeader &h = LoadedMap.header;
  if (iX <= 0 || iY <= 0) return 1;
  // The far edge counts 32 pixels per cell, as the game's maps have.
  if (iX >= h.widthInBlocks * 32 || iY >= h.heightInBlocks * 32) return 1;
  if (h.blockWidth <= 0 || h.blockHeight <= 0) return 1;
  const BlockRecord *b = TileMapBlockAt(iX / h.blockWidth, iY / h.blockHeight);
  if (b == nullptr) return 1;  // no map, or a cell outside the layer: solid
  return b->flags & FlagSolid ? 1 : 0;
}

const BlockRecord *TileMapBlockAt(int iColumn, int iRow) {
  const TileMap &m = LoadedMap;
  if (m.currentLayer == nullptr || iColumn < 0 || iRow < 0 || iColumn >= m.header.widthInBlocks ||
      iRow >= m.header.heightInBlocks)
    return nullptr;
  return BlockOfCell(LayerRow(iRow)[iColumn]);
}

const BlockRecord *TileMapBlockAtPixel(int iX, int iY) {
  if (!InsideMapPixels(iX, iY)) return nullptr;
  return TileMapBlockAt(TileMapColumnOf(iX, iY), TileMapRowOf(iX, iY));
}

void TileMapPutCell(int iColumn, int iRow, int iValue) {
  const TileMap &m = LoadedMap;
  if (m.currentLayer == nullptr || iColumn < 0 || iRow < 0 || iColumn >= m.header.widthInBlocks ||
      iRow >= m.header.heightInBlocks)
    return;
  m.currentLayer[int64_t(iRow) * m.header.widthInBlocks + iColumn] = int16_t(iValue);
}

void TileMapPutCellAtPixel(int iX, int iY, int iValue) {
  if (!InsideMapPixels(iX, iY)) return;
  TileMapPutCell(TileMapColumnOf(iX, iY), TileMapRowOf(iX, iY), iValue);
}

int TileMapMaskSide(int iX, int iY, int iAxis) {
  const TileMap &m = LoadedMap;
  const MapHeader &h = m.header;
  if (m.bitmaps == nullptr || h.stepX <= 0 || h.stepY <= 0 || h.hitMaskBlock < 0 ||
      h.hitMaskBlock >= h.graphicCount)
    return 0;
  int px = FloorMod(iX, h.stepX), py = FloorMod(iY, h.stepY);
  if (px >= h.blockWidth) return iAxis == 0 ? 0 : (py < h.shiftY ? -1 : 1);
  if (py >= h.blockHeight) return iAxis == 1 ? 1 : (px < h.shiftX ? -1 : 0);
  BITMAP *pMask = m.bitmaps[h.hitMaskBlock];
  int iClear = h.blockDepth == 8 ? 0 : makecol_depth(bitmap_color_depth(pMask), 255, 0, 255);
  if (getpixel(pMask, px, py) != iClear) return 0;
  if (iAxis == 0) return px < h.blockWidth / 2 ? -1 : 0;
  return py < h.blockHeight / 2 ? -1 : 1;
}

int TileMapColumnOf(int iX, int iY) {
  const MapHeader &h = LoadedMap.header;
  if (h.stepX <= 0 || h.widthInBlocks <= 0) return 0;
  bool bStaggered = IsStaggered();
  if (bStaggered) {
    iX += h.shiftX;
    iY += h.shiftY;
  }
  int iColumn = FloorDiv(iX, h.stepX);
  if (bStaggered && h.hitMaskBlock != 0) iColumn += TileMapMaskSide(iX, iY, 0);
  return Clamp(iColumn, 0, h.widthInBlocks - 1);
}

int TileMapRowOf(int iX, int iY) {
  const MapHeader &h = LoadedMap.header;
  if (h.stepY <= 0 || h.heightInBlocks <= 0) return 0;
  bool bStaggered = IsStaggered();
  if (bStaggered) {
    iX += h.shiftX;
    iY += h.shiftY;
  }
  int iRow = FloorDiv(iY, h.stepY);
  if (bStaggered && h.hitMaskBlock != 0) iRow = iRow * 2 + TileMapMaskSide(iX, iY, 1);
  return Clamp(iRow, 0, h.heightInBlocks - 1);
}

int TileMapSelectLayer(int iLayer) {
  TileMap &m = LoadedMap;
  if (iLayer < 0 || iLayer > 7 || m.layers[iLayer] == nullptr) return -1;
  m.currentLayer = m.layers[iLayer];
  m.currentRowIndex = m.rowIndex[iLayer];
  m.currentLayerNumber = iLayer;
  return iLayer;
}

int TileMapFindBlock(int iKey, int iField) {
  const TileMap &m = LoadedMap;
  if (m.blocks == nullptr || iField < 1 || iField > 7) return -1;
  for (int i = 0; i < m.header.blockRecordCount; i++) {
    const BlockRecord &b = m.blocks[i];
    const int64_t iValues[7] = {b.value1, b.value2, b.value3, b.value4, b.value5, b.value6, b.value7};
    if (iValues[iField - 1] == iKey) return i;
  }
  return -1;
}

// ----------------------------------------------------------- animation ----

void TileMapRewindAnimations() {
  TileMap &m = LoadedMap;
  if (m.anims == nullptr) return;
  for (AnimRecord *a = m.animEnd - 1; a > m.anims; a--) {
    if (a->kind == AnimPingPongForwardBack) a->kind = AnimPingPongForward;
    if (a->kind == AnimPingPongBackForward) a->kind = AnimPingPongBackBackward;
    if (a->kind == AnimOnceDone) a->kind = AnimOnce;
    bool bFromLast = a->kind == AnimLoopBackward || a->kind == AnimPingPongBackBackward;
    a->current = (bFromLast && a->first != a->end) ? a->end - 1 : a->first;
    a->countdown = int8_t(a->delay);
  }
}

// One frame step of a record that is due, by its kind.
static void StepAnimation(AnimRecord *a) {
  switch (a->kind) {
    case AnimLoopForward:
      if (++a->current == a->end) a->current = a->first;
      break;
    case AnimLoopBackward:
      if (--a->current == a->first - 1) a->current = a->end - 1;
      break;
    case AnimOnce:
      if (++a->current == a->end) {
        a->current = a->first;
        a->kind = AnimOnceDone;
      }
      break;
    case AnimOnceHold:
      if (a->current != a->end - 1) a->current++;
      break;
    case AnimPingPongForward:
    case AnimPingPongBackForward:
      if (++a->current == a->end) {
        a->current = a->end - 2;
        a->kind = a->kind == AnimPingPongForward ? AnimPingPongForwardBack : AnimPingPongBackBackward;
        if (a->current < a->first) a->current = a->first;
      }
      break;
    case AnimPingPongForwardBack:
    case AnimPingPongBackBackward:
      if (--a->current == a->first - 1) {
        a->current = a->first + 1;
        a->kind = a->kind == AnimPingPongForwardBack ? AnimPingPongForward : AnimPingPongBackForward;
        if (a->current > a->end - 1) a->current = a->end - 1;
      }
      break;
    default:  // still, finished, or a kind the format does not know
      break;
  }
}

void TileMapStepAnimations() {
  TileMap &m = LoadedMap;
  if (m.anims == nullptr) return;
  for (AnimRecord *a = m.animEnd - 1; a > m.anims; a--) {
    if (a->kind == AnimStill) continue;
    a->countdown = int8_t(a->countdown - 1);
    if (a->countdown >= 0) continue;
    a->countdown = int8_t(a->delay);
    if (a->first == a->end) continue;
    StepAnimation(a);
  }
}

// --------------------------------------------------------- layer edits ----

int TileMapReplaceLayer(const int16_t *pCells, int iLayer) {
  TileMap &m = LoadedMap;
  int64_t iCells = LayerCells();
  if (iLayer < 0 || iLayer > 7 || pCells == nullptr || iCells <= 0) return -1;
  if (m.layers[iLayer] == nullptr) {
    m.layers[iLayer] = static_cast<int16_t *>(malloc(size_t(iCells) * sizeof(int16_t)));
    if (m.layers[iLayer] == nullptr) return -1;
  }
  int16_t *pLayer = m.layers[iLayer];
  memmove(pLayer, pCells, size_t(iCells) * sizeof(int16_t));
  // Cells that are all multiples of 16 are byte offsets from an old editor.
  bool bOffsets = true;
  for (int64_t i = 0; i < iCells && bOffsets; i++) bOffsets = (pLayer[i] & 15) == 0;
  if (bOffsets)
    for (int64_t i = 0; i < iCells; i++) pLayer[i] = int16_t(pLayer[i] < 0 ? pLayer[i] / 16 : pLayer[i] / 32);
  return 0;
}

int TileMapReplaceLayerFromFile(const char *cFileName, int iLayer) {
  int64_t iCells = LayerCells();
  if (cFileName == nullptr || iLayer < 0 || iLayer > 7 || iCells <= 0) return -1;
  PACKFILE *pFile = pack_fopen(cFileName, "rp");
  if (pFile == nullptr) pFile = pack_fopen(cFileName, "r");
  if (pFile == nullptr) return -1;
  long iBytes = long(iCells * 2);
  auto *pCells = static_cast<int16_t *>(malloc(size_t(iBytes)));
  bool bWhole = pCells && pack_fread(pCells, iBytes, pFile) == iBytes;
  pack_fclose(pFile);
  int iResult = bWhole ? TileMapReplaceLayer(pCells, iLayer) : -1;
  free(pCells);
  return iResult;
}

int TileMapMakeRowIndex() {
  TileMap &m = LoadedMap;
  const MapHeader &h = m.header;
  int iResult = 0;
  for (int n = 0; n < 8; n++) {
    free(m.rowIndex[n]);
    m.rowIndex[n] = nullptr;
    if (m.layers[n] == nullptr) continue;
    m.rowIndex[n] = static_cast<int32_t *>(malloc(size_t(h.heightInBlocks) * sizeof(int32_t)));
    if (m.rowIndex[n] == nullptr) {
      iResult = -1;
      continue;
    }
    for (int r = 0; r < h.heightInBlocks; r++) m.rowIndex[n][r] = r * h.widthInBlocks;
  }
  m.currentRowIndex = m.currentLayerNumber >= 0 ? m.rowIndex[m.currentLayerNumber] : nullptr;
  return iResult;
}
