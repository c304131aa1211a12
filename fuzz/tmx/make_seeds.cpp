// Writes fuzz_tmx inputs: three rows of ten cells cut from each stage (round
// an animated cell where there is one), exported as TMX, TSX and PNG and packed
// into one input, with the layers saved in a different encoding per stage.
//   fuzz_tmx_seeds OUTDIR STAGE.fmp...
#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tiled/fmpread.h"
#include "tiled/tiled.h"

namespace {

constexpr int Rows = 3, Columns = 10;

// The cell the cut starts at: a little left of the first animated cell
// from the bottom, or the bottom left corner.
void FirstCell(const FmpMap &m, int *row0, int *column0) {
  *row0 = m.heightInBlocks - Rows, *column0 = 0;
  for (int row = m.heightInBlocks - Rows; row >= 0; row--)
    for (int x = 0; x < m.widthInBlocks; x++)
      if (m.layers[0][static_cast<size_t>(row) * m.widthInBlocks + x] < 0) {
        *row0 = row, *column0 = std::max(0, std::min(x - 4, m.widthInBlocks - Columns));
        return;
      }
}

// Rows x Columns cells from (column0, row0) with only the blocks, graphics and
// animations they use.
FmpMap Cut(const FmpMap &m, int row0, int column0) {
  FmpMap out = m;
  out.graphics.clear(), out.blocks.clear(), out.anims.clear(), out.layers.clear();
  out.heightInBlocks = Rows, out.widthInBlocks = Columns;
  std::map<int, int> graphicOf, blockOf, animOf;
  auto graphic = [&](int g) {
    auto it = graphicOf.emplace(g, static_cast<int>(out.graphics.size()));
    if (it.second) out.graphics.push_back(m.graphics[g]);
    return it.first->second;
  };
  auto block = [&](int b) {
    auto it = blockOf.find(b);
    if (it != blockOf.end()) return it->second;
    FmpBlock nb = m.blocks[b];
    for (int32_t *g : {&nb.backGraphic, &nb.frontGraphic1, &nb.frontGraphic2, &nb.frontGraphic3}) *g = graphic(*g);
    blockOf[b] = static_cast<int>(out.blocks.size());
    out.blocks.push_back(nb);
    return blockOf[b];
  };
  graphic(0), block(0);  // graphic 0 and block 0 keep their meaning: nothing
  std::vector<size_t> cells;
  for (int y = row0; y < row0 + Rows; y++)
    for (int x = column0; x < column0 + Columns; x++) cells.push_back(static_cast<size_t>(y) * m.widthInBlocks + x);
  for (const auto &layer : m.layers)
    for (size_t i : cells)
      if (layer[i] < 0 && !animOf.count(layer[i])) {
        FmpAnim a = m.anims[layer[i] + m.anims.size()];
        for (int &f : a.frames) f = block(f);
        animOf[layer[i]] = static_cast<int>(out.anims.size());
        out.anims.push_back(a);
      }
  for (const auto &layer : m.layers) {
    out.layers.emplace_back();
    for (size_t i : cells)
      out.layers.back().push_back(layer[i] < 0 ? FmpAnimCell(out, animOf[layer[i]]) : static_cast<int16_t>(block(layer[i])));
  }
  return out;
}

std::string Read(const std::string &path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

std::string Base64(const std::vector<uint8_t> &bytes) {
  static const char Digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    const uint32_t v = bytes[i] << 16 | (n > 1 ? bytes[i + 1] << 8 : 0) | (n > 2 ? bytes[i + 2] : 0);
    for (size_t k = 0; k < 4; k++) out += k <= n ? Digits[(v >> (18 - 6 * k)) & 63] : '=';
  }
  return out;
}

// Every CSV layer of `tmx` as base64, packed with "zlib", "gzip" or "" (none).
std::string Recoded(std::string tmx, const std::string &compression) {
  const std::string open = "<data encoding=\"csv\">";
  for (size_t at = tmx.find(open); at != std::string::npos; at = tmx.find(open, at)) {
    const size_t close = tmx.find("</data>", at);
    std::vector<uint8_t> raw;
    const std::string csv = tmx.substr(at + open.size(), close - at - open.size());
    for (const char *p = csv.c_str(); *p;) {
      char *end = nullptr;
      const unsigned long v = std::strtoul(p, &end, 10);
      if (end == p) { p++; continue; }
      for (int k = 0; k < 4; k++) raw.push_back(static_cast<uint8_t>(v >> (8 * k)));
      p = end;
    }
    if (!compression.empty()) {
      z_stream s{};
      deflateInit2(&s, 9, Z_DEFLATED, compression == "gzip" ? 31 : 15, 8, Z_DEFAULT_STRATEGY);
      std::vector<uint8_t> packed(deflateBound(&s, raw.size()));
      s.next_in = raw.data(), s.avail_in = static_cast<uInt>(raw.size());
      s.next_out = packed.data(), s.avail_out = static_cast<uInt>(packed.size());
      deflate(&s, Z_FINISH);
      packed.resize(packed.size() - s.avail_out);
      deflateEnd(&s);
      raw = packed;
    }
    const std::string data = "<data encoding=\"base64\"" +
                             (compression.empty() ? std::string() : " compression=\"" + compression + "\"") + ">" + Base64(raw);
    tmx.replace(at, close - at, data);
    at += data.size();
  }
  return tmx;
}

}  // namespace

int main(int argc, char **argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s OUTDIR STAGE.fmp...\n", argv[0]);
    return 2;
  }
  const std::string outDir = argv[1];
  const char *const Encodings[] = {"csv", "zlib", "gzip", "", "csv"};
  for (int a = 2; a < argc; a++) {
    FmpMap stage;
    std::string why;
    int row0 = 0, column0 = 0;
    FmpMap cut;
    const bool read = FmpReadFile(argv[a], &stage, &why);
    if (read) FirstCell(stage, &row0, &column0), cut = Cut(stage, row0, column0);
    if (!read || !tiled::ExportMap(cut, outDir + "/cut.tmx", &why)) {
      std::fprintf(stderr, "%s: %s\n", argv[a], why.c_str());
      return 1;
    }
    const std::string encoding = Encodings[(a - 2) % 5];
    std::string tmx = Read(outDir + "/cut.tmx");
    if (encoding != "csv") tmx = Recoded(tmx, encoding);
    std::ofstream(outDir + "/cut.tmx", std::ios::binary) << tmx;
    FmpMap back;
    if (!tiled::ReadTmx(outDir + "/cut.tmx", &back, &why)) {
      std::fprintf(stderr, "%s: the cut does not read back: %s\n", argv[a], why.c_str());
      return 1;
    }
    std::string stem = argv[a];
    stem = stem.substr(stem.find_last_of('/') + 1);
    stem = stem.substr(0, stem.find('.'));
    std::ofstream(outDir + "/" + stem + "-" + (encoding.empty() ? "base64" : encoding), std::ios::binary)
        << tmx << "\n#file cut.tsx\n" << Read(outDir + "/cut.tsx") << "\n#file cut.png\n" << Read(outDir + "/cut.png");
    for (const char *ext : {".tmx", ".tsx", ".png"}) std::remove((outDir + "/cut" + ext).c_str());
  }
  return 0;
}
