// A look through a datafile before the library's loader reads it: the loader
// trusts every count and size in the file, and a damaged "script.dat" or
// "effects.dat" could make it read past its end, allocate without bound or
// loop for minutes.
#pragma once
#include <allegro.h>

#include <cstddef>
#include <cstdint>

// True when the bytes (the datafile after its packfile magic, beginning with
// "ALL.") hold the announced objects with consistent sizes. Fonts, bitmaps,
// palettes, samples and nested datafiles are checked to their last byte;
// objects of other kinds the loader only copies are accepted as they are;
// kinds the game never stores (MIDI, sprites, animations) and objects
// compressed one by one are refused. Whatever passes loads: the library's loader frees its
// object list twice when an object fails to load halfway, so an object the
// loader could not make (a glyph depth it has no bitmaps for, say) is refused.
bool DatafileBytesLookSound(const uint8_t *pBytes, size_t uSize);

// Reads the file, undoes the packfile layer's whole-file compression as the
// library does, and checks it as above; false for a missing or unreadable
// file, and for a compressed one whose decompression in the library could
// read bytes the library never set.
bool DatafileLooksSound(const char *cName);

// load_datafile for a file that passed the check, else nullptr, so a damaged
// datafile is handled like a missing one.
DATAFILE *LoadDatafileChecked(const char *cName);
