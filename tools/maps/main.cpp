// skv_mapgen: writes the map of every stage of stages.def into the run folder
// and a preview strip of each into the preview folder.
//   skv_mapgen DATA_DIR PREVIEW_DIR
#include <cstdio>

#include "maps/mapgen.h"
#include "png/png_writer.h"

int main(int argc, char **argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s DATA_DIR PREVIEW_DIR\n", argv[0]);
    return 2;
  }
  const std::string data = argv[1], preview = argv[2];
  for (const mapgen::StageInfo &stage : mapgen::Stages()) {
    mapgen::StageMap built = mapgen::BuildStage(stage);
    std::string why;
    if (!FmpWriteFile(built.map, data + "/" + stage.cFileName, &why)) {
      std::fprintf(stderr, "%s: %s: %s\n", argv[0], stage.cFileName, why.c_str());
      return 1;
    }
    std::string name = stage.cFileName;
    name = name.substr(0, name.find('.')) + "_strip.png";
    if (!WritePng(preview + "/" + name, built.previewWidth, built.previewHeight, built.preview, false)) {
      std::fprintf(stderr, "%s: cannot write %s\n", argv[0], name.c_str());
      return 1;
    }
    // Close-ups of the first, a middle and the last screen, as the player sees them.
    const int views[3][2] = {{320, 23520}, {320, 12000}, {320, 0}};
    const char *viewNames[3] = {"_start.png", "_middle.png", "_end.png"};
    for (int v = 0; v < 3; v++) {
      std::string file = preview + "/" + name.substr(0, name.find('_')) + viewNames[v];
      if (!WritePng(file, 640, 480, mapgen::RenderRegion(built.map, views[v][0], views[v][1], 640, 480), false)) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], file.c_str());
        return 1;
      }
    }
    std::printf("%s: %zu blocks\n", stage.cFileName, built.map.blocks.size());
    for (const mapgen::Landmark &l : built.landmarks)
      std::printf("  rows %3d-%3d: %s\n", l.row, l.row + l.h - 1, l.name.c_str());
  }
  return 0;
}
