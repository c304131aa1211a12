// Start-up's sound step with a real digital driver: under a virtual X server,
// ALSA's default device is pointed at its null plugin for the child process
// only, and a track is played through GameJukebox there (see alsa_probe.cpp).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <utility>

#include "tone.h"

// Runs the probe with sArgs (the track's path is appended) on the ALSA null
// device under a virtual X server; its exit status and what it printed.
std::pair<int, std::string> RunProbe(const std::string &sArgs) {
  std::string cDir = MakeTempDir();
  EXPECT_FALSE(cDir.empty());
  std::string cConfig = cDir + "/asound.conf";
  FILE *pConfig = fopen(cConfig.c_str(), "w");
  EXPECT_NE(pConfig, nullptr);
  if (pConfig == nullptr) return {-1, ""};
  fputs("pcm.!default { type null }\nctl.!default { type hw card 0 }\n", pConfig);
  fclose(pConfig);
  std::string cTrack = cDir + "/track.ogg";
  EXPECT_TRUE(WriteFileBytes(cTrack, ToneOgg(1.0, 44100, 2)));

  // The sound library and the driver module keep a few bytes to process exit,
  // which a sanitizer build of the child would report as leaks.
  std::string cCommand = "ASAN_OPTIONS=detect_leaks=0 ALSA_CONFIG_PATH='" + cConfig +
                         "' timeout 120 xvfb-run -a '" + SKV_ALSA_PROBE + "' " + sArgs +
                         " '" + cTrack + "' > '" + cDir + "/log' 2>&1";
  int iStatus = system(cCommand.c_str());
  std::string cLog;
  if (FILE *pLog = fopen((cDir + "/log").c_str(), "r")) {
    char cLine[256];
    while (fgets(cLine, sizeof cLine, pLog)) cLog += cLine;
    fclose(pLog);
  }
  EXPECT_EQ(system(("rm -rf '" + cDir + "'").c_str()), 0);
  return {iStatus, cLog};
}

TEST(AlsaNullDevice, StartUpInstallsSoundAndATrackPlays) {
  if (system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run missing";
  const auto [iStatus, cLog] = RunProbe("");
  EXPECT_EQ(iStatus, 0) << cLog;
  EXPECT_NE(cLog.find("played, paused, faded, ended, restarted"), std::string::npos) << cLog;
  EXPECT_NE(cLog.find("effects played, held, ended"), std::string::npos) << cLog;
}

// Under the thread sanitizer this is the race check of the stream layer.
TEST(AlsaNullDevice, StreamsStartStopFadeAndGoWhileTheirRefillRuns) {
  if (system("command -v xvfb-run >/dev/null 2>&1") != 0) GTEST_SKIP() << "xvfb-run missing";
  const auto [iStatus, cLog] = RunProbe("--stress");
  EXPECT_EQ(iStatus, 0) << cLog;
  EXPECT_NE(cLog.find("streams played under stress"), std::string::npos) << cLog;
  EXPECT_EQ(cLog.find("WARNING: ThreadSanitizer"), std::string::npos) << cLog;
}
