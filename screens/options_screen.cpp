// The Options screen: the title's scene with a large parchment plaque, one
// row per setting, driven like the other menus.
#include "screens/options_screen.h"

#include "app/globals.h"
#include "app/notice.h"
#include "app/pad.h"
#include "app/present.h"
#include "app/transitions.h"
#include "audio/effects.h"
#include "audio/game_music.h"
#include "audio/jukebox.h"
#include "screens/screens.h"
#include "support/blit32.h"

namespace {

// The plaque of "options_screen.bmp" spans x 316..624, y 128..468.
const int kLabelX = 332;
const int kValueRight = 608;
const int kHeadingY = 140;
const int kCentreX = 470;
// Each row's y: the sound and display rows, the controls under their
// heading, then "Defaults" and "Back".
const int kRowY[OptionsItemCount] = {168, 184, 200, 216, 232, 268, 282, 296, 310, 324, 338, 366, 382};
const int kControlsHeadingY = 252;
const int kStatusY = 412;         // two lines, 12 apart
const int kStatusColumns = 36;    // characters on one status line
const int kBarStep = 8;           // one volume step in the bar, in pixels

const char *const kHint = "Up/Down choose, Left/Right change, Enter acts, ESC goes back.";

bool IsKeyRow(int iRow) {
  return iRow >= static_cast<int>(OptionsItem::FirstKey) &&
         iRow < static_cast<int>(OptionsItem::Defaults);
}

// Why a key cannot be bound, for the player.
const char *WhyRefused(int iScancode) {
  switch (iScancode) {
    case KEY_ENTER:
    case KEY_ENTER_PAD:
    case KEY_ESC: return "Enter and ESC belong to the menus: press another key.";
    case KEY_ALT:
    case KEY_ALTGR: return "Alt is kept for Alt+Enter: press another key.";
    case KEY_O: return "O ends a stage: press another key.";
    default: return "That key belongs to the desktop: press another key.";
  }
}

// Keeps GameSettings' display as the output really is (a refused mode falls
// back to the old one).
void ApplyDisplay() {
  if (!ShowInWindow(GameSettings.bWindow))
    ExitWithMessage("ERROR:  Failure to init video mode!  Terminating program.\n");
  GameSettings.bWindow = DisplayIsWindow();
}

void ApplyAll() {
  ApplySoundSettings();
  ApplyDisplay();
  SetPictureScale(GameSettings.iScale);
  SetPauseWhenAway(GameSettings.bPauseWhenAway);
}

}  // namespace

void RunOptionsScreen() {
  OptionsScreen options;
  options.open();
  while (!options.bLeaving) options.step();
  // Back's Enter goes before the title reads it.
  while (key[KEY_ENTER] || key[KEY_ENTER_PAD] || (PadActions() & PadConfirm) != 0)
    IdleUntilNextTick();
  options.close();
}

OptionsScreen::OptionsScreen()
    : iSelection(0), iBinding(-1), bLeaving(false), bDirty(true), aArmed(), bConfirmDown(true) {}

void OptionsScreen::open() {
  pPicture.reset(LoadBitmapOrExit("options_screen.bmp", nullptr));
  // What the player sees now, whatever the command line or Alt+Enter did.
  GameSettings.bWindow = DisplayIsWindow();
  before = GameSettings;
  LastMenuInputTick = GameTicks;
  // The screen stands at full brightness, and so does the title after it.
  FadeLevel = 255;
  SetTransAlpha(255);
  say(kHint);
}

void OptionsScreen::close() {
  pPicture.reset();
  if (!CarryChanges(before, GameSettings, KeptSettings)) return;
  std::string sError;
  if (!SaveSettings(SettingsPath(), KeptSettings, sError)) ShowMessage("ERROR:  %s", sError.c_str());
}

void OptionsScreen::say(const std::string &sText) {
  sStatus = sText;
  bDirty = true;
}

void OptionsScreen::step() {
  // Alt+Enter here changes the display as its row does.
  if (GameSettings.bWindow != DisplayIsWindow()) {
    GameSettings.bWindow = DisplayIsWindow();
    bDirty = true;
  }
  handleInput();
  GameJukebox.updateMusic(kTitleTrack);
  compose();
}

