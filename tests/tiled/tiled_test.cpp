// Stages through the map editor's files: exported and read back they give
// the same map (cells, pictures, flags, values, animations) and the engine
// paints the same screens; the editor itself reads what we write and we read
// what it writes (CSV, base64 with zlib or gzip); malformed maps give an
// error naming file and line, exit status 1 from the command, and no output
// (an old output stays as it was).
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>

#include "common/allegro_env.h"
#include "png/png_writer.h"
#include "tiled/fmpread.h"
#include "tiled/tiled.h"
#include "tilemap/tilemap.h"

namespace {

const char *const Stages[] = {"level1", "level2a", "level2", "level3", "level4"};

std::string ReadText(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void WriteText(const std::string &path, const std::string &text) {
  std::ofstream(path, std::ios::binary) << text;
}

// A fresh folder per test under the build tree.
std::string Scratch(const std::string &name) {
  std::string dir = std::string(SKV_BINARY_DIR) + "/tests/tiled/scratch-" + name;
  std::system(("rm -rf '" + dir + "' && mkdir -p '" + dir + "'").c_str());
  return dir;
}

// The first difference between two maps, or "" when they are the same.
std::string Difference(const FmpMap &a, const FmpMap &b) {
  if (a.widthInBlocks != b.widthInBlocks || a.heightInBlocks != b.heightInBlocks) return "size";
  if (a.blockDepth != b.blockDepth || a.cellEncoding != b.cellEncoding) return "depth or cell encoding";
  if (a.graphics != b.graphics) return "graphic pixels";
  if (a.blocks.size() != b.blocks.size()) return "block count";
  for (size_t i = 0; i < a.blocks.size(); i++) {
    const FmpBlock &x = a.blocks[i], &y = b.blocks[i];
    if (std::memcmp(&x, &y, sizeof x) != 0) return "block " + std::to_string(i);
  }
  if (a.anims.size() != b.anims.size()) return "animation count";
  for (size_t i = 0; i < a.anims.size(); i++)
    if (a.anims[i].kind != b.anims[i].kind || a.anims[i].delay != b.anims[i].delay || a.anims[i].frames != b.anims[i].frames)
      return "animation " + std::to_string(i);
  if (a.layers != b.layers) return "cells";
  return "";
}

// The engine's picture of the loaded map at a scroll position, after `steps`
// animation steps.
std::vector<int> Paint(int mapX, int mapY, int steps) {
  std::unique_ptr<BITMAP, void (*)(BITMAP *)> bmp(create_bitmap(640, 480), destroy_bitmap);
  clear_bitmap(bmp.get());
  for (int i = 0; i < steps; i++) TileMapStepAnimations();
  TileMapPaintBack(bmp.get(), mapX, mapY, 0, 0, 639, 479);
  std::vector<int> px;
  px.reserve(640 * 480);
  for (int y = 0; y < 480; y++)
    for (int x = 0; x < 640; x++) px.push_back(skvtest::PixelRgb(bmp.get(), x, y));
  return px;
}

std::vector<std::vector<int>> PaintViews(const std::string &fmp) {
  skvtest::EnsureAllegro();
  EXPECT_EQ(TileMapOpen(fmp.c_str()), 0) << fmp;
  std::vector<std::vector<int>> views;
  for (int y : {23520, 12000, 4000, 0}) views.push_back(Paint(y % 640, y, 7));
  TileMapClose();
  return views;
}

class StageRoundTrip : public ::testing::TestWithParam<const char *> {};

TEST_P(StageRoundTrip, OurExportReadsBackToTheSameMapAndPicture) {
  const std::string original = std::string(SKV_DATA_DIR) + "/" + GetParam() + ".fmp";
  const std::string dir = Scratch(std::string("ours-") + GetParam());
  FmpMap map, back;
  std::string why;
  ASSERT_TRUE(FmpReadFile(original, &map, &why)) << why;
  ASSERT_TRUE(tiled::ExportMap(map, dir + "/stage.tmx", &why)) << why;
  ASSERT_TRUE(tiled::ImportMap(dir + "/stage.tmx", dir + "/stage.fmp", &why)) << why;
  ASSERT_TRUE(FmpReadFile(dir + "/stage.fmp", &back, &why)) << why;
  EXPECT_EQ(Difference(map, back), "");
  EXPECT_TRUE(ReadText(dir + "/stage.fmp") == ReadText(original)) << "the file is rebuilt byte for byte";
  EXPECT_TRUE(PaintViews(dir + "/stage.fmp") == PaintViews(original)) << "the engine paints the same screens";
}

// Runs the editor headless on one conversion.
void EditorExport(const std::string &dir, const std::string &options, const std::string &from, const std::string &to) {
  const std::string cmd = "cd '" + dir + "' && XDG_CONFIG_HOME='" + dir +
                          "' QT_QPA_PLATFORM=offscreen tiled --export-map " + options + " '" + from + "' '" + to +
                          "' >editor.log 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd << "\n" << ReadText(dir + "/editor.log");
}

// Rewrites the layer data of the editor's JSON ("data":[1, 2, ...]) as
// base64 of compressed little-endian tile numbers, as the editor would save
// a map set to that layer format.
std::string CompressLayers(const std::string &json, bool gzip) {
  std::string out;
  size_t at = 0;
  for (size_t start; (start = json.find("\"data\":[", at)) != std::string::npos;) {
    const size_t end = json.find(']', start);
    std::vector<uint8_t> raw;
    for (const char *p = json.c_str() + start + 8; p < json.c_str() + end;) {
      char *next;
      unsigned long gid = std::strtoul(p, &next, 10);
      for (int s = 0; s < 32; s += 8) raw.push_back(static_cast<uint8_t>(gid >> s));
      p = next + 1;
    }
    z_stream z{};
    deflateInit2(&z, 9, Z_DEFLATED, gzip ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
    std::vector<uint8_t> packed(deflateBound(&z, raw.size()) + 32);
    z.next_in = raw.data();
    z.avail_in = static_cast<uInt>(raw.size());
    z.next_out = packed.data();
    z.avail_out = static_cast<uInt>(packed.size());
    EXPECT_EQ(deflate(&z, Z_FINISH), Z_STREAM_END);
    packed.resize(z.total_out);
    deflateEnd(&z);
    static const char *const Digits = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string b64;
    const size_t n = packed.size();
    for (size_t i = 0; i < n; i += 3) {
      uint32_t v = packed[i] << 16 | (i + 1 < n ? packed[i + 1] << 8 : 0) | (i + 2 < n ? packed[i + 2] : 0);
      b64 += Digits[v >> 18 & 63];
      b64 += Digits[v >> 12 & 63];
      b64 += i + 1 < n ? Digits[v >> 6 & 63] : '=';
      b64 += i + 2 < n ? Digits[v & 63] : '=';
    }
    out += json.substr(at, start - at);
    out += std::string("\"compression\":\"") + (gzip ? "gzip" : "zlib") + "\",\"encoding\":\"base64\",\"data\":\"" + b64 + "\"";
    at = end + 1;
  }
  return out + json.substr(at);
}

// Our TMX -> the editor's JSON -> (layers compressed) -> the editor's TMX
// with the tileset embedded -> read by us: the same map as the original.
void ThroughEditor(const std::string &stage, const char *format) {
  const std::string original = std::string(SKV_DATA_DIR) + "/" + stage + ".fmp";
  const std::string dir = Scratch(stage + "-" + format);
  FmpMap map, back;
  std::string why;
  ASSERT_TRUE(FmpReadFile(original, &map, &why)) << why;
  ASSERT_TRUE(tiled::ExportMap(map, dir + "/ours.tmx", &why)) << why;
  EditorExport(dir, "", "ours.tmx", "editor.json");
  if (std::string(format) != "csv")
    WriteText(dir + "/editor.json", CompressLayers(ReadText(dir + "/editor.json"), std::string(format) == "gzip"));
  EditorExport(dir, "--embed-tilesets", "editor.json", "editor.tmx");
  const std::string tmx = ReadText(dir + "/editor.tmx");
  EXPECT_NE(tmx.find(std::string(format) == "csv" ? "encoding=\"csv\"" : "compression=\"" + std::string(format) + "\""),
            std::string::npos) << "the editor kept the layer format";
  EXPECT_NE(tmx.find("<image source=\"ours.png\""), std::string::npos) << "the tileset is embedded";
  ASSERT_TRUE(tiled::ReadTmx(dir + "/editor.tmx", &back, &why)) << why;
  EXPECT_EQ(Difference(map, back), "");
}

TEST_P(StageRoundTrip, TheEditorsOwnWriterGivesTheSameMap) { ThroughEditor(GetParam(), "zlib"); }

INSTANTIATE_TEST_SUITE_P(Stages, StageRoundTrip, ::testing::ValuesIn(Stages));

TEST(EditorFormats, CsvAndGzipLayersReadBack) {
  ThroughEditor("level3", "csv");
  ThroughEditor("level3", "gzip");
}

// A small map: two 32 x 32 tiles, the second solid, laid out 2 x 2.
const char *const SmallMap =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<map version=\"1.8\" orientation=\"orthogonal\" width=\"2\" height=\"2\" tilewidth=\"32\" tileheight=\"32\" infinite=\"0\">\n"
    " <tileset firstgid=\"1\" name=\"t\" tilewidth=\"32\" tileheight=\"32\" tilecount=\"2\" columns=\"2\">\n"
    "  <image source=\"tiles.png\" width=\"64\" height=\"32\"/>\n"
    "  <tile id=\"1\"><properties><property name=\"solid\" type=\"bool\" value=\"true\"/>"
    "<property name=\"user3\" type=\"int\" value=\"513\"/></properties></tile>\n"
    " </tileset>\n"
    " <layer id=\"1\" name=\"ground\" width=\"2\" height=\"2\">\n"
    "  <data encoding=\"csv\">1,2,2,1</data>\n"
    " </layer>\n"
    "</map>\n";

std::string Edited(std::string text, const std::string &from, const std::string &to) {
  size_t at = text.find(from);
  EXPECT_NE(at, std::string::npos) << from;
  return at == std::string::npos ? text : text.replace(at, from.size(), to);
}

class SmallMapTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = Scratch(::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::vector<uint32_t> rgb(64 * 32);
    for (size_t i = 0; i < rgb.size(); i++) rgb[i] = (i % 64) < 32 ? 0x208020 : 0x806040;
    const std::vector<uint8_t> png = EncodePng(64, 32, rgb, false);
    ASSERT_FALSE(png.empty());
    std::string why;
    ASSERT_TRUE(tiled::WriteFileAtomically(dir + "/tiles.png", png.data(), png.size(), &why)) << why;
  }
  std::string dir;
};

TEST_F(SmallMapTest, AHandWrittenMapBecomesBlocksAndCells) {
  WriteText(dir + "/small.tmx", SmallMap);
  std::string why;
  ASSERT_TRUE(tiled::ImportMap(dir + "/small.tmx", dir + "/small.fmp", &why)) << why;
  FmpMap m;
  ASSERT_TRUE(FmpReadFile(dir + "/small.fmp", &m, &why)) << why;
  ASSERT_EQ(m.blocks.size(), 2u);
  EXPECT_EQ(m.blocks[0].flags, 0);
  EXPECT_EQ(m.blocks[1].flags, FmpFlagSolid);
  EXPECT_EQ(m.blocks[1].value3, 513);
  EXPECT_EQ(m.graphics[1][0], 0x806040u);
  EXPECT_EQ(m.layers[0], (std::vector<int16_t>{0, 1, 1, 0}));
}

std::string Repeated(const std::string &text, int times) {
  std::string out;
  for (int i = 0; i < times; i++) out += text;
  return out;
}

const std::string Layer = " <layer id=\"1\" name=\"ground\" width=\"2\" height=\"2\">\n"
                          "  <data encoding=\"csv\">1,2,2,1</data>\n </layer>\n";

struct Malformed {
  const char *name;
  std::string from, to;
  const char *error;
  int line;
};

const std::string Tileset = "tilecount=\"2\" columns=\"2\"";

const Malformed MalformedMaps[] = {
    {"unknown encoding", "encoding=\"csv\"", "encoding=\"hex\"", "unknown layer encoding \"hex\"", 8},
    {"unknown compression", "encoding=\"csv\">1,2,2,1", "encoding=\"base64\" compression=\"zstd\">AAAA",
     "unknown layer compression", 8},
    {"tile outside every tileset", "1,2,2,1", "1,2,7,1", "column 0, row 1: tile 7 lies outside every tileset", 8},
    {"unreadable picture", "tiles.png", "missing.png", "missing.png: cannot read the picture", 4},
    {"tiles of 16 pixels", "tilewidth=\"32\" tileheight=\"32\" infinite", "tilewidth=\"16\" tileheight=\"16\" infinite",
     "tiles are 16 x 16 pixels; the game's blocks are 32 x 32", 2},
    {"infinite map", "infinite=\"0\"", "infinite=\"1\"", "infinite maps are not read", 2},
    {"nine layers", Layer, Repeated(Layer, 9), "more than 8 tile layers", 7 + 8 * 3},
    {"broken XML", "</layer>", "</layr>", "not well-formed XML", 7},
    {"negative spacing", Tileset, Tileset + " spacing=\"-32\"", "spacing=\"-32\" must be 0..", 3},
    {"huge spacing", Tileset, Tileset + " spacing=\"2147483647\"", "spacing=\"2147483647\" must be 0..", 3},
    {"negative margin", Tileset, Tileset + " margin=\"-40\"", "margin=\"-40\" must be 0..", 3},
    {"huge margin", Tileset, Tileset + " margin=\"1073741824\"", "margin=\"1073741824\" must be 0..", 3},
    {"margin leaving no tile", Tileset, "tilecount=\"2\" margin=\"1\"", "the picture holds 0 tiles", 3},
    {"columns the picture lacks", "columns=\"2\"", "columns=\"3\"", "columns=\"3\" but the picture holds 2", 3},
    {"animation frame outside", "</properties></tile>", "</properties><animation><frame tileid=\"9\" duration=\"100\"/>"
     "</animation></tile>", "animation frame names tile 9 outside the tileset", 5},
    {"gid that is no number", "<data encoding=\"csv\">1,2,2,1</data>",
     "<data><tile gid=\"1\"/><tile gid=\"x\"/><tile/><tile/></data>", "gid is not a whole number", 8},
};

// `skv_tiled import bad.tmx out.fmp`: its exit status (128 + the signal when
// one ended it) and what it printed.
int ImportCommand(const std::string &dir, std::string *printed) {
  const int status = std::system(("'" SKV_TILED "' import '" + dir + "/bad.tmx' '" + dir + "/out.fmp' 2>'" + dir + "/err.txt'").c_str());
  *printed = ReadText(dir + "/err.txt");
  return WIFSIGNALED(status) ? 128 + WTERMSIG(status) : WEXITSTATUS(status);
}

TEST_F(SmallMapTest, MalformedMapsAreRefusedWithFileAndLineAndNoOutput) {
  for (const Malformed &c : MalformedMaps) {
    SCOPED_TRACE(c.name);
    WriteText(dir + "/bad.tmx", Edited(SmallMap, c.from, c.to));
    std::string printed;
    EXPECT_EQ(ImportCommand(dir, &printed), 1);
    EXPECT_NE(printed.find(c.error), std::string::npos) << printed;
    EXPECT_NE(printed.find("/bad.tmx:" + std::to_string(c.line) + ": "), std::string::npos) << printed;
    EXPECT_EQ(std::system(("test -z \"$(ls '" + dir + "' | grep 'out.fmp')\"").c_str()), 0) << "an output or temporary file was left";
  }
  WriteText(dir + "/out.fmp", "the map from before");
  std::string why;
  EXPECT_FALSE(tiled::ImportMap(dir + "/bad.tmx", dir + "/out.fmp", &why));
  EXPECT_EQ(ReadText(dir + "/out.fmp"), "the map from before");
}

}  // namespace
