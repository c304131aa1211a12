// Turns a stage layout into an FMP map: one painted tile per distinct
// (corners, texture phase, decoration, object part), shared by every cell
// that needs it.
#include "maps/mapgen.h"

#include <algorithm>
#include <map>

namespace mapgen {

StageLayout::StageLayout()
    : corners(static_cast<size_t>(StageColumns + 1) * (StageRows + 1), MatGrass),
      objectAt(static_cast<size_t>(StageColumns) * StageRows, -1),
      reserved(static_cast<size_t>(StageColumns) * StageRows, 0) {}

bool StageLayout::fits(int col, int row, int w, int h, uint32_t allowed, bool uniform) const {
  if (col < 0 || row < 0 || col + w > columns || row + h > rows) return false;
  for (int y = row; y < row + h; y++)
    for (int x = col; x < col + w; x++)
      if (objectAt[y * columns + x] >= 0 || reserved[y * columns + x]) return false;
  for (int y = row; y <= row + h; y++)
    for (int x = col; x <= col + w; x++)
      if (!(allowed & (1u << corner(x, y))) || (uniform && corner(x, y) != corner(col, row))) return false;
  return true;
}

void StageLayout::place(const Placement &p) {
  int index = static_cast<int>(objects.size());
  objects.push_back(p);
  for (int y = p.row; y < p.row + p.h; y++)
    for (int x = p.col; x < p.col + p.w; x++) objectAt[y * columns + x] = index;
}

void StageLayout::mark(const std::string &name, int col, int row, int w, int h) {
  const int x0 = std::max(col, 0), y0 = std::max(row, 0);
  const int x1 = std::min(col + w, columns), y1 = std::min(row + h, rows);
  landmarks.push_back({name, x0, y0, x1 - x0, y1 - y0});
  for (int y = y0; y < y1; y++)
    for (int x = x0; x < x1; x++) reserved[y * columns + x] = 1;
}

namespace {

uint32_t CellHash(int x, int y, uint32_t seed) {
  uint32_t h = static_cast<uint32_t>(x) * 0x9E3779B1u ^ static_cast<uint32_t>(y) * 0x85EBCA77u ^ seed * 0xC2B2AE3Du;
  h ^= h >> 15;
  h *= 0x2C1B3C6Du;
  h ^= h >> 12;
  return h;
}

TileKey KeyOf(const StageLayout &L, int col, int row, uint32_t seed) {
  TileKey k;
  k.corner[0] = L.corner(col, row);
  k.corner[1] = L.corner(col + 1, row);
  k.corner[2] = L.corner(col, row + 1);
  k.corner[3] = L.corner(col + 1, row + 1);
  k.phaseX = static_cast<uint8_t>(col % PhaseCount);
  k.phaseY = static_cast<uint8_t>(row % PhaseCount);
  int o = L.objectAt[row * L.columns + col];
  if (o >= 0) {
    const Placement &p = L.objects[o];
    k.object = p.type;
    k.variant = p.variant;
    k.objW = static_cast<uint8_t>(p.w);
    k.objH = static_cast<uint8_t>(p.h);
    k.partX = static_cast<uint8_t>(col - p.col);
    k.partY = static_cast<uint8_t>(row - p.row);
    if (ObjectCoversTile(k)) {
      for (uint8_t &c : k.corner) c = 0;
      k.phaseX = k.phaseY = 0;
    }
  } else {
    bool plain = k.corner[0] == k.corner[1] && k.corner[1] == k.corner[2] && k.corner[2] == k.corner[3];
    uint32_t r = CellHash(col, row, seed) % 100;
    if (plain && r < 14) k.decoration = static_cast<uint8_t>(1 + r % 3);
  }
  return k;
}

}  // namespace

StageMap BuildStage(const StageInfo &stage) {
  StageLayout layout;
  stage.layout(layout, stage.iSeed);
  Painter painter(stage.iSeed);

  StageMap out;
  out.landmarks = layout.landmarks;
  std::sort(out.landmarks.begin(), out.landmarks.end(),
            [](const Landmark &a, const Landmark &b) { return a.row + a.h > b.row + b.h; });
  FmpMap &m = out.map;
  m.widthInBlocks = layout.columns;
  m.heightInBlocks = layout.rows;
  m.blockWidth = m.blockHeight = TileSize;
  m.blockDepth = 24;
  m.cellEncoding = 2;
  m.layers.assign(1, std::vector<int16_t>(static_cast<size_t>(layout.columns) * layout.rows));

  const int scale = 8, sub = TileSize / scale;
  out.previewWidth = layout.columns * sub;
  out.previewHeight = layout.rows * sub;
  out.preview.resize(static_cast<size_t>(out.previewWidth) * out.previewHeight);

  std::map<TileKey, int> blockOf;
  std::map<TileKey, int> animOf;                 // fire tiles: their animation
  std::vector<std::pair<size_t, int>> animCells; // cell, animation: set at the end
  std::vector<std::vector<uint32_t>> previewOf;  // per block: sub x sub averages
  auto blockFor = [&](const TileKey &k) {
    auto found = blockOf.find(k);
    if (found != blockOf.end()) return found->second;
    Tile t = painter.paint(k);
    int block = static_cast<int>(m.blocks.size());
    blockOf.emplace(k, block);
    FmpBlock b;
    b.backGraphic = static_cast<int32_t>(m.graphics.size());
    b.flags = t.solid ? FmpFlagSolid : 0;
    b.value1 = t.blockClass;
    m.blocks.push_back(b);
    std::vector<uint32_t> small(sub * sub);
    for (int sy = 0; sy < sub; sy++)
      for (int sx = 0; sx < sub; sx++) {
        uint32_t r = 0, g = 0, bl = 0;
        for (int y = 0; y < scale; y++)
          for (int x = 0; x < scale; x++) {
            uint32_t p = t.pixels[(sy * scale + y) * TileSize + sx * scale + x];
            r += p >> 16;
            g += (p >> 8) & 255;
            bl += p & 255;
          }
        const uint32_t n = scale * scale;
        small[sy * sub + sx] = ((r / n) << 16) | ((g / n) << 8) | (bl / n);
      }
    previewOf.push_back(std::move(small));
    m.graphics.push_back(std::move(t.pixels));
    return block;
  };
  for (int row = 0; row < layout.rows; row++)
    for (int col = 0; col < layout.columns; col++) {
      TileKey k = KeyOf(layout, col, row, stage.iSeed);
      const size_t cell = static_cast<size_t>(row) * layout.columns + col;
      int block = blockFor(k);
      if (k.object == ObjFire) {
        auto found = animOf.find(k);
        int anim;
        if (found != animOf.end()) {
          anim = found->second;
        } else {
          FmpAnim a;
          a.kind = 1;   // loop forward
          a.delay = 6;
          for (int f = 0; f < FireFrames; f++) {
            TileKey frame = k;
            frame.variant = static_cast<uint8_t>(f);
            a.frames.push_back(blockFor(frame));
          }
          anim = static_cast<int>(m.anims.size());
          animOf.emplace(k, anim);
          m.anims.push_back(a);
        }
        animCells.push_back({cell, anim});
      }
      m.layers[0][cell] = static_cast<int16_t>(block);
      for (int sy = 0; sy < sub; sy++)
        for (int sx = 0; sx < sub; sx++)
          out.preview[static_cast<size_t>(row * sub + sy) * out.previewWidth + col * sub + sx] = previewOf[block][sy * sub + sx];
    }
  for (const auto &ac : animCells) m.layers[0][ac.first] = FmpAnimCell(m, ac.second);
  return out;
}

std::vector<uint32_t> RenderRegion(const FmpMap &m, int x0, int y0, int width, int height) {
  std::vector<uint32_t> out(static_cast<size_t>(width) * height, 0);
  for (int y = 0; y < height; y++)
    for (int x = 0; x < width; x++) {
      int mx = x0 + x, my = y0 + y;
      if (mx < 0 || my < 0 || mx >= m.widthInBlocks * TileSize || my >= m.heightInBlocks * TileSize) continue;
      int cell = m.layers[0][static_cast<size_t>(my / TileSize) * m.widthInBlocks + mx / TileSize];
      if (cell < 0) cell = m.anims[m.anims.size() + cell].frames[0];  // the first frame
      const auto &g = m.graphics[m.blocks[cell].backGraphic];
      out[static_cast<size_t>(y) * width + x] = g[(my % TileSize) * TileSize + mx % TileSize];
    }
  return out;
}

}  // namespace mapgen