void OptionsScreen::handleInput() {
  if (iBinding >= 0) {
    bindNextKey();
    return;
  }
  const unsigned iPad = PadActions();
  const bool bConfirm = key[KEY_ENTER] || key[KEY_ENTER_PAD] || (iPad & PadConfirm) != 0;
  const bool bConfirmPressed = bConfirm && !bConfirmDown;
  bConfirmDown = bConfirm;
  if (KeyPressed(KEY_ESC) || (iPad & PadBack) != 0) {
    bLeaving = true;
    PlayEffect(Effect::MenuBack, kCentreX);
    return;
  }
  if (bConfirmPressed) {
    act();
    return;
  }
  if (TicksSince(LastMenuInputTick) <= 5) return;
  int iStep = 0;
  if (key[KEY_DOWN] || (iPad & PadDown) != 0) iStep = 1;
  else if (key[KEY_UP] || (iPad & PadUp) != 0) iStep = -1;
  if (iStep != 0) {
    LastMenuInputTick = GameTicks;
    iSelection = (iSelection + iStep + OptionsItemCount) % OptionsItemCount;
    PlayEffect(Effect::MenuMove, kCentreX);
    bDirty = true;
    return;
  }
  if (key[KEY_LEFT] || (iPad & PadLeft) != 0) iStep = -1;
  else if (key[KEY_RIGHT] || (iPad & PadRight) != 0) iStep = 1;
  if (iStep != 0) {
    LastMenuInputTick = GameTicks;
    change(iStep);
  }
}

void OptionsScreen::change(int iDirection) {
  Settings &s = GameSettings;
  auto Step = [iDirection](int &iValue, int iLow, int iHigh) {
    const int iWas = iValue;
    iValue += iDirection;
    if (iValue < iLow) iValue = iLow;
    if (iValue > iHigh) iValue = iHigh;
    return iValue != iWas;
  };
  bool bChanged = false;
  switch (static_cast<OptionsItem>(iSelection)) {
    case OptionsItem::MusicVolume:
      bChanged = Step(s.iMusicVolume, 0, VolumeSteps);
      ApplySoundSettings();
      break;
    case OptionsItem::EffectsVolume:
      bChanged = Step(s.iEffectsVolume, 0, VolumeSteps);
      ApplySoundSettings();
      // A sample at the new volume.
      if (bChanged) PlayEffect(Effect::OrcDies, kCentreX);
      break;
    case OptionsItem::Display:
      s.bWindow = !s.bWindow;
      ApplyDisplay();
      bChanged = true;
      break;
    case OptionsItem::Scale: {
      // Largest (0), then 1 .. the largest that fits, around.
      const int iCount = LargestScale() + 1;
      s.iScale = ((s.iScale + (iDirection < 0 ? -1 : 1)) % iCount + iCount) % iCount;
      SetPictureScale(s.iScale);
      bChanged = true;
      break;
    }
    case OptionsItem::PauseWhenAway:
      s.bPauseWhenAway = !s.bPauseWhenAway;
      SetPauseWhenAway(s.bPauseWhenAway);
      bChanged = true;
      break;
    default: return;
  }
  if (bChanged && iSelection != static_cast<int>(OptionsItem::EffectsVolume))
    PlayEffect(Effect::MenuMove, kCentreX);
  bDirty = true;
}

void OptionsScreen::act() {
  LastMenuInputTick = GameTicks;
  const OptionsItem item = static_cast<OptionsItem>(iSelection);
  if (item == OptionsItem::Back) {
    bLeaving = true;
    PlayEffect(Effect::MenuBack, kCentreX);
    return;
  }
  PlayEffect(Effect::MenuChoose, kCentreX);
  if (item == OptionsItem::Defaults) {
    Settings defaults;
    defaults.iVersion = GameSettings.iVersion;
    defaults.aUnknown = GameSettings.aUnknown;
    GameSettings = defaults;
    ApplyAll();
    say("Everything is as the game first came.");
    return;
  }
  if (IsKeyRow(iSelection)) {
    iBinding = iSelection - static_cast<int>(OptionsItem::FirstKey);
    for (int i = 0; i < KEY_MAX; ++i) aArmed[i] = key[i] == 0;
    say(std::string("Press a key for ") + KeyActionName(static_cast<KeyAction>(iBinding)) +
        ".  ESC cancels.");
    return;
  }
  change(0);  // Enter turns a choice over, as Right does
}

