// Keyboard tests shared by the splash and the title menu.
#include <allegro.h>

#include "app/present.h"
#include "screens/screens.h"

bool KeyPressed(int iScancode) {
  bool bPressed = key[iScancode] != 0;
  if (bPressed && iScancode != KEY_ENTER && iScancode != KEY_ENTER_PAD) {
    // key[] is written by the keyboard handler in the background.
    while (key[iScancode]) IdleUntilNextTick();
  }
  clear_keybuf();
  return bPressed;
}

int ReadDigitKey() {
  int iDigit = 0;
  for (int i = 1; i <= 9; ++i) {
    if (KeyPressed(KEY_1 + i - 1) || KeyPressed(KEY_1_PAD + i - 1)) iDigit = i;
  }
  return iDigit;
}

bool EnterPressed() { return KeyPressed(KEY_ENTER) || KeyPressed(KEY_ENTER_PAD); }
