// Writers of the tests' own stage files, and the free-running test clock.
#include "stage_files.h"

#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/globals.h"

namespace stagetest {

StageFolder::StageFolder() {
  char cOld[4096];
  if (getcwd(cOld, sizeof cOld) != nullptr) sOldDir = cOld;
  char cTemplate[] = "/tmp/skv-stage-XXXXXX";
  sDir = mkdtemp(cTemplate);
  if (chdir(sDir.c_str()) != 0) std::abort();
}

StageFolder::~StageFolder() {
  if (chdir(sOldDir.c_str()) != 0) std::abort();
  std::error_code ec;
  std::filesystem::remove_all(sDir, ec);
}

std::string StageFolder::path(const char *cName) const { return sDir + "/" + cName; }

// Byte writers: chunk lengths big-endian, map numbers little-endian.
static void PutBE32(std::vector<uint8_t> &v, uint32_t n) {
  for (int s = 24; s >= 0; s -= 8) v.push_back(static_cast<uint8_t>(n >> s));
}
static void PutLE16(std::vector<uint8_t> &v, int n) {
  v.push_back(static_cast<uint8_t>(n & 0xFF));
  v.push_back(static_cast<uint8_t>((n >> 8) & 0xFF));
}
static void PutLE32(std::vector<uint8_t> &v, int32_t n) {
  for (int s = 0; s < 32; s += 8) v.push_back(static_cast<uint8_t>(n >> s));
}
static void PutChunk(std::vector<uint8_t> &v, const char *cTag, const std::vector<uint8_t> &data) {
  v.insert(v.end(), cTag, cTag + 4);
  PutBE32(v, static_cast<uint32_t>(data.size()));
  v.insert(v.end(), data.begin(), data.end());
}

void WriteMap(const char *cName, int iColumns, int iRows,
              const std::function<bool(int, int)> &bSolid) {
  std::vector<uint8_t> header = {1, 0, 1, 1};  // version 1.0, little-endian, plain cells
  PutLE16(header, iColumns);
  PutLE16(header, iRows);
  PutLE32(header, 0);
  for (int n : {BlockSize, BlockSize, 32, 32, 2, 2}) PutLE16(header, n);
  PutLE32(header, 0);

  std::vector<uint8_t> blocks;
  for (int b = 0; b < 2; ++b) {
    PutLE32(blocks, b);  // back graphic
    for (int i = 0; i < 6; ++i) PutLE32(blocks, 0);
    blocks.insert(blocks.end(), {0, 0, 0, static_cast<uint8_t>(b == 1 ? 1 : 0)});
  }
  std::vector<uint8_t> graphics;
  for (int rgb : {GrassRgb, RockRgb})
    for (int p = 0; p < BlockSize * BlockSize; ++p)
      graphics.insert(graphics.end(), {0, static_cast<uint8_t>(rgb >> 16),
                                       static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb)});
  std::vector<uint8_t> cells;
  for (int r = 0; r < iRows; ++r)
    for (int c = 0; c < iColumns; ++c) PutLE16(cells, bSolid(c, r) ? 1 : 0);

  std::vector<uint8_t> chunks;
  PutChunk(chunks, "MPHD", header);
  PutChunk(chunks, "BKDT", blocks);
  PutChunk(chunks, "BGFX", graphics);
  PutChunk(chunks, "BODY", cells);
  std::vector<uint8_t> file = {'F', 'O', 'R', 'M'};
  PutBE32(file, static_cast<uint32_t>(chunks.size() + 4));
  file.insert(file.end(), {'F', 'M', 'A', 'P'});
  file.insert(file.end(), chunks.begin(), chunks.end());
  FILE *pFile = fopen(cName, "wb");
  fwrite(file.data(), 1, file.size(), pFile);
  fclose(pFile);
}

// A picture of iColumns x iRows frames, each a coloured body on magenta.
static void WriteFrames(const char *cName, int iFrameW, int iFrameH, int iColumns, int iRows,
                        int iRgb) {
  BITMAP *pBitmap = create_bitmap_ex(32, iFrameW * iColumns, iFrameH * iRows);
  clear_to_color(pBitmap, makecol32(255, 0, 255));
  for (int r = 0; r < iRows; ++r)
    for (int c = 0; c < iColumns; ++c)
      rectfill(pBitmap, c * iFrameW + 2, r * iFrameH + 2, (c + 1) * iFrameW - 3,
               (r + 1) * iFrameH - 3,
               makecol32((iRgb >> 16) & 0xFF, ((iRgb >> 8) + c * 16) & 0xFF, iRgb & 0xFF));
  save_bmp(cName, pBitmap, nullptr);
  destroy_bitmap(pBitmap);
}

