// Still screens: a picture that cannot have changed is not composed or
// presented again, and every tick still shows the picture that composing
// and presenting it anew would show (the title, the world map with its
// markers and growing paths, a story page through its fade).
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "app/globals.h"
#include "app/present.h"
#include "common/allegro_env.h"
#include "screen_fixture.h"
#include "screens/stage_intro.h"
#include "screens/title_menu.h"
#include "screens/world_map.h"

using screentest::ScreenTest;

namespace {

struct KeyAt {
  int iTick, iScancode, iTicksHeld;
};

// A paced run on the scripted clock: at the end of each pass the output is
// recorded, the keys of the next tick are set and the clock moves on. A
// reference run also makes the screen forget its look and spoils the output
// at every tick, so every tick composes and presents anew.
struct Run {
  std::vector<uint64_t> vShown;
  std::vector<KeyAt> vKeys;
  std::function<void()> fForget;  // reference runs only
  int iStart = 0;
};
Run *pRun = nullptr;

void RecordAndTick() {
  pRun->vShown.push_back(skvtest::FrameDigest(screen));
  if (pRun->fForget) {
    pRun->fForget();
    ShownPicture();  // as a message drawn over it would
  }
  GameTicks += 1;
  const int iTick = GameTicks - pRun->iStart;
  for (const KeyAt &k : pRun->vKeys)
    if (iTick == k.iTick || iTick == k.iTick + k.iTicksHeld) key[k.iScancode] = iTick == k.iTick;
}

std::vector<uint64_t> Paced(Run run, const std::function<void()> &fLoop) {
  run.iStart = GameTicks;
  pRun = &run;
  SetTickWait(RecordAndTick);
  SetFramePacing(true);
  fLoop();
  SetFramePacing(false);
  SetTickWait(nullptr);
  pRun = nullptr;
  return run.vShown;
}

// The fade, then Down twice, Down held (steps every 6 ticks), Up once.
const std::vector<KeyAt> kTitleKeys = {{230, KEY_DOWN, 2}, {260, KEY_DOWN, 14}, {300, KEY_UP, 1}};

std::vector<uint64_t> TitleRun(bool bReference) {
  FadeLevel = 0;
  TitleMenu menu;
  menu.open();
  Run run;
  run.vKeys = kTitleKeys;
  if (bReference) run.fForget = [&menu] { menu.look.forget(); };
  auto vShown = Paced(run, [&menu] {
    for (int i = 0; i < 360; ++i) menu.step();
  });
  menu.close();
  return vShown;
}

// The fade, the cursor blocked, a stage completed (paths grow, nodes open),
// the cursor moved right and held left while it is blocked, then moved to
// each opened node and back.
std::vector<uint64_t> MapRun(bool bReference) {
  FadeLevel = 0;
  WorldMap map;
  map.load("world.bmp", nullptr);
  Run run;
  run.vKeys = {{50, KEY_RIGHT, 3},  {230, KEY_RIGHT, 2}, {300, KEY_LEFT, 20},
               {450, KEY_RIGHT, 2}, {500, KEY_LEFT, 2},  {540, KEY_LEFT, 2}};
  if (bReference)
    run.fForget = [&map] {
      for (PictureLook *pLook : {&map.look, &map.lookNames, &map.lookPaths, &map.lookMarkers})
        pLook->forget();
    };
  return Paced(run, [&map] {
    for (int i = 0; i < 600; ++i) {
      if (i == 220) map.pNodes[0]->complete();
      WorldMapTurn(map);
    }
  });
}

std::vector<uint64_t> StoryRun(bool bReference) {
  FadeLevel = 0;
  BITMAP *pPicture = load_bitmap("stage_intro.bmp", nullptr);
  BITMAP *pLayer = create_bitmap(640, 480);
  Run run;
  if (bReference) run.fForget = [] {};
  auto vShown = Paced(run, [&] { ShowStory(pPicture, pLayer, font, "level1.fmp"); });
  destroy_bitmap(pLayer);
  destroy_bitmap(pPicture);
  return vShown;
}

}  // namespace

class StillScreens : public ScreenTest {};

TEST_F(StillScreens, EachTickShowsThePictureOfComposingItAnew) {
  const struct {
    const char *cName;
    std::vector<uint64_t> (*fRun)(bool);
    size_t iTicks;
  } kScreens[] = {{"title", TitleRun, 360}, {"world map", MapRun, 600}, {"story", StoryRun, 350}};
  for (const auto &s : kScreens) {
    SCOPED_TRACE(s.cName);
    const std::vector<uint64_t> vReference = s.fRun(true);
    const std::vector<uint64_t> vShown = s.fRun(false);
    ASSERT_EQ(vShown.size(), s.iTicks) << "one pass per tick";
    ASSERT_EQ(vReference.size(), s.iTicks);
    size_t iFirstDiffering = s.iTicks, iChanges = 0;
    for (size_t i = 0; i < s.iTicks; ++i) {
      if (vShown[i] != vReference[i] && iFirstDiffering == s.iTicks) iFirstDiffering = i;
      if (i > 0 && vShown[i] != vShown[i - 1]) ++iChanges;
    }
    EXPECT_EQ(iFirstDiffering, s.iTicks) << "first differing tick";
    EXPECT_GT(iChanges, 20u) << "the run shows the screen moving";
  }
}

// After its fade the title composes once more (at full alpha), then neither
// composes nor presents until the selection moves. A mark left in the
// BackBuffer and on the output shows what was drawn.
TEST_F(StillScreens, AStillTitleComposesOnceAfterItsFadeUntilTheSelectionMoves) {
  TitleMenu menu;
  menu.open();
  for (int i = 0; i < 400 && FadeLevel < 255; ++i, ++GameTicks) menu.step();
  ASSERT_EQ(FadeLevel, 255);
  const auto Mark = [] {
    putpixel(BackBuffer, 5, 5, 0x123456);
    putpixel(screen, 5, 5, 0x654321);
  };
  const auto Composed = [] { return skvtest::PixelRgb(BackBuffer, 5, 5) != 0x123456; };
  const auto Presented = [] { return skvtest::PixelRgb(screen, 5, 5) != 0x654321; };
  Mark();
  menu.step();
  EXPECT_TRUE(Composed()) << "the first tick at full alpha";
  EXPECT_TRUE(Presented());
  for (int i = 0; i < 20; ++i) {
    ++GameTicks;
    Mark();
    menu.step();
    ASSERT_FALSE(Composed()) << "tick " << i;
    ASSERT_FALSE(Presented()) << "tick " << i;
  }
  key[KEY_DOWN] = 1;
  menu.step();
  EXPECT_EQ(menu.iSelection, 2);
  EXPECT_TRUE(Composed());
  EXPECT_TRUE(Presented());
  menu.close();
}
