// Skarnvale's entry point: the command line, start-up, splash, the main flow,
// and the one way out, which every fatal message and every unexpected
// failure also takes.
#include <allegro.h>

#include <string>

#include "game/main_flow.h"
#include "app/options.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/startup.h"
#include "audio/game_music.h"
#include "screens/screens.h"

int main(int argc, char **argv) {
  GameOptions options;
  std::string sMessage;
  switch (ParseOptions(argc, argv, options, sMessage)) {
    case OptionsVerdict::Help: ShowCommandLineText(OptionsHelp(), false); return 0;
    case OptionsVerdict::Version:
      ShowCommandLineText((std::string(VersionLine()) + "\n").c_str(), false);
      return 0;
    case OptionsVerdict::Refused: ShowCommandLineText((sMessage + "\n").c_str(), true); return 2;
    case OptionsVerdict::Play: break;
  }
  EnterGameFolder();
  return RunGuarded(
      [&options] {
        StartUp(options.display);
        StartGameMusic();
        // Every screen loop now shows one picture per game tick and sleeps
        // between them.
        SetFramePacing(true);
        ShowSplash(true);
        RunMainFlow(RunTitleMenu, RunWorldMap);
      },
      // The music stops first: its refill runs on the timer thread.
      [] {
        StopGameMusic();
        ShutDown();
      });
}
END_OF_MAIN()
