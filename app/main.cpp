// Skarnvale's entry point: start-up, splash, the main flow, and the one way
// out, which every fatal message also takes.
#include <allegro.h>

#include "app/main_flow.h"
#include "app/notice.h"
#include "app/platform.h"
#include "app/startup.h"
#include "screens/screens.h"

int main() {
  EnterGameFolder();
  try {
    StartUp();
    ShowSplash(true);
    RunMainFlow(RunTitleMenu, RunWorldMap);
  } catch (const GameExitRequest &) {
    // A fatal message has been answered; the screens and the stage it
    // interrupted have freed what they held on the way here.
  }
  ShutDown();
  return 0;
}
END_OF_MAIN()
