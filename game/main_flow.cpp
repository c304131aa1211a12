// The title/world-map loop and main's catch of every way out.
#include "game/main_flow.h"

#include <allegro.h>

#include <exception>

#include "app/notice.h"

void RunMainFlow(TitleScreen runTitle, WorldMapScreen runWorldMap) {
  TitleChoice choice = TitleChoice::Nothing;
  while (!key[KEY_ESC] && choice != TitleChoice::Exit) {
    choice = runTitle();
    if (choice == TitleChoice::Play) runWorldMap();
  }
}

namespace {

// An exception nothing else expected: shown like a fatal message. Status 1.
int ReportFailure(const char *cWhat) {
  try {
    SwitchToTextMode();
    ShowMessage("ERROR:  %s", cWhat);
  } catch (...) {
    // Showing it failed as well (no memory left): the status still says so.
  }
  return 1;
}

}  // namespace

int RunGuarded(const std::function<void()> &game, void (*shutDown)()) {
  int iStatus = 0;
  try {
    game();
  } catch (const GameExitRequest &request) {
    // A fatal message has been answered; the screens and the stage it
    // interrupted have freed what they held on the way here.
    iStatus = request.iStatus;
  } catch (const std::exception &e) {
    iStatus = ReportFailure(e.what());
  } catch (...) {
    iStatus = ReportFailure("an unknown failure");
  }
  shutDown();
  return iStatus;
}
