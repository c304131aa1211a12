// FMP -> TMX: the map (CSV layer data), its tileset (one tile per block,
// then one per animation, then pictures no block shows) and the tileset's
// picture grid.
#include <tinyxml2.h>

#include <map>

#include "png/png_writer.h"
#include "tiled/tiled.h"

namespace tiled {
namespace {

constexpr int GridColumns = 16;

std::string Stem(const std::string &path) {
  size_t slash = path.find_last_of('/');
  size_t dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = path.size();
  return path.substr(0, dot);
}

std::string BaseName(const std::string &path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Which graphic each tile shows, and the tile that shows each graphic first.
struct TileLayout {
  std::vector<int> graphicOfTile;     // tiles: blocks, animations, spare pictures
  std::map<int, int> tileOfGraphic;
  int firstAnimTile = 0, firstPictureTile = 0;
};

TileLayout LayTiles(const FmpMap &m) {
  TileLayout t;
  for (const FmpBlock &b : m.blocks) {
    t.tileOfGraphic.emplace(b.backGraphic, static_cast<int>(t.graphicOfTile.size()));
    t.graphicOfTile.push_back(b.backGraphic);
  }
  t.firstAnimTile = static_cast<int>(t.graphicOfTile.size());
  for (const FmpAnim &a : m.anims)
    t.graphicOfTile.push_back(a.frames.empty() ? 0 : m.blocks[a.frames[0]].backGraphic);
  t.firstPictureTile = static_cast<int>(t.graphicOfTile.size());
  for (int g = 0; g < static_cast<int>(m.graphics.size()); g++)
    if (t.tileOfGraphic.emplace(g, static_cast<int>(t.graphicOfTile.size())).second) t.graphicOfTile.push_back(g);
  return t;
}

void Property(tinyxml2::XMLPrinter &x, const char *name, const char *type, const std::string &value) {
  x.OpenElement("property");
  x.PushAttribute("name", name);
  if (type) x.PushAttribute("type", type);
  x.PushAttribute("value", value.c_str());
  x.CloseElement();
}

// Properties of one block tile; only what differs from an empty block.
void BlockProperties(tinyxml2::XMLPrinter &x, const FmpBlock &b, const TileLayout &t) {
  std::vector<std::pair<std::string, long>> values;
  const int32_t fronts[3] = {b.frontGraphic1, b.frontGraphic2, b.frontGraphic3};
  for (int i = 0; i < 3; i++)
    if (fronts[i] != 0) values.push_back({"front" + std::to_string(i + 1), t.tileOfGraphic.at(fronts[i])});
  const long user[7] = {b.value1, b.value2, b.value3, b.value4, b.value5, b.value6, b.value7};
  for (int i = 0; i < 7; i++)
    if (user[i] != 0) values.push_back({"user" + std::to_string(i + 1), user[i]});
  if (values.empty() && b.flags == 0) return;
  x.OpenElement("properties");
  for (int bit = 0; bit < 8; bit++)
    if (b.flags & (1 << bit)) Property(x, FlagNames[bit], "bool", "true");
  for (const auto &v : values) Property(x, v.first.c_str(), "int", std::to_string(v.second));
  x.CloseElement();
}

std::string TilesetXml(const FmpMap &m, const TileLayout &t, const std::string &name, const std::string &image,
                       int imageWidth, int imageHeight) {
  tinyxml2::XMLPrinter x(nullptr, false);
  x.PushHeader(false, true);
  x.OpenElement("tileset");
  x.PushAttribute("version", "1.8");
  x.PushAttribute("tiledversion", "1.8.2");
  x.PushAttribute("name", name.c_str());
  x.PushAttribute("tilewidth", m.blockWidth);
  x.PushAttribute("tileheight", m.blockHeight);
  x.PushAttribute("tilecount", static_cast<int>(t.graphicOfTile.size()));
  x.PushAttribute("columns", GridColumns);
  x.OpenElement("image");
  x.PushAttribute("source", image.c_str());
  x.PushAttribute("trans", "ff00ff");
  x.PushAttribute("width", imageWidth);
  x.PushAttribute("height", imageHeight);
  x.CloseElement();
  for (size_t i = 0; i < m.blocks.size(); i++) {
    const FmpBlock &b = m.blocks[i];
    if (b.flags == 0 && b.frontGraphic1 == 0 && b.frontGraphic2 == 0 && b.frontGraphic3 == 0 && b.value1 == 0 &&
        b.value2 == 0 && b.value3 == 0 && b.value4 == 0 && b.value5 == 0 && b.value6 == 0 && b.value7 == 0)
      continue;
    x.OpenElement("tile");
    x.PushAttribute("id", static_cast<int>(i));
    BlockProperties(x, b, t);
    x.CloseElement();
  }
  for (size_t i = 0; i < m.anims.size(); i++) {
    const FmpAnim &a = m.anims[i];
    x.OpenElement("tile");
    x.PushAttribute("id", t.firstAnimTile + static_cast<int>(i));
    if (a.kind != 1) {
      x.OpenElement("properties");
      Property(x, "animation_kind", "int", std::to_string(a.kind));
      x.CloseElement();
    }
    x.OpenElement("animation");
    for (int f : a.frames) {
      x.OpenElement("frame");
      x.PushAttribute("tileid", f);
      x.PushAttribute("duration", a.delay * 20);  // 20 ms game ticks
      x.CloseElement();
    }
    x.CloseElement();
    x.CloseElement();
  }
  for (size_t tile = t.firstPictureTile; tile < t.graphicOfTile.size(); tile++) {
    x.OpenElement("tile");
    x.PushAttribute("id", static_cast<int>(tile));
    x.OpenElement("properties");
    Property(x, "picture_only", "bool", "true");
    x.CloseElement();
    x.CloseElement();
  }
  x.CloseElement();
  return x.CStr();
}

// Layer cells as CSV rows, the way the editor writes them.
std::string LayerCsv(const FmpMap &m, const std::vector<int16_t> &cells, const TileLayout &t) {
  std::string csv = "\n";
  csv.reserve(cells.size() * 5);
  for (size_t i = 0; i < cells.size(); i++) {
    const int v = cells[i];
    const int tile = v >= 0 ? v : t.firstAnimTile + static_cast<int>(m.anims.size()) + v;
    csv += std::to_string(tile + 1);
    if (i + 1 < cells.size()) csv += ',';
    if ((i + 1) % m.widthInBlocks == 0) csv += '\n';
  }
  return csv;
}

std::string MapXml(const FmpMap &m, const TileLayout &t, const std::string &tileset) {
  tinyxml2::XMLPrinter x(nullptr, false);
  x.PushHeader(false, true);
  x.OpenElement("map");
  x.PushAttribute("version", "1.8");
  x.PushAttribute("tiledversion", "1.8.2");
  x.PushAttribute("orientation", "orthogonal");
  x.PushAttribute("renderorder", "right-down");
  x.PushAttribute("width", m.widthInBlocks);
  x.PushAttribute("height", m.heightInBlocks);
  x.PushAttribute("tilewidth", m.blockWidth);
  x.PushAttribute("tileheight", m.blockHeight);
  x.PushAttribute("infinite", 0);
  x.PushAttribute("nextlayerid", static_cast<int>(m.layers.size()) + 1);
  x.PushAttribute("nextobjectid", 1);
  x.OpenElement("properties");
  if (m.blockDepth != 8) Property(x, "block_depth", "int", std::to_string(m.blockDepth));
  Property(x, "cell_encoding", "int", std::to_string(m.cellEncoding));
  x.CloseElement();
  x.OpenElement("tileset");
  x.PushAttribute("firstgid", 1);
  x.PushAttribute("source", tileset.c_str());
  x.CloseElement();
  for (size_t n = 0; n < m.layers.size(); n++) {
    x.OpenElement("layer");
    x.PushAttribute("id", static_cast<int>(n) + 1);
    x.PushAttribute("name", ("layer " + std::to_string(n)).c_str());
    x.PushAttribute("width", m.widthInBlocks);
    x.PushAttribute("height", m.heightInBlocks);
    x.OpenElement("data");
    x.PushAttribute("encoding", "csv");
    x.PushText(LayerCsv(m, m.layers[n], t).c_str());
    x.CloseElement();
    x.CloseElement();
  }
  x.CloseElement();
  return x.CStr();
}

// The picture grid, each tile's graphic in 0xRRGGBB (8-bit maps through the palette).
std::vector<uint32_t> PictureGrid(const FmpMap &m, const TileLayout &t, int width, int height) {
  std::vector<uint32_t> rgb(static_cast<size_t>(width) * height, 0xFF00FF);
  for (size_t tile = 0; tile < t.graphicOfTile.size(); tile++) {
    const std::vector<uint32_t> &g = m.graphics[t.graphicOfTile[tile]];
    const int x0 = static_cast<int>(tile % GridColumns) * m.blockWidth;
    const int y0 = static_cast<int>(tile / GridColumns) * m.blockHeight;
    for (int y = 0; y < m.blockHeight; y++)
      for (int x = 0; x < m.blockWidth; x++) {
        uint32_t p = g[static_cast<size_t>(y) * m.blockWidth + x];
        if (m.blockDepth == 8)
          p = (uint32_t(m.palette[p * 3]) << 16) | (m.palette[p * 3 + 1] << 8) | m.palette[p * 3 + 2];
        rgb[static_cast<size_t>(y0 + y) * width + x0 + x] = p;
      }
  }
  return rgb;
}

}  // namespace

bool ExportMap(const FmpMap &m, const std::string &tmxPath, std::string *why) {
  if (!FmpValidate(m, why)) return false;
  const TileLayout t = LayTiles(m);
  const std::string stem = Stem(tmxPath);
  const int rows = (static_cast<int>(t.graphicOfTile.size()) + GridColumns - 1) / GridColumns;
  const int width = GridColumns * m.blockWidth, height = rows * m.blockHeight;
  const std::vector<uint8_t> png = EncodePng(width, height, PictureGrid(m, t, width, height), false);
  if (png.empty()) {
    if (why != nullptr) *why = "cannot encode the tileset picture";
    return false;
  }
  const std::string tsx = TilesetXml(m, t, BaseName(stem), BaseName(stem) + ".png", width, height);
  const std::string tmx = MapXml(m, t, BaseName(stem) + ".tsx");
  return WriteFileAtomically(stem + ".png", png.data(), png.size(), why) &&
         WriteFileAtomically(stem + ".tsx", tsx.data(), tsx.size(), why) &&
         WriteFileAtomically(tmxPath, tmx.data(), tmx.size(), why);
}

}  // namespace tiled
