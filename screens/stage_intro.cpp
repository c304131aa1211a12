// The stage intro: the story pages and the screen that shows one.
#include "screens/stage_intro.h"

#include <cstring>

#include "app/globals.h"
#include "app/pad.h"
#include "app/present.h"
#include "app/transitions.h"
#include "audio/effects.h"

namespace {

// Title at (150, 70), body line i at (120, 120 + 30 i). Trailing blanks are
// part of the texts.
const StoryLine kShore[] = {
    {150, 70, "Kneebow's Shore"},
    {120, 120, "The Orcish defenses are "},
    {120, 150, "minimal at the shore.  "},
    {120, 180, "Fly swiftly over the sea"},
    {120, 210, "towards K'llisc Mountain"},
    {120, 240, "where the Demon Lord "},
    {120, 270, "stirs.  I doubt the Orcs"},
    {120, 300, "at the shore will give"},
    {120, 330, "you much problem, but "},
    {120, 360, "the more damage, the "},
    {120, 390, "better!  Press Left "},
    {120, 420, "Control to shoot fire."},
};
const StoryLine kGrounds[] = {
    {150, 70, "Trainning Grounds"},
    {120, 120, "Here, the Orcish tribes "},
    {120, 150, "train to slaughter     "},
    {120, 180, "mankind.  Do as much    "},
    {120, 210, "damage as you can!!!    "},
};
const StoryLine kVillage[] = {
    {150, 70, "K'llisc Village"},
    {120, 120, "The only known village  "},
    {120, 150, "of the Orcs...  Watch  "},
    {120, 180, "out for wizards...      "},
};
const StoryLine kBay[] = {
    {150, 70, "Bay of K'llisc"},
    {120, 120, "Carefully choose, water "},
    {120, 150, "or grounds...          "},
};
const StoryLine kForest[] = {
    {150, 70, "Forgotten Forest"},
    {120, 120, "The forest of the"},
    {120, 150, "wizards..."},
};

struct StoryPage {
  const char *cMapFile;
  const StoryLine *pLines;
  int iCount;
};

#define SKV_PAGE(file, lines) {file, lines, static_cast<int>(sizeof lines / sizeof lines[0])}
const StoryPage kPages[] = {
    SKV_PAGE("level1.fmp", kShore),   SKV_PAGE("level2a.fmp", kGrounds),
    SKV_PAGE("level2.fmp", kVillage), SKV_PAGE("level3.fmp", kBay),
    SKV_PAGE("level4.fmp", kForest),
};
#undef SKV_PAGE

const int kStoryTicks = 350;

}  // namespace

int StoryLinesFor(const char *cMapFile, const StoryLine **pLines) {
  for (const StoryPage &page : kPages) {
    if (strcmp(page.cMapFile, cMapFile) == 0) {
      *pLines = page.pLines;
      return page.iCount;
    }
  }
  *pLines = nullptr;
  return 0;
}

void PrintStory(BITMAP *pLayer, FONT *pFont, const char *cMapFile) {
  const StoryLine *pLines = nullptr;
  int iCount = StoryLinesFor(cMapFile, &pLines);
  for (int i = 0; i < iCount; ++i)
    textout_ex(pLayer, pFont, pLines[i].cText, pLines[i].iX, pLines[i].iY, ColourBlack,
               ColourMagenta);
}

void ShowStory(BITMAP *pPicture, BITMAP *pTextLayer, FONT *pFont, const char *cMapFile) {
  // The page never changes while it is shown: print it once.
  rectfill(pTextLayer, 0, 0, pTextLayer->w, pTextLayer->h, ColourMagenta);
  PrintStory(pTextLayer, pFont, cMapFile);
  int iStart = GameTicks;
  const unsigned kSkip = PadConfirm | PadBack;
  bool bButton = (PadActions() & kSkip) != 0;
  // Enter does not end the story; a button held from the map skips it.
  // Nothing on the page moves: it is composed once, then shown as the same
  // picture (through the fade's steps).
  bool bComposed = false;
  while (!key[KEY_ESC] && !bButton && TicksSince(iStart) < kStoryTicks) {
    bButton = (PadActions() & kSkip) != 0;
    if (!bComposed) {
      draw_sprite(BackBuffer, pPicture, 0, 0);
      draw_sprite(BackBuffer, pTextLayer, 0, 0);
    }
    if (FadeIn(5, bComposed)) PresentFrame(BackBuffer, bComposed);
    bComposed = true;
  }
  PlayEffect(Effect::PageTurn);
}
