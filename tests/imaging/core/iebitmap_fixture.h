// Pixel buffers for the tests of the pixel buffer and its conversions.
#pragma once

#include <memory>

#include "imaging/core/iebitmap.h"

// A bitmap that lands in the given storage whatever its size.
inline std::unique_ptr<TIEBitmap> MakeBitmap(TIELocation location, int width, int height,
                                             TIEPixelFormat format) {
  auto bitmap = std::make_unique<TIEBitmap>();
  bitmap->FileThreshold = 0;
  bitmap->Location = location;
  bitmap->Allocate(width, height, format);
  return bitmap;
}

// Gives a platform bitmap a format and a size.
inline void ShapePlatformBitmap(TBitmap& bitmap, TPixelFormat format, int width, int height) {
  bitmap.SetPixelFormat(format);
  bitmap.SetSize(width, height);
}
