// The content tools' PNG writer: 8-bit RGB or RGBA, unfiltered rows in one
// zlib stream.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// pixels holds width * height values, row by row: 0xRRGGBB, or 0xAARRGGBB
// with bAlpha. The file's bytes; empty when they cannot be compressed.
std::vector<uint8_t> EncodePng(int width, int height, const std::vector<uint32_t> &pixels,
                               bool bAlpha);

// EncodePng into a file. False when the file cannot be written.
bool WritePng(const std::string &path, int width, int height, const std::vector<uint32_t> &pixels,
              bool bAlpha);
