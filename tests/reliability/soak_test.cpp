// Every stage played from the bottom of its map to the top or to the game
// over, with random steering, speed and fire at a controlled clock, then the
// end of the stage and its release. The heap must come back to where it was:
// the same stage played again later holds no more memory than the first time.
// Under the sanitizers LeakSanitizer checks every byte at exit.
#include <gtest/gtest.h>
#include <malloc.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "app/globals.h"
#include "audio/jukebox.h"
#include "entities/player.h"
#include "entities/sprite.h"
#include "level/level_run.h"
#include "level/sky.h"
#include "tilemap/tilemap.h"

#if defined(__SANITIZE_ADDRESS__)
#define SKV_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define SKV_SOAK_ASAN 1
#endif
#endif
#ifdef SKV_SOAK_ASAN
// From the sanitizer runtime (its header ships with clang only).
extern "C" size_t __sanitizer_get_current_allocated_bytes();
#endif

namespace {

// In the order of the world map; the first is played again at the end.
const char *const StageMaps[] = {"level1.fmp", "level2a.fmp", "level2.fmp", "level3.fmp",
                                 "level4.fmp"};
// A stage at the slowest speed takes 7840 scroll steps; more frames than
// this means the stage never ends.
constexpr int MaxFramesPerStage = 20000;

// Bytes the program holds on the heap now.
size_t HeapInUse() {
#ifdef SKV_SOAK_ASAN
  return __sanitizer_get_current_allocated_bytes();
#else
  return mallinfo2().uordblks;
#endif
}

// The player's hands: each of the five keys is held or released for a random
// number of frames. Its own generator leaves the game's rand() sequence alone.
class RandomPlayer {
 public:
  explicit RandomPlayer(unsigned uSeed) : gen(uSeed) {}
  void press() {
    static const int Keys[5] = {KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_LCONTROL};
    for (int i = 0; i < 5; ++i) {
      if (--iHold[i] > 0) continue;
      // Fire is held more often than not, the speed keys rarely.
      const int iPercent = i == 4 ? 70 : (i < 2 ? 35 : 15);
      key[Keys[i]] = static_cast<int>(gen() % 100) < iPercent ? 1 : 0;
      iHold[i] = 1 + static_cast<int>(gen() % 40);
    }
  }
  // Ticks to the next frame: mostly 2 (a scroll step each frame), now and
  // then 1 or 3, so that the timed actions meet every phase.
  int ticks() {
    const int iRoll = static_cast<int>(gen() % 10);
    return iRoll == 0 ? 1 : (iRoll == 1 ? 3 : 2);
  }

 private:
  std::mt19937 gen;
  int iHold[5] = {0, 0, 0, 0, 0};
};

// The clock and the ESC key while a stage ends: the fades and the game-over
// screen wait on GameTicks, and the game-over screen on ESC, pressed and
// released every 20 ticks.
class EndingClock {
 public:
  EndingClock() : bRunning(true), worker([this] {
      for (int n = 0; bRunning; ++n) {
        GameTicks += 1;
        key[KEY_ESC] = (n / 20) % 2;
        usleep(100);
      }
      key[KEY_ESC] = 0;
    }) {}
  ~EndingClock() {
    bRunning = false;
    worker.join();
  }

