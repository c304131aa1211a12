#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/startup.h"
#include "common/allegro_env.h"

namespace {

// Runs a shell command, returning its exit status and everything it printed.
int RunCommand(const std::string &cCommand, std::string *pOutput) {
  FILE *pPipe = popen((cCommand + " 2>&1").c_str(), "r");
  char cBuffer[512];
  pOutput->clear();
  size_t uRead;
  while ((uRead = fread(cBuffer, 1, sizeof cBuffer, pPipe)) > 0) pOutput->append(cBuffer, uRead);
  int iStatus = pclose(pPipe);
  return WIFEXITED(iStatus) ? WEXITSTATUS(iStatus) : -1;
}

}  // namespace

// Without any display the library cannot start: the player is told so, with
// the library's reason, and the game ends normally.
TEST(StartUp, NoDisplayEndsWithTheLibraryMessage) {
  std::string cOut;
  int iStatus = RunCommand("cd /tmp && env -u DISPLAY timeout 20 " SKV_GAME_BINARY, &cOut);
  EXPECT_EQ(iStatus, 0);
  EXPECT_EQ(cOut.rfind("ERROR:  Failed to initialize allegro library.  Terminating program.\n", 0), 0u)
      << cOut;
  EXPECT_NE(cOut.find("REPORT:  "), std::string::npos) << cOut;
}

// With voices reserved and no usable digital driver, the first install fails;
// the game then says so and runs silent instead of giving up.
TEST(StartUp, SoundFallsBackToSilence) {
  EXPECT_EXIT(
      {
        setvbuf(stdout, nullptr, _IONBF, 0);
        dup2(2, 1);
        InstallSoundOrGoSilent();
        fprintf(stderr, "|running silent");
        exit(0);
      },
      testing::ExitedWithCode(0),
      "^ERROR:  Failure to install sound[.]  Attempting to run without sound[.]\n"
      "REPORT:  [^\n]+\n[|]running silent$");
}
