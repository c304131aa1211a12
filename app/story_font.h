// The story font: the first object of "script.dat", read for the stage intro's
// story and the game-over caption, each with the messages its screen shows.
#pragma once
#include <allegro.h>

#include "support/owned.h"

// What a screen says when the story font cannot be had.
struct StoryFontMessages {
  const char *cNoFile;  // "script.dat" missing or damaged: nothing is drawn
  const char *cNoFont;  // its first object is not a font: the library's font
};

// The stage intro's messages ("error!", "banzai").
extern const StoryFontMessages IntroFontMessages;
// The game-over screen's messages.
extern const StoryFontMessages GameOverFontMessages;

// Reads "script.dat" (checked first) into rData, which then owns it. Returns
// its first object's font; the library's font after rMessages.cNoFont when
// that object is not a font; null after rMessages.cNoFile when the file
// cannot be read (rData is then empty).
FONT *LoadStoryFont(OwnedDatafile &rData, const StoryFontMessages &rMessages);
