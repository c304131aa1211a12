// The OGG streaming layer on real Vorbis data, under the silent driver the
// tests run with (no sound installed): decoding, bad input, play time.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/globals.h"
#include "audio/ogg_stream.h"
#include "tone.h"

namespace {

// Decodes the whole stream; returns interleaved stereo.
std::vector<int16_t> DecodeAll(OggStream *pStream) {
  std::vector<int16_t> out;
  std::vector<int16_t> chunk(2 * 1000);
  int iGot;
  while ((iGot = OggStreamDecode(pStream, chunk.data(), 1000)) > 0)
    out.insert(out.end(), chunk.begin(), chunk.begin() + 2 * iGot);
  return out;
}

int PeakOfChannel(const std::vector<int16_t> &pcm, int iChannel) {
  int iPeak = 0;
  for (size_t i = iChannel; i < pcm.size(); i += 2) iPeak = std::max(iPeak, std::abs(pcm[i]));
  return iPeak;
}

TEST(OggStream, DecodesEveryFrameOfAStereoTrack) {
  std::vector<unsigned char> ogg = ToneOgg(1.0, 44100, 2);
  ASSERT_FALSE(ogg.empty());
  const std::vector<unsigned char> original = ogg;
  OggStream *pStream = alogg_create_ogg_from_buffer(ogg.data(), static_cast<int>(ogg.size()));
  ASSERT_NE(pStream, nullptr);
  EXPECT_EQ(OggStreamRate(pStream), 44100);
  EXPECT_EQ(OggStreamChannels(pStream), 2);
  EXPECT_EQ(OggStreamFrames(pStream), 44100);

  std::vector<int16_t> pcm = DecodeAll(pStream);
  EXPECT_EQ(pcm.size(), 2u * 44100);
  // Left was written at half scale, right at a quarter: channels keep their place.
  EXPECT_NEAR(PeakOfChannel(pcm, 0), 16384, 1200);
  EXPECT_NEAR(PeakOfChannel(pcm, 1), 8192, 800);

  // Rewinding decodes the same samples again.
  ASSERT_EQ(OggStreamRewind(pStream), 0);
  EXPECT_EQ(DecodeAll(pStream), pcm);
  alogg_destroy_ogg(pStream);
  EXPECT_EQ(ogg, original);  // the caller's bytes are only read
}

TEST(OggStream, MonoTrackPlaysOnBothSides) {
  std::vector<unsigned char> ogg = ToneOgg(0.5, 22050, 1);
  OggStream *pStream = alogg_create_ogg_from_buffer(ogg.data(), static_cast<int>(ogg.size()));
  ASSERT_NE(pStream, nullptr);
  EXPECT_EQ(OggStreamRate(pStream), 22050);
  EXPECT_EQ(OggStreamChannels(pStream), 1);
  std::vector<int16_t> pcm = DecodeAll(pStream);
  ASSERT_EQ(pcm.size(), 2u * 11025);
  int iDifferent = 0;
  for (size_t i = 0; i < pcm.size(); i += 2) iDifferent += pcm[i] != pcm[i + 1];
  EXPECT_EQ(iDifferent, 0);
  EXPECT_GT(PeakOfChannel(pcm, 0), 10000);
  alogg_destroy_ogg(pStream);
}

TEST(OggStream, RefusesWhatIsNotOggVorbis) {
  std::vector<unsigned char> ogg = ToneOgg(0.3, 44100, 2);
  EXPECT_EQ(alogg_create_ogg_from_buffer(nullptr, 100), nullptr);
  EXPECT_EQ(alogg_create_ogg_from_buffer(ogg.data(), 0), nullptr);
  EXPECT_EQ(alogg_create_ogg_from_buffer(ogg.data(), -5), nullptr);

  const char cText[] = "RIFF....WAVEfmt not an OGG file at all\r\n\x1a";
  EXPECT_EQ(alogg_create_ogg_from_buffer(cText, sizeof cText), nullptr);

  std::vector<unsigned char> noise(4096);
  unsigned iSeed = 12345;
  for (unsigned char &b : noise) b = static_cast<unsigned char>((iSeed = iSeed * 1103515245 + 12345) >> 16);
  EXPECT_EQ(alogg_create_ogg_from_buffer(noise.data(), static_cast<int>(noise.size())), nullptr);

  // Cut inside the header pages: the codebooks are missing.
  for (int iCut : {4, 27, 58, 200}) {
    std::vector<unsigned char> cut(ogg.begin(), ogg.begin() + iCut);
    EXPECT_EQ(alogg_create_ogg_from_buffer(cut.data(), iCut), nullptr) << "cut at " << iCut;
  }
  // Only the capture pattern of the first page changed.
  std::vector<unsigned char> damaged = ogg;
  damaged[0] = 'X';
  EXPECT_EQ(alogg_create_ogg_from_buffer(damaged.data(), static_cast<int>(damaged.size())),
            nullptr);
}

TEST(OggStream, TruncatedTrackDecodesWhatItHolds) {
  std::vector<unsigned char> ogg = ToneOgg(4.0, 44100, 2);
  // Cut just inside the last page: every earlier page is whole.
  size_t iLastPage = 0;
  for (size_t i = 0; i + 4 <= ogg.size(); ++i)
    if (memcmp(&ogg[i], "OggS", 4) == 0) iLastPage = i;
  ASSERT_GT(iLastPage, ogg.size() / 2);
  std::vector<unsigned char> cut(ogg.begin(), ogg.begin() + iLastPage + 10);
  OggStream *pStream = alogg_create_ogg_from_buffer(cut.data(), static_cast<int>(cut.size()));
  ASSERT_NE(pStream, nullptr);
  size_t iFrames = DecodeAll(pStream).size() / 2;
  EXPECT_GT(iFrames, 44100u);
  EXPECT_LT(iFrames, 4u * 44100);
  alogg_destroy_ogg(pStream);
}

// Without a driver a started stream counts as playing for its length in
// 20 ms ticks, scaled by the speed, and then ends.
TEST(OggStream, SilentDriverPlaysForTheTrackLength) {
  std::vector<unsigned char> ogg = ToneOgg(0.5, 44100, 2);  // 25 ticks
  OggStream *pStream = alogg_create_ogg_from_buffer(ogg.data(), static_cast<int>(ogg.size()));
  ASSERT_NE(pStream, nullptr);
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);  // not started yet

