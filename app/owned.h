// Owners for the library's resources while one function holds them: the
// bitmap or datafile is released when its owner goes out of scope, on every
// way out of the function.
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