void WriteStagePictures() {
  WriteFrames("Dragon.bmp", 80, 110, 1, 1, 0xC08000);
  WriteFrames("fire.bmp", 16, 16, 4, 1, 0xFF6000);
  WriteFrames("ice.bmp", 16, 16, 4, 1, 0x80C0FF);
  // Each orc picture has its own blue (0x42 for "orc2.bmp" ... 0x45).
  const char *cOrcs[4] = {"orc2.bmp", "orc3.bmp", "orc4.bmp", "orc5.bmp"};
  for (int i = 0; i < 4; ++i) WriteFrames(cOrcs[i], 24, 32, 3, 4, 0x806042 + i);
  WriteFrames("hut.bmp", 64, 64, 1, 1, 0x704020);
  WriteFrames("cloud1.bmp", 100, 60, 1, 1, 0xF0F0F0);
  WriteFrames("cloud2.bmp", 80, 80, 1, 1, 0xE0E0FF);
}

void WriteGameOverPicture() {
  BITMAP *pBitmap = create_bitmap_ex(32, 640, 480);
  clear_to_color(pBitmap, makecol32(GameOverRgb >> 16, (GameOverRgb >> 8) & 0xFF,
                                    GameOverRgb & 0xFF));
  save_bmp("gameover.bmp", pBitmap, nullptr);
  destroy_bitmap(pBitmap);
}

void WriteCaptionFont(const char *cName, Caption kind) {
  PACKFILE *pFile = pack_fopen(cName, F_WRITE_NOPACK);
  pack_mputl(DAT_MAGIC, pFile);
  pack_mputl(kind == Caption::None ? 0 : 1, pFile);
  if (kind == Caption::Data) {
    pack_mputl(DAT_ID('D', 'A', 'T', 'A'), pFile);
    pack_mputl(16, pFile);
    pack_mputl(16, pFile);
    for (int i = 0; i < 16; ++i) pack_putc(0x5A, pFile);
  } else if (kind == Caption::Font) {
    const int iFirst = 32, iLast = 126;
    const int iSize = 2 + 2 + 1 + 4 + 4 + (iLast - iFirst + 1) * (2 + 2 + 8);
    pack_mputl(DAT_FONT, pFile);
    pack_mputl(iSize, pFile);
    pack_mputl(iSize, pFile);
    pack_mputw(0, pFile);  // font in ranges
    pack_mputw(1, pFile);  // one range
    pack_putc(1, pFile);   // monochrome
    pack_mputl(iFirst, pFile);
    pack_mputl(iLast, pFile);
    for (int c = iFirst; c <= iLast; ++c) {
      pack_mputw(8, pFile);
      pack_mputw(8, pFile);
      for (int row = 0; row < 8; ++row) pack_putc(0xFF, pFile);
    }
  }
  pack_fclose(pFile);
}

int CountRgb(BITMAP *pBitmap, int iX1, int iY1, int iX2, int iY2, int iRgb) {
  int iCount = 0;
  for (int y = iY1; y <= iY2; ++y)
    for (int x = iX1; x <= iX2; ++x)
      if ((getpixel(pBitmap, x, y) & 0xFFFFFF) == iRgb) ++iCount;
  return iCount;
}

Ticker::Ticker(int iMicros) : bRunning(true) {
  worker = std::thread([this, iMicros] {
    // Each change is stamped with the tick the fade itself stored, so a late
    // look at it (a busy machine) does not move it.
    const auto Sample = [] {
      for (;;) {
        const int iTick = FadeStepTick;
        const int iLevel = FadeLevel;
        if (FadeStepTick == iTick) return Change{iTick, iLevel};
      }
    };
    Change last = Sample();
    vChanges.push_back(last);
    while (bRunning) {
      std::this_thread::sleep_for(std::chrono::microseconds(iMicros));
      ++GameTicks;
      const Change now = Sample();
      if (now.iLevel != last.iLevel) vChanges.push_back(now);
      last = now;
    }
  });
}

Ticker::~Ticker() { stop(); }

void Ticker::stop() {
  bRunning = false;
  if (worker.joinable()) worker.join();
}

std::vector<Ticker::Change> Ticker::fadeChanges() const { return vChanges; }

void ResetFrameBuffers() {
  if (BackBuffer == nullptr) BackBuffer = create_bitmap(640, 480);
  clear_to_color(BackBuffer, 0);
  clear_to_color(screen, 0);
}

}  // namespace stagetest
