// The datafile check in front of the library's loader: what the game and the
// library's own dat tool write passes, damaged files of every kind do not.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "app/datafile_check.h"
#include "files.h"

using namespace reltest;

namespace {

// Big-endian pieces of a hand-made datafile.
void Put32(std::vector<uint8_t> &b, uint32_t v) {
  for (int i = 3; i >= 0; --i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<uint8_t> &b, uint32_t v) {
  b.push_back(static_cast<uint8_t>(v >> 8));
  b.push_back(static_cast<uint8_t>(v));
}
void PutId(std::vector<uint8_t> &b, const char *c) { b.insert(b.end(), c, c + 4); }

// One object with a NAME property around the given body.
void PutObject(std::vector<uint8_t> &b, const char *cType, const std::vector<uint8_t> &body) {
  PutId(b, "prop");
  PutId(b, "NAME");
  Put32(b, 4);
  PutId(b, "TEST");
  PutId(b, cType);
  Put32(b, static_cast<uint32_t>(body.size()));
  Put32(b, static_cast<uint32_t>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
}

std::vector<uint8_t> Root(const std::vector<std::vector<uint8_t>> &objects,
                          const char *cType) {
  std::vector<uint8_t> b;
  PutId(b, "ALL.");
  Put32(b, static_cast<uint32_t>(objects.size()));
  for (const auto &o : objects) PutObject(b, cType, o);
  return b;
}

// A font of one range, glyphs iW x iH, in the range's depth byte (1: one bit
// per pixel) with iBytes bytes per pixel otherwise.
std::vector<uint8_t> RangeFont(uint32_t uStart, uint32_t uEnd, int iW, int iH, int iDepth = 1,
                               int iBytes = 0) {
  std::vector<uint8_t> f;
  Put16(f, 0);
  Put16(f, 1);
  f.push_back(static_cast<uint8_t>(iDepth));
  Put32(f, uStart);
  Put32(f, uEnd);
  for (uint32_t c = uStart; c <= uEnd; ++c) {
    Put16(f, iW);
    Put16(f, iH);
    f.insert(f.end(), static_cast<size_t>(iBytes ? iW * iH * iBytes : (iW + 7) / 8 * iH), 0xAA);
  }
  return f;
}
std::vector<uint8_t> MonoFont(uint32_t uStart, uint32_t uEnd, int iW, int iH) {
  return RangeFont(uStart, uEnd, iW, iH);
}

bool BytesSound(const std::vector<uint8_t> &b) { return DatafileBytesLookSound(b.data(), b.size()); }

TEST(DatafileCheck, TheGamesStoryFontPassesAndLoadsAsAFont) {
  const std::string cPath = DataFile("script.dat");
  EXPECT_TRUE(DatafileLooksSound(cPath.c_str()));
  DATAFILE *pData = LoadDatafileChecked(cPath.c_str());
  ASSERT_NE(pData, nullptr);
  EXPECT_EQ(pData[0].type, static_cast<int>(DAT_FONT));
  EXPECT_NE(pData[0].dat, nullptr);
  unload_datafile(pData);
}

TEST(DatafileCheck, FilesOfTheLibrarysDatToolPass) {
  TempFolder folder;
  const std::string cPicture = DataFile("node.bmp");
  struct Case { const char *cArgs; bool bSound; };
  // Bitmaps at every depth, plain data, whole-file compression; objects
  // compressed one by one are refused, as the check cannot see inside them.
  const Case cases[] = {{"-bpp 8 -t BMP", true},  {"-bpp 16 -t BMP", true},
                        {"-bpp 24 -t BMP", true}, {"-bpp 32 -t BMP", true},
                        {"-t DATA", true},        {"-c2 -bpp 32 -t BMP", true},
                        {"-c1 -bpp 32 -t BMP", false}};
  int i = 0;
  for (const Case &c : cases) {
    const std::string cOut = folder.path("t" + std::to_string(i++) + ".dat");
    const std::string cCommand = std::string(SKV_DAT_TOOL) + " -s1 " + c.cArgs + " -a " + cOut +
                                 " '" + cPicture + "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cCommand.c_str()), 0) << cCommand;
    EXPECT_EQ(DatafileLooksSound(cOut.c_str()), c.bSound) << c.cArgs;
    DATAFILE *pData = LoadDatafileChecked(cOut.c_str());
    EXPECT_EQ(pData != nullptr, c.bSound) << c.cArgs;
    if (pData != nullptr) unload_datafile(pData);
  }
}

TEST(DatafileCheck, MissingEmptyAndForeignFilesAreRefused) {
  TempFolder folder;
  EXPECT_FALSE(DatafileLooksSound(folder.path("none.dat").c_str()));
  EXPECT_EQ(LoadDatafileChecked(folder.path("none.dat").c_str()), nullptr);
  WriteBytes(folder.path("empty.dat"), {});
  EXPECT_FALSE(DatafileLooksSound(folder.path("empty.dat").c_str()));
  // A picture renamed: no packfile magic.
  WriteBytes(folder.path("pic.dat"), ReadBytes(DataFile("node.bmp")));
  EXPECT_FALSE(DatafileLooksSound(folder.path("pic.dat").c_str()));
  // The right magic followed by noise.
  std::vector<uint8_t> noise = {'s', 'l', 'h', '.', 'A', 'L', 'L', '.'};
  std::mt19937 gen(5);
  for (int i = 0; i < 4000; ++i) noise.push_back(static_cast<uint8_t>(gen()));
  WriteBytes(folder.path("noise.dat"), noise);
  EXPECT_FALSE(DatafileLooksSound(folder.path("noise.dat").c_str()));
}

// The library's loader crashes on most of these; the check must refuse each.
TEST(DatafileCheck, EveryTruncationOfTheStoryFontIsRefused) {
  std::vector<uint8_t> bytes = ReadBytes(DataFile("script.dat"));
  ASSERT_GT(bytes.size(), 100u);
  ASSERT_EQ(std::string(bytes.begin(), bytes.begin() + 4), "slh.");
  bytes.erase(bytes.begin(), bytes.begin() + 4);  // the packfile layer's magic
  ASSERT_TRUE(BytesSound(bytes));
  for (size_t n = 0; n < bytes.size(); ++n)
    ASSERT_FALSE(DatafileBytesLookSound(bytes.data(), n)) << "cut at " << n;
}

TEST(DatafileCheck, HandMadeObjectsAreCheckedToTheirLastByte) {
  EXPECT_TRUE(BytesSound(Root({MonoFont(32, 126, 6, 12)}, "FONT")));
  EXPECT_TRUE(BytesSound(Root({}, "FONT")));  // no objects: the game says so itself
  EXPECT_TRUE(BytesSound(Root({{1, 2, 3}}, "DATA")));
  // A font one byte short or one byte long.
  std::vector<uint8_t> font = MonoFont(32, 40, 8, 8);
  font.pop_back();
  EXPECT_FALSE(BytesSound(Root({font}, "FONT")));
  font.push_back(0);
  font.push_back(0);
  EXPECT_FALSE(BytesSound(Root({font}, "FONT")));
  // A range running backwards, past the last code point, or announcing far
  // more glyphs than the object holds.
  EXPECT_FALSE(BytesSound(Root({MonoFont(40, 39, 8, 8)}, "FONT")));
  std::vector<uint8_t> huge = MonoFont(32, 32, 8, 8);
  huge[10] = 0x10;  // end of range 0x100020: a million glyphs in 40 bytes
  EXPECT_FALSE(BytesSound(Root({huge}, "FONT")));
  // A glyph side no font has.
  EXPECT_FALSE(BytesSound(Root({MonoFont(65, 65, 4000, 1)}, "FONT")));
  // Bitmaps: the pixel bytes must match the depth and the size.
  std::vector<uint8_t> bitmap;
  Put16(bitmap, 32);
  Put16(bitmap, 3);
  Put16(bitmap, 2);
  bitmap.insert(bitmap.end(), 3 * 2 * 3, 7);
  EXPECT_TRUE(BytesSound(Root({bitmap}, "BMP ")));
  bitmap[1] = 12;  // no such depth
  EXPECT_FALSE(BytesSound(Root({bitmap}, "BMP ")));
  // Samples: 8 or 16 bits (negative for stereo), a rate, and exactly the
  // bytes their length announces.
  struct SampleCase { int iBits, iRate; uint32_t uLength; size_t uBytes; bool bSound; };
  const SampleCase samples[] = {
      {16, 44100, 3, 6, true},  {-16, 22050, 3, 12, true}, {8, 8000, 3, 3, true},
      {-8, 8000, 2, 4, true},   {16, 44100, 3, 5, false},  {16, 44100, 3, 7, false},
      {12, 44100, 3, 6, false}, {16, 44100, 0, 0, false},  {16, 0, 3, 6, false},
      {16, 44100, 0x40000000, 6, false}};
  for (const SampleCase &c : samples) {
    std::vector<uint8_t> sample;
    Put16(sample, static_cast<uint16_t>(c.iBits));
    Put16(sample, static_cast<uint32_t>(c.iRate));
    Put32(sample, c.uLength);
    sample.insert(sample.end(), c.uBytes, 0x80);
    EXPECT_EQ(BytesSound(Root({sample}, "SAMP")), c.bSound) << c.iBits << " bits, " << c.uLength;
  }
  // Kinds the game never stores, and kinds that are no four characters.
  EXPECT_FALSE(BytesSound(Root({{1, 2}}, "MIDI")));
  EXPECT_FALSE(BytesSound(Root({{1, 2}}, "\0\0\0\0")));
  EXPECT_FALSE(BytesSound(Root({{1, 2}}, "DA\x01A")));
}

// The library's loader frees its object list twice when an object fails to
// load halfway: what the check lets through must load.
TEST(DatafileCheck, GlyphDepthsPassOnlyWhereTheLoaderMakesTheFont) {
  TempFolder folder;
  struct Case { int iDepth, iBytes; bool bSound; };
  const Case cases[] = {{1, 0, true},  {255, 0, true}, {0, 1, true},   {8, 1, true},
                        {15, 2, true}, {16, 2, true},  {24, 3, true},  {32, 3, true},
                        {2, 1, false}, {4, 1, false},  {130, 1, false}, {254, 0, false}};
  for (const Case &c : cases) {
    std::vector<uint8_t> b = {'s', 'l', 'h', '.'};
    const std::vector<uint8_t> root = Root({RangeFont(65, 70, 5, 4, c.iDepth, c.iBytes)}, "FONT");
    b.insert(b.end(), root.begin(), root.end());
    WriteBytes(folder.path("f.dat"), b);
    DATAFILE *pData = LoadDatafileChecked(folder.path("f.dat").c_str());
    EXPECT_EQ(pData != nullptr, c.bSound) << "depth " << c.iDepth;
    if (pData != nullptr) {
      EXPECT_EQ(text_length(static_cast<FONT *>(pData[0].dat), "AF"), 10) << c.iDepth;
      unload_datafile(pData);
    }
  }
  // One font may not mix one-bit and coloured ranges: the loader keeps only
  // the last range's kind for all of them.
  std::vector<uint8_t> mixed = RangeFont(65, 65, 8, 1);
  mixed[3] = 2;
  const std::vector<uint8_t> colour = RangeFont(66, 66, 8, 1, 8, 1);
  mixed.insert(mixed.end(), colour.begin() + 4, colour.end());
  EXPECT_FALSE(BytesSound(Root({mixed}, "FONT")));
  mixed[4] = 8;  // both ranges coloured; the first glyph then needs 8 bytes
  mixed.insert(mixed.begin() + 4 + 9 + 4, 7, 0);
  EXPECT_TRUE(BytesSound(Root({mixed}, "FONT")));
}

TEST(DatafileCheck, CountsAndSizesMustFitTheFile) {
  std::vector<uint8_t> b = Root({{1, 2, 3, 4}}, "DATA");
  // Object count larger than the file could hold.
  std::vector<uint8_t> many = b;
  many[7] = 200;
  EXPECT_FALSE(BytesSound(many));
  // Two objects announced, one present.
  std::vector<uint8_t> two = b;
  two[7] = 2;
  EXPECT_FALSE(BytesSound(two));
  // A property whose length runs past the end.
  std::vector<uint8_t> prop = b;
  prop[8 + 8 + 3] = 0xF0;
  prop[8 + 8] = 0x7F;
  EXPECT_FALSE(BytesSound(prop));
  // Raw and expanded sizes that disagree (a compressed object).
  std::vector<uint8_t> packed = b;
  packed[packed.size() - 4 - 1] = 0xFC;
  packed[packed.size() - 4 - 4] = 0xFF;
  EXPECT_FALSE(BytesSound(packed));
}

TEST(DatafileCheck, NestedDatafilesAreCheckedAndTheirDepthIsBounded) {
  std::vector<uint8_t> inner = Root({MonoFont(65, 66, 5, 5)}, "FONT");
  inner.erase(inner.begin(), inner.begin() + 4);  // a nested list has no "ALL."
  EXPECT_TRUE(BytesSound(Root({inner}, "FILE")));
  std::vector<uint8_t> broken = inner;
  broken.pop_back();
  EXPECT_FALSE(BytesSound(Root({broken}, "FILE")));
  // A chain of datafiles inside datafiles, deeper than any real file.
  std::vector<uint8_t> chain;
  Put32(chain, 0);
  for (int i = 0; i < 40; ++i) {
    std::vector<uint8_t> outer;
    Put32(outer, 1);
    PutObject(outer, "FILE", chain);
    chain = outer;
  }
  std::vector<uint8_t> deep;
  PutId(deep, "ALL.");
  deep.insert(deep.end(), chain.begin(), chain.end());
  EXPECT_FALSE(BytesSound(deep));
}

}  // namespace
