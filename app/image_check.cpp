// Header checks for the picture formats the game ships (BMP and PCX).
#include "app/image_check.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

// No picture of the game comes near this side length or pixel count; the
// count also bounds what a small run-length coded file can ask for.
constexpr int32_t MaxSide = 8192;
constexpr int64_t MaxPixels = 4096 * 4096;
// Pictures are read whole (run-length coded ones to follow their runs); the
// largest the pixel count allows takes 64 MiB.
constexpr long MaxFileBytes = 65 << 20;

uint32_t Little32(const uint8_t *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Little16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool HasExtension(const char *cName, const char *cExtension) {
  size_t uName = strlen(cName), uExt = strlen(cExtension);
  return uName > uExt && strcasecmp(cName + uName - uExt, cExtension) == 0;
}

// Follows the run-length codes of an 8-bit (bNibbles false) or 4-bit picture
// exactly as the library's decoder does, from the bottom row up, and says
// whether every pixel it writes lies inside the picture. Past the end of the
// data the decoder reads end-of-file markers (0xFF, or 0xFFFF where the 4-bit
// decoder keeps a 16-bit value); those runs must stay inside too.
bool RunsStayInside(const std::vector<uint8_t> &vData, size_t uStart, int64_t iWidth,
                    int64_t iHeight, bool bNibbles) {
  size_t uAt = uStart;
  auto Byte = [&]() -> uint32_t { return uAt < vData.size() ? vData[uAt++] : 0xFF; };
  auto Value = [&]() -> uint32_t {
    return uAt < vData.size() ? vData[uAt++] : bNibbles ? 0xFFFF : 0xFF;
  };
  int64_t iLine = iHeight - 1;
  bool bEnd = false;
  while (!bEnd) {
    int64_t iPos = 0;
    bool bEndOfLine = false;
    while (!bEndOfLine && !bEnd) {
      const uint32_t uCount = Byte();
      const uint32_t uValue = Value();
      int64_t iWrites = 0;
      if (uCount > 0) {
        iWrites = uCount;
      } else if (uValue == 0) {
        bEndOfLine = true;
      } else if (uValue == 1) {
        bEnd = true;
      } else if (uValue == 2) {
        iPos += Byte();
        iLine -= Value();
      } else {
        iWrites = uValue;
        // Pixels in absolute mode: 8-bit ones padded to a 16-bit word,
        // 4-bit ones read a 16-bit word per four pixels.
        uAt += bNibbles ? 2 * ((uValue + 3) / 4) : uValue + (uValue & 1);
      }
      if (iWrites > 0) {
        if (iLine < 0 || iLine >= iHeight || iPos < 0 || iPos + iWrites > iWidth) return false;
        iPos += iWrites;
      }
      if (iPos - 1 > iWidth) bEndOfLine = true;
    }
    if (--iLine < 0) bEnd = true;
  }
  return true;
}

bool BmpLooksSound(const std::vector<uint8_t> &vFile) {
  const uint8_t *h = vFile.data();
  const size_t uHave = vFile.size();
  const int64_t iFileSize = static_cast<int64_t>(vFile.size());
  if (uHave < 26 || h[0] != 'B' || h[1] != 'M') return false;
  const uint32_t uOffset = Little32(h + 10);
  const uint32_t uInfoSize = Little32(h + 14);
  int64_t iWidth, iHeight;
  int iBits, iCompression = 0;
  if (uInfoSize == 12) {  // the old OS/2 header
    iWidth = Little16(h + 18);
    iHeight = Little16(h + 20);
    if (Little16(h + 22) != 1) return false;
    iBits = Little16(h + 24);
  } else if (uInfoSize == 40 || uInfoSize == 52 || uInfoSize == 56 || uInfoSize == 108 ||
             uInfoSize == 124) {
    if (uHave < 54) return false;
    iWidth = static_cast<int32_t>(Little32(h + 18));
    // A top-down picture (negative height) is refused: on a 64-bit system the
    // library reads the height as an unsigned number, some four billion rows.
    iHeight = static_cast<int32_t>(Little32(h + 22));
    if (Little16(h + 26) != 1) return false;
    iBits = Little16(h + 28);
    iCompression = static_cast<int>(Little32(h + 30));
    const uint32_t uColoursUsed = Little32(h + 46);
    if (uColoursUsed > 256) return false;
  } else {
    return false;
  }
  if (iWidth < 1 || iWidth > MaxSide || iHeight < 1 || iHeight > MaxSide) return false;
  if (iWidth * iHeight > MaxPixels) return false;
  if (iBits != 1 && iBits != 4 && iBits != 8 && iBits != 16 && iBits != 24 && iBits != 32)
    return false;
  // Run-length coding exists for 8 and 4 bits only, bit fields for 16 and 32.
  if (iCompression == 1 && iBits != 8) return false;
  if (iCompression == 2 && iBits != 4) return false;
  if (iCompression == 3 && iBits != 16 && iBits != 32) return false;
  if (iCompression < 0 || iCompression > 3) return false;
  if (uOffset < 14 + uInfoSize || uOffset > iFileSize) return false;
  if (iCompression == 0 || iCompression == 3) {
    const int64_t iRowBytes = ((iWidth * iBits + 31) / 32) * 4;
    return uOffset + iRowBytes * iHeight <= iFileSize;
  }
  // Runs: every run must stay inside.
  return RunsStayInside(vFile, uOffset, iWidth, iHeight, iBits == 4);
}

bool PcxLooksSound(const std::vector<uint8_t> &vFile) {
  const uint8_t *h = vFile.data();
  const size_t uHave = vFile.size();
  const int64_t iFileSize = static_cast<int64_t>(vFile.size());
  if (uHave < 128 || h[0] != 10 || h[2] != 1) return false;
  const int iBits = h[3];
  const int iPlanes = h[65];
  const int64_t iWidth = static_cast<int64_t>(Little16(h + 8)) - Little16(h + 4) + 1;
  const int64_t iHeight = static_cast<int64_t>(Little16(h + 10)) - Little16(h + 6) + 1;
  const int iBytesPerLine = Little16(h + 66);
  if (iWidth < 1 || iWidth > MaxSide || iHeight < 1 || iHeight > MaxSide) return false;
  if (iWidth * iHeight > MaxPixels) return false;
  if (!(iBits == 8 && (iPlanes == 1 || iPlanes == 3)) && !(iBits == 1 && iPlanes <= 4))
    return false;
  if (iPlanes < 1 || iBytesPerLine < (iWidth * iBits + 7) / 8 || iBytesPerLine > 2 * MaxSide)
    return false;
  // Each encoded byte gives at most 63 pixels' bytes; a 256-colour picture
  // also keeps its palette (a marker and 768 bytes) at the end.
  const int64_t iRaw = static_cast<int64_t>(iBytesPerLine) * iPlanes * iHeight;
  int64_t iMinimum = 128 + (iRaw + 62) / 63;
  if (iBits == 8 && iPlanes == 1) iMinimum += 769;
  return iFileSize >= iMinimum;
}

}  // namespace

