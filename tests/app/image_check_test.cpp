#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/image_check.h"
#include "app/transitions.h"
#include "common/allegro_env.h"
#include "common/game_exit.h"

namespace {

std::vector<uint8_t> ReadAll(const char *cName) {
  std::vector<uint8_t> bytes;
  FILE *pFile = fopen(cName, "rb");
  int c;
  while ((c = fgetc(pFile)) != EOF) bytes.push_back(static_cast<uint8_t>(c));
  fclose(pFile);
  return bytes;
}

void WriteAll(const char *cName, const std::vector<uint8_t> &bytes) {
  FILE *pFile = fopen(cName, "wb");
  if (!bytes.empty()) fwrite(bytes.data(), 1, bytes.size(), pFile);
  fclose(pFile);
}

void Put32(std::vector<uint8_t> &b, size_t at, uint32_t v) {
  for (int i = 0; i < 4; ++i) b[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

// A sound picture of the given format saved by the library, as bytes.
std::vector<uint8_t> SoundPicture(const char *cName, int iDepth) {
  set_color_depth(iDepth);
  BITMAP *pBitmap = create_bitmap(37, 21);
  set_color_depth(32);
  clear_to_color(pBitmap, 3);
  PALETTE palette;
  get_palette(palette);
  for (int i = 0; i < 256; ++i) palette[i].r = palette[i].g = palette[i].b = i / 4;
  save_bitmap(cName, pBitmap, palette);
  destroy_bitmap(pBitmap);
  return ReadAll(cName);
}

// Damaged files of every kind the player's data folder might hold.
std::vector<std::vector<uint8_t>> Damaged(const std::vector<uint8_t> &sound, bool bBmp) {
  std::vector<std::vector<uint8_t>> files;
  files.push_back({});                                                  // empty
  files.push_back(std::vector<uint8_t>(sound.begin(), sound.begin() + 20));  // header cut
  files.push_back(std::vector<uint8_t>(sound.begin(), sound.begin() + sound.size() / 2));
  std::vector<uint8_t> noise(3000);
  srand(7);
  for (auto &b : noise) b = static_cast<uint8_t>(rand());
  files.push_back(noise);
  if (bBmp) {
    std::vector<uint8_t> b = sound;
    Put32(b, 10, 0x7FFFFF00);  // pixel data far past the end
    files.push_back(b);
    b = sound;
    Put32(b, 22, 1900000000);  // absurd height
    files.push_back(b);
    b = sound;
    Put32(b, 18, 0xFFFFFFF0);  // negative width
    files.push_back(b);
    b = sound;
    Put32(b, 22, 0xFFFFFFFB);  // top-down: the library reads some 4 billion rows
    files.push_back(b);
  } else {
    std::vector<uint8_t> b = sound;
    b[10] = 0xFF;
    b[11] = 0xC2;  // ymax far beyond the data
    files.push_back(b);
  }
  return files;
}

// A run-length coded BMP (8-bit runs, or 4-bit with bNibbles) of the given
// size, a full palette of greys, and the codes as given.
std::vector<uint8_t> CodedBmp(int iWidth, int iHeight, bool bNibbles,
                              const std::vector<uint8_t> &codes) {
  const int iColours = bNibbles ? 16 : 256;
  std::vector<uint8_t> b(14 + 40 + 4 * iColours, 0);
  b[0] = 'B', b[1] = 'M';
  Put32(b, 10, static_cast<uint32_t>(b.size()));
  Put32(b, 14, 40);
  Put32(b, 18, static_cast<uint32_t>(iWidth));
  Put32(b, 22, static_cast<uint32_t>(iHeight));
  b[26] = 1;
  b[28] = bNibbles ? 4 : 8;
  b[30] = bNibbles ? 2 : 1;
  for (int i = 0; i < iColours; ++i) b[54 + 4 * i] = b[55 + 4 * i] = b[56 + 4 * i] = uint8_t(i * 16);
  b.insert(b.end(), codes.begin(), codes.end());
  Put32(b, 2, static_cast<uint32_t>(b.size()));
  return b;
}

}  // namespace

// The library's run-length decoders write wherever the codes say; the check
// follows the codes and lets through only pictures whose every run stays in
// its row and inside the picture.
TEST(ImageCheck, RunLengthCodesMustStayInsideThePicture) {
  struct Case { const char *cWhat; bool bNibbles; int iWidth, iHeight; std::vector<uint8_t> codes; bool bSound; };
  const Case cases[] = {
      {"8-bit runs, row by row", false, 8, 2, {4, 7, 4, 9, 0, 0, 0, 3, 1, 2, 3, 0, 5, 5, 0, 1}, true},
      {"4-bit runs", true, 8, 2, {8, 0x12, 0, 0, 0, 4, 0x34, 0x56, 4, 0x77, 0, 1}, true},
      {"moved over, then to the end", false, 8, 3, {2, 7, 0, 2, 3, 1, 3, 9, 0, 1}, true},
      {"run past the row", false, 8, 2, {9, 7, 0, 1}, false},
      {"4-bit run past the row", true, 8, 2, {9, 0x12, 0, 1}, false},
      {"copied pixels past the row", false, 8, 2, {0, 9, 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 1}, false},
      {"moved below the picture", false, 8, 2, {0, 2, 0, 5, 1, 3, 0, 1}, false},
      {"moved past the row end, then drawn", false, 8, 2, {0, 2, 7, 0, 2, 3, 0, 1}, false},
      {"codes ending without an end", false, 300, 2, {4, 7}, false},
      {"top-down picture", false, 8, -2, {4, 7, 0, 1}, false},
      {"huge picture in a few bytes", false, 8000, 8000, {0, 1}, false},
  };
  for (const Case &c : cases) {
    WriteAll("coded.bmp", CodedBmp(c.iWidth, c.iHeight, c.bNibbles, c.codes));
    EXPECT_EQ(ImageFileLooksSound("coded.bmp"), c.bSound) << c.cWhat;
    BITMAP *pLoaded = LoadPictureChecked("coded.bmp", nullptr);
    ASSERT_EQ(pLoaded != nullptr, c.bSound) << c.cWhat;
    if (pLoaded == nullptr) continue;
    // The bottom row was coded first: its first pixels differ from the top's.
    EXPECT_NE(getpixel(pLoaded, 0, c.iHeight - 1), getpixel(pLoaded, 7, 0)) << c.cWhat;
    destroy_bitmap(pLoaded);
  }
}

TEST(ImageCheck, SoundPicturesPassAndLoad) {
  for (const char *cName : {"sound.bmp", "sound.pcx"}) {
    for (int iDepth : {8, 24, 32}) {
      SoundPicture(cName, iDepth);
      EXPECT_TRUE(ImageFileLooksSound(cName)) << cName << " at " << iDepth;
      BITMAP *pLoaded = LoadBitmapOrExit(cName, nullptr);
      EXPECT_EQ(pLoaded->w, 37);
      destroy_bitmap(pLoaded);
    }
  }
}

TEST(ImageCheck, DamagedPicturesAreRefused) {
  for (bool bBmp : {true, false}) {
    const char *cName = bBmp ? "damaged.bmp" : "damaged.pcx";
    std::vector<uint8_t> sound = SoundPicture(cName, bBmp ? 32 : 8);
    int iCase = 0;
    for (const auto &bytes : Damaged(sound, bBmp)) {
      WriteAll(cName, bytes);
      EXPECT_FALSE(ImageFileLooksSound(cName)) << cName << " case " << iCase;
      ++iCase;
    }
  }
  EXPECT_FALSE(ImageFileLooksSound("no-such-file.bmp"));
}

// A damaged picture ends the game like a missing one: message, status 0.
TEST(ImageCheck, DamagedPictureEndsTheGameWithTheLoaderMessage) {
  std::vector<uint8_t> sound = SoundPicture("hut.bmp", 32);
  std::vector<uint8_t> bytes = sound;
  Put32(bytes, 22, 1900000000);
  WriteAll("hut.bmp", bytes);
  EXPECT_EXIT(skvtest::RunLikeMain([] { LoadBitmapOrExit("hut.bmp", nullptr); }),
              testing::ExitedWithCode(0),
              "^ERROR:  Could not find/open 'hut[.]bmp'\n$");
}
