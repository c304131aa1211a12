// The list of the game's pictures and where each one goes.
#include "generate.h"

#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <vector>

#include "art.h"
#include "preview.h"
#include "text.h"

namespace art {

namespace {

Fonts TheFonts() {
  const std::string dir = SKV_TTF_DIR;
  return {dir + "/DejaVuSerif-Bold.ttf", dir + "/DejaVuSerif.ttf", dir + "/DejaVuSans-Bold.ttf",
          dir + "/DejaVuSans.ttf"};
}

struct SpriteFile {
  const char *name;
  std::function<BITMAP *()> make;
  int frameW, frameH, zoom;
};

bool Fail(const std::string &what) {
  std::fprintf(stderr, "art: could not write %s\n", what.c_str());
  return false;
}

bool WriteSprites(const std::string &dataDir, std::vector<BITMAP *> &keep, std::vector<SheetEntry> &sheet) {
  const std::vector<SpriteFile> sprites = {
      {"Dragon.bmp", MakeDragon, 80, 110, 3},
      {"orc2.bmp", [] { return MakeOrc(2); }, 24, 32, 3},
      {"orc3.bmp", [] { return MakeOrc(3); }, 24, 32, 3},
      {"orc4.bmp", [] { return MakeOrc(4); }, 24, 32, 3},
      {"orc5.bmp", [] { return MakeOrc(5); }, 24, 32, 3},
      {"fire.bmp", [] { return MakeShot(false); }, 16, 16, 4},
      {"ice.bmp", [] { return MakeShot(true); }, 16, 16, 4},
      {"node.bmp", MakeNodes, 32, 32, 3},
      {"hut.bmp", MakeHut, 64, 64, 3},
      {"cloud1.bmp", [] { return MakeCloud(1); }, 0, 0, 1},
      {"cloud2.bmp", [] { return MakeCloud(2); }, 0, 0, 1},
  };
  for (const SpriteFile &s : sprites) {
    BITMAP *b = s.make();
    keep.push_back(b);
    if (!b || !SaveBmp32(dataDir + "/" + s.name, b)) return Fail(s.name);
    sheet.push_back({s.name, b, s.frameW ? s.frameW : b->w, s.frameH ? s.frameH : b->h, s.zoom});
  }
  return true;
}

bool WritePictures(const std::string &dataDir, const std::string &previewDir, const Fonts &f) {
  struct Picture {
    const char *name;
    std::function<BITMAP *()> make;
  };
  const std::vector<Picture> pictures = {
      {"world.bmp", [&] { return MakeWorld(f); }},
      {"title_screen.bmp", [&] { return MakeTitle(f); }},
      {"options_screen.bmp", [&] { return MakeOptions(f); }},
      {"stage_intro.bmp", [&] { return MakeStageIntro(f); }},
      {"gameover.bmp", [&] { return MakeGameOver(f); }},
      {"quillon.bmp", [&] { return MakeMakerLogo(f); }},
      {"allegro.pcx", [&] { return MakeLibraryLogo(f); }},
  };
  for (const Picture &p : pictures) {
    BITMAP *b = p.make();
    const std::string name = p.name, path = dataDir + "/" + name;
    const bool pcx = name.size() > 4 && name.compare(name.size() - 4, 4, ".pcx") == 0;
    bool ok = b && (pcx ? save_pcx(path.c_str(), b, nullptr) == 0 : SaveBmp32(path, b));
    if (ok) {
      BITMAP *small = HalfSize(b);
      ok = SavePng(previewDir + "/" + name.substr(0, name.size() - 4) + ".png", small, false);
      destroy_bitmap(small);
    }
    if (b) destroy_bitmap(b);
    if (!ok) return Fail(name);
  }
  return true;
}

// The desktop's icons, and the game window's own: its sizes side by side
// in one strip, each square at the top, on the mask colour.
bool WriteIcons(const std::string &dataDir) {
  BITMAP *strip = NewMaskedBitmap(16 + 32 + 48 + 64, 64);
  if (!strip) return Fail("window_icon.bmp");
  int left = 0;
  for (int size : {16, 32, 48, 64, 128, 256}) {
    BITMAP *icon = MakeIcon(size);
    const std::string path = dataDir + "/icons/skarnvale-" + std::to_string(size) + ".png";
    const bool ok = icon && SavePng(path, icon, true);
    if (ok && size <= 64) {
      blit(icon, strip, 0, 0, left, 0, size, size);
      left += size;
    }
    if (icon) destroy_bitmap(icon);
    if (!ok) {
      destroy_bitmap(strip);
      return Fail(path);
    }
  }
  const bool ok = SaveBmp32(dataDir + "/window_icon.bmp", strip);
  destroy_bitmap(strip);
  return ok || Fail("window_icon.bmp");
}

bool WriteFontSheet(const std::string &path) {
  int cellHeight = 0;
  BITMAP *sheet = GlyphSheet(StoryFontFile(), StoryFontSize, &cellHeight);
  if (!sheet) return Fail(path + " (font " + StoryFontFile() + " missing)");
  PALETTE pal;
  for (int i = 0; i < 256; i++) pal[i].r = pal[i].g = pal[i].b = pal[i].filler = 0;
  pal[1].r = pal[1].g = pal[1].b = 63;  // glyph pixels
  pal[255].r = pal[255].g = 63;         // cell borders
  const bool ok = save_pcx(path.c_str(), sheet, pal) == 0;
  destroy_bitmap(sheet);
  return ok || Fail(path);
}

}  // namespace

std::string StoryFontFile() { return TheFonts().serifBold; }

bool GenerateAll(const std::string &dataDir, const std::string &previewDir, const std::string &fontSheet) {
  mkdir(dataDir.c_str(), 0755);
  mkdir((dataDir + "/icons").c_str(), 0755);
  mkdir(previewDir.c_str(), 0755);
  const Fonts f = TheFonts();
  std::vector<BITMAP *> sprites;
  std::vector<SheetEntry> sheet;
  bool ok = WriteSprites(dataDir, sprites, sheet);
  if (ok) {
    BITMAP *contact = ContactSheet(sheet, f);
    ok = SavePng(previewDir + "/contact_sheet.png", contact, false) || Fail("contact_sheet.png");
    destroy_bitmap(contact);
  }
  for (BITMAP *b : sprites)
    if (b) destroy_bitmap(b);
  return ok && WritePictures(dataDir, previewDir, f) && WriteIcons(dataDir) && WriteFontSheet(fontSheet);
}

}  // namespace art
