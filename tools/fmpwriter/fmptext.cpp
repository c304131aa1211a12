// Text description of a map for the skv_fmpwrite command. One statement per
// line, '#' starts a comment:
//   size W H                map size in cells
//   block-size W H          block size in pixels (default 32 32)
//   depth D                 8, 15, 16, 24 (default) or 32
//   order little|big        byte order of the numbers (default little)
//   encoding N              cell encoding 0..3 (default 1)
//   record-size N           bytes per block record (default 32)
//   short-header            write the 24-byte header
//   palette I RRGGBB        palette entry I (8-bit maps)
//   graphic fill C          a graphic of one colour (hex RRGGBB, or an index)
//   graphic checker C1 C2 S a checkerboard of S-pixel squares
//   graphic pixels C C ...  every pixel, row by row
//   block BACK [f1=G f2=G f3=G v1=N .. v7=N flags=N]
//   anim KIND DELAY FRAME...   an animation over block records
//   layer N                 following rows go to layer N (0 = BODY)
//   row V V ...             one row of cells; @N shows animation N
#include "fmpwriter/fmpwriter.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace {

struct Parser {
  FmpMap *pMap = nullptr;
  std::string *pWhy = nullptr;
  int iLine = 0;
  int iLayer = 0;
  std::vector<size_t> rowsFilled = std::vector<size_t>(8, 0);
  struct AnimRef { int layer; size_t cell; long anim; };
  std::vector<AnimRef> animRefs;

  bool fail(const std::string &text) {
    if (pWhy) *pWhy = "line " + std::to_string(iLine) + ": " + text;
    return false;
  }

  static bool number(const std::string &s, int base, long *out) {
    if (s.empty()) return false;
    errno = 0;
    char *end = nullptr;
    long v = std::strtol(s.c_str(), &end, base);
    if (errno != 0 || *end != '\0') return false;
    *out = v;
    return true;
  }

  bool need(std::istringstream &in, long *out, int base = 0) {
    std::string tok;
    if (!(in >> tok) || !number(tok, base, out)) return fail("a number is missing or malformed");
    return true;
  }

  bool colour(const std::string &tok, uint32_t *out) {
    long v = 0;
    if (!number(tok, 16, &v) || v < 0 || v > 0xFFFFFF) return fail("bad colour '" + tok + "'");
    *out = static_cast<uint32_t>(v);
    return true;
  }

  size_t pixelCount() const { return static_cast<size_t>(pMap->blockWidth) * pMap->blockHeight; }

  bool graphic(std::istringstream &in) {
    std::string kind, tok;
    in >> kind;
    std::vector<uint32_t> px;
    if (kind == "fill") {
      uint32_t c = 0;
      if (!(in >> tok) || !colour(tok, &c)) return fail("graphic fill needs a colour");
      px.assign(pixelCount(), c);
    } else if (kind == "checker") {
      uint32_t a = 0, b = 0;
      long size = 0;
      std::string ta, tb;
      if (!(in >> ta >> tb) || !colour(ta, &a) || !colour(tb, &b) || !need(in, &size) || size <= 0)
        return fail("graphic checker needs two colours and a square size");
      for (int y = 0; y < pMap->blockHeight; y++)
        for (int x = 0; x < pMap->blockWidth; x++) px.push_back(((x / size + y / size) & 1) ? b : a);
    } else if (kind == "pixels") {
      uint32_t c = 0;
      while (in >> tok) {
        if (!colour(tok, &c)) return false;
        px.push_back(c);
      }
      if (px.size() != pixelCount()) return fail("graphic pixels needs block width x height values");
    } else {
      return fail("graphic must be fill, checker or pixels");
    }
    pMap->graphics.push_back(std::move(px));
    return true;
  }

  bool block(std::istringstream &in) {
    FmpBlock b;
    long v = 0;
    if (!need(in, &v)) return false;
    b.backGraphic = static_cast<int32_t>(v);
    std::string tok;
    while (in >> tok) {
      size_t eq = tok.find('=');
      if (eq == std::string::npos || !number(tok.substr(eq + 1), 0, &v)) return fail("expected key=number, got '" + tok + "'");
      std::string key = tok.substr(0, eq);
      if (key == "f1") b.frontGraphic1 = static_cast<int32_t>(v);
      else if (key == "f2") b.frontGraphic2 = static_cast<int32_t>(v);
      else if (key == "f3") b.frontGraphic3 = static_cast<int32_t>(v);
      else if (key == "v1") b.value1 = static_cast<int32_t>(v);
      else if (key == "v2") b.value2 = static_cast<int32_t>(v);
      else if (key == "v3") b.value3 = static_cast<uint16_t>(v);
      else if (key == "v4") b.value4 = static_cast<uint16_t>(v);
      else if (key == "v5") b.value5 = static_cast<uint8_t>(v);
      else if (key == "v6") b.value6 = static_cast<uint8_t>(v);
      else if (key == "v7") b.value7 = static_cast<uint8_t>(v);
      else if (key == "flags") b.flags = static_cast<uint8_t>(v);
      else return fail("unknown block key '" + key + "'");
    }
    pMap->blocks.push_back(b);
    return true;
  }

