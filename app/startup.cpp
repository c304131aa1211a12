// Start-up in its fixed order, with the messages the player sees when a
// device fails, and shut-down.
#include "app/startup.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/globals.h"
#include "app/notice.h"
#include "app/pad.h"
#include "app/platform.h"
#include "app/present.h"
#include "app/transitions.h"
#include "support/blit32.h"
#include "support/owned.h"
#include "tilemap/tilemap.h"

// Holds the BackBuffer from start-up to shut-down.
static OwnedBitmap &HeldBackBuffer = ProcessWide<OwnedBitmap>();

// The clock stands still while the game is paused (it has no focus).
void OnGameTick() {
  if (GameIsAway()) return;
  GameTicks.fetch_add(1, std::memory_order_relaxed);
  TickCounted();  // a loop sleeping until this tick wakes
}
END_OF_FUNCTION(OnGameTick)

// Shows a failure and the library's own explanation of it.
static void Report(const char *cError) {
  ShowMessage("%s", cError);
  ShowMessage("REPORT:  %s\n", allegro_error);
}

// Text mode first so the message is readable, then report and stop.
[[noreturn]] static void FailInTextMode(const char *cError) {
  SwitchToTextMode();
  Report(cError);
  ExitGame();
}

// Full screen at the desktop's own size, else a window (app/present.h).
static void SetGameMode(const DisplayRequest &display) {
  if (OpenDisplay(display)) return;
  FailInTextMode("ERROR:  Failure to init video mode!  Terminating program.\n");
}

void InstallSoundOrGoSilent() {
  reserve_voices(32, -1);
  if (install_sound(DIGI_AUTODETECT, MIDI_NONE, nullptr) == 0) return;
  Report("ERROR:  Failure to install sound.  Attempting to run without sound.\n");
  // With voices reserved the driverless install always fails; a silent run
  // needs none.
  reserve_voices(0, 0);
  if (install_sound(DIGI_NONE, MIDI_NONE, nullptr) == 0) return;
  Report("ERROR:  Failed to install sound.  Terminating program.\n");
  ExitGame();
}

static void StartDevices(const DisplayRequest &display) {
  PaceTheLibrarysBackgroundWork();
  if (install_allegro(SYSTEM_AUTODETECT, &errno, atexit) != 0) {
    Report("ERROR:  Failed to initialize allegro library.  Terminating program.\n");
    ExitGame();
  }
  // Refused before any window opens, as an unknown option is.
  if (!display.bScaleFromSettings && !ScaleFitsDesktop(display.iScale)) {
    int iWidth, iHeight;
    DesktopSize(iWidth, iHeight);
    char cLine[120];
    snprintf(cLine, sizeof cLine, "skarnvale: a picture at scale %d does not fit the %d x %d desktop\n",
             display.iScale, iWidth, iHeight);
    ShowCommandLineText(cLine, true);
    ExitGame(2);
  }
  DressGameWindow();
  SetGameMode(display);
  if (install_timer() != 0)
    FailInTextMode("ERROR:  Failed to install timer.  Terminating program.\n");
  if (install_keyboard() != 0)
    FailInTextMode("ERROR:  Failed to install keyboard.  Terminating program.\n");
  install_joystick(JOY_TYPE_AUTODETECT);
  poll_joystick();
  StartPads("/dev/input");
  if (num_joysticks == 0 && PadsOpen() == 0)
    ShowMessage("NOTE:  No joystick could be found, but you can still use keyboard.");
  if (install_mouse() < 0)
    FailInTextMode("ERROR:  Failed to install mouse.  Terminating program.\n");
  // Text cells are drawn on magenta, so text in a layer shows no background.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  text_mode(ColourMagenta);
#pragma GCC diagnostic pop
  InstallSoundOrGoSilent();
}

void StartUp(const DisplayRequest &display) {
  StartDevices(display);
  srand(static_cast<unsigned>(time(nullptr)));
  LOCK_VARIABLE(GameTicks);
  LOCK_FUNCTION(OnGameTick);
  // Without the tick no delay ever passes and every fade would wait forever.
  if (install_int_ex(OnGameTick, MSEC_TO_TIMER(20)) != 0)
    FailInTextMode("ERROR:  Failed to start the game clock.  Terminating program.\n");
  HeldBackBuffer.reset(CreateBitmapOrExit(640, 480));
  BackBuffer = HeldBackBuffer.get();

  PALETTE blackPalette;
  for (int i = 0; i < PAL_SIZE; ++i) blackPalette[i].r = blackPalette[i].g = blackPalette[i].b = 0;
  create_trans_table(&TransTable, blackPalette, 0, 0, 0, nullptr);
  color_map = &TransTable;
  SetTransAlpha(78);

  FadeStepTick = GameTicks.load();
  FadeLevel = 0;

  TileMapUsePalette();
}

void ShutDown() {
  // The music has stopped already (StopGameMusic, audio/game_music.h).
  StopPads();
  remove_int(OnGameTick);
  FreeFadeScratch();
  CloseDisplay();
  BackBuffer = nullptr;
  HeldBackBuffer.reset();
  allegro_exit();
}
