// A look at a picture file's header before the library's loader reads it:
// the loader trusts the header's sizes and offsets, and a damaged file could
// make it read far past its end or ask for a gigantic bitmap.
#pragma once
#include <allegro.h>

// True when the file is a BMP or PCX whose header is consistent with the
// file's length and with a picture the game could hold; false otherwise
// (also for a missing or unreadable file). Other formats are left to the
// library and answer true.
bool ImageFileLooksSound(const char *cName);

// load_bitmap for a file that passed the check, else nullptr. The palette is
// filled as load_bitmap fills it; without one a cleared palette of our own
// is passed, as the library converts low-depth pictures with all 256 colours
// whether or not the file holds them.
BITMAP *LoadPictureChecked(const char *cName, RGB *pPalette);
