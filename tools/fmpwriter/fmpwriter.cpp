// Map writer: encodes an FmpMap into the chunked FMP file layout
// (FORM/FMAP container; MPHD, CMAP, BKDT, ANDT, BGFX, BODY, LYR1..LYR7).
#include "fmpwriter/fmpwriter.h"

#include <cstdio>
#include <cstring>

namespace {

// Appends numbers to a byte vector; chunk lengths are always big-endian,
// everything inside a chunk follows the map's byte order.
class ByteSink {
 public:
  explicit ByteSink(bool littleEndian) : bLittle(littleEndian) {}
  std::vector<uint8_t> bytes;

  void u8(unsigned v) { bytes.push_back(static_cast<uint8_t>(v & 0xFF)); }
  void tag(const char *t) { bytes.insert(bytes.end(), t, t + 4); }
  void be32(uint32_t v) {
    for (int s = 24; s >= 0; s -= 8) u8(v >> s);
  }
  void n16(int v) {
    uint16_t w = static_cast<uint16_t>(v);
    if (bLittle) { u8(w); u8(w >> 8); } else { u8(w >> 8); u8(w); }
  }
  void n32(int32_t v) {
    uint32_t w = static_cast<uint32_t>(v);
    if (bLittle) {
      for (int s = 0; s <= 24; s += 8) u8(w >> s);
    } else {
      be32(w);
    }
  }
  void zeros(size_t n) { bytes.insert(bytes.end(), n, 0); }
  // Patches a big-endian length at `at`.
  void patchBe32(size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) bytes[at + i] = static_cast<uint8_t>(v >> (24 - 8 * i));
  }

 private:
  bool bLittle;
};

// Opens a chunk and returns where its length field sits.
size_t BeginChunk(ByteSink &out, const char *tag) {
  out.tag(tag);
  size_t at = out.bytes.size();
  out.be32(0);
  return at;
}

void EndChunk(ByteSink &out, size_t lengthAt) {
  out.patchBe32(lengthAt, static_cast<uint32_t>(out.bytes.size() - lengthAt - 4));
}

int BytesPerPixel(int depth) { return (depth + 1) / 8; }

bool Fail(std::string *why, const std::string &text) {
  if (why) *why = text;
  return false;
}

bool FitsI16(long v) { return v >= -32768 && v <= 32767; }

void WriteHeader(ByteSink &out, const FmpMap &m) {
  size_t at = BeginChunk(out, "MPHD");
  out.u8(1);                           // version 1.0
  out.u8(0);
  out.u8(m.littleEndian ? 1 : 0);
  out.u8(static_cast<unsigned>(m.cellEncoding));
  out.n16(m.widthInBlocks);
  out.n16(m.heightInBlocks);
  out.zeros(4);
  out.n16(m.blockWidth);
  out.n16(m.blockHeight);
  out.n16(m.blockDepth);
  out.n16(m.blockRecordSize);
  out.n16(static_cast<int>(m.blocks.size()));
  out.n16(static_cast<int>(m.graphics.size()));
  if (!m.shortHeader) {
    out.zeros(4);
    out.n16(m.blockWidth);   // cell step = block size: a plain, unstaggered map
    out.n16(m.blockHeight);
    out.n16(0);
    out.n16(0);
    out.n16(0);              // no hit-mask block
    out.zeros(2);
  }
  EndChunk(out, at);
}

void WriteBlocks(ByteSink &out, const FmpMap &m) {
  // Encoding 0 stores graphic references as byte offsets into BGFX.
  int32_t scale = m.cellEncoding == 0
      ? m.blockWidth * m.blockHeight * BytesPerPixel(m.blockDepth) : 1;
  size_t at = BeginChunk(out, "BKDT");
  for (const FmpBlock &b : m.blocks) {
    out.n32(b.backGraphic * scale);
    out.n32(b.frontGraphic1 * scale);
    out.n32(b.frontGraphic2 * scale);
    out.n32(b.frontGraphic3 * scale);
    out.n32(b.value1);
    out.n32(b.value2);
    out.n16(b.value3);
    out.n16(b.value4);
    out.u8(b.value5);
    out.u8(b.value6);
    out.u8(b.value7);
    out.u8(b.flags);
    out.zeros(static_cast<size_t>(m.blockRecordSize - 32));
  }
  EndChunk(out, at);
}

