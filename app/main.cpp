// Skarnvale's entry point and main flow: splash, then the title menu and the
// world map until the player chooses "Exit" or holds ESC.
#include <allegro.h>

#include "app/platform.h"
#include "app/startup.h"
#include "screens/screens.h"

int main() {
  EnterGameFolder();
  StartUp();
  ShowSplash(true);
  int iChoice = 0;
  while (!key[KEY_ESC] && iChoice != 3) {
    iChoice = RunTitleMenu();
    if (iChoice == 1) RunWorldMap();
  }
  ShutDown();
  return 0;
}
END_OF_MAIN()
