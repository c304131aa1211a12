// Helpers of the reliability tests: the generated run folder, scratch
// folders, whole-file reads and writes, damaged copies of a file, and a
// child process with a time limit for code that may end the program.
#pragma once
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace reltest {

// Path of a file in the generated run folder.
std::string DataFile(const char *cName);

std::vector<uint8_t> ReadBytes(const std::string &cPath);
void WriteBytes(const std::string &cPath, const std::vector<uint8_t> &bytes);

// A fresh folder removed with everything in it at the end of the scope.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  std::string path(const std::string &cName) const { return sDir + "/" + cName; }
  const std::string &dir() const { return sDir; }

 private:
  std::string sDir;
};

// The ways a data file can be damaged: gone, empty, cut short and replaced
// by noise. Apply writes the damaged version of the original (or removes it).
enum class Damage { Missing, Empty, HeaderOnly, Half, Noise };
const char *DamageName(Damage eDamage);
constexpr Damage AllDamage[] = {Damage::Missing, Damage::Empty, Damage::HeaderOnly,
                                Damage::Half, Damage::Noise};
void ApplyDamage(const std::string &cPath, const std::vector<uint8_t> &original,
                 Damage eDamage);

// Copies every file of the run folder into a new folder (subfolders left out).
void CopyRunFolder(const TempFolder &folder);

// The outcome of a child process.
struct ChildResult {
  bool bExited = false;   // ended through exit (not a signal)
  int iStatus = -1;       // exit status when bExited
  int iSignal = 0;        // the signal that ended it otherwise (SIGALRM: too slow)
  std::string sOutput;    // standard output and standard error together
};
// Runs fBody in a forked child with its output captured; the child exits with
// fBody's result if fBody returns. SIGALRM ends it after iSeconds.
ChildResult RunChild(const std::function<int()> &fBody, int iSeconds = 30);

}  // namespace reltest
