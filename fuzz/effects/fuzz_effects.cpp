// Effects files from a damaged run folder: the player's load, then every
// effect played on voices that only note their sample, so every sample the
// load lets through is read from its first to its last byte.
#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/globals.h"
#include "audio/effects.h"

static std::string EffectsPath;
extern "C" {
int SkvFuzzLetThrough = 0;  // read by the replay of kept inputs
}
static EffectsPlayer *Player;
static unsigned SampleSum;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  std::string cDir = "/tmp/skv-fuzz-effects-" + std::to_string(getpid());
  mkdir(cDir.c_str(), 0700);
  EffectsPath = cDir + "/effects.dat";
  Player = new EffectsPlayer;
  EffectOutput out;
  out.start = [](const SAMPLE *pSample, int, int, int iFrequency) {
    if (iFrequency <= 0) abort();
    const int iBytes = static_cast<int>(pSample->len) * (pSample->bits == 8 ? 1 : 2) *
                       (pSample->stereo ? 2 : 1);
    const unsigned char *p = static_cast<const unsigned char *>(pSample->data);
    for (int i = 0; i < iBytes; ++i) SampleSum += p[i];
    return 1;
  };
  out.playing = [](int) { return false; };
  out.stop = [](int) {};
  out.hold = [](int, bool) {};
  Player->setOutput(out);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t uSize) {
  FILE *pFile = fopen(EffectsPath.c_str(), "wb");
  if (uSize > 0) fwrite(pData, 1, uSize, pFile);
  fclose(pFile);
  Player->load(EffectsPath.c_str());
  if (!Player->loaded()) return 0;
  SkvFuzzLetThrough = 1;
  for (int i = 0; i < static_cast<int>(Effect::Count); ++i) {
    GameTicks += 100;
    Player->play(static_cast<Effect>(i), i * 37);
  }
  Player->release();
  return 0;
}