 private:
  std::atomic<bool> bRunning;
  std::thread worker;
};

struct StageResult {
  int iFrames = 0;
  bool bLost = false;
  int iScore = 0;
};

// One stage as run() plays it, with our hands and clock. bKeepAlive gives the
// dragon its health back before every frame, so the whole map is flown.
StageResult PlayStage(const char *cMap, RandomPlayer &hands, bool bKeepAlive) {
  StageResult result;
  EXPECT_EQ(TileMapOpen(cMap), 0) << cMap;
  if (TileMapLastError() != 0) return result;
  LevelRun *pRun = new LevelRun;
  pRun->populate(cMap);
  pRun->startPlay();
  const int iFullHealth = pRun->pPlayer->iHealth;
  BITMAP *pHud = create_bitmap(640, 480);
  pRun->pCreditOverlay.reset(create_bitmap(640, 480));
  const bool bStageOne = strcmp(cMap, "level1.fmp") == 0;
  FadeLevel = 0;  // the stage fades in, as after the story screen
  bool bLost = false;
  while (pRun->playing(bLost) && result.iFrames < MaxFramesPerStage) {
    hands.press();
    GameTicks += hands.ticks();
    if (bKeepAlive) pRun->pPlayer->iHealth = iFullHealth;
    pRun->playFrame(pHud, bStageOne, bLost);
    ++result.iFrames;
  }
  EXPECT_TRUE(bLost || pRun->iCamY <= 0) << cMap << " did not end after " << result.iFrames
                                         << " frames";
  if (bKeepAlive) {
    EXPECT_FALSE(bLost) << cMap;
  }
  memset(const_cast<char *>(key), 0, KEY_MAX);
  destroy_bitmap(pHud);
  result.iScore = pRun->iScore;
  {
    EndingClock clock;
    result.bLost = pRun->endStage(bLost);
  }
  // Everything the stage held is gone.
  EXPECT_EQ(pRun->pPlayer, nullptr);
  EXPECT_EQ(pRun->pEnemies, nullptr);
  EXPECT_EQ(pRun->pProjectiles, nullptr);
  EXPECT_EQ(pRun->pClouds, nullptr);
  EXPECT_EQ(pRun->pCreditOverlay.get(), nullptr);
  EXPECT_EQ(SpriteImageCacheSize(), 0);
  EXPECT_EQ(TileMapState().bitmaps, nullptr);
  delete pRun;
  return result;
}

// Folder, shared buffers and music as start-up leaves them.
class Soak : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_EQ(chdir(SKV_DATA_DIR), 0);
    if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
    _textmode = ColourMagenta;
    GameJukebox.initJukebox();
    GameJukebox.addTrack("Dances with Dragons.ogg", 1);
    GameJukebox.addTrack("Zeal.ogg", 2);
    GameJukebox.addTrack("Shifting Flames.ogg", 3);
  }
  void SetUp() override {
#ifndef SKV_SOAK_ASAN
    // The C library keeps freed blocks in per-thread caches that its count
    // takes as in use; without them the count is exact.
    const char *cTunables = getenv("GLIBC_TUNABLES");
    ASSERT_TRUE(cTunables != nullptr && strstr(cTunables, "glibc.malloc.tcache_count=0"))
        << "run with GLIBC_TUNABLES=glibc.malloc.tcache_count=0 (ctest sets it)";
#endif
    GameTicks = 100000;
  }

  // For each seed: the five stages in order and the first again. The heap
  // after the second flight of the first stage must match the first.
  long playRound(unsigned uSeed, bool bKeepAlive) {
    srand(uSeed);
    RandomPlayer hands(uSeed * 7919u + 1);
    std::vector<const char *> order(std::begin(StageMaps), std::end(StageMaps));
    order.push_back(StageMaps[0]);
    long lFrames = 0;
    size_t uAfterFirst = 0;
    for (size_t i = 0; i < order.size(); ++i) {
      const StageResult r = PlayStage(order[i], hands, bKeepAlive);
      lFrames += r.iFrames;
      ++iStages;
      printf("seed %u%s %-12s %5d frames, %s, score %d, heap %zu\n", uSeed,
             bKeepAlive ? " (kept alive)" : "", order[i], r.iFrames,
             r.bLost ? "lost" : "top reached", r.iScore, HeapInUse());
      if (i == 0) uAfterFirst = HeapInUse();
      if (uBaseline == 0) uBaseline = HeapInUse();
    }
    EXPECT_LE(HeapInUse(), uAfterFirst + SlackBytes) << "seed " << uSeed;
    EXPECT_LE(HeapInUse(), uBaseline + SlackBytes) << "since the first stage of the test";
    lFrames_ += lFrames;
    return lFrames;
  }
  void TearDown() override {
    printf("%d stage flights, %ld frames\n", iStages, lFrames_);
  }

  // The stream layer's refill may leave a block of a different size behind.
  static constexpr size_t SlackBytes = 4096;
  size_t uBaseline = 0;
  int iStages = 0;
  long lFrames_ = 0;
};

// One seed, flown twice: as the random hands manage (game overs), and with
// the dragon kept alive to the top of every map. Short enough for the
// sanitizer build.
TEST_F(Soak, OneSeedPlayedAndKeptAlive) {
  EXPECT_GT(playRound(1, false), 3 * 1000);
  EXPECT_GT(playRound(1, true), 6 * 3000);  // 3360 steps per map at most speeds
}

// Three more seeds as the random hands manage, for the ordinary build.
TEST_F(Soak, ThreeSeeds) {
  for (unsigned uSeed : {2u, 3u, 4u}) EXPECT_GT(playRound(uSeed, false), 3 * 1000);
}

}  // namespace