// Frame list, terminator, then one 16-byte record per animation.
void WriteAnims(ByteSink &out, const FmpMap &m) {
  size_t frameCount = 0;
  for (const FmpAnim &a : m.anims) frameCount += a.frames.size();
  const int32_t total = static_cast<int32_t>(frameCount * 4 + 16 + m.anims.size() * 16);
  const bool offsets = m.cellEncoding == 0;
  // With encoding 0 frame positions are byte offsets counted back from the
  // end of the chunk data, and frames are byte offsets into BKDT.
  auto position = [&](int32_t index) { return offsets ? index * 4 - total : index; };
  size_t at = BeginChunk(out, "ANDT");
  for (const FmpAnim &a : m.anims)
    for (int f : a.frames) out.n32(offsets ? f * m.blockRecordSize : f);
  out.u8(0xFF);
  out.zeros(15);
  int32_t first = 0;
  for (const FmpAnim &a : m.anims) {
    int32_t end = first + static_cast<int32_t>(a.frames.size());
    out.u8(static_cast<uint8_t>(a.kind));
    out.u8(static_cast<uint8_t>(a.delay));
    out.u8(static_cast<uint8_t>(a.delay));
    out.u8(0);
    out.n32(position(first));
    out.n32(position(first));
    out.n32(position(end));
    first = end;
  }
  EndChunk(out, at);
}

void WritePalette(ByteSink &out, const FmpMap &m) {
  size_t at = BeginChunk(out, "CMAP");
  out.bytes.insert(out.bytes.end(), m.palette.begin(), m.palette.end());
  EndChunk(out, at);
}

void WritePixel(ByteSink &out, int depth, uint32_t p) {
  unsigned r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
  switch (depth) {
    case 8: out.u8(p); break;
    case 15: {
      unsigned w = ((r >> 3) << 10) | ((g >> 3) << 5) | (b >> 3);
      out.u8(w >> 8); out.u8(w);
      break;
    }
    case 16: {
      unsigned w = ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
      out.u8(w >> 8); out.u8(w);
      break;
    }
    case 24: out.u8(r); out.u8(g); out.u8(b); break;
    default: out.u8(0); out.u8(r); out.u8(g); out.u8(b); break;
  }
}

void WriteGraphics(ByteSink &out, const FmpMap &m) {
  size_t at = BeginChunk(out, "BGFX");
  out.bytes.reserve(out.bytes.size() + m.graphics.size() * m.blockWidth * m.blockHeight * 4);
  for (const auto &g : m.graphics)
    for (uint32_t p : g) WritePixel(out, m.blockDepth, p);
  EndChunk(out, at);
}

// Runs of one row for encoding 2: repeats of 3 or more become one negative
// count and the value, everything else goes out as literal runs.
void WriteRunsRow(ByteSink &out, const int16_t *row, int width) {
  int i = 0;
  while (i < width) {
    int same = 1;
    while (i + same < width && same < 32767 && row[i + same] == row[i]) same++;
    if (same >= 3) {
      out.n16(-same);
      out.n16(row[i]);
      i += same;
      continue;
    }
    int start = i;
    while (i < width && i - start < 32767) {
      if (i + 2 < width && row[i] == row[i + 1] && row[i] == row[i + 2]) break;
      i++;
    }
    out.n16(i - start);
    for (int k = start; k < i; k++) out.n16(row[k]);
  }
}

