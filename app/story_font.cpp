// The story font from "script.dat", with its fallback to the library's font.
#include "app/story_font.h"

#include "app/datafile_check.h"
#include "app/notice.h"

const StoryFontMessages IntroFontMessages = {"error!", "banzai"};
const StoryFontMessages GameOverFontMessages = {"Couldn't open dat file.",
                                                "ERROR:  Could not read font file."};

FONT *LoadStoryFont(OwnedDatafile &rData, const StoryFontMessages &rMessages) {
  rData.reset(LoadDatafileChecked("script.dat"));
  if (rData == nullptr) {
    ShowMessage("%s", rMessages.cNoFile);
    return nullptr;
  }
  // Only a font object is drawn with; anything else gets the library's font.
  const DATAFILE &first = rData.get()[0];
  if (first.type == DAT_FONT) return static_cast<FONT *>(first.dat);
  ShowMessage("%s", rMessages.cNoFont);
  return font;
}
