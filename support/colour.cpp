// Colour packing and its integer power helper.
#include "support/colour.h"

#include <cstdint>

int IntPower(int iBase, int iExponent) {
  if (iExponent < 0) {
    int iPower = IntPower(iBase, -iExponent);
    return iPower == 0 ? 0 : 1 / iPower;
  }
  // Unsigned arithmetic so overflow wraps instead of being undefined.
  uint32_t uResult = 1;
  uint32_t uSquare = static_cast<uint32_t>(iBase);
  for (uint32_t uExp = static_cast<uint32_t>(iExponent); uExp != 0; uExp >>= 1) {
    if (uExp & 1) uResult *= uSquare;
    uSquare *= uSquare;
  }
  return static_cast<int>(uResult);
}

int PackColour(int iRed, int iGreen, int iBlue) {
  const double fBlueWeight = IntPower(256, 0);
  const double fGreenWeight = IntPower(256, 1);
  const double fRedWeight = IntPower(256, 2);
  int iB = static_cast<int>(iBlue * fBlueWeight);
  int iG = static_cast<int>(iGreen * fGreenWeight);
  int iR = static_cast<int>(iRed * fRedWeight);
  return static_cast<int>(static_cast<uint32_t>(iR) + static_cast<uint32_t>(iG) +
                          static_cast<uint32_t>(iB));
}

ColourComponents SplitColour(int iColour) {
  ColourComponents c;
  c.iRed = static_cast<int>(iColour / 65536.0) % 256;
  c.iGreen = static_cast<int>(iColour / 256.0) % 256;
  c.iBlue = iColour % 256;
  return c;
}
