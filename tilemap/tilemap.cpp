// Tile-map engine: first cut of the entry points, so callers can link while
// the loader is being written. Every load fails with MapErrBadFile for now.
#include "tilemap/tilemap.h"

static TileMap Map;

const TileMap &TileMapState() { return Map; }
int TileMapPixelWidth() { return Map.header.widthInBlocks * Map.header.blockWidth; }
int TileMapPixelHeight() { return Map.header.heightInBlocks * Map.header.blockHeight; }

int TileMapOpen(const char *) { Map.bitmapMode = MapBitmapsMemory; Map.lastError = MapErrCannotOpen; return -1; }
int TileMapOpenVideo(const char *) { Map.bitmapMode = MapBitmapsVideo; Map.lastError = MapErrCannotOpen; return -1; }
int TileMapOpenBuffer(const void *, size_t) { Map.bitmapMode = MapBitmapsMemory; Map.lastError = MapErrBadFile; return -1; }
int TileMapOpenBufferVideo(const void *, size_t) { Map.bitmapMode = MapBitmapsVideo; Map.lastError = MapErrBadFile; return -1; }
void TileMapClose() {}
int TileMapLastError() { return Map.lastError; }
int TileMapDecodeChunks(PACKFILE *, int64_t) { Map.lastError = MapErrBadFile; return -1; }
int TileMapDecodeChunks(const uint8_t *, size_t, int64_t) { Map.lastError = MapErrBadFile; return -1; }
int TileMapConvertGraphics() { return -1; }
int TileMapBuildBitmaps() { return -1; }
void TileMapUsePalette() {}
int TileMapRefillVideo() { return 0; }
void TileMapPaintBack(BITMAP *, int, int, int, int, int, int) {}
void TileMapPaintBackKeyed(BITMAP *, int, int, int, int, int, int) {}
void TileMapPaintFront(BITMAP *, int, int, int, int, int, int, int) {}
void TileMapPaintStacked(BITMAP *, int, int, int, int, int, int, int, StackedCellCallback) {}
void TileMapPaintBackdrop(BITMAP *, int, int, int, int, int, int, BITMAP *) {}
BITMAP *TileMapMakeBackdrop(BITMAP *, int) { return nullptr; }
int SolidAtPixel(int, int) { return 1; }
const BlockRecord *TileMapBlockAt(int, int) { return nullptr; }
void TileMapRewindAnimations() {}
void TileMapStepAnimations() {}
const BlockRecord *TileMapBlockAtPixel(int, int) { return nullptr; }
void TileMapPutCell(int, int, int) {}
void TileMapPutCellAtPixel(int, int, int) {}
int TileMapColumnOf(int, int) { return 0; }
int TileMapRowOf(int, int) { return 0; }
int TileMapMaskSide(int, int, int) { return 0; }
int TileMapSelectLayer(int) { return -1; }
int TileMapFindBlock(int, int) { return -1; }
int TileMapReplaceLayer(const int16_t *, int) { return -1; }
int TileMapReplaceLayerFromFile(const char *, int) { return -1; }
int TileMapMakeRowIndex() { return -1; }
