// The effects player on a recording output: the voice budget and its
// priorities, the repeat guards, each effect's own voices, the hold, pan,
// pitch and volume; and the effects file the build makes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "app/globals.h"
#include "audio/effects.h"

namespace {

const std::string kEffectsFile = std::string(SKV_DATA_DIR) + "/effects.dat";

// Voices that play until the test ends them.
struct Recorder {
  struct Start {
    int iVoice;
    int iVolume, iPan, iFrequency;
  };
  std::vector<Start> vStarts;
  std::set<int> live, ended, held;
  int iNext = 100;

  EffectOutput output() {
    EffectOutput out;
    out.start = [this](const SAMPLE *, int iVolume, int iPan, int iFrequency) {
      vStarts.push_back({iNext, iVolume, iPan, iFrequency});
      live.insert(iNext);
      return iNext++;
    };
    out.playing = [this](int iVoice) { return ended.count(iVoice) == 0; };
    out.stop = [this](int iVoice) { EXPECT_EQ(live.erase(iVoice), 1u) << "stopped twice"; };
    out.hold = [this](int iVoice, bool bHeld) {
      if (bHeld) held.insert(iVoice);
      else held.erase(iVoice);
    };
    return out;
  }
};

class EffectsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    GameTicks = 1000;
    player.setOutput(recorder.output());
    ASSERT_TRUE(player.load(kEffectsFile.c_str())) << kEffectsFile;
  }
  void TearDown() override {
    player.release();
    EXPECT_TRUE(recorder.live.empty()) << "release frees every voice";
  }
  Recorder recorder;
  EffectsPlayer player;
};

// Requests in order, each iTicks after the one before.
struct Request {
  int iTicks;
  Effect effect;
};

TEST_F(EffectsTest, GuardsOwnVoicesAndTheBudgetDecideWhatStarts) {
  const auto Many = [](Effect effect, int iCount, int iTicks) {
    std::vector<Request> v(iCount, Request{iTicks, effect});
    return v;
  };
  // Eight voices of priority 40 (hits) and 20 (ice), two of each effect.
  std::vector<Request> full;
  for (Effect e : {Effect::IceShot, Effect::HitOrc, Effect::HitWizard, Effect::HitHut})
    for (int i = 0; i < 2; ++i) full.push_back({5, e});
  auto Then = [](std::vector<Request> v, std::vector<Request> more) {
    v.insert(v.end(), more.begin(), more.end());
    return v;
  };
  struct Case {
    const char *cWhat;
    std::vector<Request> requests;
    int iStarts;
    int iLive;
    bool bFirstGivesWay;
  };
  const Case cases[] = {
      {"fire held: one breath every 4 ticks of 30", Many(Effect::Breath, 30, 1), 8, 2, true},
      {"a ring of twelve in one pass is one sound", Many(Effect::IceRing, 12, 0), 1, 1, false},
      {"a new menu step cuts the last one short", Many(Effect::MenuMove, 3, 2), 3, 1, true},
      {"eight voices fill the budget", full, 8, 8, false},
      {"a kill takes the oldest voice of the lowest priority",
       Then(full, {{5, Effect::OrcDies}}), 9, 8, true},
      {"a breath gives way to everything already sounding",
       Then(full, {{5, Effect::Breath}}), 8, 8, false},
  };
  for (const Case &c : cases) {
    SCOPED_TRACE(c.cWhat);
    Recorder fresh;
    player.setOutput(fresh.output());
    player.load(kEffectsFile.c_str());
    for (const Request &r : c.requests) {
      GameTicks += r.iTicks;
      player.play(r.effect);
      ASSERT_LE(player.voicesInUse(), kEffectVoices);
    }
    EXPECT_EQ(static_cast<int>(fresh.vStarts.size()), c.iStarts);
    EXPECT_EQ(static_cast<int>(fresh.live.size()), c.iLive);
    EXPECT_EQ(player.voicesInUse(), c.iLive);
    EXPECT_EQ(fresh.live.count(fresh.vStarts[0].iVoice), c.bFirstGivesWay ? 0u : 1u)
        << "the first effect started gave way";
    player.release();
  }
  player.setOutput(recorder.output());
  player.load(kEffectsFile.c_str());
}

