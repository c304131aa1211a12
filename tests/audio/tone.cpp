#include "tone.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "ogg_encode.h"

std::vector<unsigned char> ToneOgg(double seconds, int rate, int channels) {
  const double kTwoPi = 6.283185307179586;
  int iFrames = static_cast<int>(seconds * rate + 0.5);
  std::vector<float> samples(static_cast<size_t>(iFrames) * channels);
  for (int i = 0; i < iFrames; ++i) {
    double t = static_cast<double>(i) / rate;
    samples[static_cast<size_t>(i) * channels] = static_cast<float>(0.5 * sin(kTwoPi * 440 * t));
    if (channels > 1)
      samples[static_cast<size_t>(i) * channels + 1] =
          static_cast<float>(0.25 * sin(kTwoPi * 660 * t));
  }
  return EncodeOggVorbis(samples, channels, rate, 0.3f);
}

bool WriteFileBytes(const std::string &cPath, const std::vector<unsigned char> &bytes) {
  FILE *pOut = fopen(cPath.c_str(), "wb");
  if (pOut == nullptr) return false;
  bool bOk = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), pOut) == bytes.size();
  return fclose(pOut) == 0 && bOk;
}

std::string MakeTempDir() {
  char cTemplate[] = "/tmp/skv-audio-XXXXXX";
  const char *cDir = mkdtemp(cTemplate);
  return cDir != nullptr ? cDir : "";
}
