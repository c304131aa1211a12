// The five stage maps as the game sees them: loaded through the tile-map
// engine, checked for their size, free ground along the flight, the blocks
// that stop orcs, the stage population with a fixed seed, and byte-for-byte
// reproducible generation.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "common/allegro_env.h"
#include "maps/mapgen.h"
#include "tilemap/tilemap.h"

namespace {

const char *const StageFiles[] = {"level1.fmp", "level2a.fmp", "level2.fmp", "level3.fmp", "level4.fmp"};

std::string DataPath(const std::string &file) { return std::string(SKV_DATA_DIR) + "/" + file; }

bool Load(const std::string &file) {
  skvtest::EnsureAllegro();
  return TileMapOpen(DataPath(file).c_str()) == 0;
}

// Share of open (not solid) cells in one 480-pixel band of rows.
double FreeShare(int firstRow, int rows) {
  const int width = TileMapState().header.widthInBlocks;
  int open = 0;
  for (int row = firstRow; row < firstRow + rows; row++)
    for (int col = 0; col < width; col++) {
      const BlockRecord *b = TileMapBlockAt(col, row);
      if (b && !(b->flags & FlagSolid)) open++;
    }
  return static_cast<double>(open) / (rows * width);
}

class StageMapTest : public ::testing::TestWithParam<const char *> {
 protected:
  void SetUp() override { ASSERT_TRUE(Load(GetParam())) << GetParam() << " error " << TileMapLastError(); }
  void TearDown() override { TileMapClose(); }
};

TEST_P(StageMapTest, SizeMatchesTheFlight) {
  const MapHeader &h = TileMapState().header;
  EXPECT_GE(h.widthInBlocks, 40);
  EXPECT_EQ(h.heightInBlocks, 750);
  EXPECT_EQ(h.blockWidth, 32);
  EXPECT_EQ(h.blockHeight, 32);
  EXPECT_EQ(TileMapPixelHeight(), 24000);
  EXPECT_EQ(TileMapPixelHeight() - 480, 23520) << "the first screen shows the bottom rows";
  // The edge the collision test uses is the map's own edge.
  EXPECT_EQ(SolidAtPixel(TileMapPixelWidth(), 100), 1);
  EXPECT_EQ(SolidAtPixel(100, TileMapPixelHeight()), 1);
  // Every cell names a block.
  for (int row = 0; row < h.heightInBlocks; row += 7)
    for (int col = 0; col < h.widthInBlocks; col++) ASSERT_NE(TileMapBlockAt(col, row), nullptr);
}

TEST_P(StageMapTest, EveryBandHasFreeGroundButIsNotWideOpen) {
  double least = 1, most = 0;
  for (int band = 0; band < 50; band++) {
    double share = FreeShare(band * 15, 15);
    least = std::min(least, share);
    most = std::max(most, share);
    EXPECT_GE(share, 0.12) << "band " << band << " (map y " << band * 480 << ")";
    EXPECT_LE(share, 0.97) << "band " << band << " (map y " << band * 480 << ")";
  }
  std::printf("%s: free ground per band %.2f .. %.2f\n", GetParam(), least, most);
}

// A pixel that reads as water: clearly more blue than red, and not grey.
bool WaterPixel(int rgb) {
  int r = (rgb >> 16) & 255, g = (rgb >> 8) & 255, b = rgb & 255;
  return b > r + 40 && b >= g;
}

TEST_P(StageMapTest, SolidBlocksAreTheOnesThatBlock) {
  const TileMap &map = TileMapState();
  const int count = map.header.blockRecordCount;
  int solidSeen = 0, openSeen = 0;
  std::set<int> classes;
  for (int i = 0; i < count; i++) {
    const BlockRecord &b = map.blocks[i];
    ASSERT_NE(b.backGraphic, nullptr);
    int water = 0;
    for (int y = 0; y < 32; y++)
      for (int x = 0; x < 32; x++) water += WaterPixel(skvtest::PixelRgb(b.backGraphic, x, y));
    const bool solid = b.flags & FlagSolid;
    const int cls = b.value1;
    classes.insert(cls);
    // value1 says what the block is: 0 open ground, 1 water, 2 rock, 3 building,
    // 4 wall, 5 trees, 6 a deck over water.
    ASSERT_GE(cls, 0);
    ASSERT_LE(cls, 6);
    EXPECT_EQ(solid, cls >= 1 && cls <= 5) << "block " << i << " class " << cls;
    if (!solid) {
      EXPECT_LT(water, 1024 / 4) << "orcs could stand on the water of block " << i;
    } else if (water > 1024 / 2) {
      EXPECT_EQ(cls, 1) << "block " << i << " is mostly water";
    }
    (solid ? solidSeen : openSeen)++;
  }
  EXPECT_GT(solidSeen, 0);
  EXPECT_GT(openSeen, 0);
  EXPECT_GE(classes.size(), 3u) << "a stage mixes ground, obstacles and more";
}

int ChannelDistance(int a, int b) {
  return std::abs(((a >> 16) & 255) - ((b >> 16) & 255)) + std::abs(((a >> 8) & 255) - ((b >> 8) & 255)) +
         std::abs((a & 255) - (b & 255));
}

// Ground, water, rock and woods (not buildings, walls or decks, whose own
// outlines may fall on a block edge).
bool Landscape(const BlockRecord *b) { return b->value1 <= 2 || b->value1 == 5; }

TEST_P(StageMapTest, NeighbouringBlocksJoinWithoutSeams) {
  // Across every block edge of the landscape the colours change no more than
  // they do between two neighbouring pixel columns (or rows) just inside.
  const int width = TileMapState().header.widthInBlocks;
  double across = 0, inside = 0;
  for (int row = 0; row + 1 < 750; row++)
    for (int col = 0; col + 1 < width; col++) {
      const BlockRecord *here = TileMapBlockAt(col, row), *right = TileMapBlockAt(col + 1, row),
                        *below = TileMapBlockAt(col, row + 1);
      if (!Landscape(here)) continue;
      BITMAP *h = here->backGraphic, *r = right->backGraphic, *b = below->backGraphic;
      for (int i = 0; i < 32; i += 2) {
        if (Landscape(right)) {
          across += ChannelDistance(getpixel(h, 31, i), getpixel(r, 0, i));
          inside += ChannelDistance(getpixel(h, 29, i), getpixel(h, 30, i));
        }
        if (Landscape(below)) {
          across += ChannelDistance(getpixel(h, i, 31), getpixel(b, i, 0));
          inside += ChannelDistance(getpixel(h, i, 29), getpixel(h, i, 30));
        }
      }
    }
  EXPECT_LT(across, inside * 1.15) << "block edges stand out: " << across / inside;
  std::printf("%s: colour change across block edges / inside blocks = %.3f\n", GetParam(), across / inside);
}

// One stage population with the game's recipe and a fixed seed: for huts the
// hit points are drawn first, then y = 23520 - rand() % height (the first
// group of level4 without the offset, in the upper half), then x; then the
// enemy's constructor draws twice and its set-up three times before it tests
// its top-left pixel. Returns the attempts of the slowest enemy.
struct Group { int count; bool hut; bool upperHalf; };

const std::map<std::string, std::vector<Group>> Recipes = {
    {"level1.fmp", {{25, false, false}, {25, false, false}, {10, false, false}, {20, true, false}}},
    {"level2a.fmp", {{50, false, false}, {10, false, false}, {50, false, false}, {25, false, false}, {30, false, false}, {20, true, false}}},
    {"level2.fmp", {{50, false, false}, {10, false, false}, {10, false, false}, {50, false, false}, {25, false, false}, {30, false, false}, {300, true, false}}},
    {"level3.fmp", {{100, false, false}, {10, false, false}, {20, false, false}, {50, false, false}, {10, false, false}, {10, false, false}, {5, true, false}}},
    {"level4.fmp", {{50, false, true}, {100, false, false}, {50, false, false}, {100, true, false}}},
};

struct Placed { int enemies = 0, wanted = 0, attempts = 0, worst = 0; };

// Places a stage's recipe on the loaded map with up to maxAttempts per enemy.
Placed PlaceRecipe(const std::string &file, unsigned seed, int maxAttempts) {
  const int width = TileMapPixelWidth(), height = TileMapPixelHeight();
  std::srand(seed);
  Placed out;
  for (const Group &g : Recipes.at(file)) {
    for (int i = 0; i < g.count; i++, out.wanted++) {
      int tries = 0;
      bool placed = false;
      while (!placed && tries < maxAttempts) {
        tries++;
        if (g.hut) (void)(std::rand() % 10 + 5);
        int y = g.upperHalf ? std::rand() % (height / 2) : 23520 - std::rand() % height;
        int x = std::rand() % width;
        for (int d = 0; d < 5; d++) (void)std::rand();
        placed = SolidAtPixel(x, y) == 0;
        if (placed && g.upperHalf) {
          EXPECT_LT(y, height / 2);
        }
      }
      out.enemies += placed;
      out.worst = std::max(out.worst, tries);
      out.attempts += tries;
    }
  }
  return out;
}

TEST_P(StageMapTest, PopulationPlacesEveryEnemyQuickly) {
  for (unsigned seed : {1u, 2026u}) {
    const Placed p = PlaceRecipe(GetParam(), seed, 1000);
    std::printf("%s seed %u: %d enemies, %d attempts, worst %d\n", GetParam(), seed, p.enemies, p.attempts, p.worst);
    EXPECT_EQ(p.enemies, p.wanted) << "an enemy found no place in 1000 attempts";
    EXPECT_LE(p.attempts, p.enemies * 5) << "placement should rarely miss";
    EXPECT_LE(p.worst, 40);
  }
}

// Each stage is marked along its length by set pieces of its own: inside the
// map, apart from each other, none more than a fifth of the map from the next
// (nor from the start or the end), and leaving the orcs and huts their ground.
TEST_P(StageMapTest, LandmarksMarkTheWholeFlight) {
  // Enemies placed with seed 2026 and the game's 10000 attempts on the
  // stages as they were before their landmarks.
  static const std::map<std::string, int> EnemiesBefore = {
      {"level1.fmp", 80}, {"level2a.fmp", 185}, {"level2.fmp", 475}, {"level3.fmp", 205}, {"level4.fmp", 300}};
  const mapgen::StageInfo *stage = nullptr;
  for (const mapgen::StageInfo &s : mapgen::Stages())
    if (GetParam() == std::string(s.cFileName)) stage = &s;
  ASSERT_NE(stage, nullptr);
  const std::vector<mapgen::Landmark> marks = mapgen::BuildStage(*stage).landmarks;
  EXPECT_GE(marks.size(), 5u);
  const int rows = TileMapState().header.heightInBlocks, columns = TileMapState().header.widthInBlocks;
  int reached = rows, widestGap = 0;  // from the start at the bottom up
  for (size_t i = 0; i < marks.size(); i++) {
    const mapgen::Landmark &m = marks[i];
    EXPECT_TRUE(m.row >= 0 && m.h > 0 && m.row + m.h <= rows && m.col >= 0 && m.w > 0 && m.col + m.w <= columns) << m.name;
    for (size_t j = 0; j < i; j++) {
      const mapgen::Landmark &o = marks[j];
      EXPECT_FALSE(m.col < o.col + o.w && o.col < m.col + m.w && m.row < o.row + o.h && o.row < m.row + m.h)
          << m.name << " overlaps " << o.name;
    }
    widestGap = std::max(widestGap, reached - (m.row + m.h));
    reached = std::min(reached, m.row);
  }
  widestGap = std::max(widestGap, reached);
  EXPECT_LE(widestGap, rows / 5) << "a stretch of the flight with nothing to remember";
  EXPECT_GE(PlaceRecipe(GetParam(), 2026, 10000).enemies, EnemiesBefore.at(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Stages, StageMapTest, ::testing::ValuesIn(StageFiles),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                           std::string n = info.param;
                           return n.substr(0, n.find('.'));
                         });

TEST(StageMaps, GenerationIsReproducibleByteForByte) {
  for (const mapgen::StageInfo &stage : mapgen::Stages()) {
    std::string why;
    std::vector<uint8_t> first = FmpEncode(mapgen::BuildStage(stage).map, &why);
    std::vector<uint8_t> second = FmpEncode(mapgen::BuildStage(stage).map, &why);
    ASSERT_FALSE(first.empty()) << why;
    EXPECT_TRUE(first == second) << stage.cFileName;
    std::ifstream in(DataPath(stage.cFileName), std::ios::binary);
    std::vector<uint8_t> built((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_TRUE(built == first) << stage.cFileName << " in the run folder differs from a fresh generation";
  }
}

TEST(StageMaps, CampFiresFlickerFromTheirFirstFrame) {
  // The fires of the training grounds are animated blocks; the game never
  // steps them, so after loading each shows its first frame.
  ASSERT_TRUE(Load("level2a.fmp"));
  const TileMap &map = TileMapState();
  const int records = static_cast<int>(map.animEnd - map.anims) - 1;
  ASSERT_GT(records, 0);
  for (int i = 1; i <= records; i++) {
    const AnimRecord &a = map.anims[i];
    EXPECT_EQ(a.kind, AnimLoopForward);
    EXPECT_EQ(a.end - a.first, mapgen::FireFrames);
    EXPECT_EQ(a.current, a.first);
    for (int f = a.first; f < a.end; f++) {
      const BlockRecord &b = map.blocks[map.frames[f]];
      EXPECT_FALSE(b.flags & FlagSolid) << "a camp fire does not block";
      if (f > a.first) {
        EXPECT_NE(b.backGraphic, map.blocks[map.frames[a.first]].backGraphic) << "frames differ";
      }
    }
  }
  TileMapClose();
}

TEST(StageMaps, EachStageEndsAtALandmark) {
  // The last screen holds blocks seen nowhere on the way there (a stone
  // ring, a stockade, the village square...), so the end is its own place.
  for (const char *file : StageFiles) {
    ASSERT_TRUE(Load(file));
    const int width = TileMapState().header.widthInBlocks;
    std::set<const BlockRecord *> onTheWay;
    for (int row = 30; row < 750; row++)
      for (int col = 0; col < width; col++) onTheWay.insert(TileMapBlockAt(col, row));
    int landmark = 0;
    for (int row = 0; row < 15; row++)
      for (int col = 0; col < width; col++) landmark += onTheWay.count(TileMapBlockAt(col, row)) ? 0 : 1;
    EXPECT_GE(landmark, 20) << file << ": the last screen has nothing of its own";
    TileMapClose();
  }
}

}  // namespace