// Encoding 3: a row of literal runs and copies from earlier cells (of this or
// earlier rows, up to 255 cells back; a copy may overlap its own output).
void WriteCopiesRow(ByteSink &out, const std::vector<int16_t> &cells, size_t rowStart, int width) {
  const size_t rowEnd = rowStart + static_cast<size_t>(width);
  size_t i = rowStart, literalStart = rowStart;
  auto flushLiteral = [&](size_t upTo) {
    if (upTo == literalStart) return;
    out.n16(static_cast<int>(upTo - literalStart));
    for (size_t k = literalStart; k < upTo; k++) out.n16(cells[k]);
  };
  while (i < rowEnd) {
    size_t bestLen = 0, bestDist = 0;
    for (size_t d = 1; d <= 255 && d <= i; d++) {
      size_t len = 0;
      while (i + len < rowEnd && len < 32767 && cells[i + len - d] == cells[i + len]) len++;
      if (len > bestLen) { bestLen = len; bestDist = d; }
    }
    if (bestLen >= 3) {
      flushLiteral(i);
      out.n16(-static_cast<int>(bestLen));
      out.n16(-static_cast<int>(bestDist));
      i += bestLen;
      literalStart = i;
    } else {
      i++;
      if (i - literalStart == 32767) { flushLiteral(i); literalStart = i; }
    }
  }
  flushLiteral(rowEnd);
}

void WriteLayer(ByteSink &out, const FmpMap &m, int n) {
  static const char *const Tags[8] = {"BODY", "LYR1", "LYR2", "LYR3", "LYR4", "LYR5", "LYR6", "LYR7"};
  const std::vector<int16_t> &cells = m.layers[n];
  size_t at = BeginChunk(out, Tags[n]);
  const int w = m.widthInBlocks;
  for (int row = 0; row < m.heightInBlocks; row++) {
    size_t start = static_cast<size_t>(row) * w;
    switch (m.cellEncoding) {
      case 0:
        for (int c = 0; c < w; c++) {
          int v = cells[start + c];
          out.n16(v >= 0 ? v * m.blockRecordSize : v * 16);
        }
        break;
      case 1:
        for (int c = 0; c < w; c++) out.n16(cells[start + c]);
        break;
      case 2: WriteRunsRow(out, &cells[start], w); break;
      default: WriteCopiesRow(out, cells, start, w); break;
    }
  }
  EndChunk(out, at);
}

bool ValidateAnims(const FmpMap &m, std::string *why) {
  for (size_t i = 0; i < m.anims.size(); i++) {
    const FmpAnim &a = m.anims[i];
    if (a.kind < 0 || a.kind > 9) return Fail(why, "animation " + std::to_string(i) + ": kind out of 0..9");
    if (a.delay < 0 || a.delay > 255) return Fail(why, "animation " + std::to_string(i) + ": delay out of 0..255");
    for (int f : a.frames)
      if (f < 0 || f >= static_cast<int>(m.blocks.size()))
        return Fail(why, "animation " + std::to_string(i) + ": frame is not a block");
  }
  return true;
}

bool ValidateCells(const FmpMap &m, std::string *why) {
  const long cellCount = static_cast<long>(m.widthInBlocks) * m.heightInBlocks;
  const int blockCount = static_cast<int>(m.blocks.size());
  const int animCount = static_cast<int>(m.anims.size());
  for (size_t n = 0; n < m.layers.size(); n++) {
    if (static_cast<long>(m.layers[n].size()) != cellCount)
      return Fail(why, "layer " + std::to_string(n) + " does not hold width x height cells");
    for (int16_t v : m.layers[n]) {
      if (v >= blockCount || v < -animCount)
        return Fail(why, "layer " + std::to_string(n) + ": cell " + std::to_string(v) + " names no block or animation");
    }
  }
  if (m.cellEncoding == 0 &&
      (!FitsI16(static_cast<long>(blockCount > 0 ? blockCount - 1 : 0) * m.blockRecordSize) ||
       !FitsI16(-16L * animCount)))
    return Fail(why, "too many blocks or animations for byte-offset cells");
  return true;
}

}  // namespace

int16_t FmpAnimCell(const FmpMap &map, int index) {
  return static_cast<int16_t>(index - static_cast<int>(map.anims.size()));
}

