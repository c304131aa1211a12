// skv_fmpwrite: writes an FMP map from a text description.
//   skv_fmpwrite description.txt out.fmp
#include <cstdio>
#include <fstream>
#include <sstream>

#include "fmpwriter/fmpwriter.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s description.txt out.fmp\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "%s: cannot open %s\n", argv[0], argv[1]);
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  FmpMap map;
  std::string why;
  if (!FmpParseText(text.str(), &map, &why) || !FmpWriteFile(map, argv[2], &why)) {
    std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], why.c_str());
    return 1;
  }
  return 0;
}
