// Row access to a 24-bit picture held either as a platform bitmap or as a
// pixel buffer, for code that reads pixels as TRGB and does not care which.
// A picture that is not 24-bit reads as empty (0 x 0), so a reader never
// walks 3-byte pixels over a row that holds fewer bytes.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

class TBitmap;
class TIEBaseBitmap;

class TIERGBRows {
 public:
  TIERGBRows(TBitmap* bitmap);
  TIERGBRows(TIEBaseBitmap* bitmap);

  int Width() const { return Width_; }
  int Height() const { return Height_; }
  int64_t PixelCount() const { return int64_t(Width_) * Height_; }
  // Row y (0 = top). Asked for anew on every call, because a pixel buffer
  // with file storage keeps only the row it returned last.
  const TRGB* Row(int y) const;

 private:
  TBitmap* Bitmap_ = nullptr;
  TIEBaseBitmap* Buffer_ = nullptr;
  int Width_ = 0;
  int Height_ = 0;
};
