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
#include <functional>
#include <string>
#include <vector>

#include "fmpwriter/fmpwriter.h"

namespace tiled {

// Writes `tmxPath`, and next to it the tileset (same stem, .tsx) and its
// picture grid (.png). Each file goes to a temporary name and is renamed
// only when it is complete. False with `why` on a fault.
bool ExportMap(const FmpMap &map, const std::string &tmxPath, std::string *why);

// Where the importer gets a file's bytes: false when it cannot be read.
using FileReader = std::function<bool(const std::string &path, std::vector<uint8_t> *bytes)>;

// Reads a whole file from the disk.
bool ReadDiskFile(const std::string &path, std::vector<uint8_t> *bytes);

// Reads a TMX map (and any external tilesets and their pictures, named
// relative to the file that names them) into a map description. Faults name
// the file and, where known, the line; no input ends the program.
bool ReadTmx(const std::string &tmxPath, FmpMap *map, std::string *why, const FileReader &read = ReadDiskFile);

// Reads a TMX map and writes it as an FMP file through a temporary name, so
// a failed conversion leaves an existing map untouched.
bool ImportMap(const std::string &tmxPath, const std::string &fmpPath, std::string *why);

// Writes `bytes` to `path` through a temporary file in the same folder.
bool WriteFileAtomically(const std::string &path, const void *bytes, size_t size, std::string *why);

// The largest tileset picture read (16384 tiles of 32 x 32).
constexpr unsigned long MaxPicturePixels = 1ul << 24;

// A PNG file's bytes as 0xAARRGGBB pixels, rows from the top; `path` is for
// messages. Pictures above MaxPicturePixels are refused before decoding.
bool ReadPng(const std::string &path, const std::vector<uint8_t> &bytes, int *width, int *height,
             std::vector<uint32_t> *argb, std::string *why);

// Names of the flag bits as tile properties, bit 0 first.
extern const char *const FlagNames[8];

}  // namespace tiled
