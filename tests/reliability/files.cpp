#include "files.h"

#include <dirent.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <random>

#include "app/notice.h"

namespace reltest {

std::string DataFile(const char *cName) { return std::string(SKV_DATA_DIR) + "/" + cName; }

std::vector<uint8_t> ReadBytes(const std::string &cPath) {
  std::vector<uint8_t> bytes;
  FILE *pFile = fopen(cPath.c_str(), "rb");
  if (pFile == nullptr) return bytes;
  uint8_t aChunk[65536];
  size_t uRead;
  while ((uRead = fread(aChunk, 1, sizeof aChunk, pFile)) > 0)
    bytes.insert(bytes.end(), aChunk, aChunk + uRead);
  fclose(pFile);
  return bytes;
}

void WriteBytes(const std::string &cPath, const std::vector<uint8_t> &bytes) {
  FILE *pFile = fopen(cPath.c_str(), "wb");
  if (pFile == nullptr) return;
  if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), pFile);
  fclose(pFile);
}

TempFolder::TempFolder() {
  char cTemplate[] = "/tmp/skv-reliability-XXXXXX";
  if (mkdtemp(cTemplate) != nullptr) sDir = cTemplate;
}

TempFolder::~TempFolder() {
  if (sDir.empty()) return;
  const std::string cCommand = "rm -rf '" + sDir + "'";
  if (std::system(cCommand.c_str()) != 0) fprintf(stderr, "could not remove %s\n", sDir.c_str());
}

const char *DamageName(Damage eDamage) {
  switch (eDamage) {
    case Damage::Missing: return "missing";
    case Damage::Empty: return "empty";
    case Damage::HeaderOnly: return "header only";
    case Damage::Half: return "half";
    case Damage::Noise: return "noise";
  }
  return "?";
}

void ApplyDamage(const std::string &cPath, const std::vector<uint8_t> &original,
                 Damage eDamage) {
  unlink(cPath.c_str());
  std::vector<uint8_t> bytes;
  switch (eDamage) {
    case Damage::Missing: return;
    case Damage::Empty: break;
    case Damage::HeaderOnly:
      bytes.assign(original.begin(), original.begin() + std::min<size_t>(original.size(), 24));
      break;
    case Damage::Half:
      bytes.assign(original.begin(), original.begin() + original.size() / 2);
      break;
    case Damage::Noise: {
      std::mt19937 gen(static_cast<unsigned>(original.size()));
      bytes.resize(original.size());
      for (uint8_t &b : bytes) b = static_cast<uint8_t>(gen());
      break;
    }
  }
  WriteBytes(cPath, bytes);
}

void CopyRunFolder(const TempFolder &folder) {
  DIR *pDir = opendir(SKV_DATA_DIR);
  if (pDir == nullptr) return;
  while (dirent *pEntry = readdir(pDir)) {
    const std::string cFrom = DataFile(pEntry->d_name);
    struct stat info;
    if (stat(cFrom.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) continue;
    WriteBytes(folder.path(pEntry->d_name), ReadBytes(cFrom));
  }
  closedir(pDir);
}

ChildResult RunChild(const std::function<int()> &fBody, int iSeconds) {
  ChildResult result;
  int aPipe[2];
  if (pipe(aPipe) != 0) return result;
  fflush(stdout);
  fflush(stderr);
  const pid_t iChild = fork();
  if (iChild == 0) {
    close(aPipe[0]);
    dup2(aPipe[1], 1);
    dup2(aPipe[1], 2);
    setvbuf(stdout, nullptr, _IONBF, 0);
    alarm(static_cast<unsigned>(iSeconds));
    // The game's way out ends the child as main ends the game.
    int iResult = 0;
    try {
      iResult = fBody();
    } catch (const GameExitRequest &) {
      iResult = 0;
    }
    fflush(stdout);
    _exit(iResult);
  }
  close(aPipe[1]);
  char aBuffer[4096];
  ssize_t iRead;
  while ((iRead = read(aPipe[0], aBuffer, sizeof aBuffer)) > 0) result.sOutput.append(aBuffer, iRead);
  close(aPipe[0]);
  int iStatus = 0;
  waitpid(iChild, &iStatus, 0);
  result.bExited = WIFEXITED(iStatus);
  if (result.bExited) result.iStatus = WEXITSTATUS(iStatus);
  if (WIFSIGNALED(iStatus)) result.iSignal = WTERMSIG(iStatus);
  return result;
}

}  // namespace reltest
