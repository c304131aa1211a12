// Map drawing: the current layer into a rectangle of a target bitmap, one
// library blit per visible cell. The target's clip rectangle cuts the blocks
// at the rectangle's edges and is put back afterwards. Only cells that exist
// are drawn: a view reaching past the map leaves the target untouched there.
#include "tilemap/engine.h"

#include "support/blit32.h"

namespace {


struct SavedClip {
  int x1, y1, x2, y2, iState;
};

SavedClip ClipToRect(BITMAP *pTarget, int iX, int iY, int iWidth, int iHeight) {
  SavedClip s;
  get_clip_rect(pTarget, &s.x1, &s.y1, &s.x2, &s.y2);
  s.iState = get_clip_state(pTarget);
  set_clip_rect(pTarget, iX, iY, iX + iWidth - 1, iY + iHeight - 1);
  set_clip_state(pTarget, 1);
  return s;
}

void RestoreClip(BITMAP *pTarget, const SavedClip &s) {
  set_clip_rect(pTarget, s.x1, s.y1, s.x2, s.y2);
  set_clip_state(pTarget, s.iState);
}

bool CanDraw(BITMAP *pTarget, int iWidth, int iHeight) {
  const TileMap &m = LoadedMap;
  return m.bitmapMode != MapBitmapsNone && m.currentLayer && m.blocks && m.bitmaps && pTarget &&
         iWidth > 0 && iHeight > 0;
}

bool IsStaggered() { return LoadedMap.header.shiftX != 0 || LoadedMap.header.shiftY != 0; }

// A view rectangle and where the map shows in it.
struct View {
  BITMAP *pTarget;
  int iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight;
};

// Draws one map row from column iColumn at (x, y) rightward across the view.
template <class DrawCell>
void WalkRow(const View &v, int iRow, int iColumn, int x, int y, DrawCell &draw) {
  const MapHeader &h = LoadedMap.header;
  if (iRow < 0 || iRow >= h.heightInBlocks) return;
  const int16_t *pRow = LayerRow(iRow);
  int iRight = v.iScreenX + v.iWidth;
  if (iColumn < 0) {  // skip the columns left of the map
    x -= iColumn * h.stepX;
    iColumn = 0;
  }
  for (; x < iRight && iColumn < h.widthInBlocks; x += h.stepX, iColumn++) {
    const BlockRecord *b = BlockOfCell(pRow[iColumn]);
    if (b) draw(*b, x, y, iColumn, iRow);
  }
}

// Plain map: rows one step apart, starting with the cell under (mapX, mapY).
template <class DrawCell>
void WalkPlain(const View &v, DrawCell draw) {
  const MapHeader &h = LoadedMap.header;
  int iColumn = FloorDiv(v.iMapX, h.stepX), iRow = FloorDiv(v.iMapY, h.stepY);
  int x0 = v.iScreenX - FloorMod(v.iMapX, h.stepX);
  int y = v.iScreenY - FloorMod(v.iMapY, h.stepY);
  if (iRow < 0) {  // skip the rows above the map
    y -= iRow * h.stepY;
    iRow = 0;
  }
  for (; y < v.iScreenY + v.iHeight && iRow < h.heightInBlocks; y += h.stepY, iRow++)
    WalkRow(v, iRow, iColumn, x0, y, draw);
}

// Staggered map: rows in pairs, the second of each pair shifted by
// (shiftX, shiftY), starting one step further up and left.
template <class DrawCell>
void WalkStaggered(const View &v, DrawCell draw) {
  const MapHeader &h = LoadedMap.header;
  int xp = v.iMapX - h.shiftX, yp = v.iMapY - h.shiftY;
  int iColumn = FloorDiv(xp, h.stepX), iRow = 2 * FloorDiv(yp, h.stepY);
  int x0 = v.iScreenX - FloorMod(xp, h.stepX) - h.stepX;
  int y = v.iScreenY - FloorMod(yp, h.stepY) - h.stepY;
  for (; y < v.iScreenY + v.iHeight && iRow < h.heightInBlocks; y += h.stepY, iRow += 2) {
    WalkRow(v, iRow, iColumn, x0, y, draw);
    WalkRow(v, iRow + 1, iColumn, x0 + h.shiftX, y + h.shiftY, draw);
  }
}

template <class DrawCell>
void Paint(const View &v, bool bStaggered, DrawCell draw) {
  SavedClip s = ClipToRect(v.pTarget, v.iScreenX, v.iScreenY, v.iWidth, v.iHeight);
  if (bStaggered) WalkStaggered(v, draw);
  else WalkPlain(v, draw);
  RestoreClip(v.pTarget, s);
}

// Masked blit of a whole graphic, skipping graphic 0 (the empty block).
inline void MaskedUnlessEmpty(BITMAP *pGraphic, BITMAP *pTarget, int x, int y) {
  const MapHeader &h = LoadedMap.header;
  if (pGraphic && pGraphic != LoadedMap.bitmaps[0])
    masked_blit(pGraphic, pTarget, 0, 0, x, y, h.blockWidth, h.blockHeight);
}

}  // namespace

