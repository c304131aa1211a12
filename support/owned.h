// Owners for the library's bitmaps and datafiles, the one way the game holds
// them: a local or a member releases its bitmap or datafile when it goes out
// of scope, on every way out. A holder that lives as long as the process is
// made with ProcessWide and reset by the function that ends its use (the
// shut-down, the end of a stage); it is never destroyed, so whatever it still
// holds when the process ends, after the library has shut down, is left to
// the process's end.
#pragma once
#include <allegro.h>

#include <memory>

struct BitmapDeleter {
  void operator()(BITMAP *pBitmap) const {
    if (pBitmap != nullptr) destroy_bitmap(pBitmap);
  }
};
using OwnedBitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

struct DatafileDeleter {
  void operator()(DATAFILE *pData) const {
    if (pData != nullptr) unload_datafile(pData);
  }
};
using OwnedDatafile = std::unique_ptr<DATAFILE, DatafileDeleter>;

// A holder for the whole life of the process, never destroyed (see above).
template <class Holder>
Holder &ProcessWide() {
  return *new Holder();
}
