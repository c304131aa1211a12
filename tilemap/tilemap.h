// The tile-map engine: exactly one process-wide FMP map at a time, its block
// bitmaps at the screen's depth, drawing it and asking it what lies where.
//
// Units: "map pixels" are pixels of the whole map (0,0 at its top-left);
// "cells" (columns, rows) are positions in a layer, counted in blocks;
// "target pixels" are pixels of the bitmap drawn into. Every operation works
// on the one loaded map; no map handles are passed around. Loading a map
// first frees the previous one. The engine prints nothing: failures return -1
// and leave a code for TileMapLastError().
#pragma once
#include <allegro.h>

#include <cstddef>
#include <cstdint>

// Failure codes of TileMapLastError().
enum MapError {
  MapErrNone = 0,
  MapErrOutOfMemory = 1,  // an allocation failed
  MapErrBadFile = 2,      // short or malformed data, or "FORM"/"FMAP" missing
  MapErrCannotOpen = 3,   // the file opens in neither mode
  MapErrNoScreen = 4,     // no screen bitmap when graphics are converted
  MapErrNoVideoBlit = 5,  // video bitmaps asked for without hardware VRAM blits
  MapErrBitmap = 6,       // a block bitmap could not be created
  MapErrBadVersion = 7,   // header version above 1, cell encoding above 3, odd depth
};

// Bits of BlockRecord::flags that mean something to the engine and the game.
enum BlockFlag {
  FlagSolid = 0x01,       // the game's collision test (SolidAtPixel)
  FlagSeeThrough = 0x10,  // keyed back drawing and backdrops
  FlagStackMore = 0x20,   // stacked drawing goes on with the next record
  FlagLeftHalf = 0x40,    // stacked drawing: left half only
  FlagRightHalf = 0x80,   // stacked drawing: right half only
};

// Animation kinds (AnimRecord::kind).
enum AnimKind {
  AnimTerminator = -1,
  AnimStill = 0,
  AnimLoopForward = 1,
  AnimLoopBackward = 2,
  AnimOnce = 3,
  AnimOnceHold = 4,
  AnimPingPongForward = 5,       // moving forward, began forward
  AnimPingPongBackBackward = 6,  // moving backward, began backward
  AnimPingPongBackForward = 7,   // moving forward, began backward
  AnimPingPongForwardBack = 8,   // moving backward, began forward
  AnimOnceDone = 9,
};

// Values of TileMap::bitmapMode.
enum MapBitmapMode { MapBitmapsNone = 0, MapBitmapsVideo = 1, MapBitmapsMemory = 2 };

// The decoded header. stepX..hitMaskBlock are 32-bit, the rest as in the file.
struct MapHeader {
  uint8_t versionMajor;
  uint8_t versionMinor;
  uint8_t byteOrder;       // 1 little-endian, anything else big-endian
  uint8_t cellEncoding;    // 0..3
  int16_t widthInBlocks;   // cells per row
  int16_t heightInBlocks;  // rows
  int16_t blockWidth;      // pixels
  int16_t blockHeight;     // pixels
  int16_t blockDepth;      // bits per pixel of the graphic data; the screen's after a load
  int16_t blockRecordSize; // bytes between block records in the file
  int16_t blockRecordCount;
  int16_t graphicCount;
  int32_t stepX;           // map pixels between neighbouring cells
  int32_t stepY;
  int32_t shiftX;          // non-zero shifts make a staggered map
  int32_t shiftY;
  int32_t hitMaskBlock;    // graphic refining pixel-to-cell lookups on staggered maps
  int16_t heldDepth;       // depth of the graphic data as loaded (8 after AGFX)
};

// One block. The four graphic fields are the block's bitmaps once a load has
// finished; a front graphic of nullptr means none. backGraphic is never null.
struct BlockRecord {
  BITMAP *backGraphic;
  BITMAP *frontGraphic1;
  BITMAP *frontGraphic2;
  BITMAP *frontGraphic3;
  int32_t value1;
  int32_t value2;
  uint16_t value3;
  uint16_t value4;
  uint8_t value5;
  uint8_t value6;
  uint8_t value7;
  uint8_t flags;  // BlockFlag bits, copied bit for bit from the file
};

