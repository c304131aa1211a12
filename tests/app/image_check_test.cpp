#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/image_check.h"
#include "app/transitions.h"
#include "common/allegro_env.h"

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
  } else {
    std::vector<uint8_t> b = sound;
    b[10] = 0xFF;
    b[11] = 0xC2;  // ymax far beyond the data
    files.push_back(b);
  }
  return files;
}

}  // namespace

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
  EXPECT_EXIT(LoadBitmapOrExit("hut.bmp", nullptr), testing::ExitedWithCode(0),
              "^ERROR:  Could not find/open 'hut[.]bmp'\n$");
}
