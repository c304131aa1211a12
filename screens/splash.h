// The start-up splash: the library logo fading in, the maker's logo
// cross-fading over it and sinking into black, then the notice page fading
// in and out. Each phase ends by itself or early on ESC; one ESC press skips
// one phase only. ShowSplash (screens.h) drives it frame by frame.
#pragma once
#include <allegro.h>

#include "support/owned.h"

class Splash {
 public:
  enum Phase {
    kLibraryLogo,
    kWaitEsc1,
    kMakerLogo,
    kMakerFadeOut,
    kWaitEsc2,
    kNotice,
    kNoticeFadeOut,
    kWaitEsc3,
    kDone
  };

  Splash();
  Splash(const Splash &) = delete;
  Splash &operator=(const Splash &) = delete;
  // Loads both logos, makes the work bitmap, blanks the BackBuffer and starts
  // the library logo phase.
  void load();
  // One turn of the current phase's loop (a frame shown), or the move to the
  // next phase when the current one is over. False once the splash is done.
  // A wait-out step blocks while ESC is held.
  bool step();
  // Destroys every bitmap the splash made (a splash left early, a logo that
  // cannot be read, frees them as it goes).
  void release();

  // Phase length limits in ticks, and the notice page (y and text per line).
  static const int kLogoTicks = 250;
  static const int kNoticeTicks = 500;
  static const int kNoticeLineCount = 12;
  static const int kNoticeY[kNoticeLineCount];
  static const char *const kNoticeText[kNoticeLineCount];
  // The line that names the README, and what it says instead when the game
  // runs in its own build's data folder, as from a checkout by ./play.sh.
  static const int kReadmeLine = 6;
  static const char *const kCheckoutReadme;

  Phase iPhase;
  int iStart;      // GameTicks when the phase began
  int iLastStep;   // GameTicks at the last alpha step
  int iAlpha;      // the splash's own fade level (a multiple of 10, up to 260)
  OwnedBitmap pLibraryLogo;
  OwnedBitmap pMakerLogo;
  OwnedBitmap pWork;         // the phase's logo scaled to the BackBuffer's size
  OwnedBitmap pNoticeLayer;  // the notice page on magenta

 private:
  void startPhase(Phase iNext);
  void fadeInStep();
  void fadeOutStep();
  void showLayer(BITMAP *pLayer);
  void scaleLogo(BITMAP *pLogo);
};
