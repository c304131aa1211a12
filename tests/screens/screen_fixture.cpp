// Scratch run folder, stand-in stage object and test clocks.
#include "screen_fixture.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "app/globals.h"
#include "app/present.h"
#include "common/allegro_env.h"
#include "entities/sprite.h"
#include "level/level_run.h"

namespace screentest {

LevelRunLog &LevelLog() {
  static LevelRunLog log;
  return log;
}

}  // namespace screentest

// The screens only make a stage, run it once and delete it; this stand-in
// records that instead of playing.
LevelRun::LevelRun() { ++screentest::LevelLog().iConstructed; }
LevelRun::~LevelRun() { ++screentest::LevelLog().iDestroyed; }
bool LevelRun::run(const char *cMapFile) {
  ++screentest::LevelLog().iRuns;
  screentest::LevelLog().cLastMap = cMapFile;
  return screentest::LevelLog().bLose;
}

namespace screentest {

static void SavePlain(const char *cName, int iWidth, int iHeight, int iColour) {
  BITMAP *pBitmap = create_bitmap(iWidth, iHeight);
  clear_to_color(pBitmap, iColour);
  PALETTE palette = {};
  ASSERT_EQ(save_bitmap(cName, pBitmap, palette), 0) << cName;
  destroy_bitmap(pBitmap);
}

static void SaveNodeStrip() {
  BITMAP *pBitmap = create_bitmap(8 * 32, 32);
  for (int c = 0; c < 8; ++c)
    rectfill(pBitmap, c * 32, 0, c * 32 + 31, 31, NodeColumnColour(c));
  PALETTE palette = {};
  ASSERT_EQ(save_bitmap("node.bmp", pBitmap, palette), 0);
  destroy_bitmap(pBitmap);
}

void ScreenTest::SetUp() {
  skvtest::EnsureAllegro();
  skvtest::ResetScreen();
  char cOld[4096];
  ASSERT_NE(getcwd(cOld, sizeof cOld), nullptr);
  cOldDir = cOld;
  char cTemplate[] = "/tmp/skv_screens_XXXXXX";
  ASSERT_NE(mkdtemp(cTemplate), nullptr);
  cDir = cTemplate;
  ASSERT_EQ(chdir(cDir.c_str()), 0);
  SavePlain("allegro.pcx", 64, 48, kLibraryLogoColour);
  SavePlain("quillon.bmp", 80, 60, kMakerLogoColour);
  SavePlain("title_screen.bmp", 320, 240, kTitleColour);
  SavePlain("options_screen.bmp", 640, 480, kTitleColour);
  SavePlain("world.bmp", 640, 480, kWorldColour);
  SavePlain("stage_intro.bmp", 640, 480, kIntroColour);
  SaveNodeStrip();

  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  clear_bitmap(BackBuffer);
  GameTicks = 1000;
  FadeLevel = 0;
  FadeStepTick = 0;
  LastMenuInputTick = 0;
  memset(const_cast<char *>(key), 0, KEY_MAX);
  memset(joy, 0, sizeof(JOYSTICK_INFO) * MAX_JOYSTICKS);
  LevelLog() = LevelRunLog();
}

void ScreenTest::TearDown() {
  SpriteImageCacheClear();  // the node strip is cached per file name
  memset(const_cast<char *>(key), 0, KEY_MAX);
  memset(joy, 0, sizeof(JOYSTICK_INFO) * MAX_JOYSTICKS);
  ASSERT_EQ(chdir(cOldDir.c_str()), 0);
  std::error_code error;
  ASSERT_GT(std::filesystem::remove_all(cDir, error), 0u) << error.message();
}

// A datafile with no objects at all: the plain file magic, the datafile
// magic and an object count of 0, all big-endian.
void ScreenTest::writeEmptyScript() {
  FILE *pFile = fopen("script.dat", "wb");
  ASSERT_NE(pFile, nullptr);
  const unsigned char cBytes[] = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.', 0, 0, 0, 0};
  ASSERT_EQ(fwrite(cBytes, 1, sizeof cBytes, pFile), sizeof cBytes);
  fclose(pFile);
}

FastClock::FastClock(int iMicros) : bRun(true) {
  worker = std::thread([this, iMicros] {
    while (bRun) {
      std::this_thread::sleep_for(std::chrono::microseconds(iMicros));
      GameTicks.fetch_add(1);
      TickCounted();  // as the tick callback does
    }
  });
}

FastClock::~FastClock() {
  bRun = false;
  worker.join();
}

DelayedRelease::DelayedRelease(int iScancode, int iMillis) {
  worker = std::thread([iScancode, iMillis] {
    std::this_thread::sleep_for(std::chrono::milliseconds(iMillis));
    key[iScancode] = 0;
  });
}

DelayedRelease::~DelayedRelease() { worker.join(); }

int BrightestIn(BITMAP *pBitmap, int x0, int y0, int x1, int y1) {
  int iBest = 0, iBestSum = -1;
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x) {
      int c = skvtest::PixelRgb(pBitmap, x, y);
      int iSum = (c >> 16 & 255) + (c >> 8 & 255) + (c & 255);
      if (iSum > iBestSum) {
        iBestSum = iSum;
        iBest = c;
      }
    }
  return iBest;
}

}  // namespace screentest
