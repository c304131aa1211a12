// What a stage shows besides the play field: the health bar and score, the
// credits that fade in and out over stage one, and the game-over screen.
#include <cstdio>
#include <cstdlib>

#include "app/present.h"
#include "app/globals.h"
#include "app/pad.h"
#include "support/owned.h"
#include "app/story_font.h"
#include "app/transitions.h"
#include "audio/effects.h"
#include "entities/player.h"
#include "level/level_run.h"
#include "support/blit32.h"

bool LevelRun::drawHud(BITMAP *pHudLayer) {
  bool bLost = false;
  // Health: a red bar over 96 pixels for the full 50 hit points.
  rectfill(BackBuffer, 520, 10, 620, 20, ColourBlack);
  rect(BackBuffer, 520, 10, 620, 20, ColourGreen);
  rect(BackBuffer, 521, 11, 619, 19, ColourDarkGreen);
  if (pPlayer->iHealth > 0) {
    const int iBarEnd = static_cast<int>(pPlayer->iHealth * 96.0 / 50.0 + 522.0);
    rectfill(BackBuffer, 522, 12, iBarEnd, 18, ColourRed);
  } else {
    bLost = true;
  }
  // Below a quarter of the full 50 the warning sounds, once per fall.
  const bool bLow = pPlayer->iHealth * 4 < 50;
  if (bLow && !bHealthLowHeard) PlayEffect(Effect::HealthLow, dragonScreenX());
  bHealthLowHeard = bLow;
  // Score: the panel on the BackBuffer, the letters through the text layer.
  // A cleared layer is magenta outside the letters' boxes and leaves the
  // BackBuffer alone there, so only the corner the letters fill is cleared
  // and laid over; the rest of the layer is never read.
  char cScore[16];
  snprintf(cScore, sizeof cScore, "%d", iScore);
  const PixelRect rLetters =
      RectUnion(RectUnion(TextBox(font, "SCORE:", 25, 15), TextBox(font, "SCORE:", 26, 16)),
                TextBox(font, cScore, 80, 15));
  rectfill(pHudLayer, rLetters.iX, rLetters.iY, rLetters.iX + rLetters.iWidth - 1,
           rLetters.iY + rLetters.iHeight - 1, ColourMagenta);
  rectfill(BackBuffer, 20, 10, 120, 30, ColourBlack);
  rect(BackBuffer, 20, 10, 120, 30, ColourGreen);
  rect(BackBuffer, 21, 11, 119, 29, ColourDarkGreen);
  textprintf_ex(pHudLayer, font, 25, 15, ColourDarkRed, _textmode, "SCORE:");
  textprintf_ex(pHudLayer, font, 26, 16, ColourRed, _textmode, "SCORE:");
  textprintf_ex(pHudLayer, font, 80, 15, ColourRed, _textmode, "%d", iScore);
  DrawSpritePart32(BackBuffer, pHudLayer, 0, 0, rLetters);
  return bLost;
}

// Where the pair on the credit overlay was written: the overlay is magenta
// everywhere else.
static PixelRect CreditBox(const LevelRun &run) {
  const int i = run.iCreditIndex - 2;
  return RectUnion(TextBox(font, run.cCreditLines[i], run.iCreditX, run.iCreditY),
                   TextBox(font, run.cCreditLines[i + 1], run.iCreditX, run.iCreditY + 20));
}

void LevelRun::drawCredits(BITMAP *pDest) {
  if (iCreditIndex == 14 && !bCreditFadeIn && iCreditAlpha == 0) return;
  if (bCreditFadeIn && TicksSince(iCreditTick) > 5) {
    iCreditAlpha += 5;
    if (iCreditAlpha >= 255) {
      iCreditAlpha = 255;
      bCreditFadeIn = false;
    }
    iCreditTick = GameTicks;
  }
  if (!bCreditFadeIn && TicksSince(iCreditTick) > 5) {
    iCreditAlpha -= 5;
    if (iCreditAlpha <= 0) {
      iCreditAlpha = 0;
      if (iCreditIndex == 14) return;  // the seventh pair has gone
      // The next pair, at a new place.
      bCreditFadeIn = true;
      clear_to_color(pCreditOverlay.get(), ColourMagenta);
      iCreditX = rand() % 300 + 150;
      iCreditY = rand() % 280 + 100;
      textprintf_ex(pCreditOverlay.get(), font, iCreditX, iCreditY, ColourWhite, _textmode, "%s",
                    cCreditLines[iCreditIndex]);
      textprintf_ex(pCreditOverlay.get(), font, iCreditX, iCreditY + 20, ColourWhite, _textmode,
                    "%s", cCreditLines[iCreditIndex + 1]);
      iCreditIndex += 2;
    }
    iCreditTick = GameTicks;
  }
  // Before the first pair the overlay holds whatever it was made with.
  if (iCreditIndex == 0)
    DrawTransSprite32(pDest, pCreditOverlay.get(), 0, 0, iCreditAlpha);
  else
    DrawTransSpritePart32(pDest, pCreditOverlay.get(), 0, 0, CreditBox(*this), iCreditAlpha);
}

// A pad's confirm or back button (buttons 0 and 1 of an old joystick), read afresh.
static bool ButtonDown() { return (PadActions() & (PadConfirm | PadBack)) != 0; }

bool LevelRun::showGameOver() {
  const OwnedBitmap picture(LoadBitmapOrExit("gameover.bmp", nullptr));
  const OwnedBitmap layer(CreateBitmapOrExit(BackBuffer->w, BackBuffer->h));
  BITMAP *pPicture = picture.get();
  BITMAP *pLayer = layer.get();
  OwnedDatafile data;
  FONT *pCaptionFont = LoadStoryFont(data, GameOverFontMessages);
  if (pCaptionFont == nullptr) return true;
  bool bButton = ButtonDown();
  while (!key[KEY_ESC] && !bButton) {
    bButton = ButtonDown();
    clear_to_color(pLayer, ColourMagenta);
    textout_ex(pLayer, pCaptionFont, "Game Over", 350, 300, ColourBlack, _textmode);
    textout_ex(pLayer, font, "Thanks for playing...", 10, 440, ColourBlack, _textmode);
    draw_sprite(BackBuffer, pPicture, 0, 0);
    draw_sprite(BackBuffer, pLayer, 0, 0);
    if (FadeIn(5)) PresentFrame(BackBuffer);
  }
  while (key[KEY_ESC]) IdleUntilNextTick();
  while (!FadeOut(5)) {
  }
  return false;
}