void TileMapPaintBack(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY, int iWidth,
                      int iHeight) {
  if (!CanDraw(pTarget, iWidth, iHeight)) return;
  View v = {pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight};
  const int w = LoadedMap.header.blockWidth, h = LoadedMap.header.blockHeight;
  if (IsStaggered()) {
    Paint(v, true, [&](const BlockRecord &b, int x, int y, int, int) { MaskedUnlessEmpty(b.backGraphic, pTarget, x, y); });
  } else {
    Paint(v, false, [&](const BlockRecord &b, int x, int y, int, int) { Blit32(b.backGraphic, pTarget, 0, 0, x, y, w, h); });
  }
}

void TileMapPaintBackKeyed(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY, int iWidth,
                           int iHeight) {
  if (!CanDraw(pTarget, iWidth, iHeight)) return;
  if (IsStaggered()) return TileMapPaintBack(pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight);
  View v = {pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight};
  const int w = LoadedMap.header.blockWidth, h = LoadedMap.header.blockHeight;
  Paint(v, false, [&](const BlockRecord &b, int x, int y, int, int) {
    if (b.flags & FlagSeeThrough) MaskedUnlessEmpty(b.backGraphic, pTarget, x, y);
    else blit(b.backGraphic, pTarget, 0, 0, x, y, w, h);
  });
}

void TileMapPaintFront(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY, int iWidth,
                       int iHeight, int iSlot) {
  if (!CanDraw(pTarget, iWidth, iHeight)) return;
  View v = {pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight};
  const int w = LoadedMap.header.blockWidth, h = LoadedMap.header.blockHeight;
  Paint(v, IsStaggered(), [&](const BlockRecord &b, int x, int y, int, int) {
    BITMAP *pGraphic = iSlot == 0 ? b.frontGraphic1 : iSlot == 1 ? b.frontGraphic2 : b.frontGraphic3;
    if (pGraphic) masked_blit(pGraphic, pTarget, 0, 0, x, y, w, h);
  });
}

// One graphic of a stack: whole, or the half its block's flags ask for.
static void DrawStackPiece(BITMAP *pGraphic, BITMAP *pTarget, int x, int y, int iFlags) {
  const int w = LoadedMap.header.blockWidth, h = LoadedMap.header.blockHeight;
  int iHalves = iFlags & (FlagLeftHalf | FlagRightHalf);
  if (iHalves == FlagLeftHalf) masked_blit(pGraphic, pTarget, 0, 0, x, y, w / 2, h);
  else if (iHalves == FlagRightHalf) masked_blit(pGraphic, pTarget, w / 2, 0, x, y, w - w / 2, h);
  else masked_blit(pGraphic, pTarget, 0, 0, x, y, w, h);
}

// The stack standing on one cell: the block's front graphics upward, one
// block height apart, then all four graphics of each following record while
// the record before it has FlagStackMore.
static void DrawStack(const BlockRecord *b, BITMAP *pTarget, int x, int y) {
  const TileMap &m = LoadedMap;
  const BlockRecord *pLast = m.blocks + m.header.blockRecordCount;
  bool bFirst = true;
  while (true) {
    BITMAP *pGraphics[4] = {bFirst ? nullptr : b->backGraphic, b->frontGraphic1, b->frontGraphic2,
                            b->frontGraphic3};
    for (int i = bFirst ? 1 : 0; i < 4; i++, y -= m.header.blockHeight)
      if (pGraphics[i]) DrawStackPiece(pGraphics[i], pTarget, x, y, b->flags);
    if (!(b->flags & FlagStackMore) || b + 1 >= pLast) break;
    b++;
    bFirst = false;
  }
}

