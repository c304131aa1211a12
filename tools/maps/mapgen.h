// Stage maps: a layout (ground materials at the cell corners, objects over
// cells) per stage, turned into an FMP map whose blocks are painted tiles.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "fmpwriter/fmpwriter.h"
#include "maps/paint.h"

namespace mapgen {

constexpr int StageColumns = 40;
constexpr int StageRows = 750;   // 24000 map pixels: the view starts at 23520

// Ground at the (columns + 1) x (rows + 1) cell corners, objects over cells.
struct StageLayout {
  int columns = StageColumns;
  int rows = StageRows;
  std::vector<uint8_t> corners;
  std::vector<Placement> objects;
  std::vector<int> objectAt;  // per cell: index into objects, or -1

  StageLayout();
  uint8_t &corner(int x, int y) { return corners[y * (columns + 1) + x]; }
  uint8_t corner(int x, int y) const { return corners[y * (columns + 1) + x]; }
  // True when no object covers the cells and every corner's ground is
  // allowed (and, when uniform, the same material all over).
  bool fits(int col, int row, int w, int h, uint32_t allowedMaterials, bool uniform = false) const;
  void place(const Placement &p);
};

struct StageInfo {
  const char *cFileName;  // "level1.fmp" ...
  const char *cTitle;     // what the stage shows
  uint32_t iSeed;
  void (*layout)(StageLayout &, uint32_t seed);
};

// The five stages, in the order of the world map.
const std::vector<StageInfo> &Stages();

// Frames of a camp fire's flicker, shown in turn by an animated block (the
// game shows the first).
constexpr int FireFrames = 3;

// A generated map and its preview strip (one pixel per 8 x 8 map pixels).
struct StageMap {
  FmpMap map;
  int previewWidth = 0, previewHeight = 0;
  std::vector<uint32_t> preview;  // 0xRRGGBB
};

StageMap BuildStage(const StageInfo &stage);

// The map's pixels in a rectangle (map pixels), for close-up previews.
std::vector<uint32_t> RenderRegion(const FmpMap &map, int x0, int y0, int width, int height);

}  // namespace mapgen
