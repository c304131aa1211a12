// skv_sfx: renders the effect recipes into the game's effects datafile, and
// optionally every effect as a WAV file for listening.
// Usage: skv_sfx RECIPES OUT.dat [--wav FOLDER]
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "sfx.h"

namespace {

// Loudness of every effect (RMS of its loudest 50 ms) and the ceiling of its
// peaks; the game's own volumes set the balance between them.
const double kLoudness = 0.22;
const double kPeak = 0.89;

bool WriteFile(const std::string &cPath, const std::string &cBytes) {
  FILE *pOut = fopen(cPath.c_str(), "wb");
  if (pOut == nullptr) return false;
  const bool bOk = fwrite(cBytes.data(), 1, cBytes.size(), pOut) == cBytes.size();
  return fclose(pOut) == 0 && bOk;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc != 3 && !(argc == 5 && std::string(argv[3]) == "--wav")) {
    fprintf(stderr, "usage: skv_sfx RECIPES OUT.dat [--wav FOLDER]\n");
    return 2;
  }
  std::ifstream in(argv[1]);
  if (!in) {
    fprintf(stderr, "skv_sfx: cannot read %s\n", argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  std::vector<SfxRecipe> vRecipes;
  std::string cError;
  if (!ParseSfx(text.str(), &vRecipes, &cError)) {
    fprintf(stderr, "%s:%s\n", argv[1], cError.c_str() + 4);
    return 1;
  }
  std::vector<std::vector<float>> vEffects;
  for (const SfxRecipe &recipe : vRecipes) vEffects.push_back(RenderSfx(recipe));
  MatchLoudness(vEffects, kLoudness, kPeak);
  if (!WriteFile(argv[2], EffectsDatafile(vRecipes, vEffects))) {
    fprintf(stderr, "skv_sfx: cannot write %s\n", argv[2]);
    return 1;
  }
  for (size_t i = 0; argc == 5 && i < vRecipes.size(); ++i) {
    const std::string cPath = std::string(argv[4]) + "/" + vRecipes[i].cName + ".wav";
    if (!WriteFile(cPath, MonoWav(vEffects[i]))) {
      fprintf(stderr, "skv_sfx: cannot write %s\n", cPath.c_str());
      return 1;
    }
  }
  return 0;
}