bool FmpValidate(const FmpMap &m, std::string *why) {
  if (m.widthInBlocks <= 0 || m.heightInBlocks <= 0 || !FitsI16(m.widthInBlocks) || !FitsI16(m.heightInBlocks))
    return Fail(why, "map size must be 1..32767 cells each way");
  if (m.blockWidth <= 0 || m.blockHeight <= 0 || m.blockWidth > 1024 || m.blockHeight > 1024)
    return Fail(why, "block size must be 1..1024 pixels each way");
  const int d = m.blockDepth;
  if (d != 8 && d != 15 && d != 16 && d != 24 && d != 32) return Fail(why, "depth must be 8, 15, 16, 24 or 32");
  if (m.cellEncoding < 0 || m.cellEncoding > 3) return Fail(why, "cell encoding must be 0..3");
  if (m.blockRecordSize < 32 || m.blockRecordSize > 32767) return Fail(why, "block record size must be 32..32767");
  if (d == 8 && m.palette.size() != 768) return Fail(why, "an 8-bit map needs a 768-byte palette");
  if (d != 8 && !m.palette.empty()) return Fail(why, "only 8-bit maps carry a palette");
  if (m.graphics.empty() || m.graphics.size() > 32767) return Fail(why, "1..32767 graphics needed");
  if (m.blocks.empty() || m.blocks.size() > 32767) return Fail(why, "1..32767 blocks needed");
  if (m.anims.size() > 32767) return Fail(why, "too many animations");
  if (m.layers.empty() || m.layers.size() > 8) return Fail(why, "1..8 layers needed");
  const size_t pixels = static_cast<size_t>(m.blockWidth) * m.blockHeight;
  for (size_t i = 0; i < m.graphics.size(); i++) {
    if (m.graphics[i].size() != pixels) return Fail(why, "graphic " + std::to_string(i) + " has the wrong pixel count");
    if (d == 8)
      for (uint32_t p : m.graphics[i])
        if (p > 255) return Fail(why, "graphic " + std::to_string(i) + " has a pixel beyond the palette");
  }
  const int32_t graphicCount = static_cast<int32_t>(m.graphics.size());
  for (size_t i = 0; i < m.blocks.size(); i++) {
    const FmpBlock &b = m.blocks[i];
    for (int32_t g : {b.backGraphic, b.frontGraphic1, b.frontGraphic2, b.frontGraphic3})
      if (g < 0 || g >= graphicCount) return Fail(why, "block " + std::to_string(i) + " names a missing graphic");
  }
  if (m.cellEncoding == 0 &&
      static_cast<long long>(graphicCount) * pixels * BytesPerPixel(d) > 0x7FFFFFFFLL)
    return Fail(why, "graphics too large for byte-offset references");
  return ValidateAnims(m, why) && ValidateCells(m, why);
}

std::vector<uint8_t> FmpEncode(const FmpMap &m, std::string *why) {
  if (!FmpValidate(m, why)) return {};
  ByteSink out(m.littleEndian);
  out.tag("FORM");
  out.be32(0);
  out.tag("FMAP");
  WriteHeader(out, m);
  if (m.blockDepth == 8) WritePalette(out, m);
  WriteBlocks(out, m);
  if (!m.anims.empty()) WriteAnims(out, m);
  WriteGraphics(out, m);
  for (size_t n = 0; n < m.layers.size(); n++) WriteLayer(out, m, static_cast<int>(n));
  out.patchBe32(4, static_cast<uint32_t>(out.bytes.size() - 8));
  return out.bytes;
}

bool FmpWriteFile(const FmpMap &m, const std::string &path, std::string *why) {
  std::vector<uint8_t> bytes = FmpEncode(m, why);
  if (bytes.empty()) return false;
  FILE *f = std::fopen(path.c_str(), "wb");
  if (!f) return Fail(why, "cannot create " + path);
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
  ok = (std::fclose(f) == 0) && ok;
  if (!ok) return Fail(why, "cannot write " + path);
  return true;
}
