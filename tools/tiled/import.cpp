// TMX -> FMP: reads the map, its tilesets (embedded or in TSX files) and
// their picture grids, and turns tiles back into blocks, graphics and
// animations (see tiled.h for how tiles and blocks correspond).
#include <tinyxml2.h>
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <map>

#include "tiled/tiled.h"

namespace tiled {
namespace {

using tinyxml2::XMLElement;

constexpr int BlockSize = 32;
constexpr uint32_t FlipBits = 0xF0000000u;  // flipped or rotated cells
constexpr int MaxTiles = 32767;             // the most blocks a game map holds

// A fault with the file and line it belongs to.
struct Fault {
  std::string text;
};

[[noreturn]] void Throw(const std::string &file, int line, const std::string &what) {
  throw Fault{file + (line > 0 ? ":" + std::to_string(line) : "") + ": " + what};
}

std::string Folder(const std::string &path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? "" : path.substr(0, slash + 1);
}

std::string Resolve(const std::string &base, const std::string &path) {
  return !path.empty() && path[0] == '/' ? path : Folder(base) + path;
}

struct Property {
  std::string value;
  int line = 0;
};
using Properties = std::map<std::string, Property>;

struct TileInfo {
  Properties props;
  std::vector<std::pair<int, int>> frames;  // tile id, duration in ms
  int line = 0;
};

struct Tileset {
  std::string file;  // where its XML lives (for messages)
  int firstGid = 0, tileCount = 0, columns = 0, margin = 0, spacing = 0;
  int imageWidth = 0;
  std::vector<uint32_t> image;  // 0xAARRGGBB
  std::map<int, TileInfo> tiles;
  int firstTile = 0;             // index among all tiles of the map
};

struct Layer {
  std::vector<uint32_t> gids;
  int line = 0;
  std::string name;
};

long ParseLong(const std::string &file, int line, const std::string &what, const char *text) {
  char *end = nullptr;
  long v = text ? std::strtol(text, &end, 10) : 0;
  if (!text || end == text || *end) Throw(file, line, what + " is not a whole number: \"" + (text ? text : "") + "\"");
  return v;
}

int IntAttribute(const std::string &file, const XMLElement *e, const char *name, int fallback, bool required = false) {
  const char *text = e->Attribute(name);
  if (!text) {
    if (required) Throw(file, e->GetLineNum(), std::string("<") + e->Name() + "> has no " + name);
    return fallback;
  }
  long v = ParseLong(file, e->GetLineNum(), name, text);
  if (v < -2147483647L || v > 2147483647L) Throw(file, e->GetLineNum(), std::string(name) + " out of range");
  return static_cast<int>(v);
}

Properties ReadProperties(const std::string &file, const XMLElement *owner) {
  Properties out;
  const XMLElement *list = owner->FirstChildElement("properties");
  for (const XMLElement *p = list ? list->FirstChildElement("property") : nullptr; p;
       p = p->NextSiblingElement("property")) {
    const char *name = p->Attribute("name");
    const char *value = p->Attribute("value");
    if (!value) value = p->GetText();
    if (name) out[name] = Property{value ? value : "", p->GetLineNum()};
  }
  return out;
}

void LoadXml(tinyxml2::XMLDocument &doc, const std::string &file, const FileReader &read) {
  std::vector<uint8_t> bytes;
  if (!read(file, &bytes)) Throw(file, 0, "cannot open");
  if (doc.Parse(reinterpret_cast<const char *>(bytes.data()), bytes.size()) != tinyxml2::XML_SUCCESS)
    Throw(file, doc.ErrorLineNum(), std::string("not well-formed XML (") + doc.ErrorName() + ")");
}

void CheckTileSize(const std::string &file, const XMLElement *e) {
  const int w = IntAttribute(file, e, "tilewidth", 0, true), h = IntAttribute(file, e, "tileheight", 0, true);
  if (w != BlockSize || h != BlockSize)
    Throw(file, e->GetLineNum(), "tiles are " + std::to_string(w) + " x " + std::to_string(h) +
                                     " pixels; the game's blocks are 32 x 32");
}

// Everything that sizes or places the tiles' pixels, checked before any
// pixel is read: margin and spacing inside the picture, the picture's size,
// the columns and the tile count it holds.
void CheckGrid(const std::string &file, const XMLElement *e, int height, Tileset *t) {
  const int line = e->GetLineNum();
  const long long width = t->imageWidth;
  if (t->margin < 0 || 2LL * t->margin > std::min<long long>(width, height))
    Throw(file, line, "margin=\"" + std::to_string(t->margin) + "\" must be 0..half the picture's smaller side");
  if (t->spacing < 0 || t->spacing > std::max<long long>(width, height))
    Throw(file, line, "spacing=\"" + std::to_string(t->spacing) + "\" must be 0..the picture's larger side");
  const long long step = BlockSize + t->spacing;
  const auto fit = [&](long long side) { return side - 2 * t->margin < BlockSize ? 0 : (side - 2 * t->margin + t->spacing) / step; };
  const long long columns = fit(width), rows = fit(height);
  t->columns = static_cast<int>(columns);
  if (IntAttribute(file, e, "columns", t->columns) != t->columns)
    Throw(file, line, "columns=\"" + std::string(e->Attribute("columns")) + "\" but the picture holds " +
                          std::to_string(columns) + " columns of tiles");
  const long long holds = std::min<long long>(columns * rows, MaxTiles);
  t->tileCount = IntAttribute(file, e, "tilecount", static_cast<int>(holds));
  if (t->tileCount > holds || t->tileCount <= 0)
    Throw(file, line, "the picture holds " + std::to_string(holds) + " tiles (at most " + std::to_string(MaxTiles) +
                          "), the tileset names " + std::to_string(t->tileCount));
}

void ReadTileset(const std::string &file, const XMLElement *e, const FileReader &read, Tileset *t) {
  t->file = file;
  CheckTileSize(file, e);
  t->margin = IntAttribute(file, e, "margin", 0);
  t->spacing = IntAttribute(file, e, "spacing", 0);
  const XMLElement *image = e->FirstChildElement("image");
  if (!image || !image->Attribute("source"))
    Throw(file, e->GetLineNum(), "tileset without one picture grid (collections of single pictures are not read)");
  const std::string png = Resolve(file, image->Attribute("source"));
  std::vector<uint8_t> bytes;
  if (!read(png, &bytes)) Throw(file, image->GetLineNum(), png + ": cannot read the picture (cannot open)");
  int height = 0;
  std::string why;
  if (!ReadPng(png, bytes, &t->imageWidth, &height, &t->image, &why)) Throw(file, image->GetLineNum(), why);
  CheckGrid(file, e, height, t);
  for (const XMLElement *tile = e->FirstChildElement("tile"); tile; tile = tile->NextSiblingElement("tile")) {
    const int id = IntAttribute(file, tile, "id", 0, true);
    if (id < 0 || id >= t->tileCount) Throw(file, tile->GetLineNum(), "tile id " + std::to_string(id) + " outside the tileset");
    TileInfo &info = t->tiles[id];
    info.line = tile->GetLineNum();
    info.props = ReadProperties(file, tile);
    const XMLElement *anim = tile->FirstChildElement("animation");
    for (const XMLElement *f = anim ? anim->FirstChildElement("frame") : nullptr; f; f = f->NextSiblingElement("frame")) {
      const int frameTile = IntAttribute(file, f, "tileid", 0, true);
      if (frameTile < 0 || frameTile >= t->tileCount)
        Throw(file, f->GetLineNum(), "animation frame names tile " + std::to_string(frameTile) + " outside the tileset");
      info.frames.push_back({frameTile, IntAttribute(file, f, "duration", 0, true)});
    }
  }
}

std::vector<uint8_t> Base64(const std::string &file, int line, const char *text) {
  std::vector<uint8_t> out;
  uint32_t acc = 0;
  int bits = 0;
  for (const char *p = text ? text : ""; *p; p++) {
    const char c = *p;
    int v;
    if (c >= 'A' && c <= 'Z') v = c - 'A';
    else if (c >= 'a' && c <= 'z') v = c - 'a' + 26;
    else if (c >= '0' && c <= '9') v = c - '0' + 52;
    else if (c == '+') v = 62;
    else if (c == '/') v = 63;
    else if (c == '=' || c == ' ' || c == '\n' || c == '\r' || c == '\t') continue;
    else Throw(file, line, "layer data is not base64");
    acc = (acc << 6) | static_cast<uint32_t>(v);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out.push_back(static_cast<uint8_t>(acc >> bits));
    }
  }
  return out;
}

// zlib and gzip streams (the header tells them apart). The output grows
// with what the stream really holds and stops past `expected` bytes, so a
// map that claims a huge size costs nothing until its data is there.
std::vector<uint8_t> Inflate(const std::string &file, int line, const std::vector<uint8_t> &packed, size_t expected) {
  std::vector<uint8_t> out;
  z_stream s{};
  if (inflateInit2(&s, 15 + 32) != Z_OK) Throw(file, line, "cannot start decompression");
  s.next_in = const_cast<Bytef *>(packed.data());
  s.avail_in = static_cast<uInt>(packed.size());
  int result = Z_OK;
  while (result == Z_OK && out.size() <= expected) {
    const size_t have = out.size();
    out.resize(have + std::min<size_t>(expected + 1 - have, 1 << 16));
    s.next_out = out.data() + have;
    s.avail_out = static_cast<uInt>(out.size() - have);
    result = inflate(&s, Z_NO_FLUSH);
    out.resize(out.size() - s.avail_out);
    if (result == Z_BUF_ERROR && s.avail_out > 0) break;  // the input ended early
  }
  inflateEnd(&s);
  if (result != Z_STREAM_END || out.size() > expected) Throw(file, line, "compressed layer data is damaged or too long");
  return out;
}

std::vector<uint32_t> ReadLayerData(const std::string &file, const XMLElement *data, size_t cells) {
  const int line = data->GetLineNum();
  if (data->FirstChildElement("chunk")) Throw(file, line, "infinite maps (layer chunks) are not read; untick \"Infinite\" in the map's properties");
  const std::string encoding = data->Attribute("encoding") ? data->Attribute("encoding") : "";
  const std::string compression = data->Attribute("compression") ? data->Attribute("compression") : "";
  std::vector<uint32_t> gids;
  if (encoding.empty()) {
    for (const XMLElement *t = data->FirstChildElement("tile"); t; t = t->NextSiblingElement("tile")) {
      const char *gid = t->Attribute("gid");
      const long long v = gid ? ParseLong(file, t->GetLineNum(), "gid", gid) : 0;
      if (v < 0 || v > 0xFFFFFFFFLL) Throw(file, t->GetLineNum(), "gid out of range");
      gids.push_back(static_cast<uint32_t>(v));
    }
  } else if (encoding == "csv") {
    const char *p = data->GetText() ? data->GetText() : "";
    while (*p) {
      while (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') p++;
      if (!*p) break;
      char *end = nullptr;
      unsigned long v = std::strtoul(p, &end, 10);
      if (end == p || v > 0xFFFFFFFFul) Throw(file, line, "CSV layer data holds something that is not a tile number");
      gids.push_back(static_cast<uint32_t>(v));
      p = end;
      while (*p == ' ' || *p == '\n' || *p == '\r' || *p == '\t') p++;
      if (*p == ',') p++;
    }
  } else if (encoding == "base64") {
    std::vector<uint8_t> bytes = Base64(file, line, data->GetText());
    if (compression == "zlib" || compression == "gzip") bytes = Inflate(file, line, bytes, cells * 4);
    else if (!compression.empty()) Throw(file, line, "unknown layer compression \"" + compression + "\" (zlib, gzip or none)");
    if (bytes.size() % 4) Throw(file, line, "layer data is not a whole number of cells");
    for (size_t i = 0; i + 4 <= bytes.size(); i += 4)
      gids.push_back(bytes[i] | (bytes[i + 1] << 8) | (bytes[i + 2] << 16) | (uint32_t(bytes[i + 3]) << 24));
  } else {
    Throw(file, line, "unknown layer encoding \"" + encoding + "\" (csv or base64)");
  }
  if (gids.size() != cells)
    Throw(file, line, "layer holds " + std::to_string(gids.size()) + " cells, the map has " + std::to_string(cells));
  return gids;
}

// What each tile of the map becomes.
struct TileRole {
  const Tileset *set = nullptr;
  int local = 0;
  const TileInfo *info = nullptr;
  int block = -1, graphic = -1, anim = -1;
};

bool BoolProperty(const Properties &p, const std::string &name) {
  auto it = p.find(name);
  return it != p.end() && (it->second.value == "true" || it->second.value == "1");
}

long NumberProperty(const std::string &file, const Properties &p, const std::string &name, long low, long high) {
  auto it = p.find(name);
  if (it == p.end()) return 0;
  long v = ParseLong(file, it->second.line, name, it->second.value.c_str());
  if (v < low || v > high)
    Throw(file, it->second.line, name + " must be " + std::to_string(low) + ".." + std::to_string(high));
  return v;
}

std::vector<uint32_t> TilePixels(const Tileset &t, int local) {
  std::vector<uint32_t> px(BlockSize * BlockSize);
  const int x0 = t.margin + (local % t.columns) * (BlockSize + t.spacing);
  const int y0 = t.margin + (local / t.columns) * (BlockSize + t.spacing);
  for (int y = 0; y < BlockSize; y++)
    for (int x = 0; x < BlockSize; x++) {
      uint32_t p = t.image[static_cast<size_t>(y0 + y) * t.imageWidth + x0 + x];
      px[y * BlockSize + x] = (p >> 24) < 128 ? 0xFF00FF : (p & 0xFFFFFF);  // see-through: the mask colour
    }
  return px;
}

// The tile a cell number names (flip bits cleared), or -1.
int GlobalTile(const std::vector<Tileset> &sets, uint32_t gid) {
  gid &= ~FlipBits;
  const Tileset *set = nullptr;
  for (const Tileset &t : sets)
    if (gid != 0 && static_cast<uint32_t>(t.firstGid) <= gid) set = &t;
  if (!set || gid - set->firstGid >= static_cast<uint32_t>(set->tileCount)) return -1;
  return set->firstTile + static_cast<int>(gid - set->firstGid);
}

// Tiles at the end of a tileset that nothing uses (the editor counts every
// cell of the picture grid as a tile) make no blocks.
std::vector<bool> UsedTiles(const std::vector<Tileset> &sets, const std::vector<Layer> &layers, size_t tileCount) {
  std::vector<bool> used(tileCount, false);
  for (const Layer &layer : layers)
    for (uint32_t gid : layer.gids) {
      int tile = GlobalTile(sets, gid);
      if (tile >= 0) used[tile] = true;
    }
  for (const Tileset &t : sets)
    for (const auto &entry : t.tiles) {
      used[t.firstTile + entry.first] = true;
      for (const auto &f : entry.second.frames) used[t.firstTile + f.first] = true;
      for (const char *front : {"front1", "front2", "front3"}) {
        auto it = entry.second.props.find(front);
        long tile = it == entry.second.props.end() ? 0 : std::strtol(it->second.value.c_str(), nullptr, 10);
        if (tile > 0 && tile < t.tileCount) used[t.firstTile + tile] = true;
      }
    }
  std::vector<bool> kept(tileCount, false);
  for (const Tileset &t : sets) {
    int last = -1;
    for (int local = 0; local < t.tileCount; local++)
      if (used[t.firstTile + local]) last = local;
    for (int local = 0; local <= last; local++) kept[t.firstTile + local] = true;
  }
  return kept;
}

void BuildTiles(const std::vector<Tileset> &sets, const std::vector<bool> &kept, std::vector<TileRole> *roles, FmpMap *m) {
  for (const Tileset &t : sets)
    for (int local = 0; local < t.tileCount; local++) {
      TileRole r;
      r.set = &t;
      r.local = local;
      auto it = t.tiles.find(local);
      if (it != t.tiles.end()) r.info = &it->second;
      roles->push_back(r);
    }
  std::vector<bool> isFrame(roles->size(), false);
  for (const TileRole &r : *roles)
    if (r.info)
      for (auto &f : r.info->frames) isFrame[r.set->firstTile + f.first] = true;
  // Blocks and graphics in tile order; animated tiles that are no frame are only animations.
  for (size_t i = 0; i < roles->size(); i++) {
    TileRole &r = (*roles)[i];
    if (!kept[i]) continue;
    const bool animated = r.info && !r.info->frames.empty();
    const bool pictureOnly = r.info && BoolProperty(r.info->props, "picture_only");
    if (animated) r.anim = static_cast<int>(m->anims.size()), m->anims.emplace_back();
    if (pictureOnly || !animated || isFrame[i]) {
      r.graphic = static_cast<int>(m->graphics.size());
      m->graphics.push_back(TilePixels(*r.set, r.local));
    }
    if (!pictureOnly && (!animated || isFrame[i])) {
      r.block = static_cast<int>(m->blocks.size());
      m->blocks.emplace_back();
    }
  }
}

void FillBlock(const std::vector<TileRole> &roles, const TileRole &r, FmpBlock *b) {
  b->backGraphic = r.graphic;
  if (!r.info) return;
  const Tileset &t = *r.set;
  const Properties &p = r.info->props;
  for (int bit = 0; bit < 8; bit++)
    if (BoolProperty(p, FlagNames[bit])) b->flags = static_cast<uint8_t>(b->flags | (1 << bit));
  int32_t *fronts[3] = {&b->frontGraphic1, &b->frontGraphic2, &b->frontGraphic3};
  for (int i = 0; i < 3; i++) {
    const std::string name = "front" + std::to_string(i + 1);
    const long tile = NumberProperty(t.file, p, name, 0, t.tileCount - 1);
    if (tile == 0) continue;
    const TileRole &front = roles[t.firstTile + tile];
    if (front.graphic < 0) Throw(t.file, p.at(name).line, name + " names an animation tile, not a picture");
    *fronts[i] = front.graphic;
  }
  b->value1 = static_cast<int32_t>(NumberProperty(t.file, p, "user1", -2147483647L - 1, 2147483647L));
  b->value2 = static_cast<int32_t>(NumberProperty(t.file, p, "user2", -2147483647L - 1, 2147483647L));
  b->value3 = static_cast<uint16_t>(NumberProperty(t.file, p, "user3", 0, 65535));
  b->value4 = static_cast<uint16_t>(NumberProperty(t.file, p, "user4", 0, 65535));
  b->value5 = static_cast<uint8_t>(NumberProperty(t.file, p, "user5", 0, 255));
  b->value6 = static_cast<uint8_t>(NumberProperty(t.file, p, "user6", 0, 255));
  b->value7 = static_cast<uint8_t>(NumberProperty(t.file, p, "user7", 0, 255));
}

void FillAnim(const std::vector<TileRole> &roles, const TileRole &r, FmpAnim *a) {
  const Tileset &t = *r.set;
  a->kind = static_cast<int>(NumberProperty(t.file, r.info->props, "animation_kind", 0, 9));
  if (!r.info->props.count("animation_kind")) a->kind = 1;
  const int duration = r.info->frames.front().second;
  for (auto &f : r.info->frames) {
    if (f.second != duration)
      Throw(t.file, r.info->line, "animation frames have different durations; the game shows every frame equally long");
    const TileRole &frame = roles[t.firstTile + f.first];
    if (frame.block < 0) Throw(t.file, r.info->line, "animation frame " + std::to_string(f.first) + " is a picture-only tile");
    a->frames.push_back(frame.block);
  }
  if (duration < 0 || duration > 255 * 20)
    Throw(t.file, r.info->line, "frame duration must be 0.." + std::to_string(255 * 20) + " ms");
  a->delay = (duration + 10) / 20;  // 20 ms game ticks
}

void FillCells(const std::string &file, const std::vector<Tileset> &sets, const std::vector<TileRole> &roles,
               const Layer &layer, int width, FmpMap *m, std::vector<int16_t> *cells) {
  cells->resize(layer.gids.size());
  for (size_t i = 0; i < layer.gids.size(); i++) {
    const uint32_t gid = layer.gids[i];
    const auto where = [&] {
      return "layer \"" + layer.name + "\" column " + std::to_string(i % width) + ", row " + std::to_string(i / width);
    };
    if (gid & FlipBits) Throw(file, layer.line, where() + ": flipped or rotated tiles are not kept by the game's maps");
    if (gid == 0) { (*cells)[i] = 0; continue; }
    const int tile = GlobalTile(sets, gid);
    if (tile < 0) Throw(file, layer.line, where() + ": tile " + std::to_string(gid) + " lies outside every tileset");
    const TileRole &r = roles[tile];
    if (r.anim >= 0) (*cells)[i] = FmpAnimCell(*m, r.anim);
    else if (r.block >= 0) (*cells)[i] = static_cast<int16_t>(r.block);
    else Throw(file, layer.line, where() + ": a picture-only tile cannot be placed");
  }
}

// The map element's own attributes and properties.
void ReadMapHeader(const std::string &file, const XMLElement *map, FmpMap *m) {
  const int line = map->GetLineNum();
  const char *orientation = map->Attribute("orientation");
  if (!orientation || std::string(orientation) != "orthogonal") Throw(file, line, "only orthogonal maps are read");
  if (IntAttribute(file, map, "infinite", 0) != 0)
    Throw(file, line, "infinite maps are not read; untick \"Infinite\" in the map's properties");
  CheckTileSize(file, map);
  m->widthInBlocks = IntAttribute(file, map, "width", 0, true);
  m->heightInBlocks = IntAttribute(file, map, "height", 0, true);
  if (m->widthInBlocks <= 0 || m->heightInBlocks <= 0 || m->widthInBlocks > 32767 || m->heightInBlocks > 32767)
    Throw(file, line, "map size must be 1..32767 tiles each way");
  const Properties props = ReadProperties(file, map);
  const long depth = props.count("block_depth") ? NumberProperty(file, props, "block_depth", 15, 32) : 24;
  if (depth != 15 && depth != 16 && depth != 24 && depth != 32)
    Throw(file, props.at("block_depth").line, "block_depth must be 15, 16, 24 or 32");
  m->blockDepth = static_cast<int>(depth);
  m->cellEncoding = props.count("cell_encoding") ? static_cast<int>(NumberProperty(file, props, "cell_encoding", 0, 3)) : 2;
}

void ReadMap(const std::string &file, const FileReader &read, FmpMap *m) {
  tinyxml2::XMLDocument doc;
  LoadXml(doc, file, read);
  const XMLElement *map = doc.RootElement();
  if (!map || std::string(map->Name()) != "map") Throw(file, map ? map->GetLineNum() : 0, "not a TMX map");
  const int line = map->GetLineNum();
  ReadMapHeader(file, map, m);
  std::vector<Tileset> sets;
  std::vector<Layer> layers;
  const size_t cells = static_cast<size_t>(m->widthInBlocks) * m->heightInBlocks;
  for (const XMLElement *e = map->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const std::string name = e->Name();
    if (name == "tileset") {
      Tileset t;
      t.firstGid = IntAttribute(file, e, "firstgid", 0, true);
      if (t.firstGid < 1) Throw(file, e->GetLineNum(), "firstgid must be 1 or more");
      if (e->Attribute("source")) {
        const std::string tsx = Resolve(file, e->Attribute("source"));
        tinyxml2::XMLDocument tsxDoc;
        LoadXml(tsxDoc, tsx, read);
        if (!tsxDoc.RootElement() || std::string(tsxDoc.RootElement()->Name()) != "tileset")
          Throw(tsx, 1, "not a TSX tileset");
        ReadTileset(tsx, tsxDoc.RootElement(), read, &t);
      } else {
        ReadTileset(file, e, read, &t);
      }
      sets.push_back(std::move(t));
    } else if (name == "layer") {
      if (layers.size() == 8) Throw(file, e->GetLineNum(), "more than 8 tile layers; the game's maps hold 8");
      if (IntAttribute(file, e, "width", m->widthInBlocks) != m->widthInBlocks ||
          IntAttribute(file, e, "height", m->heightInBlocks) != m->heightInBlocks)
        Throw(file, e->GetLineNum(), "layer size differs from the map's");
      const XMLElement *data = e->FirstChildElement("data");
      if (!data) Throw(file, e->GetLineNum(), "layer without data");
      layers.push_back(Layer{ReadLayerData(file, data, cells), data->GetLineNum(), e->Attribute("name") ? e->Attribute("name") : ""});
    } else if (name == "group") {
      Throw(file, e->GetLineNum(), "layer groups are not read; move their layers out of the group");
    } else if (name == "objectgroup" || name == "imagelayer") {
      std::fprintf(stderr, "%s:%d: note: %s left out (the game's maps hold tiles only)\n", file.c_str(), e->GetLineNum(), name.c_str());
    }
  }
  if (sets.empty()) Throw(file, line, "map without a tileset");
  if (layers.empty()) Throw(file, line, "map without a tile layer");
  std::sort(sets.begin(), sets.end(), [](const Tileset &a, const Tileset &b) { return a.firstGid < b.firstGid; });
  int next = 0;
  for (Tileset &t : sets) {
    t.firstTile = next, next += t.tileCount;
    if (next > MaxTiles) Throw(t.file, 0, "the tilesets hold more than " + std::to_string(MaxTiles) + " tiles together");
  }

  std::vector<TileRole> roles;
  BuildTiles(sets, UsedTiles(sets, layers, static_cast<size_t>(next)), &roles, m);
  for (const TileRole &r : roles) {
    if (r.block >= 0) FillBlock(roles, r, &m->blocks[r.block]);
    if (r.anim >= 0) FillAnim(roles, r, &m->anims[r.anim]);
  }
  if (m->blocks.empty()) Throw(file, line, "the tilesets hold no block tiles");
  m->layers.resize(layers.size());
  for (size_t n = 0; n < layers.size(); n++)
    FillCells(file, sets, roles, layers[n], m->widthInBlocks, m, &m->layers[n]);
}

}  // namespace

bool ReadTmx(const std::string &tmxPath, FmpMap *map, std::string *why, const FileReader &read) {
  *map = FmpMap();
  try {
    ReadMap(tmxPath, read, map);
  } catch (const Fault &f) {
    if (why) *why = f.text;
    return false;
  }
  std::string fault;
  if (!FmpValidate(*map, &fault)) {
    if (why) *why = tmxPath + ": " + fault;
    return false;
  }
  return true;
}

bool ImportMap(const std::string &tmxPath, const std::string &fmpPath, std::string *why) {
  FmpMap map;
  if (!ReadTmx(tmxPath, &map, why)) return false;
  std::vector<uint8_t> bytes = FmpEncode(map, why);
  return !bytes.empty() && WriteFileAtomically(fmpPath, bytes.data(), bytes.size(), why);
}

}  // namespace tiled
