// Owners for the library's bitmaps and datafiles, the one way the game holds
// them: a local, a member or a process-wide holder releases its bitmap or
// datafile when it goes out of scope or is reset, on every way out. Holders
// that live as long as the process are reset by the shut-down; one still
// holding something when the process ends, after the library has shut down,
// leaves it to the process's end (the library can no longer release it).
#pragma once
#include <allegro.h>

#include <memory>

struct BitmapDeleter {
  void operator()(BITMAP *pBitmap) const {
    if (pBitmap != nullptr && system_driver != nullptr) destroy_bitmap(pBitmap);
  }
};
using OwnedBitmap = std::unique_ptr<BITMAP, BitmapDeleter>;

struct DatafileDeleter {
  void operator()(DATAFILE *pData) const {
    if (pData != nullptr && system_driver != nullptr) unload_datafile(pData);
  }
};
using OwnedDatafile = std::unique_ptr<DATAFILE, DatafileDeleter>;
