// skv_tiled: converts stage maps to and from the map editor's files.
//   skv_tiled export MAP.fmp MAP.tmx   (also writes MAP.tsx and MAP.png)
//   skv_tiled import MAP.tmx MAP.fmp
#include <cstdio>
#include <cstring>

#include "tiled/fmpread.h"
#include "tiled/tiled.h"

int main(int argc, char **argv) {
  if (argc != 4 || (std::strcmp(argv[1], "export") != 0 && std::strcmp(argv[1], "import") != 0)) {
    std::fprintf(stderr, "usage: %s export MAP.fmp MAP.tmx\n       %s import MAP.tmx MAP.fmp\n", argv[0], argv[0]);
    return 2;
  }
  std::string why;
  bool ok;
  if (std::strcmp(argv[1], "export") == 0) {
    FmpMap map;
    ok = FmpReadFile(argv[2], &map, &why);
    if (!ok) why = std::string(argv[2]) + ": " + why;
    ok = ok && tiled::ExportMap(map, argv[3], &why);
  } else {
    ok = tiled::ImportMap(argv[2], argv[3], &why);
  }
  if (!ok) {
    std::fprintf(stderr, "%s: %s\n", argv[0], why.c_str());
    return 1;
  }
  return 0;
}
