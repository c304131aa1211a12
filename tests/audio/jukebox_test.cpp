// The Jukebox under the silent driver: numbering, which track plays when,
// the 32-step fade and reading track files byte for byte.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "app/globals.h"
#include "app/list.h"
#include "audio/jukebox.h"
#include "audio/ogg_stream.h"
#include "tone.h"

namespace {

// A Jukebox with two tracks in a temporary folder: 1 = short.ogg (0.5 s,
// 25 ticks), 2 = long.ogg (1 s).
class JukeboxTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cDir = MakeTempDir();
    ASSERT_FALSE(cDir.empty());
    cShort = cDir + "/short.ogg";
    cLong = cDir + "/long.ogg";
    ASSERT_TRUE(WriteFileBytes(cShort, ToneOgg(0.5, 44100, 2)));
    ASSERT_TRUE(WriteFileBytes(cLong, ToneOgg(1.0, 44100, 2)));
    jukebox.initJukebox();
    jukebox.addTrack(cShort.c_str(), 1);
    jukebox.addTrack(cLong.c_str(), 2);
    GameTicks = 5000;
  }
  void TearDown() override {
    if (jukebox.pStream != nullptr) alogg_destroy_ogg(jukebox.pStream);
    delete[] jukebox.pData;
    if (jukebox.pFile != nullptr) fclose(jukebox.pFile);
    ListFree(jukebox.pPlaylist);
    std::error_code error;
    if (!cDir.empty()) {
      EXPECT_GT(std::filesystem::remove_all(cDir, error), 0u) << error.message();
    }
  }
  // One fade call with GameTicks moved on by iTicks first.
  bool FadeAfter(int iTicks, int iDelay) {
    GameTicks += iTicks;
    return jukebox.fadeMusic(iDelay);
  }

  std::string cDir, cShort, cLong;
  Jukebox jukebox;
};

TEST(JukeboxNumbering, TakesTheSmallestFreeNumberNotBelowTheAskedOne) {
  Jukebox jukebox;
  jukebox.initJukebox();
  EXPECT_EQ(jukebox.iVolume, 255);
  EXPECT_EQ(jukebox.iPan, 127);
  EXPECT_EQ(jukebox.iPlaySpeed, 1000);
  ListNode *pHead = jukebox.addTrack("a.ogg", 1);
  EXPECT_EQ(pHead, jukebox.pPlaylist);
  jukebox.addTrack("b.ogg", 1);
  jukebox.addTrack("c.ogg", 1);
  jukebox.addTrack("d.ogg", 5);
  jukebox.addTrack("e.ogg", 2);  // 2 and 3 are taken, 4 is free
  std::vector<std::pair<int, std::string>> expected = {
      {1, "a.ogg"}, {2, "b.ogg"}, {3, "c.ogg"}, {5, "d.ogg"}, {4, "e.ogg"}};
  ListNode *pNode = jukebox.pPlaylist;
  for (const auto &track : expected) {
    ASSERT_NE(pNode, nullptr);
    EXPECT_EQ(pNode->iKey, track.first);
    EXPECT_STREQ(pNode->cKey, track.second.c_str());
    pNode = pNode->link;
  }
  EXPECT_EQ(pNode, nullptr);
  ListFree(jukebox.pPlaylist);
}

TEST_F(JukeboxTest, PlayingTrackKeepsPlayingUntilItEnds) {
  jukebox.updateMusic(1);
  OggStream *pFirst = jukebox.pStream;
  ASSERT_NE(pFirst, nullptr);
  EXPECT_NE(alogg_is_playing_ogg(pFirst), 0);
  EXPECT_EQ(OggStreamFrames(pFirst), 22050);

  // Another number, or an unknown one, leaves the playing track alone.
  GameTicks += 10;
  jukebox.updateMusic(2);
  jukebox.updateMusic(7);
  EXPECT_EQ(jukebox.pStream, pFirst);
  EXPECT_NE(alogg_is_playing_ogg(pFirst), 0);

  // Once it has ended, the asked-for track starts from its file.
  GameTicks += 16;
  jukebox.updateMusic(2);
  ASSERT_NE(jukebox.pStream, nullptr);
  EXPECT_EQ(OggStreamFrames(jukebox.pStream), 44100);
  EXPECT_NE(alogg_is_playing_ogg(jukebox.pStream), 0);

  // An ended track restarts: a fresh stream of the same file.
  GameTicks += 51;
  EXPECT_EQ(alogg_is_playing_ogg(jukebox.pStream), 0);
  jukebox.updateMusic(2);
  EXPECT_NE(alogg_is_playing_ogg(jukebox.pStream), 0);
  EXPECT_EQ(OggStreamFrames(jukebox.pStream), 44100);
}

TEST_F(JukeboxTest, UnknownNumberStartsNothing) {
  jukebox.updateMusic(3);
  jukebox.updateMusic(0);
  EXPECT_EQ(jukebox.pStream, nullptr);
  EXPECT_EQ(jukebox.pFile, nullptr);
  EXPECT_EQ(jukebox.pData, nullptr);
}

