// Peak resident memory of a process that loads and populates one stage and
// plays a few hundred frames of it. Without arguments it measures every
// stage, each in a process of its own, and reports the largest.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "bench/headless.h"
#include "bench/stage_fixture.h"

namespace {

// The stages' maps, in the order of the world map.
const char *const StageMaps[] = {
#define SKV_STAGE(stem, name, seed, layout) #stem ".fmp",
#include "tools/maps/stages.def"
#undef SKV_STAGE
};

int MeasureOne(const char *cMap) {
  BenchStartAllegro();
  if (chdir(SKV_DATA_DIR) != 0) return 1;
  BenchStage stage;
  if (!stage.open(cMap, 1234)) return 1;
  FadeLevel = 255;
  bool bLost = false;
  for (int i = 0; i < 300; ++i) {
    stage.park(StageStartCamY - i * 70);
    GameTicks += 2;
    stage.pRun->playFrame(stage.pHudLayer, false, bLost);
  }
  stage.close();
  struct rusage usage;
  getrusage(RUSAGE_SELF, &usage);
  printf("%s %ld\n", cMap, usage.ru_maxrss);
  return 0;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc > 1) return MeasureOne(argv[1]);
  long iWorstKb = 0;
  std::string cWorst;
  for (const char *cMap : StageMaps) {
    std::string cCommand = std::string("'") + argv[0] + "' " + cMap;
    FILE *pChild = popen(cCommand.c_str(), "r");
    char cName[64] = "";
    long iKb = 0;
    if (fscanf(pChild, "%63s %ld", cName, &iKb) == 2) {
      printf("peak resident memory, %s: %.1f MiB\n", cName, iKb / 1024.0);
      if (iKb > iWorstKb) {
        iWorstKb = iKb;
        cWorst = cName;
      }
    }
    pclose(pChild);
  }
  printf("largest: %s, %.1f MiB\n", cWorst.c_str(), iWorstKb / 1024.0);
  return 0;
}
