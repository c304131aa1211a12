// Shared set-up of the screen tests: a scratch run folder holding small
// pictures under the names the screens load, a stand-in stage object that
// counts its lives, and a fast clock for the loops that wait on GameTicks.
#pragma once
#include <allegro.h>
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace screentest {

// Colours of the generated pictures (0xRRGGBB).
const int kLibraryLogoColour = 0xC03020;
const int kMakerLogoColour = 0x2040C0;
const int kTitleColour = 0x30A050;
const int kWorldColour = 0x204020;
const int kIntroColour = 0xD0C0A0;
// Column c of "node.bmp" is filled with NodeColumnColour(c).
inline int NodeColumnColour(int iColumn) { return 0x101010 * (iColumn + 2); }

// What the stand-in stage object saw.
struct LevelRunLog {
  int iConstructed = 0;
  int iDestroyed = 0;
  int iRuns = 0;
  std::string cLastMap;
  bool bLose = false;  // what run() answers
};
LevelRunLog &LevelLog();

// Writes the pictures (and, when asked, a story script without objects)
// into a fresh folder and makes it the working directory; restores the old
// one and the shared state on tear-down.
class ScreenTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  void writeEmptyScript();
  std::string cOldDir;
  std::string cDir;
};

// Advances GameTicks by one every iMicros microseconds while it lives.
class FastClock {
 public:
  explicit FastClock(int iMicros = 50);
  ~FastClock();

 private:
  std::atomic<bool> bRun;
  std::thread worker;
};

// Sets key[iScancode] back to 0 after iMillis milliseconds, on its own thread.
class DelayedRelease {
 public:
  DelayedRelease(int iScancode, int iMillis);
  ~DelayedRelease();

 private:
  std::thread worker;
};

// Brightest pixel (by sum of channels) inside the rectangle, as 0xRRGGBB.
int BrightestIn(BITMAP *pBitmap, int x0, int y0, int x1, int y1);

}  // namespace screentest
