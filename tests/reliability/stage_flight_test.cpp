// The bay, the stage that keeps the most shots, flown from the bottom of its
// map to the top at one tick per frame with fire held and the dragon kept
// alive (the benchmark's StageFlight measures every stage the same way).
// Dropping the shots frozen below the view keeps far fewer alive and changes
// no frame; so does pacing, where each pass presents and then waits for the
// clock instead of the test moving it; so do the sound effects, which every
// moment of the flight asks for, within their guards and their budget, and
// which leave the game's rand() alone.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "app/present.h"
#include "audio/effects.h"
#include "bench/stage_fixture.h"
#include "common/allegro_env.h"

namespace {

struct Flight {
  std::vector<uint64_t> vFrames;  // a digest of each composed frame
  int iMostShots = 0;
  int iNextRand = 0;         // the game's next rand() after the flight
  int iMostVoices = 0;       // effects sounding at once
  int aRequests[static_cast<int>(Effect::Count)] = {};
  int aStarts[static_cast<int>(Effect::Count)] = {};
};

// Effect voices that sound for their sample's length in game ticks.
EffectOutput TimedVoices() {
  struct Voice {
    int iEndTick;
  };
  static std::vector<Voice> vVoices;
  vVoices.clear();
  EffectOutput out;
  out.start = [](const SAMPLE *pSample, int, int, int iFrequency) {
    vVoices.push_back({GameTicks + static_cast<int>(pSample->len * 50 / iFrequency)});
    return static_cast<int>(vVoices.size()) - 1;
  };
  out.playing = [](int iVoice) { return GameTicks < vVoices[iVoice].iEndTick; };
  out.stop = [](int) {};
  out.hold = [](int, bool) {};
  return out;
}

int Count(const ListNode *pList) {
  int iCount = 0;
  for (; pList != nullptr; pList = pList->link) ++iCount;
  return iCount;
}

void NextTick() { GameTicks += 1; }

Flight Fly(bool bDropFrozen, bool bPaced, bool bEffects) {
  Flight flight;
  if (bEffects) {
    GameEffects.setOutput(TimedVoices());
    EXPECT_TRUE(GameEffects.load("effects.dat"));
  }
  GameTicks = 100000;
  FadeLevel = 255;
  BenchStage stage;
  EXPECT_TRUE(stage.open("level3.fmp", 11));
  LevelRun &run = *stage.pRun;
  run.bDropFrozenShots = bDropFrozen;
  SetTickWait(NextTick);
  SetFramePacing(bPaced);
  key[KEY_LCONTROL] = 1;
  bool bLost = false;
  while (run.playing(bLost) && flight.vFrames.size() < 20000) {
    // Kept alive, but low on health now and then.
    if (run.pPlayer->iHealth < 9) run.pPlayer->iHealth = 50;
    run.playFrame(stage.pHudLayer, true, bLost);
    flight.iMostVoices = std::max(flight.iMostVoices, GameEffects.voicesInUse());
    if (!bPaced) GameTicks += 1;
    flight.vFrames.push_back(skvtest::FrameDigest(BackBuffer));
    flight.iMostShots = std::max(flight.iMostShots, Count(run.pProjectiles));
  }
  key[KEY_LCONTROL] = 0;
  SetFramePacing(false);
  SetTickWait(nullptr);
  EXPECT_LE(run.iCamY, 0) << "the stage was not flown to its end";
  EXPECT_EQ(GameTicks.load(), 100000 + static_cast<int>(flight.vFrames.size()))
      << "one tick per pass";
  stage.close();
  flight.iNextRand = rand();
  for (int i = 0; i < static_cast<int>(Effect::Count); ++i) {
    flight.aRequests[i] = GameEffects.requests(static_cast<Effect>(i));
    flight.aStarts[i] = GameEffects.starts(static_cast<Effect>(i));
  }
  GameEffects.release();
  GameEffects.setOutput(LibraryEffectOutput());
  return flight;
}

TEST(StageFlight, DroppingFrozenShotsPacingAndEffectsChangeNoFrame) {
  ASSERT_EQ(chdir(SKV_DATA_DIR), 0);
  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  _textmode = ColourMagenta;
  const Flight kept = Fly(false, false, false);
  const Flight dropped = Fly(true, true, true);
  ASSERT_EQ(kept.vFrames.size(), dropped.vFrames.size());
  size_t iFirstDiffering = kept.vFrames.size();
  for (size_t i = 0; i < kept.vFrames.size() && iFirstDiffering == kept.vFrames.size(); ++i)
    if (kept.vFrames[i] != dropped.vFrames[i]) iFirstDiffering = i;
  EXPECT_EQ(iFirstDiffering, kept.vFrames.size()) << "first differing frame";
  printf("level3.fmp: at most %d shots kept, %d dropped\n", kept.iMostShots,
         dropped.iMostShots);
  EXPECT_LT(dropped.iMostShots * 2, kept.iMostShots);
  EXPECT_EQ(kept.iNextRand, dropped.iNextRand) << "the effects draw nothing from rand()";

  // Every moment of a stage's flight is heard (a hut shot down is the stage
  // loop's test), and no effect starts more often than its guard lets it.
  const int iTicks = static_cast<int>(dropped.vFrames.size());
  struct Moment {
    Effect effect;
    int iGuardTicks;
  };
  const Moment moments[] = {
      {Effect::Breath, 4},    {Effect::IceShot, 4},    {Effect::IceRing, 6},
      {Effect::HitOrc, 3},    {Effect::HitWizard, 3},  {Effect::OrcDies, 2},
      {Effect::WizardDies, 2},
      {Effect::Teleport, 4},  {Effect::DragonHit, 5},  {Effect::HealthLow, 50},
  };
  for (const Moment &m : moments) {
    const int i = static_cast<int>(m.effect);
    SCOPED_TRACE(EffectName(m.effect));
    EXPECT_EQ(kept.aRequests[i], dropped.aRequests[i]) << "asked for with or without effects";
    EXPECT_GT(dropped.aRequests[i], 0);
    EXPECT_GT(dropped.aStarts[i], 0);
    EXPECT_LE(dropped.aStarts[i], dropped.aRequests[i]);
    EXPECT_LE(dropped.aStarts[i], iTicks / m.iGuardTicks + 1);
  }
  const int iBreath = static_cast<int>(Effect::Breath);
  EXPECT_GT(dropped.aRequests[iBreath], iTicks / 6 - 2) << "every shot breathes";
  EXPECT_LE(dropped.iMostVoices, kEffectVoices);
  printf("level3.fmp: %d breaths of %d started, at most %d effects at once\n",
         dropped.aStarts[iBreath], dropped.aRequests[iBreath], dropped.iMostVoices);
}

}  // namespace