void OptionsScreen::bindNextKey() {
  int iPressed = 0;
  for (int i = 1; i < KEY_MAX && iPressed == 0; ++i) {
    if (!key[i]) aArmed[i] = true;
    else if (aArmed[i]) iPressed = i;
  }
  if (iPressed == 0) return;
  aArmed[iPressed] = false;
  const KeyAction action = static_cast<KeyAction>(iBinding);
  if (iPressed == KEY_ESC) {
    say(kHint);
  } else {
    const int iOld = GameSettings.keyFor(action);
    switch (BindKey(GameSettings, action, iPressed)) {
      case BindResult::Refused: say(WhyRefused(iPressed)); return;
      case BindResult::Bound: say(std::string(KeyActionName(action)) + ": " + KeyName(iPressed) + "."); break;
      case BindResult::Swapped:
        for (int i = 0; i < KeyActionCount; ++i)
          if (GameSettings.aKeys[i] == iOld && i != iBinding)
            say(std::string(KeyActionName(action)) + ": " + KeyName(iPressed) + ".  " +
                KeyActionName(static_cast<KeyAction>(i)) + " takes " + KeyName(iOld) + ".");
        break;
    }
    PlayEffect(Effect::MenuChoose, kCentreX);
  }
  iBinding = -1;
  // The key goes before the menu reads the arrows again.
  while (key[iPressed]) IdleUntilNextTick();
  bConfirmDown = key[KEY_ENTER] || key[KEY_ENTER_PAD] || (PadActions() & PadConfirm) != 0;
  LastMenuInputTick = GameTicks;
}

void OptionsScreen::drawRow(int iRow, const char *cLabel, const std::string &sValue, int iBar) {
  const int y = kRowY[iRow];
  const bool bSelected = iRow == iSelection;
  const int iInk = bSelected ? ColourRed : ColourBlack;
  textout_ex(BackBuffer, font, cLabel, kLabelX + (bSelected ? 2 : 0), y, iInk, -1);
  int iRight = kValueRight;
  if (iBar >= 0) {
    // The volume as a bar of steps, the heard ones filled.
    for (int i = VolumeSteps - 1; i >= 0; --i) {
      const int x = kValueRight - (VolumeSteps - i) * kBarStep;
      if (i < iBar) rectfill(BackBuffer, x, y, x + kBarStep - 3, y + 7, iInk);
      else rect(BackBuffer, x, y, x + kBarStep - 3, y + 7, iInk);
    }
    iRight -= VolumeSteps * kBarStep + 6;
  }
  textout_right_ex(BackBuffer, font, sValue.c_str(), iRight, y, iInk, -1);
}

void OptionsScreen::compose() {
  const bool bComposed = bDirty;
  if (bDirty) {
    bDirty = false;
    blit(pPicture.get(), BackBuffer, 0, 0, 0, 0, BackBuffer->w, BackBuffer->h);
    textout_centre_ex(BackBuffer, font, "Options", kCentreX, kHeadingY, ColourDarkRed, -1);
    const Settings &s = GameSettings;
    auto Volume = [](int iStep) { return iStep == 0 ? std::string("Off") : std::to_string(iStep); };
    drawRow(0, "Music volume", Volume(s.iMusicVolume), s.iMusicVolume);
    drawRow(1, "Effects volume", Volume(s.iEffectsVolume), s.iEffectsVolume);
    drawRow(2, "Display", s.bWindow ? "Window" : "Full screen", -1);
    const std::string sScale = s.iScale > 0 ? std::to_string(s.iScale) + "x"
                                            : "Largest (" + std::to_string(PictureScale()) + "x)";
    drawRow(3, "Scale", sScale, -1);
    drawRow(4, "Pause when away", s.bPauseWhenAway ? "On" : "Off", -1);
    textout_ex(BackBuffer, font, "Controls", kLabelX, kControlsHeadingY, ColourDarkRed, -1);
    for (int i = 0; i < KeyActionCount; ++i) {
      const int iRow = static_cast<int>(OptionsItem::FirstKey) + i;
      drawRow(iRow, KeyActionName(static_cast<KeyAction>(i)),
              iBinding == i ? std::string("...") : std::string(KeyName(s.aKeys[i])), -1);
    }
    drawRow(static_cast<int>(OptionsItem::Defaults), "Defaults", "", -1);
    drawRow(static_cast<int>(OptionsItem::Back), "Back", "", -1);
    const std::vector<std::string> aLines = WrapMessage(sStatus, kStatusColumns);
    for (size_t i = 0; i < aLines.size() && i < 3; ++i)
      textout_centre_ex(BackBuffer, font, aLines[i].c_str(), kCentreX, kStatusY + 12 * static_cast<int>(i),
                        ColourBlack, -1);
  }
  PresentFrame(BackBuffer, !bComposed);
}
