// Tile-map engine.
#include "tilemap/tilemap.h"

void TileMapUsePalette() {}
