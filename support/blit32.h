// Quick drawing for the work of every frame that covers the whole screen:
// the sky fill, the layers laid over (the HUD text, the credits of stage
// one, the present) and the clouds. On 32-bit memory bitmaps these routines
// do the work themselves, four or eight pixels at a time, and give exactly
// the pixels of the library call they stand for; anything else (the display,
// other depths) goes to that library call. Clipping follows the library: the
// destination's clip rectangle when clipping is on.
#pragma once
#include <allegro.h>

// Whether the 256-bit registers are used where the processor has them (they
// are by default); returns whether they are now in use. For tests, which
// check both ways.
bool Blit32UseWideRegisters(bool bWanted);

// A rectangle of a bitmap, in that bitmap's pixels.
struct PixelRect {
  int iX, iY, iWidth, iHeight;
};

// The smallest rectangle holding both (an empty one, width or height 0 or
// less, adds nothing).
PixelRect RectUnion(const PixelRect &a, const PixelRect &b);

// The box a line of text written at (iX, iY) with the font fills.
PixelRect TextBox(const FONT *pFont, const char *cText, int iX, int iY);

// draw_sprite(pDest, pSprite, iX, iY): the sprite's pixels except those of
// the mask colour (magenta).
void DrawSprite32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY);

// The same call for a sprite whose pixels outside rPart (sprite pixels) are
// all magenta: only rPart is read, the result is that of draw_sprite.
void DrawSpritePart32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY, const PixelRect &rPart);

// set_trans_blender(0, 0, 0, iAlpha), remembered: the game changes the
// translucency blender only through here and DrawTransSprite32, so a screen
// that draws at the alpha the blender holds can ask TransAlpha() for it.
void SetTransAlpha(int iAlpha);
// The alpha last set by SetTransAlpha or a translucent draw below (0 before).
int TransAlpha();

// set_trans_blender(0, 0, 0, iAlpha), then draw_trans_sprite(pDest, pSprite,
// iX, iY): every non-magenta sprite pixel mixed into the destination,
// iAlpha (0..255) being the sprite's share. The blender stays set.
void DrawTransSprite32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY, int iAlpha);

// The same for a sprite that is magenta outside rPart.
void DrawTransSpritePart32(BITMAP *pDest, BITMAP *pSprite, int iX, int iY,
                           const PixelRect &rPart, int iAlpha);

// rectfill(pDest, x1, y1, x2, y2, iColour): corners inclusive, in either
// order. Outside the solid drawing mode it is the library's call.
void FillRect32(BITMAP *pDest, int x1, int y1, int x2, int y2, int iColour);

// blit(pSource, pDest, ...): an opaque copy of a rectangle, cut to the source
// and to the destination's clip rectangle (which blit heeds even with
// clipping turned off).
void Blit32(BITMAP *pSource, BITMAP *pDest, int iSourceX, int iSourceY, int iDestX, int iDestY,
            int iWidth, int iHeight);
