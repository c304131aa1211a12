// The map writer, checked byte by byte against the FMP layout: container,
// chunk order and lengths, header fields in both byte orders, pixel
// encodings, block records, animations and every cell encoding.
#include <gtest/gtest.h>

#include "run_coding_map.h"

#include <map>
#include <string>

#include "fmpwriter/fmpwriter.h"

namespace {

struct Chunk {
  std::string tag;
  size_t at;  // offset of the data
  uint32_t length;
};

uint32_t Be32(const std::vector<uint8_t> &b, size_t at) {
  return (uint32_t(b[at]) << 24) | (uint32_t(b[at + 1]) << 16) | (uint32_t(b[at + 2]) << 8) | b[at + 3];
}
int Num16(const std::vector<uint8_t> &b, size_t at, bool little) {
  unsigned v = little ? b[at] | (b[at + 1] << 8) : (b[at] << 8) | b[at + 1];
  return static_cast<int16_t>(v);
}
int32_t Num32(const std::vector<uint8_t> &b, size_t at, bool little) {
  uint32_t v = little ? b[at] | (b[at + 1] << 8) | (b[at + 2] << 16) | (uint32_t(b[at + 3]) << 24) : Be32(b, at);
  return static_cast<int32_t>(v);
}

// Walks the container; fails the test when the lengths do not add up.
std::vector<Chunk> Chunks(const std::vector<uint8_t> &b) {
  std::vector<Chunk> out;
  EXPECT_GE(b.size(), 12u);
  EXPECT_EQ(std::string(b.begin(), b.begin() + 4), "FORM");
  EXPECT_EQ(Be32(b, 4), b.size() - 8);
  EXPECT_EQ(std::string(b.begin() + 8, b.begin() + 12), "FMAP");
  size_t at = 12;
  while (at + 8 <= b.size()) {
    Chunk c{std::string(b.begin() + at, b.begin() + at + 4), at + 8, Be32(b, at + 4)};
    EXPECT_LE(c.at + c.length, b.size()) << c.tag;
    out.push_back(c);
    at = c.at + c.length;
  }
  EXPECT_EQ(at, b.size());
  return out;
}

const Chunk *Find(const std::vector<Chunk> &cs, const std::string &tag) {
  for (const Chunk &c : cs)
    if (c.tag == tag) return &c;
  return nullptr;
}
// The chunk list must outlive the pointer Find returns.
const Chunk *Find(std::vector<Chunk> &&cs, const std::string &tag) = delete;

// A 3 x 2 map of 2 x 2 blocks with two graphics, three blocks, one animation.
FmpMap SmallMap() {
  FmpMap m;
  m.widthInBlocks = 3;
  m.heightInBlocks = 2;
  m.blockWidth = 2;
  m.blockHeight = 2;
  m.blockDepth = 24;
  m.graphics = {{0x102030, 0x405060, 0x708090, 0xA0B0C0}, {0xFF00FF, 0, 0xFFFFFF, 0x010203}};
  FmpBlock a, b, c;
  b.backGraphic = 1;
  b.flags = FmpFlagSolid;
  b.value1 = -5;
  b.value3 = 0xBEEF;
  b.value7 = 0x77;
  c.backGraphic = 1;
  c.frontGraphic1 = 1;
  m.blocks = {a, b, c};
  m.anims = {FmpAnim{1, 3, {2, 0, 1}}};
  m.layers = {{0, 1, 2, 1, FmpAnimCell(m, 0), 0}};
  return m;
}

TEST(FmpWriter, ContainerAndChunkOrder) {
  FmpMap m = SmallMap();
  std::string why;
  std::vector<uint8_t> bytes = FmpEncode(m, &why);
  ASSERT_FALSE(bytes.empty()) << why;
  std::vector<Chunk> cs = Chunks(bytes);
  std::vector<std::string> tags;
  for (const Chunk &c : cs) tags.push_back(c.tag);
  EXPECT_EQ(tags, (std::vector<std::string>{"MPHD", "BKDT", "ANDT", "BGFX", "BODY"}));
  EXPECT_EQ(cs[0].length, 40u);
  EXPECT_EQ(Find(cs, "BKDT")->length, 3u * 32);
  EXPECT_EQ(Find(cs, "ANDT")->length, 3u * 4 + 16 + 16);
  EXPECT_EQ(Find(cs, "BGFX")->length, 2u * 4 * 3);
  EXPECT_EQ(Find(cs, "BODY")->length, 6u * 2);

  // No animations: no ANDT chunk; extra layers become LYR1, LYR2.
  m.anims.clear();
  m.layers = {{0, 1, 2, 1, 0, 0}, {2, 2, 2, 2, 2, 2}, {1, 1, 1, 1, 1, 1}};
  tags.clear();
  for (const Chunk &c : Chunks(FmpEncode(m, &why))) tags.push_back(c.tag);
  EXPECT_EQ(tags, (std::vector<std::string>{"MPHD", "BKDT", "BGFX", "BODY", "LYR1", "LYR2"}));

  // An 8-bit map carries its palette right after the header.
  m.blockDepth = 8;
  m.palette.assign(768, 7);
  m.graphics = {{0, 1, 2, 3}, {255, 254, 253, 252}};
  bytes = FmpEncode(m, &why);
  ASSERT_FALSE(bytes.empty()) << why;
  cs = Chunks(bytes);
  ASSERT_GE(cs.size(), 2u);
  EXPECT_EQ(cs[1].tag, "CMAP");
  EXPECT_EQ(cs[1].length, 768u);
}

TEST(FmpWriter, HeaderFieldsInBothByteOrders) {
  for (bool little : {true, false}) {
    FmpMap m = SmallMap();
    m.littleEndian = little;
    m.cellEncoding = 2;
    std::string why;
    std::vector<uint8_t> b = FmpEncode(m, &why);
    ASSERT_FALSE(b.empty()) << why;
    const std::vector<Chunk> cs = Chunks(b);
    const Chunk *h = Find(cs, "MPHD");
    ASSERT_NE(h, nullptr);
    size_t at = h->at;
    EXPECT_EQ(b[at], 1);                 // version 1
    EXPECT_EQ(b[at + 2], little ? 1 : 0);
    EXPECT_EQ(b[at + 3], 2);             // cell encoding
    EXPECT_EQ(Num16(b, at + 4, little), 3);
    EXPECT_EQ(Num16(b, at + 6, little), 2);
    EXPECT_EQ(Num16(b, at + 12, little), 2);
    EXPECT_EQ(Num16(b, at + 14, little), 2);
    EXPECT_EQ(Num16(b, at + 16, little), 24);
    EXPECT_EQ(Num16(b, at + 18, little), 32);
    EXPECT_EQ(Num16(b, at + 20, little), 3);   // block records
    EXPECT_EQ(Num16(b, at + 22, little), 2);   // graphics
    EXPECT_EQ(Num16(b, at + 28, little), 2);   // step = block size
    EXPECT_EQ(Num16(b, at + 30, little), 2);
    EXPECT_EQ(Num16(b, at + 32, little), 0);   // not staggered
    EXPECT_EQ(Num16(b, at + 34, little), 0);
    EXPECT_EQ(Num16(b, at + 36, little), 0);
  }
  FmpMap m = SmallMap();
  m.shortHeader = true;
  std::string why;
  const std::vector<Chunk> shortChunks = Chunks(FmpEncode(m, &why));
  EXPECT_EQ(Find(shortChunks, "MPHD")->length, 24u);
}

TEST(FmpWriter, BlockRecordsAndPixelDepths) {
  FmpMap m = SmallMap();
  m.littleEndian = false;
  m.blockRecordSize = 36;
  std::string why;
  std::vector<uint8_t> b = FmpEncode(m, &why);
  ASSERT_FALSE(b.empty()) << why;
  std::vector<Chunk> cs = Chunks(b);
  const Chunk *k = Find(cs, "BKDT");
  ASSERT_EQ(k->length, 3u * 36);
  size_t rec1 = k->at + 36, rec2 = k->at + 72;
  EXPECT_EQ(Num32(b, rec1, false), 1);
  EXPECT_EQ(Num32(b, rec1 + 16, false), -5);
  EXPECT_EQ(Num16(b, rec1 + 24, false) & 0xFFFF, 0xBEEF);
  EXPECT_EQ(b[rec1 + 30], 0x77);
  EXPECT_EQ(b[rec1 + 31], FmpFlagSolid);
  EXPECT_EQ(b[rec1 + 32] | b[rec1 + 33] | b[rec1 + 34] | b[rec1 + 35], 0);  // padding
  EXPECT_EQ(Num32(b, rec2 + 4, false), 1);

  // One pixel, 0xF0C030 (red 240, green 192, blue 48), at every depth.
  const std::map<int, std::vector<uint8_t>> expected = {
      {15, {0x7B, 0x06}},  // 0 11110 11000 00110
      {16, {0xF6, 0x06}},  // 11110 110000 00110
      {24, {0xF0, 0xC0, 0x30}},
      {32, {0x00, 0xF0, 0xC0, 0x30}},
  };
  for (const auto &[depth, px] : expected) {
    FmpMap p = SmallMap();
    p.blockDepth = depth;
    p.graphics[0][0] = 0xF0C030;
    std::vector<uint8_t> pb = FmpEncode(p, &why);
    const std::vector<Chunk> pcs = Chunks(pb);
    const Chunk *g = Find(pcs, "BGFX");
    ASSERT_EQ(g->length, 2u * 4 * px.size()) << depth;
    EXPECT_EQ(std::vector<uint8_t>(pb.begin() + g->at, pb.begin() + g->at + px.size()), px) << depth;
  }
}

TEST(FmpWriter, AnimationChunkLayout) {
  FmpMap m = SmallMap();
  m.anims.push_back(FmpAnim{5, 200, {1, 2}});
  m.layers[0][5] = FmpAnimCell(m, 1);
  EXPECT_EQ(FmpAnimCell(m, 0), -2);   // the last animation is -1
  EXPECT_EQ(FmpAnimCell(m, 1), -1);
  std::string why;
  for (int enc : {1, 0}) {
    m.cellEncoding = enc;
    std::vector<uint8_t> b = FmpEncode(m, &why);
    ASSERT_FALSE(b.empty()) << why;
    const std::vector<Chunk> acs = Chunks(b);
    const Chunk *a = Find(acs, "ANDT");
    const int n = static_cast<int>(a->length);
    ASSERT_EQ(n, 5 * 4 + 16 + 2 * 16);
    const int scale = enc == 0 ? 32 : 1;
    std::vector<int> frames;
    for (int i = 0; i < 5; i++) frames.push_back(Num32(b, a->at + 4 * i, true) / scale);
    EXPECT_EQ(frames, (std::vector<int>{2, 0, 1, 1, 2}));
    EXPECT_EQ(b[a->at + 20], 0xFF);     // terminator
    size_t r2 = a->at + 52;             // second animation record
    EXPECT_EQ(b[r2], 5);
    EXPECT_EQ(b[r2 + 1], 200);
    // Frame positions: indices, or byte offsets back from the chunk's end.
    auto index = [&](size_t at) {
      int32_t v = Num32(b, at, true);
      return enc == 0 ? (v + n) / 4 : v;
    };
    EXPECT_EQ(index(r2 + 4), 3);
    EXPECT_EQ(index(r2 + 8), 3);
    EXPECT_EQ(index(r2 + 12), 5);
    if (enc == 0) {
      EXPECT_LT(Num32(b, r2 + 8, true), 0);
    }
  }
}

TEST(FmpWriter, CellEncodingsAreCompactOrByteOffsets) {
  FmpMap m = RunCodingMap();
  std::string why;
  for (bool little : {true, false}) {
    m.littleEndian = little;
    for (int enc : {2, 3}) {
      m.cellEncoding = enc;
      std::vector<uint8_t> b = FmpEncode(m, &why);
      ASSERT_FALSE(b.empty()) << why;
      // The cells they decode to are checked through the engine
      // (fmpwriter_roundtrip_test.cpp).
      std::vector<Chunk> cs = Chunks(b);
      EXPECT_LT(Find(cs, "BODY")->length, 36u * 2) << "runs should be shorter than plain cells";
    }
  }
  // Encoding 0: byte offsets into the block records, animations times 16.
  m.cellEncoding = 0;
  m.littleEndian = true;
  std::vector<uint8_t> b = FmpEncode(m, &why);
  const std::vector<Chunk> bcs = Chunks(b);
  const Chunk *body = Find(bcs, "BODY");
  ASSERT_EQ(body->length, 36u * 2);
  EXPECT_EQ(Num16(b, body->at + 2, true), 64);
  EXPECT_EQ(Num16(b, body->at + 2 * 24, true), -16);
  EXPECT_EQ(Num16(b, body->at + 2 * 25, true), -32);
}

TEST(FmpWriter, RejectsBrokenDescriptions) {
  std::string why;
  EXPECT_TRUE(FmpValidate(SmallMap(), &why)) << why;
  const std::vector<std::pair<const char *, void (*)(FmpMap &)>> faults = {
      {"zero width", [](FmpMap &m) { m.widthInBlocks = 0; }},
      {"depth 12", [](FmpMap &m) { m.blockDepth = 12; }},
      {"encoding 4", [](FmpMap &m) { m.cellEncoding = 4; }},
      {"record size 31", [](FmpMap &m) { m.blockRecordSize = 31; }},
      {"8-bit without palette", [](FmpMap &m) { m.blockDepth = 8; }},
      {"palette on a 24-bit map", [](FmpMap &m) { m.palette.assign(768, 0); }},
      {"short graphic", [](FmpMap &m) { m.graphics[1].pop_back(); }},
      {"missing graphic", [](FmpMap &m) { m.blocks[2].frontGraphic3 = 2; }},
      {"cell past the blocks", [](FmpMap &m) { m.layers[0][0] = 3; }},
      {"cell past the animations", [](FmpMap &m) { m.layers[0][0] = -2; }},
      {"short layer", [](FmpMap &m) { m.layers[0].pop_back(); }},
      {"nine layers", [](FmpMap &m) { m.layers.resize(9, m.layers[0]); }},
      {"frame past the blocks", [](FmpMap &m) { m.anims[0].frames.push_back(3); }},
      {"animation kind 10", [](FmpMap &m) { m.anims[0].kind = 10; }},
      {"no layers", [](FmpMap &m) { m.layers.clear(); }},
  };
  for (const auto &[name, breakIt] : faults) {
    FmpMap m = SmallMap();
    breakIt(m);
    why.clear();
    EXPECT_FALSE(FmpValidate(m, &why)) << name;
    EXPECT_FALSE(why.empty()) << name;
    EXPECT_TRUE(FmpEncode(m, &why).empty()) << name;
  }
}

TEST(FmpWriterText, DescriptionBuildsTheMap) {
  const char *text =
      "# two blocks and an animation\n"
      "size 3 2\nblock-size 2 2\norder big\nencoding 2\n"
      "graphic fill 102030\n"
      "graphic checker ff0000 0000ff 1\n"
      "graphic pixels 1 2 3 4\n"
      "block 0\n"
      "block 1 f1=2 flags=0x01 v1=-7 v5=9\n"
      "anim 1 4 0 1\n"
      "row 0 1 @0   # comment after a row\n"
      "row 1 1 0\n"
      "layer 1\nrow 1 1 1\nrow 0 0 0\n";
  FmpMap m;
  std::string why;
  ASSERT_TRUE(FmpParseText(text, &m, &why)) << why;
  EXPECT_EQ(m.widthInBlocks, 3);
  EXPECT_FALSE(m.littleEndian);
  EXPECT_EQ(m.cellEncoding, 2);
  ASSERT_EQ(m.graphics.size(), 3u);
  EXPECT_EQ(m.graphics[0], std::vector<uint32_t>(4, 0x102030));
  EXPECT_EQ(m.graphics[1], (std::vector<uint32_t>{0xFF0000, 0x0000FF, 0x0000FF, 0xFF0000}));
  EXPECT_EQ(m.graphics[2], (std::vector<uint32_t>{1, 2, 3, 4}));
  ASSERT_EQ(m.blocks.size(), 2u);
  EXPECT_EQ(m.blocks[1].frontGraphic1, 2);
  EXPECT_EQ(m.blocks[1].flags, 1);
  EXPECT_EQ(m.blocks[1].value1, -7);
  EXPECT_EQ(m.blocks[1].value5, 9);
  ASSERT_EQ(m.anims.size(), 1u);
  EXPECT_EQ(m.anims[0].delay, 4);
  ASSERT_EQ(m.layers.size(), 2u);
  EXPECT_EQ(m.layers[0], (std::vector<int16_t>{0, 1, -1, 1, 1, 0}));
  EXPECT_EQ(m.layers[1], (std::vector<int16_t>{1, 1, 1, 0, 0, 0}));
}

TEST(FmpWriterText, FaultsNameTheLine) {
  const std::string head = "size 2 1\nblock-size 1 1\ngraphic fill 0\nblock 0\n";
  const std::vector<std::pair<std::string, std::string>> cases = {
      {head + "row 0\n", "line 5"},                 // short row
      {head + "row 0 0\nrow 0 0\n", "line 6"},      // too many rows
      {head + "frobnicate\n", "line 5"},
      {head + "graphic fill zz\n", "line 5"},
      {head + "block 0 f9=1\n", "line 5"},
      {head + "row 0 @3\n", "@3"},                  // no such animation
      {head + "row 0 1\n", "names no block"},       // caught by validation
      {head, "layers"},                             // no rows at all
  };
  for (const auto &[text, where] : cases) {
    FmpMap m;
    std::string why;
    EXPECT_FALSE(FmpParseText(text, &m, &why)) << text;
    EXPECT_NE(why.find(where), std::string::npos) << "'" << why << "' for:\n" << text;
  }
}

}  // namespace
