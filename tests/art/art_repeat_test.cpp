// Two generations of the content give the same bytes, and the files in the
// run folder are exactly what the current generator writes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "art_test_util.h"
#include "generate.h"

namespace {

// FNV-1a over a whole file; 0 when it cannot be read.
uint64_t FileHash(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return 0;
  const std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  uint64_t h = 1469598103934665603ull;
  for (char c : bytes) h = (h ^ uint8_t(c)) * 1099511628211ull;
  return bytes.empty() ? 0 : h;
}

std::string TempDir() {
  char name[] = "/tmp/skv_art_XXXXXX";
  const char *dir = mkdtemp(name);
  return dir ? dir : "";
}

// The datafile as the build makes it, from a glyph sheet.
bool PackFont(const std::string &sheet, const std::string &dat) {
  const std::string cmd = std::string(SKV_DAT_TOOL) + " -s1 " + dat + " -a " + sheet + " -t FONT >/dev/null && " +
                          SKV_DAT_TOOL + " " + dat + " STORY_FONT_PCX NAME=STORY_FONT >/dev/null";
  return std::system(cmd.c_str()) == 0;
}

const char *Files[] = {"Dragon.bmp", "fire.bmp", "ice.bmp", "orc2.bmp", "orc3.bmp", "orc4.bmp", "orc5.bmp",
                       "hut.bmp", "cloud1.bmp", "cloud2.bmp", "node.bmp", "world.bmp", "title_screen.bmp",
                       "stage_intro.bmp", "gameover.bmp", "allegro.pcx", "quillon.bmp", "icons/skarnvale-32.png",
                       "icons/skarnvale-256.png", "script.dat"};

}  // namespace

TEST(ArtRepeat, TwoGenerationsGiveTheSameBytes) {
  const std::string a = TempDir(), b = TempDir();
  ASSERT_FALSE(a.empty());
  ASSERT_FALSE(b.empty());
  for (const std::string &dir : {a, b}) {
    ASSERT_TRUE(art::GenerateAll(dir, dir + "/preview", dir + "/story_font.pcx"));
    ASSERT_TRUE(PackFont(dir + "/story_font.pcx", dir + "/script.dat"));
  }
  for (const char *name : Files) {
    const uint64_t ha = FileHash(a + "/" + name), hb = FileHash(b + "/" + name);
    EXPECT_NE(ha, 0u) << name;
    EXPECT_EQ(ha, hb) << name << " differs between two generations";
    EXPECT_EQ(ha, FileHash(arttest::DataFile(name))) << name << " in the run folder is stale";
  }
  EXPECT_EQ(FileHash(a + "/preview/contact_sheet.png"), FileHash(b + "/preview/contact_sheet.png"));
  std::system(("rm -rf " + a + " " + b).c_str());
}
