#include "app/main_flow.h"

#include <allegro.h>

void RunMainFlow(TitleScreen runTitle, WorldMapScreen runWorldMap) {
  int iChoice = 0;
  while (!key[KEY_ESC] && iChoice != 3) {
    iChoice = runTitle();
    if (iChoice == 1) runWorldMap();
  }
}
