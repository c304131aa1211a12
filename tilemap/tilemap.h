// The tile-map engine: one process-wide FMP map, its block bitmaps, drawing
// and block queries.
#pragma once

// Sets the map's palette on an 8-bit screen; does nothing at other depths.
void TileMapUsePalette();
