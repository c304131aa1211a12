// Map reader: walks the FORM/FMAP container and decodes MPHD, CMAP, BKDT,
// ANDT, BGFX and the cell layers into an FmpMap. Every read is bounds-checked.
#include "tiled/fmpread.h"

#include <cstring>
#include <fstream>
#include <iterator>

namespace {

// Numbers inside one chunk, in the map's byte order; a read past the end
// sets the sticky `failed` flag and gives 0.
struct ChunkReader {
  const uint8_t *data;
  size_t size;
  bool little;
  bool failed = false;

  uint32_t raw(size_t at, int bytes) {
    if (at + bytes > size) { failed = true; return 0; }
    uint32_t v = 0;
    for (int i = 0; i < bytes; i++) {
      uint32_t b = data[at + (little ? bytes - 1 - i : i)];
      v = (v << 8) | b;
    }
    return v;
  }
  int i16(size_t at) { return static_cast<int16_t>(raw(at, 2)); }
  unsigned u16(size_t at) { return raw(at, 2); }
  int32_t i32(size_t at) { return static_cast<int32_t>(raw(at, 4)); }
  unsigned u8(size_t at) { return at < size ? data[at] : (failed = true, 0u); }
};

bool Fail(std::string *why, const std::string &text) {
  if (why) *why = text;
  return false;
}

uint32_t BE32(const uint8_t *p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | p[3];
}

int BytesPerPixel(int depth) { return (depth + 1) / 8; }

uint32_t Widen(unsigned v, int bits) { return (v << (8 - bits)) | (v >> (2 * bits - 8)); }

uint32_t DecodePixel(const uint8_t *p, int depth) {
  switch (depth) {
    case 8: return p[0];
    case 15: {
      unsigned w = (p[0] << 8) | p[1];
      return (Widen((w >> 10) & 31, 5) << 16) | (Widen((w >> 5) & 31, 5) << 8) | Widen(w & 31, 5);
    }
    case 16: {
      unsigned w = (p[0] << 8) | p[1];
      return (Widen(w >> 11, 5) << 16) | (Widen((w >> 5) & 63, 6) << 8) | Widen(w & 31, 5);
    }
    case 24: return (uint32_t(p[0]) << 16) | (p[1] << 8) | p[2];
    default: return (uint32_t(p[1]) << 16) | (p[2] << 8) | p[3];
  }
}

struct Counts {
  int blocks = 0, graphics = 0;
  bool haveHeader = false;
};

bool DecodeHeader(ChunkReader &r, FmpMap *m, Counts *c, std::string *why) {
  if (r.size < 24) return Fail(why, "MPHD chunk too short");
  if (r.data[0] > 1 || r.data[3] > 3) return Fail(why, "unsupported map version or cell encoding");
  r.little = r.data[2] == 1;
  m->littleEndian = r.little;
  m->cellEncoding = r.data[3];
  m->widthInBlocks = r.i16(4);
  m->heightInBlocks = r.i16(6);
  m->blockWidth = r.i16(12);
  m->blockHeight = r.i16(14);
  m->blockDepth = r.i16(16);
  m->blockRecordSize = r.i16(18);
  c->blocks = r.i16(20);
  c->graphics = r.i16(22);
  m->shortHeader = r.size <= 28;
  c->haveHeader = true;
  const int d = m->blockDepth;
  if (m->widthInBlocks <= 0 || m->heightInBlocks <= 0 || m->blockWidth <= 0 || m->blockHeight <= 0 ||
      m->blockRecordSize < 32 || c->blocks < 0 || c->graphics < 0 ||
      (d != 8 && d != 15 && d != 16 && d != 24 && d != 32))
    return Fail(why, "MPHD chunk holds impossible sizes");
  return true;
}

bool DecodeBlocks(ChunkReader &r, FmpMap *m, const Counts &c, std::string *why) {
  const int32_t scale = m->cellEncoding == 0
      ? m->blockWidth * m->blockHeight * BytesPerPixel(m->blockDepth) : 1;
  m->blocks.assign(static_cast<size_t>(c.blocks), FmpBlock());
  for (int i = 0; i < c.blocks; i++) {
    const size_t at = static_cast<size_t>(i) * m->blockRecordSize;
    FmpBlock &b = m->blocks[i];
    b.backGraphic = r.i32(at) / scale;
    b.frontGraphic1 = r.i32(at + 4) / scale;
    b.frontGraphic2 = r.i32(at + 8) / scale;
    b.frontGraphic3 = r.i32(at + 12) / scale;
    b.value1 = r.i32(at + 16);
    b.value2 = r.i32(at + 20);
    b.value3 = static_cast<uint16_t>(r.u16(at + 24));
    b.value4 = static_cast<uint16_t>(r.u16(at + 26));
    b.value5 = static_cast<uint8_t>(r.u8(at + 28));
    b.value6 = static_cast<uint8_t>(r.u8(at + 29));
    b.value7 = static_cast<uint8_t>(r.u8(at + 30));
    b.flags = static_cast<uint8_t>(r.u8(at + 31));
  }
  return !r.failed || Fail(why, "BKDT chunk shorter than its block records");
}

bool DecodeAnims(ChunkReader &r, FmpMap *m, std::string *why) {
  const size_t n = r.size;
  size_t term = n;
  for (size_t at = n >= 16 ? n - 16 : n; at < n; at -= 16) {
    if (r.data[at] == 0xFF) { term = at; break; }
    if (at < 16) break;
  }
  if (term == n) return Fail(why, "ANDT chunk without its end record");
  const bool offsets = m->cellEncoding == 0;
  std::vector<int> frames;
  for (size_t at = 0; at + 4 <= term; at += 4) {
    int32_t f = r.i32(at);
    frames.push_back(offsets ? f / m->blockRecordSize : f);
  }
  auto index = [&](int32_t v) -> long { return offsets ? (v + static_cast<long>(n)) / 4 : v; };
  for (size_t at = term + 16; at + 16 <= n; at += 16) {
    FmpAnim a;
    a.kind = static_cast<int8_t>(r.data[at]);
    a.delay = r.data[at + 1];
    long first = index(r.i32(at + 8)), end = index(r.i32(at + 12));
    if (first < 0 || end < first || end > static_cast<long>(frames.size()))
      return Fail(why, "ANDT animation names frames outside its frame list");
    a.frames.assign(frames.begin() + first, frames.begin() + end);
    m->anims.push_back(std::move(a));
  }
  return true;
}

bool DecodeGraphics(ChunkReader &r, FmpMap *m, const Counts &c, std::string *why) {
  const int bpp = BytesPerPixel(m->blockDepth);
  const size_t pixels = static_cast<size_t>(m->blockWidth) * m->blockHeight;
  if (r.size < pixels * bpp * c.graphics) return Fail(why, "BGFX chunk shorter than its graphics");
  m->graphics.assign(static_cast<size_t>(c.graphics), std::vector<uint32_t>(pixels));
  const uint8_t *p = r.data;
  for (auto &g : m->graphics)
    for (uint32_t &px : g) { px = DecodePixel(p, m->blockDepth); p += bpp; }
  return true;
}

bool DecodeLayer(ChunkReader &r, FmpMap *m, int layer, std::string *why) {
  const int w = m->widthInBlocks;
  const size_t cellCount = static_cast<size_t>(w) * m->heightInBlocks;
  if (static_cast<int>(m->layers.size()) <= layer)
    m->layers.resize(layer + 1, std::vector<int16_t>(cellCount, 0));
  std::vector<int16_t> &cells = m->layers[layer];
  size_t at = 0, out = 0;
  auto next = [&]() { int v = r.i16(at); at += 2; return v; };
  const std::string bad = "layer " + std::to_string(layer) + " runs past its row or its data";
  for (int row = 0; row < m->heightInBlocks; row++) {
    const size_t rowEnd = out + w;
    while (out < rowEnd) {
      if (r.failed) return Fail(why, bad);
      if (m->cellEncoding <= 1) {
        int v = next();
        if (m->cellEncoding == 0) v = v >= 0 ? v / m->blockRecordSize : v / 16;
        cells[out++] = static_cast<int16_t>(v);
        continue;
      }
      int k = next();
      if (k > 0) {
        if (out + k > rowEnd) return Fail(why, bad);
        for (int i = 0; i < k; i++) cells[out++] = static_cast<int16_t>(next());
      } else if (k < 0 && m->cellEncoding == 2) {
        int v = next();
        if (out + static_cast<size_t>(-k) > rowEnd) return Fail(why, bad);
        for (int i = 0; i < -k; i++) cells[out++] = static_cast<int16_t>(v);
      } else if (k < 0) {
        int d = next();
        if (d >= 0 || static_cast<size_t>(-d) > out || out + static_cast<size_t>(-k) > rowEnd) return Fail(why, bad);
        for (int i = 0; i < -k; i++, out++) cells[out] = cells[out + d];
      }
    }
  }
  return !r.failed || Fail(why, bad);
}

// Cell values, animation frames and graphic references must name something.
bool CheckReferences(const FmpMap &m, std::string *why) {
  const int blocks = static_cast<int>(m.blocks.size()), anims = static_cast<int>(m.anims.size());
  const int graphics = static_cast<int>(m.graphics.size());
  for (const FmpBlock &b : m.blocks)
    for (int32_t g : {b.backGraphic, b.frontGraphic1, b.frontGraphic2, b.frontGraphic3})
      if (g < 0 || g >= graphics) return Fail(why, "a block names a missing graphic");
  for (const FmpAnim &a : m.anims)
    for (int f : a.frames)
      if (f < 0 || f >= blocks) return Fail(why, "an animation names a missing block");
  for (const auto &layer : m.layers)
    for (int16_t v : layer)
      if (v >= blocks || v < -anims) return Fail(why, "a cell names a missing block or animation");
  return true;
}

}  // namespace

