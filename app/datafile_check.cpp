// The datafile check: the root list, every object's properties and size, and
// the inside of the kinds the game reads.
#include "app/datafile_check.h"

#include <cstdio>
#include <vector>

namespace {

// No datafile of the game comes near these.
constexpr size_t MaxFileBytes = 64u << 20;
constexpr int MaxNesting = 8;
constexpr int MaxGlyphSide = 1024;
constexpr int MaxBitmapSide = 8192;

constexpr uint32_t Id(char a, char b, char c, char d) {
  return (static_cast<uint32_t>(static_cast<uint8_t>(a)) << 24) |
         (static_cast<uint32_t>(static_cast<uint8_t>(b)) << 16) |
         (static_cast<uint32_t>(static_cast<uint8_t>(c)) << 8) | static_cast<uint8_t>(d);
}

// A bounded reader over big-endian data; every read fails once past the end.
class Reader {
 public:
  Reader(const uint8_t *pBytes, size_t uSize) : p(pBytes), uLeft(uSize) {}
  size_t left() const { return uLeft; }
  bool u8(uint32_t &rOut) {
    if (uLeft < 1) return false;
    rOut = *p;
    skipUnchecked(1);
    return true;
  }
  bool u16(uint32_t &rOut) {
    if (uLeft < 2) return false;
    rOut = (static_cast<uint32_t>(p[0]) << 8) | p[1];
    skipUnchecked(2);
    return true;
  }
  bool u32(uint32_t &rOut) {
    if (!peek32(rOut)) return false;
    skipUnchecked(4);
    return true;
  }
  bool peek32(uint32_t &rOut) const {
    if (uLeft < 4) return false;
    rOut = (static_cast<uint32_t>(p[0]) << 24) | (static_cast<uint32_t>(p[1]) << 16) |
           (static_cast<uint32_t>(p[2]) << 8) | p[3];
    return true;
  }
  bool skip(uint64_t uCount) {
    if (uCount > uLeft) return false;
    skipUnchecked(static_cast<size_t>(uCount));
    return true;
  }
  const uint8_t *here() const { return p; }