void TileMapPaintStacked(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY, int iWidth,
                         int iHeight, int iRowOffset, StackedCellCallback pCallback) {
  if (!CanDraw(pTarget, iWidth, iHeight) || iRowOffset < 0) return;
  const MapHeader &h = LoadedMap.header;
  View v = {pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight};
  int iColumn, iRow, x, y;
  if (IsStaggered()) {
    // Row offsets count the rows of the pairs; odd ones are the shifted rows.
    int xp = iMapX - h.shiftX, yp = iMapY - h.shiftY;
    iColumn = FloorDiv(xp, h.stepX);
    iRow = 2 * FloorDiv(yp, h.stepY) + iRowOffset;
    x = iScreenX - FloorMod(xp, h.stepX) - h.stepX + (iRowOffset % 2 ? h.shiftX : 0);
    y = iScreenY - FloorMod(yp, h.stepY) - h.stepY + (iRowOffset / 2) * h.stepY + (iRowOffset % 2 ? h.shiftY : 0);
  } else {
    iColumn = FloorDiv(iMapX, h.stepX);
    iRow = FloorDiv(iMapY, h.stepY) + iRowOffset;
    x = iScreenX - FloorMod(iMapX, h.stepX);
    y = iScreenY - FloorMod(iMapY, h.stepY) + iRowOffset * h.stepY;
  }
  SavedClip s = ClipToRect(pTarget, iScreenX, iScreenY, iWidth, iHeight);
  auto draw = [&](const BlockRecord &b, int iX, int iY, int iCellColumn, int iCellRow) {
    if (pCallback) pCallback(iCellColumn, iCellRow, iX, iY);
    DrawStack(&b, pTarget, iX, iY);
  };
  WalkRow(v, iRow, iColumn, x, y, draw);
  RestoreClip(pTarget, s);
}

void TileMapPaintBackdrop(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY, int iWidth,
                          int iHeight, BITMAP *pBackdrop) {
  if (!CanDraw(pTarget, iWidth, iHeight) || pBackdrop == nullptr || IsStaggered()) return;
  const int w = LoadedMap.header.blockWidth, h = LoadedMap.header.blockHeight;
  // The backdrop repeats every (its size - one block) pixels; its extra
  // block-wide strips let any block-sized window be copied in one blit.
  int iPeriodX = pBackdrop->w - w, iPeriodY = pBackdrop->h - h;
  if (iPeriodX <= 0 || iPeriodY <= 0) return;
  View v = {pTarget, iMapX, iMapY, iScreenX, iScreenY, iWidth, iHeight};
  Paint(v, false, [&](const BlockRecord &b, int x, int y, int, int) {
    if (!(b.flags & FlagSeeThrough)) return;
    int iSourceX = FloorMod(iMapX / 2 + (x - iScreenX), iPeriodX);
    int iSourceY = FloorMod(iMapY / 2 + (y - iScreenY), iPeriodY);
    blit(pBackdrop, pTarget, iSourceX, iSourceY, x, y, w, h);
  });
}

BITMAP *TileMapMakeBackdrop(BITMAP *pSource, int iVideo) {
  const MapHeader &h = LoadedMap.header;
  if (LoadedMap.currentLayer == nullptr || pSource == nullptr || (iVideo != 0 && iVideo != 1)) return nullptr;
  int iWidth = pSource->w + h.blockWidth, iHeight = pSource->h + h.blockHeight;
  if (iVideo && gfx_driver == nullptr) return nullptr;  // no display, no video memory
  BITMAP *pBackdrop = iVideo ? create_video_bitmap(iWidth, iHeight)
                             : create_bitmap_ex(bitmap_color_depth(pSource), iWidth, iHeight);
  if (pBackdrop == nullptr) return nullptr;
  // The source, then copies of it to the right and below, cut at the edges.
  for (int x = 0; x < iWidth; x += pSource->w)
    blit(pSource, pBackdrop, 0, 0, x, 0, pSource->w, pSource->h);
  for (int y = pSource->h; y < iHeight; y += pSource->h)
    blit(pBackdrop, pBackdrop, 0, 0, 0, y, iWidth, pSource->h);
  return pBackdrop;
}