// One animation: frame-list indices of the frame shown, the first frame and
// one past the last one.
struct AnimRecord {
  int8_t kind;       // AnimKind
  uint8_t delay;     // steps to wait between frames
  int8_t countdown;  // running counter, reset to delay by the rewind
  uint8_t spare;
  int32_t current;
  int32_t first;
  int32_t end;
};

// A layer: widthInBlocks x heightInBlocks cells, row after row. A cell v >= 0
// is block v; v < 0 is the animation at index (animation count + v).
typedef int16_t *MapLayer;

// The one loaded map. Read it through TileMapState(); only the engine writes.
struct TileMap {
  MapHeader header;
  uint8_t *paletteBytes;         // CMAP copy, 8-bit channels, or nullptr
  PALETTE libraryPalette;        // the same colours at 6 bits per channel
  uint8_t *graphicData;          // raw graphics; after a load, at the screen's depth
  size_t graphicDataSize;        // bytes in graphicData
  BlockRecord *blocks;           // header.blockRecordCount entries
  int32_t *frames;               // AnimFrameList: block indices
  int32_t frameCount;
  AnimRecord *anims;             // index 0 is the terminator
  AnimRecord *animEnd;           // one past the last AnimRecord
  MapLayer layers[8];            // nullptr where absent
  MapLayer currentLayer;         // the layer drawn and queried
  int currentLayerNumber;        // its number, -1 when none
  int32_t *rowIndex[8];          // optional row-start tables (TileMapMakeRowIndex)
  int32_t *currentRowIndex;
  BITMAP **bitmaps;              // one per graphic, then nullptr
  char noVideoList[70];          // graphics never to put in video memory
  int bitmapMode;                // MapBitmapMode; survives TileMapClose
  int videoBitmapCount;
  int memoryBitmapCount;
  int lastError;                 // MapError
};

// Read-only view of the loaded map (header values stay after TileMapClose).
const TileMap &TileMapState();
// Map size in map pixels: widthInBlocks x blockWidth, heightInBlocks x blockHeight.
int TileMapPixelWidth();
int TileMapPixelHeight();

// ---- Loading (call with the graphics mode set: bitmaps match the screen) ----

// Loads an FMP file with block bitmaps in memory. 0 on success, -1 on failure.
// If the file cannot be opened or its container header is wrong, the map
// loaded before stays loaded.
int TileMapOpen(const char *cFileName);
// As TileMapOpen, with block bitmaps in video memory where possible.
int TileMapOpenVideo(const char *cFileName);
// Loads an FMP image of iLength bytes held in memory; memory bitmaps.
int TileMapOpenBuffer(const void *pImage, size_t iLength);
// As TileMapOpenBuffer, with video bitmaps where possible.
int TileMapOpenBufferVideo(const void *pImage, size_t iLength);
// Frees everything held; harmless with nothing loaded. Keeps the header
// values, bitmapMode and the last error.
void TileMapClose();
// Code (MapError) of the last failure, 0 after a success.
int TileMapLastError();

// Decodes chunks from an open packfile positioned after "FMAP". iBudget is
// the container length L + 8. 0 or -1; frees everything on failure.
int TileMapDecodeChunks(PACKFILE *pFile, int64_t iBudget);
// The same for chunks held in memory: pChunks points after "FMAP" and holds
// iAvailable bytes; chunks running past them are rejected.
int TileMapDecodeChunks(const uint8_t *pChunks, size_t iAvailable, int64_t iBudget);

// ---- Block graphics (the last steps of every load) ----

// Converts the held graphic data to the screen's depth, then builds bitmaps.
int TileMapConvertGraphics();
// Makes one bitmap per graphic and points the block records at them.
int TileMapBuildBitmaps();
// On an 8-bit screen with an 8-bit map, sets the map's palette; else nothing.
void TileMapUsePalette();
// Repaints video block bitmaps from the converted data; returns how many.
int TileMapRefillVideo();

