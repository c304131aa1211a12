// The title menu: the title picture with "Play", "Options" and "Exit" near
// the lower right. RunTitleMenu (screens.h) opens it, steps it once per frame
// until a choice is made or ESC is held, and closes it.
#pragma once
#include <allegro.h>

#include "app/present.h"
#include "support/owned.h"
#include "screens/screens.h"

class TitleMenu {
 public:
  TitleMenu();
  TitleMenu(const TitleMenu &) = delete;
  TitleMenu &operator=(const TitleMenu &) = delete;
  // Stamps LastMenuInputTick, loads the picture, makes the layers, clears the
  // BackBuffer and zeroes the blender. A title opened on a fully faded-in
  // screen restarts the fade from black, so its picture always builds up.
  void open();
  // One frame: input, music, composition and presentation.
  void step();
  // The input chain of one frame: down, else up, else a confirm, each gated
  // on more than 5 ticks since LastMenuInputTick.
  void handleInput();
  // Prints the three entries and the highlighted copy into the menu layer,
  // lays both layers over the BackBuffer and shows it through the fade; a
  // picture that cannot have changed (pictureChanged) is presented as the
  // same without being composed again.
  void compose();
  // Whether this tick's picture may differ from the last composed one: the
  // highlighted entry or the blender's alpha moved, or the fade is not over
  // (below full alpha the layers mix into the picture of the tick before).
  bool pictureChanged();
  // Destroys the picture and the layers (a menu left early frees them as it
  // goes).
  void close();

  OwnedBitmap pPicture;
  OwnedBitmap pImageLayer;  // the picture scaled to the BackBuffer's size
  OwnedBitmap pMenuLayer;
  int iSelection;  // the highlighted entry's place: 1 "Play", 2 "Options", 3 "Exit"
  bool bChosen;
  TitleChoice result;  // the chosen entry, Nothing until one is chosen
  PictureLook look;    // what the last composed picture was drawn from
};
