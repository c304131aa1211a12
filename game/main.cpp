// Skarnvale's entry point: the command line, start-up, splash, the main flow,
// and the one way out, which every fatal message and every unexpected
// failure also takes.
#include <allegro.h>

#include <string>

#include "game/main_flow.h"
#include "app/options.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/settings.h"
#include "app/notice.h"
#include "app/startup.h"
#include "audio/game_music.h"
#include "screens/screens.h"

// The settings file's choices, under the command line's: what the command
// line gave holds for this run and is never saved.
static void TakeSettings(DisplayRequest &display) {
  GameSettings = KeptSettings;
  if (display.bWindow) GameSettings.bWindow = true;
  display.bWindow = GameSettings.bWindow;
  if (display.iScale > 0) {
    GameSettings.iScale = display.iScale;
  } else {
    display.iScale = GameSettings.iScale;
    display.bScaleFromSettings = true;
  }
  if (display.bNoPause) GameSettings.bPauseWhenAway = false;
  display.bNoPause = !GameSettings.bPauseWhenAway;
}

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
  std::string sSettingsNote;
  const SettingsLoad settingsRead = LoadSettings(SettingsPath(), KeptSettings, sSettingsNote);
  DisplayRequest &display = options.display;
  TakeSettings(display);
  return RunGuarded(
      [&display, settingsRead, &sSettingsNote] {
        StartUp(display);
        if (settingsRead == SettingsLoad::Damaged) ShowMessage("NOTE:  %s", sSettingsNote.c_str());
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
