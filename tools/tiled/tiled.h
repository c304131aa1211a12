// Conversion between FMP maps and the map editor's TMX/TSX files, used by the
// skv_tiled command, the build (the stages as starting maps) and the tests.
//
// One TMX tile per FMP block (tile id = block number), its picture the
// block's back graphic, its flags and values as tile properties; one extra
// tile per FMP animation carrying the frames; pictures that no block shows
// first as extra tiles marked `picture_only`. Cell 0 and empty TMX cells
// are block 0.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fmpwriter/fmpwriter.h"

namespace tiled {

// Writes `tmxPath`, and next to it the tileset (same stem, .tsx) and its
// picture grid (.png). Each file goes to a temporary name and is renamed
// only when it is complete. False with `why` on a fault.
bool ExportMap(const FmpMap &map, const std::string &tmxPath, std::string *why);

// Reads a TMX map (and any external tilesets and their pictures) into a map
// description. Faults name the file and, where known, the line.
bool ReadTmx(const std::string &tmxPath, FmpMap *map, std::string *why);

// Reads a TMX map and writes it as an FMP file through a temporary name, so
// a failed conversion leaves an existing map untouched.
bool ImportMap(const std::string &tmxPath, const std::string &fmpPath, std::string *why);

// Writes `bytes` to `path` through a temporary file in the same folder.
bool WriteFileAtomically(const std::string &path, const void *bytes, size_t size, std::string *why);

// PNG files as 0xAARRGGBB pixels, rows from the top.
bool ReadPng(const std::string &path, int *width, int *height, std::vector<uint32_t> *argb, std::string *why);

// Names of the flag bits as tile properties, bit 0 first.
extern const char *const FlagNames[8];

}  // namespace tiled
