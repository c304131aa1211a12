// skv_artgen DATA_DIR PREVIEW_DIR FONT_SHEET: draws the game's pictures into
// DATA_DIR, the previews into PREVIEW_DIR and the story font's glyph sheet
// into FONT_SHEET (packed into script.dat by the build).
#include <allegro.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "generate.h"

int main(int argc, char **argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s DATA_DIR PREVIEW_DIR FONT_SHEET\n", argv[0]);
    return 2;
  }
  if (install_allegro(SYSTEM_NONE, &errno, atexit) != 0) {
    std::fprintf(stderr, "art: the library did not start: %s\n", allegro_error);
    return 1;
  }
  set_color_depth(32);
  return art::GenerateAll(argv[1], argv[2], argv[3]) ? 0 : 1;
}
END_OF_MAIN()
