// Pictures from a damaged data folder: the header check, then the library's
// BMP or PCX loader on whatever the check lets through.
#include <allegro.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/image_check.h"

static std::string BmpPath, PcxPath;
extern "C" {
int SkvFuzzLetThrough = 0;  // read by the replay of kept inputs
}

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
  install_allegro(SYSTEM_NONE, &errno, atexit);
  set_color_depth(32);
  std::string cDir = "/tmp/skv-fuzz-image-" + std::to_string(getpid());
  mkdir(cDir.c_str(), 0700);
  BmpPath = cDir + "/p.bmp";
  PcxPath = cDir + "/p.pcx";
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t uSize) {
  // The first byte picks the format, the rest is the file.
  if (uSize < 1) return 0;
  const std::string &cPath = (pData[0] & 1) ? PcxPath : BmpPath;
  FILE *pFile = fopen(cPath.c_str(), "wb");
  fwrite(pData + 1, 1, uSize - 1, pFile);
  fclose(pFile);
  SkvFuzzLetThrough = ImageFileLooksSound(cPath.c_str());
  BITMAP *pBitmap = LoadPictureChecked(cPath.c_str(), nullptr);
  if (pBitmap != nullptr) destroy_bitmap(pBitmap);
  return 0;
}