// ---- Drawing: the current layer into a rectangle of the target ----
// mapX, mapY: the map pixel shown at the rectangle's top-left corner.
// screenX, screenY, width, height: the rectangle, in target pixels.
// Only cells inside the layer are drawn; the target's clip is restored.

// The back graphics; opaque blits on plain maps (the game's per-frame call).
void TileMapPaintBack(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY,
                      int iWidth, int iHeight);
// As TileMapPaintBack, but blocks with FlagSeeThrough are drawn masked.
void TileMapPaintBackKeyed(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY,
                           int iWidth, int iHeight);
// Front graphic iSlot (0, 1, 2; other values act as 2), masked.
void TileMapPaintFront(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY,
                       int iWidth, int iHeight, int iSlot);
// Called by TileMapPaintStacked before each cell: column, row, target x, y.
typedef void (*StackedCellCallback)(int iColumn, int iRow, int iX, int iY);
// Draws one map row (iRowOffset rows below the first visible one) as upright
// stacks of front graphics. pCallback may be nullptr.
void TileMapPaintStacked(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY,
                         int iWidth, int iHeight, int iRowOffset, StackedCellCallback pCallback);
// Fills the cells with FlagSeeThrough from pBackdrop (made by
// TileMapMakeBackdrop), scrolled at half the map's speed. Plain maps only.
void TileMapPaintBackdrop(BITMAP *pTarget, int iMapX, int iMapY, int iScreenX, int iScreenY,
                          int iWidth, int iHeight, BITMAP *pBackdrop);
// A new bitmap one block wider and higher than pSource, its extra strips
// wrapped from the source's left columns and top rows; video when iVideo is 1,
// memory when 0. nullptr when no layer is loaded or iVideo is neither. The
// caller destroys it.
BITMAP *TileMapMakeBackdrop(BITMAP *pSource, int iVideo);

// ---- Queries and animation ----

// 1 if map pixel (x, y) counts as solid for the game: the map's edges,
// everything outside it, and blocks with FlagSolid. 0 otherwise.
int SolidAtPixel(int iX, int iY);
// The block at a cell of the current layer (an animated cell gives its
// current frame's block); nullptr outside the layer or with nothing loaded.
const BlockRecord *TileMapBlockAt(int iColumn, int iRow);
// Puts every animation at its starting frame; the loader calls it.
void TileMapRewindAnimations();
// Advances every animation by one step; the caller sets the pace.
void TileMapStepAnimations();

// The block under a map pixel; nullptr outside the map.
const BlockRecord *TileMapBlockAtPixel(int iX, int iY);
// Writes a cell value of the current layer; nothing outside the layer.
void TileMapPutCell(int iColumn, int iRow, int iValue);
// Writes the cell under a map pixel; nothing outside the map.
void TileMapPutCellAtPixel(int iX, int iY, int iValue);
// Column / row of the cell under a map pixel (staggered maps included),
// clamped to the layer.
int TileMapColumnOf(int iX, int iY);
int TileMapRowOf(int iX, int iY);
// Hit-mask correction of a column (iAxis 0) or row (iAxis 1) on staggered maps.
int TileMapMaskSide(int iX, int iY, int iAxis);
// Makes layer n (0..7, present) current and returns n; otherwise -1.
int TileMapSelectLayer(int iLayer);
// Index of the first block whose value<iField> (1..7) equals iKey, or -1.
int TileMapFindBlock(int iKey, int iField);
// Copies widthInBlocks x heightInBlocks cells into layer n (created when
// absent); cells that all look like byte offsets are turned into indices.
// -1 for n outside 0..7 or with no map header, else 0.
int TileMapReplaceLayer(const int16_t *pCells, int iLayer);
// The same from a file of exactly the layer's size (cells in machine order).
int TileMapReplaceLayerFromFile(const char *cFileName, int iLayer);
// Builds row-start tables for every present layer; -1 when out of memory.
int TileMapMakeRowIndex();
