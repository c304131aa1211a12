#include <gtest/gtest.h>

#include "support/colour.h"

TEST(Colour, PacksNamedColoursInScreenLayout) {
  EXPECT_EQ(PackColour(255, 0, 255), 0xFF00FF);
  EXPECT_EQ(PackColour(255, 255, 255), 16777215);
  EXPECT_EQ(PackColour(200, 0, 0), 13107200);
  EXPECT_EQ(PackColour(192, 0, 0), 12582912);
  EXPECT_EQ(PackColour(0, 100, 0), 0x006400);
  // Out-of-range components spill into the neighbouring field.
  EXPECT_EQ(PackColour(0, 0, 256), PackColour(0, 1, 0));
}

TEST(Colour, SplitIsTheInverseOfPack) {
  for (int r = 0; r < 256; r += 51)
    for (int g = 0; g < 256; g += 17)
      for (int b = 0; b < 256; b += 85) {
        ColourComponents c = SplitColour(PackColour(r, g, b));
        ASSERT_EQ(c.iRed, r);
        ASSERT_EQ(c.iGreen, g);
        ASSERT_EQ(c.iBlue, b);
      }
  ColourComponents neg = SplitColour(-PackColour(1, 2, 3));
  EXPECT_EQ(neg.iRed, -1);
  EXPECT_EQ(neg.iGreen, -2);
  EXPECT_EQ(neg.iBlue, -3);
}

TEST(Colour, IntPowerWrapsAndHandlesNegativeExponents) {
  EXPECT_EQ(IntPower(256, 0), 1);
  EXPECT_EQ(IntPower(256, 2), 65536);
  EXPECT_EQ(IntPower(3, 5), 243);
  EXPECT_EQ(IntPower(256, 4), 0);
  EXPECT_EQ(IntPower(2, -1), 0);
  EXPECT_EQ(IntPower(1, -5), 1);
  EXPECT_EQ(IntPower(-1, -3), -1);
  EXPECT_EQ(IntPower(0, -2), 0);
}