  bool anim(std::istringstream &in) {
    FmpAnim a;
    long kind = 0, delay = 0, f = 0;
    if (!need(in, &kind) || !need(in, &delay)) return false;
    a.kind = static_cast<int>(kind);
    a.delay = static_cast<int>(delay);
    std::string tok;
    while (in >> tok) {
      if (!number(tok, 0, &f)) return fail("bad frame '" + tok + "'");
      a.frames.push_back(static_cast<int>(f));
    }
    pMap->anims.push_back(std::move(a));
    return true;
  }

  bool row(std::istringstream &in) {
    if (pMap->widthInBlocks <= 0 || pMap->heightInBlocks <= 0) return fail("row before size");
    auto &layers = pMap->layers;
    if (layers.size() <= static_cast<size_t>(iLayer)) layers.resize(iLayer + 1);
    auto &cells = layers[iLayer];
    if (rowsFilled[iLayer] >= static_cast<size_t>(pMap->heightInBlocks)) return fail("more rows than the map height");
    std::string tok;
    long v = 0;
    int count = 0;
    while (in >> tok) {
      if (tok[0] == '@') {
        if (!number(tok.substr(1), 0, &v) || v < 0) return fail("bad animation cell '" + tok + "'");
        animRefs.push_back({iLayer, cells.size(), v});
        cells.push_back(0);
      } else {
        if (!number(tok, 0, &v) || v < -32768 || v > 32767) return fail("bad cell '" + tok + "'");
        cells.push_back(static_cast<int16_t>(v));
      }
      count++;
    }
    if (count != pMap->widthInBlocks) return fail("a row needs exactly width cells");
    rowsFilled[iLayer]++;
    return true;
  }

  bool statement(const std::string &line) {
    std::istringstream in(line.substr(0, line.find('#')));
    std::string word;
    if (!(in >> word)) return true;
    long a = 0, b = 0;
    if (word == "size") {
      if (!need(in, &a) || !need(in, &b)) return false;
      pMap->widthInBlocks = static_cast<int>(a);
      pMap->heightInBlocks = static_cast<int>(b);
    } else if (word == "block-size") {
      if (!need(in, &a) || !need(in, &b)) return false;
      pMap->blockWidth = static_cast<int>(a);
      pMap->blockHeight = static_cast<int>(b);
    } else if (word == "depth") {
      if (!need(in, &a)) return false;
      pMap->blockDepth = static_cast<int>(a);
    } else if (word == "order") {
      std::string o;
      in >> o;
      if (o != "little" && o != "big") return fail("order must be little or big");
      pMap->littleEndian = o == "little";
    } else if (word == "encoding") {
      if (!need(in, &a)) return false;
      pMap->cellEncoding = static_cast<int>(a);
    } else if (word == "record-size") {
      if (!need(in, &a)) return false;
      pMap->blockRecordSize = static_cast<int>(a);
    } else if (word == "short-header") {
      pMap->shortHeader = true;
    } else if (word == "palette") {
      std::string tok;
      uint32_t c = 0;
      if (!need(in, &a) || a < 0 || a > 255 || !(in >> tok) || !colour(tok, &c)) return fail("palette needs an index and a colour");
      pMap->palette.resize(768, 0);
      pMap->palette[a * 3] = static_cast<uint8_t>(c >> 16);
      pMap->palette[a * 3 + 1] = static_cast<uint8_t>(c >> 8);
      pMap->palette[a * 3 + 2] = static_cast<uint8_t>(c);
    } else if (word == "graphic") {
      return graphic(in);
    } else if (word == "block") {
      return block(in);
    } else if (word == "anim") {
      return anim(in);
    } else if (word == "layer") {
      if (!need(in, &a) || a < 0 || a > 7) return fail("layer must be 0..7");
      iLayer = static_cast<int>(a);
    } else if (word == "row") {
      return row(in);
    } else {
      return fail("unknown statement '" + word + "'");
    }
    std::string extra;
    if (in >> extra) return fail("unexpected '" + extra + "'");
    return true;
  }
};

}  // namespace

bool FmpParseText(const std::string &text, FmpMap *map, std::string *why) {
  *map = FmpMap();
  Parser p;
  p.pMap = map;
  p.pWhy = why;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    p.iLine++;
    if (!p.statement(line)) return false;
  }
  for (const auto &ref : p.animRefs) {
    if (ref.anim >= static_cast<long>(map->anims.size())) {
      if (why) *why = "animation cell @" + std::to_string(ref.anim) + " names no animation";
      return false;
    }
    map->layers[ref.layer][ref.cell] = FmpAnimCell(*map, static_cast<int>(ref.anim));
  }
  for (size_t n = 0; n < map->layers.size(); n++) {
    if (p.rowsFilled[n] != static_cast<size_t>(map->heightInBlocks)) {
      if (why) *why = "layer " + std::to_string(n) + " needs exactly height rows";
      return false;
    }
  }
  return FmpValidate(*map, why);
}
