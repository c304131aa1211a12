// Bounds-checked reading of FMP chunk data. Chunk lengths are big-endian;
// every other number follows the map's byte-order flag. A MapReader never
// reads outside its data: a read that would run past the end returns 0 and
// raises a sticky failure flag, so a decoder reads on and checks once.
#pragma once
#include <cstddef>
#include <cstdint>

// 32-bit big-endian number at p (chunk and container lengths).
inline uint32_t ReadBE32(const uint8_t *p) {
  return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}

// Signed 16-bit number at p in the map's byte order.
inline int16_t ReadMapInt16(const uint8_t *p, bool bLittleEndian) {
  uint16_t u = bLittleEndian ? uint16_t(p[0] | (p[1] << 8)) : uint16_t((p[0] << 8) | p[1]);
  return static_cast<int16_t>(u);
}

// Signed 32-bit number at p in the map's byte order.
inline int32_t ReadMapInt32(const uint8_t *p, bool bLittleEndian) {
  uint32_t u = bLittleEndian
                   ? uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24)
                   : ReadBE32(p);
  return static_cast<int32_t>(u);
}

class MapReader {
 public:
  MapReader(const uint8_t *pData, size_t iSize, bool bLittleEndian)
      : pData(pData), iSize(iSize), iPos(0), bLittle(bLittleEndian), bFailed(false) {}

  bool failed() const { return bFailed; }
  size_t remaining() const { return iSize - iPos; }
  // Moves to an absolute offset; an offset past the end fails.
  void seek(size_t iOffset) {
    if (iOffset > iSize) bFailed = true;
    else iPos = iOffset;
  }
  void skip(size_t iCount) {
    if (take(iCount)) iPos += iCount;
  }

  uint8_t readU8() { return take(1) ? pData[iPos++] : 0; }
  int8_t readI8() { return static_cast<int8_t>(readU8()); }
  int16_t readMapInt16() {
    if (!take(2)) return 0;
    int16_t v = ReadMapInt16(pData + iPos, bLittle);
    iPos += 2;
    return v;
  }
  uint16_t readMapUInt16() { return static_cast<uint16_t>(readMapInt16()); }
  int32_t readMapInt32() {
    if (!take(4)) return 0;
    int32_t v = ReadMapInt32(pData + iPos, bLittle);
    iPos += 4;
    return v;
  }

 private:
  // True when iCount more bytes exist; otherwise raises the failure flag.
  bool take(size_t iCount) {
    if (bFailed || iCount > iSize - iPos) {
      bFailed = true;
      return false;
    }
    return true;
  }

  const uint8_t *pData;
  size_t iSize;
  size_t iPos;
  bool bLittle;
  bool bFailed;
};
