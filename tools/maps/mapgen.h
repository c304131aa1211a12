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

// A set piece that marks a stretch of a stage (a wreck, a bridge, a tower...):
// the rectangle of cells it takes, kept free of scattered objects.
struct Landmark {
  std::string name;
  int col = 0, row = 0, w = 0, h = 0;
};

// Ground at the (columns + 1) x (rows + 1) cell corners, objects over cells.
struct StageLayout {
  int columns = StageColumns;
  int rows = StageRows;
  std::vector<uint8_t> corners;
  std::vector<Placement> objects;
  std::vector<int> objectAt;  // per cell: index into objects, or -1
  std::vector<Landmark> landmarks;
  std::vector<uint8_t> reserved;  // per cell: 1 inside a landmark

  StageLayout();
  uint8_t &corner(int x, int y) { return corners[y * (columns + 1) + x]; }
  uint8_t corner(int x, int y) const { return corners[y * (columns + 1) + x]; }
  // True when no object or landmark covers the cells and every corner's
  // ground is allowed (and, when uniform, the same material all over).
  bool fits(int col, int row, int w, int h, uint32_t allowedMaterials, bool uniform = false) const;
  void place(const Placement &p);
  // Records a landmark over the cells (clipped to the map) and reserves them.
  void mark(const std::string &name, int col, int row, int w, int h);
};

struct StageInfo {
  const char *cFileName;  // "level1.fmp" ...
  const char *cTitle;     // what the stage shows
  uint32_t iSeed;
  void (*layout)(StageLayout &, uint32_t seed);
};

// The stages of stages.def, in the order of the world map.
const std::vector<StageInfo> &Stages();

// Frames of a camp fire's flicker, shown in turn by an animated block (the
// game shows the first).
constexpr int FireFrames = 3;

// A generated map and its preview strip (one pixel per 8 x 8 map pixels).
struct StageMap {
  FmpMap map;
  int previewWidth = 0, previewHeight = 0;
  std::vector<uint32_t> preview;  // 0xRRGGBB
  std::vector<Landmark> landmarks; // from the bottom of the map (the start) up
};

StageMap BuildStage(const StageInfo &stage);

// The map's pixels in a rectangle (map pixels), for close-up previews.
std::vector<uint32_t> RenderRegion(const FmpMap &map, int x0, int y0, int width, int height);

}  // namespace mapgen
