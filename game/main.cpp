// Skarnvale's entry point: the command line, start-up, splash, the main flow,
// and the one way out, which every fatal message and every unexpected
// failure also takes.
#include <allegro.h>

#include <cstdio>
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
    case OptionsVerdict::Help: fputs(OptionsHelp(), stdout); return 0;
    case OptionsVerdict::Version: puts(VersionLine()); return 0;
    case OptionsVerdict::Refused: fprintf(stderr, "%s\n", sMessage.c_str()); return 2;
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
