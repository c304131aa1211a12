// Writes the fuzz seeds: small valid maps of every depth, cell encoding,
// byte order and optional chunk, made with the tests' byte-by-byte builder.
// Usage: fuzz_tilemap_seeds <folder>
#include <cstdio>
#include <string>

#include "fmp_image.h"

namespace {

void Write(const std::string &cFolder, const char *cName, const std::vector<uint8_t> &image) {
  FILE *f = fopen((cFolder + "/" + cName).c_str(), "wb");
  if (f == nullptr) return;
  fwrite(image.data(), 1, image.size(), f);
  fclose(f);
}

// 3 x 2 cells of 2 x 2 pixels, three blocks, one animation of each family.
fmp::Map Base(int iDepth, bool bLittle) {
  fmp::Map m;
  m.bLittle = bLittle;
  m.header.width = 3, m.header.height = 2;
  m.header.blockWidth = m.header.blockHeight = 2;
  m.header.depth = iDepth;
  m.header.recordCount = m.header.graphicCount = 3;
  m.blocks.assign(3, fmp::Block{});
  m.blocks[1].back = 1, m.blocks[1].front1 = 2, m.blocks[1].flags = 0xF1;
  m.blocks[2].back = 2, m.blocks[2].value3 = 9;
  m.frames = {0, 1, 2};
  m.anims = {{1, 1, 0, 0, 0, 3}, {5, 0, 0, 0, 0, 3}, {3, 2, 0, 0, 1, 3}};
  m.cells = {0, 1, 2, -1, -2, -3};
  int iBytes = (iDepth + 1) / 8;
  for (int i = 0; i < 3 * 4 * iBytes; i++) m.graphics.push_back(uint8_t(i * 37 + 255 * (i % 5 == 0)));
  if (iDepth == 8) {
    m.palette.resize(768);
    for (int i = 0; i < 768; i++) m.palette[i] = uint8_t(i * 7);
  }
  return m;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 2) return 1;
  std::string d = argv[1];
  Write(d, "plain32_be.fmp", Base(32, false).Image());
  Write(d, "plain32_le.fmp", Base(32, true).Image());
  Write(d, "depth8.fmp", Base(8, false).Image());
  Write(d, "depth15.fmp", Base(15, true).Image());
  Write(d, "depth16.fmp", Base(16, false).Image());
  Write(d, "depth24.fmp", Base(24, false).Image());

  fmp::Map agfx = Base(32, false);
  agfx.palette.assign(768, 3);
  agfx.extra = {{"AGFX", std::vector<uint8_t>(12, 1)}, {"NOVC", {'0', '-', '1', ',', '2', 0}}};
  Write(d, "agfx_novc.fmp", agfx.Image());

  fmp::Map layers = Base(32, true);
  layers.extra = {{"LYR1", fmp::CellData({2, 2, 1, 1, 0, 0}, true)}, {"LYR7", fmp::CellData({0, 0, 0, 1, 1, 1}, true)}};
  Write(d, "layers.fmp", layers.Image());

  fmp::Map offsets = Base(32, false);
  offsets.header.cellEncoding = 0;
  for (int i = 0; i < 3; i++) offsets.blocks[i].back = i * 16;
  offsets.blocks[1].front1 = 32;
  offsets.frames = {0, 32, 64};
  offsets.anims = {{1, 0, 0, -76, -76, -64}, {2, 0, 0, -76, -72, -64}, {4, 0, 0, -76, -76, -68}};
  offsets.cells = {0, 32, 64, -16, -32, -48};
  Write(d, "encoding0.fmp", offsets.Image());

  fmp::Map runs = Base(32, false);
  runs.header.cellEncoding = 2;
  runs.cells.clear();
  runs.extra = {{"BODY", fmp::CellData({2, 0, 1, -1, 2, -3, -1}, false)}};
  Write(d, "encoding2.fmp", runs.Image());
  runs.header.cellEncoding = 3;
  runs.extra = {{"BODY", fmp::CellData({3, 0, 1, 2, -3, -3}, false)}};
  Write(d, "encoding3.fmp", runs.Image());

  fmp::Map staggered = Base(32, false);
  staggered.header.size = 38;
  staggered.header.stepX = 3, staggered.header.stepY = 3;
  staggered.header.shiftX = 1, staggered.header.shiftY = 1;
  staggered.header.hitMask = 1;
  Write(d, "staggered.fmp", staggered.Image());
  return 0;
}
