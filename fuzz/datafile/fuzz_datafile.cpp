// Datafiles from a damaged run folder: the check, then the library's loader
// on whatever the check lets through, and the loaded font drawn as the story
// and game-over screens draw it.
#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/datafile_check.h"

static std::string DatPath;
extern "C" {
int SkvFuzzLetThrough = 0;  // read by the replay of kept inputs
}
static BITMAP *Canvas;

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  std::string cDir = "/tmp/skv-fuzz-datafile-" + std::to_string(getpid());
  mkdir(cDir.c_str(), 0700);
  DatPath = cDir + "/script.dat";
  Canvas = create_bitmap(160, 60);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t uSize) {
  FILE *pFile = fopen(DatPath.c_str(), "wb");
  if (uSize > 0) fwrite(pData, 1, uSize, pFile);
  fclose(pFile);
  if (!DatafileLooksSound(DatPath.c_str())) return 0;
  SkvFuzzLetThrough = 1;
  // The library's loader frees its object list twice when an object fails
  // halfway, so whatever the check lets through must load.
  DATAFILE *pDat = load_datafile(DatPath.c_str());
  if (pDat == nullptr) abort();
  if (pDat[0].type == DAT_FONT && pDat[0].dat != nullptr) {
    FONT *pFont = static_cast<FONT *>(pDat[0].dat);
    textout_ex(Canvas, pFont, "Game Over", 0, 0, makecol(0, 0, 0), -1);
    text_length(pFont, "The dragon wakes");
  }
  unload_datafile(pDat);
  return 0;
}
