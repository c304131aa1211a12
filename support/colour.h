// Colour packing: the game builds its 32-bit colour values itself, red in
// bits 16-23, green in 8-15, blue in 0-7 (the layout of the 32-bit screen).
#pragma once

struct ColourComponents {
  int iRed;
  int iGreen;
  int iBlue;
};

// red * 65536 + green * 256 + blue, each product truncated from a double.
// Components are not clamped: out-of-range values spill into their neighbours.
int PackColour(int iRed, int iGreen, int iBlue);

// Inverse of PackColour for 0..0xFFFFFF; remainders keep the dividend's sign.
ColourComponents SplitColour(int iColour);

// base ** exponent by repeated squaring in wrapping 32-bit arithmetic; a
// negative exponent gives 1 / base ** -exponent in integer division.
int IntPower(int iBase, int iExponent);
