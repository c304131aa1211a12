// skv_music: renders one score into an OGG Vorbis file (and optionally a WAV
// for listening and inspection).
// Usage: skv_music SCORE OUT.ogg [--wav OUT.wav] [--quality Q]
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>

#include "compose.h"
#include "ogg_encode.h"
#include "score.h"

namespace {

bool WriteBytes(const std::string &cPath, const void *pData, size_t iSize) {
  FILE *pOut = fopen(cPath.c_str(), "wb");
  if (pOut == nullptr) return false;
  bool bOk = iSize == 0 || fwrite(pData, 1, iSize, pOut) == iSize;
  return fclose(pOut) == 0 && bOk;
}

void PutLe(std::string &c, uint32_t iValue, int iBytes) {
  for (int i = 0; i < iBytes; ++i) c += static_cast<char>((iValue >> (8 * i)) & 0xFF);
}

// 16-bit stereo PCM WAV.
bool WriteWav(const std::string &cPath, const std::vector<float> &vSamples) {
  std::string c = "RIFF";
  uint32_t iData = static_cast<uint32_t>(vSamples.size() * 2);
  PutLe(c, 36 + iData, 4);
  c += "WAVEfmt ";
  PutLe(c, 16, 4);
  PutLe(c, 1, 2);
  PutLe(c, 2, 2);
  PutLe(c, kSampleRate, 4);
  PutLe(c, kSampleRate * 4, 4);
  PutLe(c, 4, 2);
  PutLe(c, 16, 2);
  c += "data";
  PutLe(c, iData, 4);
  for (float f : vSamples) {
    long lValue = std::lround(std::max(-1.0f, std::min(1.0f, f)) * 32767.0f);
    PutLe(c, static_cast<uint32_t>(lValue) & 0xFFFF, 2);
  }
  return WriteBytes(cPath, c.data(), c.size());
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    fprintf(stderr, "usage: skv_music SCORE OUT.ogg [--wav OUT.wav] [--quality Q]\n");
    return 2;
  }
  std::string cWav;
  float fQuality = 0.3f;
  for (int i = 3; i + 1 < argc; i += 2) {
    if (strcmp(argv[i], "--wav") == 0) cWav = argv[i + 1];
    else if (strcmp(argv[i], "--quality") == 0) fQuality = static_cast<float>(atof(argv[i + 1]));
  }
  std::ifstream in(argv[1]);
  if (!in) {
    fprintf(stderr, "skv_music: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  Score score;
  std::string cError;
  if (!ParseScore(text.str(), &score, &cError)) {
    fprintf(stderr, "%s: %s\n", argv[1], cError.c_str());
    return 1;
  }
  for (const std::string *pName : {&score.cLead, &score.cPad, &score.cBass})
    if (!IsInstrument(*pName)) {
      fprintf(stderr, "%s: unknown instrument '%s'\n", argv[1], pName->c_str());
      return 1;
    }
  std::vector<float> vSamples = RenderArrangement(Arrange(score), score.dReverb);
  if (!cWav.empty() && !WriteWav(cWav, vSamples)) {
    fprintf(stderr, "skv_music: cannot write %s\n", cWav.c_str());
    return 1;
  }
  std::vector<unsigned char> ogg = EncodeOggVorbis(vSamples, 2, kSampleRate, fQuality);
  if (ogg.empty() || !WriteBytes(argv[2], ogg.data(), ogg.size())) {
    fprintf(stderr, "skv_music: cannot encode or write %s\n", argv[2]);
    return 1;
  }
  printf("%s: %.1f s, %zu bytes\n", score.cTitle.c_str(), score.Seconds(), ogg.size());
  return 0;
}
