// Header checks for the picture formats the game ships (BMP and PCX).
#include "app/image_check.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <strings.h>
#include <vector>

namespace {

// No picture of the game comes near this side length.
constexpr int32_t MaxSide = 8192;

uint32_t Little32(const uint8_t *p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
uint16_t Little16(const uint8_t *p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }

bool HasExtension(const char *cName, const char *cExtension) {
  size_t uName = strlen(cName), uExt = strlen(cExtension);
  return uName > uExt && strcasecmp(cName + uName - uExt, cExtension) == 0;
}

bool BmpLooksSound(const uint8_t *h, size_t uHave, int64_t iFileSize) {
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
    iHeight = static_cast<int32_t>(Little32(h + 22));
    if (iHeight < 0) iHeight = -iHeight;
    if (Little16(h + 26) != 1) return false;
    iBits = Little16(h + 28);
    iCompression = static_cast<int>(Little32(h + 30));
    const uint32_t uColoursUsed = Little32(h + 46);
    if (uColoursUsed > 256) return false;
  } else {
    return false;
  }
  if (iWidth < 1 || iWidth > MaxSide || iHeight < 1 || iHeight > MaxSide) return false;
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
    if (uOffset + iRowBytes * iHeight > iFileSize) return false;
  }
  return true;
}

bool PcxLooksSound(const uint8_t *h, size_t uHave, int64_t iFileSize) {
  if (uHave < 128 || h[0] != 10 || h[2] != 1) return false;
  const int iBits = h[3];
  const int iPlanes = h[65];
  const int64_t iWidth = static_cast<int64_t>(Little16(h + 8)) - Little16(h + 4) + 1;
  const int64_t iHeight = static_cast<int64_t>(Little16(h + 10)) - Little16(h + 6) + 1;
  const int iBytesPerLine = Little16(h + 66);
  if (iWidth < 1 || iWidth > MaxSide || iHeight < 1 || iHeight > MaxSide) return false;
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
  uint8_t cHeader[128];
  const size_t uHave = fread(cHeader, 1, sizeof cHeader, pFile);
  fseek(pFile, 0, SEEK_END);
  const int64_t iFileSize = ftell(pFile);
  fclose(pFile);
  return bBmp ? BmpLooksSound(cHeader, uHave, iFileSize) : PcxLooksSound(cHeader, uHave, iFileSize);
}
