// Maps from other people for the stage converter: any bytes as a TMX map,
// with its external tilesets and their pictures in the same input, through
// the importer and, when it accepts the map, the FMP writer. Nothing touches
// the disk.
//
// Input: the map's text, then any number of files, each starting with a
// line "\n#file NAME\n" (see tmx.dict); the map is "map.tmx" and names the
// others relative to itself.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "tiled/tiled.h"

namespace {

const char Marker[] = "\n#file ";

// Splits the input into named files.
std::map<std::string, std::vector<uint8_t>> Files(const uint8_t *data, size_t size) {
  std::map<std::string, std::vector<uint8_t>> files;
  const char *p = reinterpret_cast<const char *>(data), *end = p + size;
  std::string name = "map.tmx";
  const size_t markerLength = sizeof Marker - 1;
  while (true) {
    const char *next = std::search(p, end, Marker, Marker + markerLength);
    files[name].assign(p, next);
    if (next == end) break;
    const char *nameStart = next + markerLength;
    const char *nameEnd = std::find(nameStart, end, '\n');
    name.assign(nameStart, nameEnd);
    p = nameEnd == end ? end : nameEnd + 1;
  }
  return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
  const auto files = Files(data, size);
  const tiled::FileReader read = [&files](const std::string &path, std::vector<uint8_t> *bytes) {
    auto it = files.find(path);
    if (it == files.end()) return false;
    *bytes = it->second;
    return true;
  };
  FmpMap map;
  std::string why;
  if (tiled::ReadTmx("map.tmx", &map, &why, read)) FmpEncode(map, &why);
  return 0;
}