  GameTicks = 1000;
  EXPECT_EQ(alogg_play_ex_ogg(pStream, 65536, 255, 127, 1000, 0), 0);
  EXPECT_EQ(OggStreamVoice(pStream), -1);
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  GameTicks = 1024;
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  GameTicks = 1025;
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);
  GameTicks = 1000;  // once ended it stays ended
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);

  // Playing again starts over; double speed halves the time.
  EXPECT_EQ(alogg_play_ex_ogg(pStream, 65536, 255, 127, 2000, 0), 0);
  GameTicks = 1012;
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  GameTicks = 1013;
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);

  // A speed change mid-track counts the time already played at the old speed:
  // 10 ticks at normal speed (200 ms), then 300 ms left at half speed = 30 ticks.
  GameTicks = 2000;
  alogg_play_ex_ogg(pStream, 65536, 255, 127, 1000, 0);
  GameTicks = 2010;
  alogg_adjust_ogg(pStream, 255, 127, 500, 0);
  GameTicks = 2039;
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  GameTicks = 2040;
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);

  // Looping never ends by itself; stop ends it at once.
  alogg_play_ex_ogg(pStream, 65536, 255, 127, 1000, 1);
  GameTicks = 9000;
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  alogg_stop_ogg(pStream);
  EXPECT_EQ(alogg_is_playing_ogg(pStream), 0);
  alogg_destroy_ogg(pStream);
}

TEST(OggStream, AdjustChangesTheVolumeAtOnce) {
  std::vector<unsigned char> ogg = ToneOgg(0.5, 44100, 2);
  OggStream *pStream = alogg_create_ogg_from_buffer(ogg.data(), static_cast<int>(ogg.size()));
  ASSERT_NE(pStream, nullptr);
  GameTicks = 0;
  alogg_play_ex_ogg(pStream, 65536, 200, 127, 1000, 0);
  EXPECT_EQ(OggStreamVolume(pStream), 200);
  alogg_adjust_ogg(pStream, 71, 127, 1000, 0);
  EXPECT_EQ(OggStreamVolume(pStream), 71);
  EXPECT_NE(alogg_is_playing_ogg(pStream), 0);
  alogg_adjust_ogg(pStream, 400, 127, 1000, 0);
  EXPECT_EQ(OggStreamVolume(pStream), 255);
  alogg_destroy_ogg(pStream);
}

TEST(OggStream, NullStreamIsHarmless) {
  EXPECT_NE(alogg_play_ex_ogg(nullptr, 65536, 255, 127, 1000, 0), 0);
  EXPECT_NE(alogg_start_autopoll_ogg(nullptr, 25), 0);
  EXPECT_EQ(alogg_is_playing_ogg(nullptr), 0);
  alogg_adjust_ogg(nullptr, 10, 127, 1000, 0);
  alogg_stop_ogg(nullptr);
  alogg_destroy_ogg(nullptr);
  EXPECT_EQ(OggStreamDecode(nullptr, nullptr, 10), 0);
}

}  // namespace
