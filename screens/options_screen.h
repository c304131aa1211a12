// The Options screen, opened from the title: the volumes, the display, the
// scale, the pause when the window loses its focus, the stage's keys,
// "Defaults" and "Back". Every change takes effect at once on GameSettings
// (app/settings.h); leaving the screen after a change writes the settings
// file. RunOptionsScreen (screens.h) opens it, steps it once per frame until
// the player leaves, and closes it.
#pragma once
#include <allegro.h>

#include <string>

#include "app/settings.h"
#include "support/owned.h"

// The rows, top to bottom.
enum class OptionsItem {
  MusicVolume,
  EffectsVolume,
  Display,
  Scale,
  PauseWhenAway,
  FirstKey,  // one row per KeyAction, in its order
  Defaults = FirstKey + KeyActionCount,
  Back,
  Count
};
constexpr int OptionsItemCount = static_cast<int>(OptionsItem::Count);

class OptionsScreen {
 public:
  OptionsScreen();
  OptionsScreen(const OptionsScreen &) = delete;
  OptionsScreen &operator=(const OptionsScreen &) = delete;
  // Loads the picture, notes the settings as they are (what leaving compares
  // with) and stamps LastMenuInputTick. The screen shows at once, at full
  // brightness.
  void open();
  // One frame: input, music, and the picture when something changed.
  void step();
  // The input of one frame: Up and Down select, Left and Right change a
  // value, Enter acts, ESC (or the pad's back) leaves; while a key is being
  // bound, the next key pressed binds it and ESC cancels.
  void handleInput();
  // Composes the picture into the BackBuffer when bDirty (what the player
  // did: a row, a value, a key, the status line), and shows it; an
  // unchanged picture is presented as the same.
  void compose();
  // Writes the settings file when anything changed since open (a failure is
  // one message in the frame) and frees the picture.
  void close();

  // The line at the foot of the plaque: what the keys do, or what happened.
  const std::string &status() const { return sStatus; }

  OwnedBitmap pPicture;
  int iSelection;  // the selected row, an OptionsItem
  int iBinding;    // the KeyAction waiting for its key, or -1
  bool bLeaving;   // "Back" or ESC
  bool bDirty;     // the picture must be composed again

 private:
  void change(int iDirection);  // Left (-1), Right (+1) or Enter (0) on a value
  void act();                   // Enter on the selected row
  void bindNextKey();           // one look at the keys while binding
  void say(const std::string &sText);
  void drawRow(int iRow, const char *cLabel, const std::string &sValue, int iBar);

  Settings before;   // as they were when the screen opened
  std::string sStatus;
  bool aArmed[KEY_MAX];  // keys seen up since binding began
  bool bConfirmDown;     // Enter or the pad's confirm was down at the last look
};