TEST_F(JukeboxTest, FadeTakes32StepsThenStopsAndRestoresTheVolume) {
  // Long enough (250 ticks) to outlast the fade's 192 ticks.
  std::string cFade = cDir + "/fade.ogg";
  ASSERT_TRUE(WriteFileBytes(cFade, ToneOgg(5.0, 22050, 1)));
  jukebox.addTrack(cFade.c_str(), 4);
  jukebox.updateMusic(4);
  ASSERT_NE(jukebox.pStream, nullptr);
  jukebox.iLastFadeTick = GameTicks;
  // Five ticks are not more than the delay of 5: no step.
  EXPECT_FALSE(FadeAfter(5, 5));
  EXPECT_EQ(jukebox.iVolume, 255);
  for (int iStep = 1; iStep <= 31; ++iStep) {
    ASSERT_FALSE(FadeAfter(iStep == 1 ? 1 : 6, 5)) << "step " << iStep;
    EXPECT_EQ(jukebox.iVolume, 255 - 8 * iStep);
    EXPECT_EQ(OggStreamVolume(jukebox.pStream), jukebox.iVolume);
    EXPECT_FALSE(FadeAfter(0, 5));  // same tick: nothing
  }
  EXPECT_EQ(jukebox.iVolume, 7);
  EXPECT_NE(alogg_is_playing_ogg(jukebox.pStream), 0);
  EXPECT_TRUE(FadeAfter(6, 5));
  EXPECT_EQ(alogg_is_playing_ogg(jukebox.pStream), 0);
  EXPECT_EQ(jukebox.iVolume, 255);

  // The next screen's request finds nothing playing and starts its track.
  jukebox.updateMusic(1);
  EXPECT_EQ(OggStreamFrames(jukebox.pStream), 22050);
  EXPECT_NE(alogg_is_playing_ogg(jukebox.pStream), 0);
}

TEST_F(JukeboxTest, FadeOfAnEndedTrackStaysAtZeroAndCompletesOnItsNextStep) {
  jukebox.updateMusic(1);
  GameTicks += 30;  // the 0.5 s track has ended
  jukebox.iLastFadeTick = GameTicks;
  int iSteps = 0;
  bool bDone = false;
  while (!bDone && iSteps < 40) {
    bDone = FadeAfter(2, 1);
    ++iSteps;
  }
  EXPECT_TRUE(bDone);
  EXPECT_EQ(iSteps, 32);
  EXPECT_EQ(jukebox.iVolume, 0);  // nothing was stopped, so no reset to 255
  EXPECT_TRUE(FadeAfter(2, 1));
  EXPECT_EQ(jukebox.iVolume, 0);
}

TEST_F(JukeboxTest, FadeWithoutAnyStreamStillCompletes) {
  jukebox.addTrack((cDir + "/missing.ogg").c_str(), 9);
  jukebox.updateMusic(9);
  EXPECT_EQ(jukebox.pStream, nullptr);
  EXPECT_EQ(jukebox.pFile, nullptr);
  int iSteps = 1;
  while (!FadeAfter(6, 5) && iSteps < 40) ++iSteps;
  EXPECT_EQ(iSteps, 32);
}

TEST_F(JukeboxTest, TrackFileIsReadByteForByte) {
  const std::vector<unsigned char> bytes = {'O', 'g', 0x0D, 0x0A, 0x1A, 0x00, 0x0A, 0x0D, 0xFF, 0x1A};
  std::string cPath = cDir + "/binary.ogg";
  ASSERT_TRUE(WriteFileBytes(cPath, bytes));
  jukebox.playFile(cPath.c_str());
  ASSERT_EQ(jukebox.iDataSize, static_cast<int>(bytes.size()));
  ASSERT_NE(jukebox.pData, nullptr);
  EXPECT_EQ(memcmp(jukebox.pData, bytes.data(), bytes.size()), 0);
  EXPECT_EQ(jukebox.pStream, nullptr);  // not OGG Vorbis: nothing plays
  EXPECT_NE(jukebox.pFile, nullptr);     // open until the next track
}

TEST_F(JukeboxTest, BadTrackFilesPlayNothingAndWaitForAnotherTrack) {
  std::string cBad = cDir + "/bad.ogg";
  jukebox.addTrack(cBad.c_str(), 3);
  jukebox.updateMusic(3);  // missing
  EXPECT_EQ(jukebox.pFile, nullptr);
  EXPECT_EQ(jukebox.pStream, nullptr);

  ASSERT_TRUE(WriteFileBytes(cBad, {}));  // empty
  jukebox.playFile(cBad.c_str());
  EXPECT_NE(jukebox.pFile, nullptr);
  EXPECT_EQ(jukebox.iDataSize, 0);
  EXPECT_EQ(jukebox.pStream, nullptr);

  std::vector<unsigned char> ogg = ToneOgg(0.5, 44100, 2);
  ogg.resize(100);  // truncated inside its headers
  ASSERT_TRUE(WriteFileBytes(cBad, ogg));
  jukebox.playFile(cBad.c_str());
  EXPECT_EQ(jukebox.iDataSize, 100);
  EXPECT_EQ(jukebox.pStream, nullptr);

  ASSERT_TRUE(WriteFileBytes(cBad, ToneOgg(0.5, 44100, 2)));  // mended
  jukebox.updateMusic(3);  // the track that failed is not read again every frame
  EXPECT_EQ(jukebox.iDataSize, 100);
  EXPECT_EQ(jukebox.pStream, nullptr);
  jukebox.updateMusic(2);  // another track is asked for and plays
  ASSERT_NE(jukebox.pStream, nullptr);
  jukebox.stopMusic();
  jukebox.updateMusic(3);  // then the mended track is tried again
  ASSERT_NE(jukebox.pStream, nullptr);
  EXPECT_GT(jukebox.iDataSize, 100);
  EXPECT_NE(alogg_is_playing_ogg(jukebox.pStream), 0);
}

}  // namespace
