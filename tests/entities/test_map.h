// A tiny map for the entity tests, built as an FMP image in memory: 32 x 32
// blocks, block 0 free (dark green), block 1 solid (grey).
#pragma once
#include <cstdint>
#include <vector>

namespace skvtest {

// Cells row after row from the top; 0 free, 1 solid. Loads the map as the
// engine's one map; false if the engine refused it.
bool LoadTestMap(int iWidth, int iHeight, const std::vector<int16_t> &cells);

// An all-free map of the given size (the map's outer pixel row and column
// still count as solid).
bool LoadOpenMap(int iWidth, int iHeight);

}  // namespace skvtest
