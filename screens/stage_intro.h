// The stage intro: the story page of each stage, shown over "stage_intro.bmp"
// before the level runs (WorldMap::playCurrentStage starts it).
#pragma once
#include <allegro.h>

// One line of a story page, at its screen position.
struct StoryLine {
  int iX, iY;
  const char *cText;
};

// The lines of the stage on cMapFile, title first (exact name match); returns
// their count and sets *pLines, or 0 for a map without a story.
int StoryLinesFor(const char *cMapFile, const StoryLine **pLines);

// Prints the story of cMapFile into pLayer in pFont, black.
void PrintStory(BITMAP *pLayer, FONT *pFont, const char *cMapFile);

// The story screen's own loop: shows the page for 350 ticks at most, until
// ESC or a joystick button (sampled before each turn) ends it.
void ShowStory(BITMAP *pPicture, BITMAP *pTextLayer, FONT *pFont, const char *cMapFile);
