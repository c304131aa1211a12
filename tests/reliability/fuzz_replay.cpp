// Replays kept fuzz inputs through a fuzz target's own entry point, outside
// libFuzzer, in the ordinary and the sanitizer build. Arguments are folders.
// Every input must pass without a crash; an input whose name begins with
// "refused-" must also be refused by the target's file check (the target
// reports what it let through).
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *pData, size_t uSize);
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int *pArgc, char ***pArgv);
// Set by targets with a file check when it let the last input through.
extern "C" __attribute__((weak)) int SkvFuzzLetThrough;

int main(int argc, char **argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  int iRun = 0, iFailed = 0;
  for (int a = 1; a < argc; ++a) {
    const std::string sDir = argv[a];
    std::vector<std::string> vNames;
    if (DIR *pDir = opendir(sDir.c_str())) {
      while (dirent *pEntry = readdir(pDir)) {
        struct stat info;
        const std::string sPath = sDir + "/" + pEntry->d_name;
        if (stat(sPath.c_str(), &info) == 0 && S_ISREG(info.st_mode)) vNames.push_back(pEntry->d_name);
      }
      closedir(pDir);
    }
    std::sort(vNames.begin(), vNames.end());
    for (const std::string &sName : vNames) {
      std::ifstream in(sDir + "/" + sName, std::ios::binary);
      const std::vector<uint8_t> vBytes((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
      if (&SkvFuzzLetThrough) SkvFuzzLetThrough = 0;
      LLVMFuzzerTestOneInput(vBytes.data(), vBytes.size());
      ++iRun;
      const bool bRefused = sName.rfind("refused-", 0) == 0;
      if (bRefused && (!&SkvFuzzLetThrough || SkvFuzzLetThrough)) {
        std::printf("let through: %s/%s\n", sDir.c_str(), sName.c_str());
        ++iFailed;
      }
    }
  }
  std::printf("%d inputs replayed, %d let through that must be refused\n", iRun, iFailed);
  return iFailed == 0 && iRun > 0 ? 0 : 1;
}