bool FmpDecode(const std::vector<uint8_t> &bytes, FmpMap *m, std::string *why) {
  *m = FmpMap();
  if (bytes.size() < 12 || std::memcmp(bytes.data(), "FORM", 4) != 0 || std::memcmp(&bytes[8], "FMAP", 4) != 0)
    return Fail(why, "not an FMP map (FORM/FMAP missing)");
  const size_t end = std::min(bytes.size(), static_cast<size_t>(BE32(&bytes[4])) + 8);
  Counts counts;
  bool little = true;
  static const char *const LayerTags[8] = {"BODY", "LYR1", "LYR2", "LYR3", "LYR4", "LYR5", "LYR6", "LYR7"};
  for (size_t at = 12; at < end;) {
    if (at + 8 > end) return Fail(why, "chunk header cut short");
    const uint8_t *tag = &bytes[at];
    const size_t n = BE32(&bytes[at + 4]);
    if (n > end - at - 8) return Fail(why, std::string(reinterpret_cast<const char *>(tag), 4) + " chunk cut short");
    ChunkReader r{&bytes[at + 8], n, little};
    auto is = [&](const char *t) { return std::memcmp(tag, t, 4) == 0; };
    bool ok = true;
    if (is("MPHD")) {
      ok = DecodeHeader(r, m, &counts, why);
      little = m->littleEndian;
    } else if (!counts.haveHeader && (is("BKDT") || is("ANDT") || is("BGFX") || is("BODY"))) {
      return Fail(why, "MPHD chunk missing before the map data");
    } else if (is("CMAP")) {
      if (n < 768) return Fail(why, "CMAP chunk shorter than 256 colours");
      m->palette.assign(r.data, r.data + 768);
    } else if (is("BKDT")) {
      ok = DecodeBlocks(r, m, counts, why);
    } else if (is("ANDT")) {
      ok = DecodeAnims(r, m, why);
    } else if (is("BGFX") && m->graphics.empty()) {
      ok = DecodeGraphics(r, m, counts, why);
    } else {
      for (int layer = 0; layer < 8; layer++)
        if (is(LayerTags[layer])) {
          if (!counts.haveHeader) return Fail(why, "MPHD chunk missing before the map data");
          ok = DecodeLayer(r, m, layer, why);
        }
    }
    if (!ok) return false;
    at += 8 + n;
  }
  if (!counts.haveHeader || m->graphics.empty() || m->layers.empty())
    return Fail(why, "map without header, graphics or cells");
  if (m->blockDepth != 8) m->palette.clear();
  else if (m->palette.size() != 768) return Fail(why, "8-bit map without a palette");
  return CheckReferences(*m, why);
}

bool FmpReadFile(const std::string &path, FmpMap *map, std::string *why) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return Fail(why, "cannot open");
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  return FmpDecode(bytes, map, why);
}
