// The start-up splash: two logos and the notice page, each faded by the
// splash's own alpha (the shared screen fade is neither read nor changed).
#include "screens/splash.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "app/present.h"
#include "app/globals.h"
#include "app/transitions.h"
#include "screens/screens.h"
#include "support/blit32.h"

const int Splash::kNoticeY[kNoticeLineCount] = {100, 110, 120, 130, 150, 160,
                                                170, 300, 310, 320, 330, 340};

const char *const Splash::kNoticeText[kNoticeLineCount] = {
    "The following game is in an Alpha stage, meaning the graphics",
    "are NOT final and there are still some bugs.  However, it IS ",
    "a playable demo and I hope you enjoy it.",
    "                                        -Sincerely, Quillon",
    "To track progress on Skarnvale and other amazing games from",
    "Quillon productions, go to:",
#ifdef _WIN32
    "the Project section of README.md, next to skarnvale.exe",  // the zip's folder
#else
    "the Project section of share/doc/skarnvale/README.md",  // every Linux install
#endif
    "Key Features of demo:",
    "*  Fast-action play",
    "*  Orc, Wizards and Carnage",
    "*  Exciting music",
    "*  Five different levels",
};

const char *const Splash::kCheckoutReadme = "the Project section of README.md, atop the checkout";

namespace {

// The game runs in the data folder of the build that made it (./play.sh
// does so): the README to read is the checkout's own, not an installed one.
bool RunsInItsBuild() {
#ifdef SKV_BUILD_RUN_FOLDER
  char cHere[PATH_MAX], cBuild[PATH_MAX];
  return realpath(".", cHere) != nullptr && realpath(SKV_BUILD_RUN_FOLDER, cBuild) != nullptr &&
         strcmp(cHere, cBuild) == 0;
#else
  return false;
#endif
}

}  // namespace

void ShowSplash(bool bShow) {
  if (!bShow) return;
  Splash splash;
  splash.load();
  // A pass that showed nothing (a phase changing) still waits for its tick.
  while (splash.step()) IdleUntilNextTick();
  splash.release();
}

Splash::Splash()
    : iPhase(kLibraryLogo), iStart(0), iLastStep(0), iAlpha(0) {}

void Splash::load() {
  pLibraryLogo.reset(LoadBitmapOrExit("allegro.pcx", nullptr));
  pMakerLogo.reset(LoadBitmapOrExit("quillon.bmp", nullptr));
  pWork.reset(CreateBitmapOrExit(BackBuffer->w, BackBuffer->h));
  // Fresh bitmaps hold garbage; mask colour keeps it out of the picture.
  clear_to_color(pWork.get(), ColourMagenta);
  BlankBitmap(BackBuffer);
  startPhase(kLibraryLogo);
}

void Splash::release() {
  pLibraryLogo.reset();
  pMakerLogo.reset();
  pWork.reset();
  pNoticeLayer.reset();
}

// The scaled logo is the same every frame of a phase, so it is scaled once.
void Splash::scaleLogo(BITMAP *pLogo) {
  stretch_sprite(pWork.get(), pLogo, 0, 0, BackBuffer->w, BackBuffer->h);
}

void Splash::startPhase(Phase iNext) {
  iPhase = iNext;
  if (iNext == kDone) return;
  iStart = iLastStep = GameTicks;
  SetTransAlpha(0);
  iAlpha = 0;
  if (iNext == kLibraryLogo) scaleLogo(pLibraryLogo.get());
  if (iNext == kMakerLogo) scaleLogo(pMakerLogo.get());
  if (iNext == kNotice) {
    pNoticeLayer.reset(CreateBitmapOrExit(640, 480));
    rectfill(pNoticeLayer.get(), 0, 0, pNoticeLayer->w, pNoticeLayer->h, ColourMagenta);
    for (int i = 0; i < kNoticeLineCount; ++i) {
      const char *cLine = i == kReadmeLine && RunsInItsBuild() ? kCheckoutReadme : kNoticeText[i];
      textout_ex(pNoticeLayer.get(), font, cLine, 100, kNoticeY[i], ColourWhite, ColourMagenta);
    }
  }
}

// The alpha itself still climbs to 260 (the fade-out then takes 26 steps),
// but the blender never gets more than 255: a larger alpha would spill into
// the neighbouring colour channels.
void Splash::fadeInStep() {
  if (iAlpha < 255 && TicksSince(iLastStep) > 10) {
    iLastStep = GameTicks;
    iAlpha += 10;
    SetTransAlpha(iAlpha > 255 ? 255 : iAlpha);
  }
}

void Splash::fadeOutStep() {
  if (TicksSince(iLastStep) > 1) {
    iLastStep = GameTicks;
    iAlpha -= 10;
    SetTransAlpha(iAlpha > 255 ? 255 : iAlpha);
  }
}

void Splash::showLayer(BITMAP *pLayer) {
  draw_trans_sprite(BackBuffer, pLayer, 0, 0);
  PresentFrame(BackBuffer);
}

bool Splash::step() {
  switch (iPhase) {
    case kLibraryLogo:
    case kMakerLogo:
      // The BackBuffer is never cleared here: the logo builds up over what
      // is there (black, then the library logo it cross-fades with).
      if (TicksSince(iStart) < kLogoTicks && !key[KEY_ESC]) {
        fadeInStep();
        showLayer(pWork.get());
      } else {
        iPhase = iPhase == kLibraryLogo ? kWaitEsc1 : kMakerFadeOut;
      }
      return true;
    case kMakerFadeOut:
    case kNoticeFadeOut:
      if (iAlpha > 0) {
        BlankBitmap(BackBuffer);
        fadeOutStep();
        showLayer(iPhase == kMakerFadeOut ? pWork.get() : pNoticeLayer.get());
      } else {
        iPhase = iPhase == kMakerFadeOut ? kWaitEsc2 : kWaitEsc3;
      }
      return true;
    case kNotice:
      if (TicksSince(iStart) < kNoticeTicks && !key[KEY_ESC]) {
        fadeInStep();
        showLayer(pNoticeLayer.get());
      } else {
        iPhase = kNoticeFadeOut;
      }
      return true;
    case kWaitEsc1:
    case kWaitEsc2:
    case kWaitEsc3:
      // An ESC that ended the phase is waited out, so it skips one phase only.
      if (!KeyPressed(KEY_ESC)) {
        startPhase(iPhase == kWaitEsc1 ? kMakerLogo
                   : iPhase == kWaitEsc2 ? kNotice
                                         : kDone);
      }
      return true;
    case kDone:
      break;
  }
  return false;
}
