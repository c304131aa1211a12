// A damaged run folder: every file the stage and its end screens read, gone,
// empty, cut short or replaced by noise. Each case runs in a child process
// with a time limit, since the specified outcome for most is the end of the
// program; a crash or a hang fails the case.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <string>

#include "app/globals.h"
#include "audio/jukebox.h"
#include "audio/ogg_stream.h"
#include "files.h"
#include "level/level_run.h"
#include "screens/world_map.h"

using namespace reltest;

namespace {

const char *const StageMaps[] = {"level1.fmp", "level2a.fmp", "level2.fmp", "level3.fmp",
                                 "level4.fmp"};

// Describes how a child ended, for failure messages.
std::string Describe(const ChildResult &r) {
  std::string s = r.bExited ? "exit " + std::to_string(r.iStatus)
                            : "signal " + std::to_string(r.iSignal) +
                                  (r.iSignal == SIGALRM ? " (time limit)" : "");
  return s + ", output: [" + r.sOutput + "]";
}

// A copy of the run folder with one file damaged, made the child's working
// directory before fBody runs.
ChildResult RunWithDamagedFile(const char *cName, Damage eDamage,
                               const std::function<int()> &fBody) {
  TempFolder folder;
  CopyRunFolder(folder);
  ApplyDamage(folder.path(cName), ReadBytes(DataFile(cName)), eDamage);
  return RunChild([&] {
    if (chdir(folder.dir().c_str()) != 0) return 90;
    if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
    return fBody();
  });
}

// The stage's own start: the map load in run().
TEST(DamagedFiles, EveryStageMapEndsTheGameWithTheMapMessage) {
  for (const char *cMap : StageMaps) {
    for (Damage eDamage : AllDamage) {
      const ChildResult r = RunWithDamagedFile(cMap, eDamage, [&] {
        LevelRun run;
        run.run(cMap);
        return 91;  // run must not come back from a map it could not load
      });
      EXPECT_TRUE(r.bExited && r.iStatus == 0) << cMap << " " << DamageName(eDamage) << ": "
                                               << Describe(r);
      EXPECT_EQ(r.sOutput, std::string("ERROR:  Failed to load map:  ") + cMap + "\n")
          << DamageName(eDamage);
    }
  }
}

// The game-over screen: a datafile that cannot be loaded shows its message and
// ends the sequence at once, whatever the damage.
TEST(DamagedFiles, DamagedStoryFontSkipsTheGameOverScreen) {
  for (Damage eDamage : AllDamage) {
    const ChildResult r = RunWithDamagedFile("script.dat", eDamage, [] {
      LevelRun run;
      return run.showGameOver() ? 0 : 92;
    });
    EXPECT_TRUE(r.bExited && r.iStatus == 0) << DamageName(eDamage) << ": " << Describe(r);
    EXPECT_EQ(r.sOutput, "Couldn't open dat file.\n") << DamageName(eDamage);
  }
}

// The stage intro on the world map: a datafile that cannot be loaded shows
// "error!" and closes the map; no story, no stage, the node stays open.
TEST(DamagedFiles, DamagedStoryFontClosesTheWorldMapBeforeTheStory) {
  for (Damage eDamage : AllDamage) {
    const ChildResult r = RunWithDamagedFile("script.dat", eDamage, [] {
      WorldMap map;
      map.load("world.bmp", nullptr);
      if (map.playCurrentStage() != 1) return 93;
      return map.pNodes[map.iCurrent]->bCompleted ? 94 : 0;
    });
    EXPECT_TRUE(r.bExited && r.iStatus == 0) << DamageName(eDamage) << ": " << Describe(r);
    EXPECT_EQ(r.sOutput, "error!\n") << DamageName(eDamage);
  }
}

// Pictures read by the stage and its end screen end the program through the
// picture loader, damaged or missing alike.
TEST(DamagedFiles, DamagedStagePicturesEndTheGameWithTheLoaderMessage) {
  struct Case {
    const char *cPicture;
    int (*fBody)();
  };
  const Case cases[] = {
      {"gameover.bmp", [] { LevelRun run; run.showGameOver(); return 93; }},
      {"Dragon.bmp", [] { LevelRun run; run.startPlay(); return 93; }},
  };
  for (const Case &c : cases) {
    for (Damage eDamage : AllDamage) {
      const ChildResult r = RunWithDamagedFile(c.cPicture, eDamage, c.fBody);
      EXPECT_TRUE(r.bExited && r.iStatus == 0)
          << c.cPicture << " " << DamageName(eDamage) << ": " << Describe(r);
      EXPECT_EQ(r.sOutput, std::string("ERROR:  Could not find/open '") + c.cPicture + "'\n")
          << DamageName(eDamage);
    }
  }
}

// Music: a track that cannot be read or decoded plays nothing and is tried
// again by the next keep-playing call; the fade still completes. A file cut
// in half keeps its headers: the stream layer may refuse it or play it up to
// the cut, and decoding it to the end must then stay within the data.
TEST(DamagedFiles, DamagedMusicIsSilence) {
  const char *const Tracks[] = {"Dances with Dragons.ogg", "Zeal.ogg", "Shifting Flames.ogg"};
  for (const char *cTrack : Tracks) {
    const std::vector<uint8_t> original = ReadBytes(DataFile(cTrack));
    ASSERT_GT(original.size(), 1000u) << cTrack;
    for (Damage eDamage : AllDamage) {
      TempFolder folder;
      const std::string cPath = folder.path("track.ogg");
      ApplyDamage(cPath, original, eDamage);
      const ChildResult r = RunChild([&] {
        Jukebox jukebox;
        jukebox.initJukebox();
        jukebox.addTrack(cPath.c_str(), 1);
        for (int i = 0; i < 3; ++i) jukebox.updateMusic(1);
        if (eDamage == Damage::Half && jukebox.pStream != nullptr) {
          alogg_stop_ogg(jukebox.pStream);
          static int16_t aFrames[2 * 4096];
          int64_t iTotal = 0;
          while (int iGot = OggStreamDecode(jukebox.pStream, aFrames, 4096)) iTotal += iGot;
          if (iTotal <= 0) return 95;
        } else if (jukebox.pStream != nullptr) {
          return 96;  // something would play
        }
        bool bFaded = false;
        for (int iTick = 0; iTick < 2000 && !bFaded; ++iTick) {
          GameTicks += 1;
          bFaded = jukebox.fadeMusic(0);
        }
        return bFaded ? 0 : 97;
      });
      EXPECT_TRUE(r.bExited && r.iStatus == 0)
          << cTrack << " " << DamageName(eDamage) << ": " << Describe(r);
    }
  }
}

}  // namespace
