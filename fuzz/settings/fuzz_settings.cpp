// Settings files of any shape through the reader. Whatever it takes must
// come out of the writer as a file the reader takes again, to the same
// settings: a file the game wrote is never one it refuses next time.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/settings.h"

extern "C" {
int SkvFuzzLetThrough = 0;  // read by the replay of kept inputs
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t uSize) {
  const std::string sText(reinterpret_cast<const char *>(pData), uSize);
  Settings settings;
  SkvFuzzLetThrough = ParseSettings(sText, settings) ? 1 : 0;
  if (!SkvFuzzLetThrough) return 0;
  const std::string sWritten = FormatSettings(settings);
  Settings back;
  if (!ParseSettings(sWritten, back)) abort();
  if (FormatSettings(back) != sWritten) abort();
  return 0;
}
