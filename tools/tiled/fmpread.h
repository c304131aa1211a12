// Map reader for the tools: turns the bytes of an FMP file back into the
// writer's in-memory description (fmpwriter/fmpwriter.h), so a map can be
// converted to other formats. Independent of the game's loader.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fmpwriter/fmpwriter.h"

// Decodes a whole file image; false (with `why` set) on any fault. Graphics
// come out as 0xRRGGBB (15- and 16-bit channels widened to 8 bits), or as
// palette indices for 8-bit maps.
bool FmpDecode(const std::vector<uint8_t> &bytes, FmpMap *map, std::string *why);

// Reads and decodes a file.
bool FmpReadFile(const std::string &path, FmpMap *map, std::string *why);
