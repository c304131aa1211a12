// Minimal screens: a plain menu until the real title and world map land.
#include "screens/screens.h"

#include <allegro.h>

#include "app/globals.h"
#include "app/transitions.h"

void ShowSplash(bool) {}

int RunTitleMenu() {
  static const char *const cEntries[] = {"Play", "Options", "Exit"};
  int iSelected = 0;
  clear_keybuf();
  for (;;) {
    if (key[KEY_ESC]) return 0;
    if (keypressed()) {
      int iKey = readkey() >> 8;
      if (iKey == KEY_DOWN) iSelected = (iSelected + 1) % 3;
      if (iKey == KEY_UP) iSelected = (iSelected + 2) % 3;
      if (iKey == KEY_ENTER) return iSelected + 1;
    }
    clear_to_color(BackBuffer, ColourBlue);
    textout_ex(BackBuffer, font, "SKARNVALE", 280, 200, ColourWhite, -1);
    for (int i = 0; i < 3; ++i)
      textout_ex(BackBuffer, font, cEntries[i], 450, 350 + 15 * i,
                 i == iSelected ? ColourRed : ColourWhite, -1);
    if (FadeIn(5)) blit(BackBuffer, screen, 0, 0, 0, 0, 640, 480);
  }
}

void RunWorldMap() {}