TEST_F(EffectsTest, EndedVoicesAreFreedAndHeldOnesWaitWithTheGame) {
  player.play(Effect::DragonHit);
  GameTicks += 10;
  player.play(Effect::HutFalls);
  ASSERT_EQ(recorder.live.size(), 2u);
  recorder.ended.insert(recorder.vStarts[0].iVoice);
  GameTicks += 10;
  player.play(Effect::Teleport);
  EXPECT_EQ(recorder.live.size(), 2u) << "the ended hit's voice was freed";
  EXPECT_EQ(player.voicesInUse(), 2);

  player.hold(true);
  EXPECT_EQ(recorder.held, recorder.live);
  GameTicks += 100;
  player.play(Effect::StageLost);
  EXPECT_EQ(player.starts(Effect::StageLost), 0) << "nothing starts while away";
  EXPECT_EQ(player.requests(Effect::StageLost), 1);
  player.hold(false);
  EXPECT_TRUE(recorder.held.empty());
  player.play(Effect::StageLost);
  EXPECT_EQ(player.starts(Effect::StageLost), 1);
}

TEST_F(EffectsTest, PanPitchAndVolumeComeFromThePlaceTheEffectAndItsOwnGenerator) {
  srand(77);
  const int iExpectedRand = rand();
  srand(77);
  for (int x : {0, 320, 639}) {
    GameTicks += 10;
    player.play(Effect::HitOrc, x);
  }
  EXPECT_EQ(rand(), iExpectedRand) << "the game's rand() is not drawn";
  ASSERT_EQ(recorder.vStarts.size(), 3u);
  EXPECT_LT(recorder.vStarts[0].iPan, 80);
  EXPECT_EQ(recorder.vStarts[1].iPan, 128);
  EXPECT_GT(recorder.vStarts[2].iPan, 176);
  std::set<int> frequencies;
  for (int i = 0; i < 20; ++i) {
    GameTicks += 10;
    player.play(Effect::HitHut);
    const int iHz = recorder.vStarts.back().iFrequency;
    EXPECT_NEAR(iHz, 44100, 44100 * 0.07);
    frequencies.insert(iHz);
  }
  EXPECT_GT(frequencies.size(), 10u) << "each play a little higher or lower";

  // The most frequent effects are the quietest; the effects volume scales all.
  const int iHit = recorder.vStarts.back().iVolume;
  GameTicks += 10;
  player.play(Effect::Breath);
  EXPECT_LT(recorder.vStarts.back().iVolume * 2, iHit);
  player.setVolume(128);
  GameTicks += 10;
  player.play(Effect::HitHut);
  EXPECT_NEAR(recorder.vStarts.back().iVolume, iHit / 2, 1);
  player.setVolume(0);
  const size_t iBefore = recorder.vStarts.size();
  GameTicks += 10;
  player.play(Effect::HitHut);
  EXPECT_EQ(recorder.vStarts.size(), iBefore) << "volume 0 starts nothing";
}

// Every effect the game asks for is in the file: mono, 16-bit, at the
// mixer's rate, short, and all equally loud before the game's own volumes.
TEST(EffectsFile, HoldsEveryEffectShortAndEquallyLoud) {
  EffectsPlayer player;
  ASSERT_TRUE(player.load(kEffectsFile.c_str()));
  DATAFILE *pData = load_datafile(kEffectsFile.c_str());
  ASSERT_NE(pData, nullptr);
  int iShort = 0;
  double dQuietest = 1, dLoudest = 0;
  for (int i = 0; i < static_cast<int>(Effect::Count); ++i) {
    const DATAFILE *pObject = find_datafile_object(pData, EffectName(static_cast<Effect>(i)));
    ASSERT_NE(pObject, nullptr) << EffectName(static_cast<Effect>(i));
    const SAMPLE *pSample = static_cast<const SAMPLE *>(pObject->dat);
    EXPECT_EQ(pSample->bits, 16);
    EXPECT_FALSE(pSample->stereo);
    EXPECT_EQ(pSample->freq, 44100);
    EXPECT_LE(pSample->len, 44100u * 2);
    iShort += pSample->len < 44100 * 0.4 ? 1 : 0;
    // Loudness: the RMS of the loudest 50 ms.
    const uint16_t *pValues = static_cast<const uint16_t *>(pSample->data);
    double dSum = 0, dMost = 0;
    for (unsigned k = 0; k < pSample->len; ++k) {
      const double d = (pValues[k] - 32768) / 32768.0;
      dSum += d * d;
      if (k >= 2205) {
        const double e = (pValues[k - 2205] - 32768) / 32768.0;
        dSum -= e * e;
      }
      dMost = std::max(dMost, dSum / 2205);
    }
    dQuietest = std::min(dQuietest, std::sqrt(dMost));
    dLoudest = std::max(dLoudest, std::sqrt(dMost));
  }
  unload_datafile(pData);
  EXPECT_GE(iShort, 12) << "most effects under 0.4 s";
  EXPECT_LT(20 * std::log10(dLoudest / dQuietest), 3.0) << "loudness matched across the set";
  player.release();
}

}  // namespace
