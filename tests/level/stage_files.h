// Small stage files written by the tests themselves: FMP maps of plain and
// solid blocks, the sprite and cloud pictures, a one-glyph caption font, and
// a clock that ticks on its own thread while run() loops.
#pragma once
#include <allegro.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace stagetest {

constexpr int BlockSize = 32;
// Colours the test pictures are painted in, so tests can find them on screen.
constexpr int GrassRgb = 0x208020;
constexpr int RockRgb = 0x606060;
constexpr int GameOverRgb = 0x3050A0;

// A fresh temporary folder made the working directory (the game reads its
// files from there); the old one is restored and the folder removed after.
class StageFolder {
 public:
  StageFolder();
  ~StageFolder();
  std::string path(const char *cName) const;

 private:
  std::string sDir;
  std::string sOldDir;
};

// Writes an FMP map of 32 x 32 blocks: block 0 is open grass, block 1 solid
// rock. bSolid(column, row) picks the block of each cell.
void WriteMap(const char *cName, int iColumns, int iRows,
              const std::function<bool(int, int)> &bSolid);
// Every picture a stage loads, in the frame sizes the game cuts them into.
void WriteStagePictures();
// "gameover.bmp": one flat colour.
void WriteGameOverPicture();
// "script.dat" whose first object is a font of solid 8 x 8 cells for every
// printable character (Font), no object at all (None), or a block of plain
// data where the font belongs (Data).
enum class Caption { Font, None, Data };
void WriteCaptionFont(const char *cName, Caption kind);

// Counts the pixels of one colour in a rectangle (corners inclusive).
int CountRgb(BITMAP *pBitmap, int iX1, int iY1, int iX2, int iY2, int iRgb);

// Advances GameTicks by one every iMicros microseconds on its own thread and
// records every change of FadeLevel as (tick of the fade step, level).
class Ticker {
 public:
  explicit Ticker(int iMicros);
  ~Ticker();
  void stop();
  struct Change { int iTick; int iLevel; };
  std::vector<Change> fadeChanges() const;

 private:
  std::atomic<bool> bRunning;
  std::vector<Change> vChanges;
  std::thread worker;
};

// Creates the BackBuffer if the test main has not, and gives `screen` a
// black frame.
void ResetFrameBuffers();

}  // namespace stagetest
