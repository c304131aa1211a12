// The picture and font generators of the game's content. Every function is
// deterministic: the same build gives the same pixels.
#pragma once
#include <allegro.h>

#include <string>

#include "canvas.h"

namespace art {

// TrueType files used for lettering in the pictures and for the story font.
struct Fonts {
  std::string serifBold, serif, sansBold, sans;
};

// Sprites: 32-bit bitmaps, magenta where transparent, frames on a grid.
BITMAP *MakeDragon();              // 80 x 110 frames, 4 wing beats in row 0
BITMAP *MakeShot(bool ice);        // 16 x 16, 4 frames in a row
BITMAP *MakeOrc(int kind);         // 2, 3, 4: orcs, 5: wizard; 24 x 32, 3 x 4 frames
BITMAP *MakeHut();                 // 64 x 64
BITMAP *MakeCloud(int kind);       // 1 or 2
BITMAP *MakeNodes();               // 32 x 32, 8 frames in a row

// The dragon in design units (80 x 110 frame) drawn through the view; wing
// beat 0 is the gliding pose with wings spread. Also used by title and icon.
void DrawDragon(Canvas &c, const View &v, int wingBeat);

// Full-screen pictures, 640 x 480, opaque.
BITMAP *MakeWorld(const Fonts &f);
BITMAP *MakeTitle(const Fonts &f);
// The title's scene with a large plaque for the Options screen.
BITMAP *MakeOptions(const Fonts &f);
BITMAP *MakeStageIntro(const Fonts &f);
BITMAP *MakeGameOver(const Fonts &f);
BITMAP *MakeLibraryLogo(const Fonts &f);
BITMAP *MakeMakerLogo(const Fonts &f);

// Desktop icon of `size` pixels square (mask colour outside the emblem).
BITMAP *MakeIcon(int size);

// Writes a 32-bit BMP (no palette, no metadata).
bool SaveBmp32(const std::string &path, BITMAP *bmp);

}  // namespace art
