// The three generated tracks, decoded through the game's own OGG layer.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/ogg_stream.h"
#include "tone.h"

namespace {

const char *const kTracks[] = {"Dances with Dragons.ogg", "Zeal.ogg", "Shifting Flames.ogg"};

std::vector<unsigned char> ReadAll(const std::string &cPath) {
  std::vector<unsigned char> bytes;
  FILE *pIn = fopen(cPath.c_str(), "rb");
  if (pIn == nullptr) return bytes;
  unsigned char cChunk[65536];
  size_t iGot;
  while ((iGot = fread(cChunk, 1, sizeof cChunk, pIn)) > 0) bytes.insert(bytes.end(), cChunk, cChunk + iGot);
  fclose(pIn);
  return bytes;
}

struct Decoded {
  int iRate = 0, iChannels = 0;
  int64_t iFrames = 0;
  std::vector<int16_t> pcm;  // interleaved stereo
  size_t iBytes = 0;
};

Decoded DecodeTrack(const char *cName) {
  Decoded track;
  std::vector<unsigned char> bytes = ReadAll(std::string(SKV_DATA_DIR) + "/" + cName);
  track.iBytes = bytes.size();
  OggStream *pStream = alogg_create_ogg_from_buffer(bytes.data(), static_cast<int>(bytes.size()));
  if (pStream == nullptr) return track;
  track.iRate = OggStreamRate(pStream);
  track.iChannels = OggStreamChannels(pStream);
  track.iFrames = OggStreamFrames(pStream);
  std::vector<int16_t> chunk(2 * 8192);
  int iGot;
  while ((iGot = OggStreamDecode(pStream, chunk.data(), 8192)) > 0)
    track.pcm.insert(track.pcm.end(), chunk.begin(), chunk.begin() + 2 * iGot);
  alogg_destroy_ogg(pStream);
  return track;
}

double RmsDb(const std::vector<int16_t> &pcm) {
  double dSum = 0;
  for (int16_t s : pcm) dSum += static_cast<double>(s) * s;
  return 10 * log10(dSum / pcm.size() / (32768.0 * 32768.0));
}

class MusicTracks : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    for (const char *cName : kTracks) Tracks.push_back(DecodeTrack(cName));
  }
  static void TearDownTestSuite() { Tracks.clear(); }
  static std::vector<Decoded> Tracks;
};
std::vector<Decoded> MusicTracks::Tracks;

TEST_F(MusicTracks, FormatAndLength) {
  size_t iTotalBytes = 0;
  for (size_t i = 0; i < Tracks.size(); ++i) {
    const Decoded &track = Tracks[i];
    SCOPED_TRACE(kTracks[i]);
    ASSERT_GT(track.iBytes, 0u) << "missing from the run folder";
    EXPECT_EQ(track.iRate, 44100);
    EXPECT_EQ(track.iChannels, 2);
    EXPECT_EQ(static_cast<int64_t>(track.pcm.size() / 2), track.iFrames);
    double dSeconds = static_cast<double>(track.iFrames) / 44100;
    EXPECT_GE(dSeconds, 60.0);
    EXPECT_LE(dSeconds, 150.0);
    iTotalBytes += track.iBytes;
  }
  EXPECT_LT(iTotalBytes, 6u * 1000 * 1000);
}

TEST_F(MusicTracks, NeverClipAndShareOneLoudness) {
  std::vector<double> vLevels;
  for (size_t i = 0; i < Tracks.size(); ++i) {
    SCOPED_TRACE(kTracks[i]);
    const std::vector<int16_t> &pcm = Tracks[i].pcm;
    ASSERT_FALSE(pcm.empty());
    int iPeak = 0;
    for (int16_t s : pcm) iPeak = std::max(iPeak, std::abs(static_cast<int>(s)));
    EXPECT_LT(iPeak, 32767);
    EXPECT_GT(iPeak, 32768 / 2);  // peak-normalised, not left quiet
    vLevels.push_back(RmsDb(pcm));
  }
  ASSERT_EQ(vLevels.size(), 3u);
  auto range = std::minmax_element(vLevels.begin(), vLevels.end());
  EXPECT_LT(*range.second - *range.first, 3.0)
      << vLevels[0] << " " << vLevels[1] << " " << vLevels[2] << " dBFS";
}

// The Jukebox restarts a track from its first sample: the step from the last
// sample to the first must be no larger than the music's own steps.
TEST_F(MusicTracks, LastSampleLeadsIntoTheFirst) {
  for (size_t i = 0; i < Tracks.size(); ++i) {
    SCOPED_TRACE(kTracks[i]);
    const std::vector<int16_t> &pcm = Tracks[i].pcm;
    ASSERT_GT(pcm.size(), 4u);
    for (int c = 0; c < 2; ++c) {
      std::vector<int> vSteps;
      for (size_t k = c; k + 2 < pcm.size(); k += 2) vSteps.push_back(std::abs(pcm[k + 2] - pcm[k]));
      std::nth_element(vSteps.begin(), vSteps.begin() + vSteps.size() * 99 / 100, vSteps.end());
      int iUsualStep = vSteps[vSteps.size() * 99 / 100];
      int iSeam = std::abs(pcm[c] - pcm[pcm.size() - 2 + c]);
      EXPECT_LE(iSeam, iUsualStep) << "channel " << c;
    }
  }
}

// A second build renders the same bytes.
TEST(MusicGenerator, RendersTheSameFileTwice) {
  std::string cDir = MakeTempDir();
  ASSERT_FALSE(cDir.empty());
  std::string cOut = cDir + "/again.ogg";
  std::string cCommand = std::string("'") + SKV_MUSIC_TOOL + "' '" + SKV_SOURCE_DIR +
                         "/tools/music/scores/shifting_flames.score' '" + cOut + "' > /dev/null";
  ASSERT_EQ(system(cCommand.c_str()), 0);
  std::vector<unsigned char> again = ReadAll(cOut);
  std::vector<unsigned char> built = ReadAll(std::string(SKV_DATA_DIR) + "/Shifting Flames.ogg");
  EXPECT_FALSE(again.empty());
  EXPECT_TRUE(again == built) << again.size() << " vs " << built.size() << " bytes";
  EXPECT_EQ(system(("rm -rf '" + cDir + "'").c_str()), 0);
}

}  // namespace