 private:
  void skipUnchecked(size_t uCount) {
    p += uCount;
    uLeft -= uCount;
  }
  const uint8_t *p;
  size_t uLeft;
};

bool ObjectListLooksSound(Reader &r, int iDepth);

// Kinds are named by four printable characters; the loader looks other
// numbers up in its table of kinds, whose empty slots have no loader.
bool PrintableId(uint32_t uId) {
  for (int i = 0; i < 4; ++i) {
    const uint32_t c = (uId >> (8 * i)) & 0xFF;
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Bytes per pixel of a glyph range's depth, 0 for one bit per pixel, -1 for
// a depth the loader cannot make.
int PixelBytesOfGlyphDepth(uint32_t uDepth) {
  switch (uDepth) {
    case 1: case 255: return 0;
    case 0: case 8: return 1;
    case 15: case 16: return 2;
    case 24: case 32: return 3;
    default: return -1;
  }
}

// The glyph ranges of a font of the current format, or one of the three old
// fixed layouts of 95 characters.
bool FontLooksSound(Reader r) {
  uint32_t uKind;
  if (!r.u16(uKind)) return false;
  if (uKind == 8 || uKind == 16) return r.skip(95u * uKind) && r.left() == 0;
  if (uKind == 0xFFFF) {  // -1: proportional 8-bit glyphs
    for (int i = 0; i < 95; ++i) {
      uint32_t uW, uH;
      if (!r.u16(uW) || !r.u16(uH) || uW > MaxGlyphSide || uH > MaxGlyphSide) return false;
      if (!r.skip(static_cast<uint64_t>(uW) * uH)) return false;
    }
    return r.left() == 0;
  }
  if (uKind != 0) return false;
  uint32_t uRanges;
  if (!r.u16(uRanges) || uRanges == 0) return false;
  int iFirstBytes = -1;
  for (uint32_t i = 0; i < uRanges; ++i) {
    uint32_t uDepth, uStart, uEnd;
    if (!r.u8(uDepth) || !r.u32(uStart) || !r.u32(uEnd)) return false;
    if (uStart > uEnd || uEnd > 0x10FFFF) return false;
    // A range's depth byte: 1 or 255 for one bit per pixel, 0 or 8 for 8-bit
    // glyphs, 15/16/24/32 for glyphs the loader converts. Any other depth
    // makes the loader fail halfway, which the library cannot undo cleanly.
    // The font keeps only the last range's kind, so the kinds must agree.
    const int iBytes = PixelBytesOfGlyphDepth(uDepth);
    if (iBytes < 0 || (iFirstBytes >= 0 && (iBytes == 0) != (iFirstBytes == 0))) return false;
    if (iFirstBytes < 0) iFirstBytes = iBytes;
    // Every glyph needs at least its two sizes, so the count is bounded by
    // what is left before anything is trusted.
    const uint64_t uGlyphs = static_cast<uint64_t>(uEnd) - uStart + 1;
    if (uGlyphs * 4 > r.left()) return false;
    for (uint64_t g = 0; g < uGlyphs; ++g) {
      uint32_t uW, uH;
      if (!r.u16(uW) || !r.u16(uH) || uW > MaxGlyphSide || uH > MaxGlyphSide) return false;
      const uint64_t uBytes = iBytes == 0 ? static_cast<uint64_t>((uW + 7) / 8) * uH
                                          : static_cast<uint64_t>(uW) * uH * iBytes;
      if (!r.skip(uBytes)) return false;
    }
  }
  return r.left() == 0;
}

bool BitmapLooksSound(Reader r) {
  uint32_t uBits, uW, uH;
  if (!r.u16(uBits) || !r.u16(uW) || !r.u16(uH)) return false;
  if (uW < 1 || uW > MaxBitmapSide || uH < 1 || uH > MaxBitmapSide) return false;
  uint64_t uPixelBytes;
  switch (static_cast<int16_t>(uBits)) {
    case 8: uPixelBytes = 1; break;
    case 15: case 16: uPixelBytes = 2; break;
    case 24: case 32: uPixelBytes = 3; break;
    case -32: uPixelBytes = 4; break;
    default: return false;
  }
  return r.skip(uPixelBytes * uW * uH) && r.left() == 0;
}

// A sample: its bits (8 or 16; negative for stereo), rate and length, then
// exactly the bytes of its samples. The loader reads any other bit count as
// 16 and allocates what the length announces.
bool SampleLooksSound(Reader r) {
  uint32_t uBits, uRate, uLength;
  if (!r.u16(uBits) || !r.u16(uRate) || !r.u32(uLength)) return false;
  const int iBits = static_cast<int16_t>(uBits);
  const uint64_t uChannels = iBits < 0 ? 2 : 1;
  if ((iBits != 8 && iBits != -8 && iBits != 16 && iBits != -16) || uRate == 0 || uLength == 0)
    return false;
  const uint64_t uBytes = static_cast<uint64_t>(uLength) * uChannels * (iBits == 8 || iBits == -8 ? 1 : 2);
  return r.skip(uBytes) && r.left() == 0;
}

bool ObjectLooksSound(Reader &r, int iDepth) {
  // Properties first: "prop", the property's id, its length and its text.
  uint32_t uMagic;
  while (r.peek32(uMagic) && uMagic == Id('p', 'r', 'o', 'p')) {
    uint32_t uPropId, uLength;
    if (!r.skip(4) || !r.u32(uPropId) || !r.u32(uLength) || !r.skip(uLength)) return false;
  }
  uint32_t uType, uRaw, uExpanded;
  if (!r.u32(uType) || !r.u32(uRaw) || !r.u32(uExpanded)) return false;
  if (!PrintableId(uType)) return false;
  // A negative expanded size marks an object compressed on its own; the game
  // does not store any, and its contents could not be checked here.
  if (uRaw != uExpanded || uRaw > 0x7FFFFFFF) return false;
  if (uRaw > r.left()) return false;
  Reader body(r.here(), uRaw);
  r.skip(uRaw);
  switch (uType) {
    case Id('F', 'I', 'L', 'E'):
      return iDepth < MaxNesting && ObjectListLooksSound(body, iDepth + 1) && body.left() == 0;
    case Id('F', 'O', 'N', 'T'):
      return FontLooksSound(body);
    case Id('B', 'M', 'P', ' '):
      return BitmapLooksSound(body);
    case Id('P', 'A', 'L', ' '):
      return uRaw == 256 * 4;
    case Id('S', 'A', 'M', 'P'):
      return SampleLooksSound(body);
    case Id('M', 'I', 'D', 'I'): case Id('P', 'A', 'T', ' '):
    case Id('F', 'L', 'I', 'C'): case Id('R', 'L', 'E', ' '): case Id('C', 'M', 'P', ' '):
    case Id('X', 'C', 'M', 'P'): case Id('p', 'r', 'o', 'p'):
      return false;
    default:  // kept as plain bytes by the loader
      return true;
  }
}

// The object count, then the objects.
bool ObjectListLooksSound(Reader &r, int iDepth) {
  uint32_t uCount;
  if (!r.u32(uCount)) return false;
  // Each object takes at least its three 32-bit fields.
  if (static_cast<uint64_t>(uCount) * 12 > r.left()) return false;
  for (uint32_t i = 0; i < uCount; ++i)
    if (!ObjectLooksSound(r, iDepth)) return false;
  return true;
}

}  // namespace

bool DatafileBytesLookSound(const uint8_t *pBytes, size_t uSize) {
  Reader r(pBytes, uSize);
  uint32_t uMagic;
  if (!r.u32(uMagic) || uMagic != Id('A', 'L', 'L', '.')) return false;
  // Bytes after the last object are never read by the loader.
  return ObjectListLooksSound(r, 0);
}

namespace {

// The packfile layer's whole-file decompression, done here as the library
// does it, so that the check sees exactly the bytes its loader will read.
// The library's ring of 4096 bytes starts with zeros except its last 18,
// which hold whatever its allocation held until the output reaches them: a
// reference to one of those before it was written would make two readings
// of the same file differ, so such a file is refused.
bool Unpack(const std::vector<uint8_t> &vIn, size_t uFrom, std::vector<uint8_t> &vOut) {
  constexpr int RingSize = 4096, MaxMatch = 18, MinMatch = 2;
  std::vector<uint8_t> vRing(RingSize, 0);
  std::vector<bool> vWritten(RingSize, true);
  for (int i = RingSize - MaxMatch; i < RingSize; ++i) vWritten[i] = false;
  int r = RingSize - MaxMatch;
  unsigned int uFlags = 0;
  size_t uAt = uFrom;
  auto Next = [&](int &rOut) {
    if (uAt >= vIn.size()) return false;
    rOut = vIn[uAt++];
    return true;
  };
  auto Put = [&](int c) {
    vRing[r] = static_cast<uint8_t>(c);
    vWritten[r] = true;
    r = (r + 1) & (RingSize - 1);
    vOut.push_back(static_cast<uint8_t>(c));
  };
  for (;;) {
    if (vOut.size() > MaxFileBytes) return false;
    int c;
    if (((uFlags >>= 1) & 256) == 0) {
      if (!Next(c)) break;
      uFlags = static_cast<unsigned int>(c) | 0xFF00;
    }
    if (uFlags & 1) {
      if (!Next(c)) break;
      Put(c);
    } else {
      int i, j;
      if (!Next(i) || !Next(j)) break;
      i |= (j & 0xF0) << 4;
      j = (j & 0x0F) + MinMatch;
      for (int k = 0; k <= j; ++k) {
        const int iPos = (i + k) & (RingSize - 1);
        if (!vWritten[iPos]) return false;
        Put(vRing[iPos]);
      }
    }
  }
  return true;
}

}  // namespace

bool DatafileLooksSound(const char *cName) {
  // The packfile layer's magic: "slh!" for a compressed file, "slh." for a
  // plain one; it opens nothing else for reading.
  FILE *pFile = fopen(cName, "rb");
  if (pFile == nullptr) return false;
  std::vector<uint8_t> vFile;
  uint8_t aChunk[16384];
  size_t uRead;
  while ((uRead = fread(aChunk, 1, sizeof aChunk, pFile)) > 0 && vFile.size() <= MaxFileBytes)
    vFile.insert(vFile.end(), aChunk, aChunk + uRead);
  fclose(pFile);
  if (vFile.size() > MaxFileBytes || vFile.size() < 4 || vFile[0] != 's' || vFile[1] != 'l' ||
      vFile[2] != 'h')
    return false;
  if (vFile[3] == '.') return DatafileBytesLookSound(vFile.data() + 4, vFile.size() - 4);
  std::vector<uint8_t> vBytes;
  return vFile[3] == '!' && Unpack(vFile, 4, vBytes) &&
         DatafileBytesLookSound(vBytes.data(), vBytes.size());
}

DATAFILE *LoadDatafileChecked(const char *cName) {
  if (!DatafileLooksSound(cName)) return nullptr;
  return load_datafile(cName);
}
