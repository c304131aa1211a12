// The title menu: picture, three entries, selection by keyboard or joystick.
#include "screens/title_menu.h"

#include "app/present.h"
#include "app/globals.h"
#include "app/pad.h"
#include "app/transitions.h"
#include "audio/effects.h"
#include "audio/jukebox.h"
#include "screens/screens.h"
#include "support/blit32.h"

namespace {

const char *const kEntries[3] = {"Play", "Options", "Exit"};
const int kEntryX = 450;
const int kEntryY = 350;      // first entry; each next one 10 pixels lower
const int kHighlightShift = 2;

}  // namespace

TitleChoice RunTitleMenu() {
  TitleMenu menu;
  menu.open();
  for (;;) {
    while (!key[KEY_ESC] && !menu.bChosen) menu.step();
    if (!menu.bChosen || menu.result != TitleChoice::Options) break;
    RunOptionsScreen();
    // The title again, at once and with "Options" still selected; the
    // Options screen drew where the title composes.
    menu.look.forget();
    menu.bChosen = false;
    menu.result = TitleChoice::Nothing;
    LastMenuInputTick = GameTicks;
  }
  menu.close();
  return menu.result;
}

TitleMenu::TitleMenu()
    : iSelection(1), bChosen(false), result(TitleChoice::Nothing) {}

void TitleMenu::open() {
  LastMenuInputTick = GameTicks;
  pPicture.reset(LoadBitmapOrExit("title_screen.bmp", nullptr));
  pImageLayer.reset(CreateBitmapOrExit(BackBuffer->w, BackBuffer->h));
  pMenuLayer.reset(CreateBitmapOrExit(BackBuffer->w, BackBuffer->h));
  // The picture never changes while the title is open: scale it once.
  clear_to_color(pImageLayer.get(), ColourMagenta);
  stretch_sprite(pImageLayer.get(), pPicture.get(), 0, 0, pImageLayer->w, pImageLayer->h);
  clear_bitmap(BackBuffer);
  look.forget();
  SetTransAlpha(0);
  // The title composes at the alpha the fade leaves in the blender; on a
  // screen that is already fully faded in that alpha would stay 0 and the
  // title would never appear.
  if (FadeLevel >= 255) FadeLevel = 0;
}

void TitleMenu::close() {
  pPicture.reset();
  pImageLayer.reset();
  pMenuLayer.reset();
}

void TitleMenu::handleInput() {
  const unsigned iPad = PadActions();
  const bool bStickUp = (iPad & PadUp) != 0;
  const bool bStickDown = (iPad & PadDown) != 0;
  const bool bPadConfirm = (iPad & PadConfirm) != 0;

  if (TicksSince(LastMenuInputTick) <= 5) return;
  if (key[KEY_DOWN] || bStickDown) {
    LastMenuInputTick = GameTicks;
    iSelection = iSelection == 3 ? 1 : iSelection + 1;
    PlayEffect(Effect::MenuMove, kEntryX);
  } else if (key[KEY_UP] || bStickUp) {
    LastMenuInputTick = GameTicks;
    iSelection = iSelection == 1 ? 3 : iSelection - 1;
    PlayEffect(Effect::MenuMove, kEntryX);
  } else if (KeyPressed(KEY_ENTER) || bPadConfirm) {
    LastMenuInputTick = GameTicks;
    PlayEffect(Effect::MenuChoose, kEntryX);
    bChosen = true;
    result = static_cast<TitleChoice>(iSelection);
  }
}

bool TitleMenu::pictureChanged() {
  look.begin();
  look << iSelection << TransAlpha();
  return look.changed() || TransAlpha() < 255;
}

void TitleMenu::compose() {
  const bool bChanged = pictureChanged();
  if (bChanged) {
    rectfill(pMenuLayer.get(), 0, 0, pMenuLayer->w, pMenuLayer->h, ColourMagenta);
    for (int i = 0; i < 3; ++i)
      textout_ex(pMenuLayer.get(), font, kEntries[i], kEntryX, kEntryY + 10 * i, ColourBlack,
                 ColourMagenta);
    int iSel = iSelection - 1;
    textout_ex(pMenuLayer.get(), font, kEntries[iSel], kEntryX + kHighlightShift,
               kEntryY + 10 * iSel + kHighlightShift, ColourRed, ColourMagenta);
    // At the alpha the fade left in the blender.
    DrawTransSprite32(BackBuffer, pImageLayer.get(), 0, 0, TransAlpha());
    DrawTransSprite32(BackBuffer, pMenuLayer.get(), 0, 0, TransAlpha());
  }
  if (FadeIn(5)) PresentFrame(BackBuffer, !bChanged);
}

void TitleMenu::step() {
  handleInput();
  GameJukebox.updateMusic(kTitleTrack);
  compose();
}