bool ImageFileLooksSound(const char *cName) {
  const bool bBmp = HasExtension(cName, ".bmp");
  const bool bPcx = HasExtension(cName, ".pcx");
  if (!bBmp && !bPcx) return true;
  FILE *pFile = fopen(cName, "rb");
  if (pFile == nullptr) return false;
  fseek(pFile, 0, SEEK_END);
  const long lSize = ftell(pFile);
  fseek(pFile, 0, SEEK_SET);
  std::vector<uint8_t> vFile;
  if (lSize >= 0 && lSize <= MaxFileBytes) {
    vFile.resize(static_cast<size_t>(lSize));
    vFile.resize(fread(vFile.data(), 1, vFile.size(), pFile));
  }
  fclose(pFile);
  if (lSize < 0 || lSize > MaxFileBytes || vFile.size() != static_cast<size_t>(lSize)) return false;
  return bBmp ? BmpLooksSound(vFile) : PcxLooksSound(vFile);
}

BITMAP *LoadPictureChecked(const char *cName, RGB *pPalette) {
  if (!ImageFileLooksSound(cName)) return nullptr;
  // The loaders fill only the colours a file holds and convert with all
  // 256, so the rest must not be left as they were on the stack.
  PALETTE aPalette = {};
  return load_bitmap(cName, pPalette != nullptr ? pPalette : aPalette);
}
