#include "imaging/core/iergbrows.h"

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"

TIERGBRows::TIERGBRows(TBitmap* bitmap) : Bitmap_(bitmap) {
  if (bitmap && bitmap->GetPixelFormat() == pf24bit && !bitmap->GetEmpty()) {
    Width_ = bitmap->GetWidth();
    Height_ = bitmap->GetHeight();
  }
}

TIERGBRows::TIERGBRows(TIEBaseBitmap* bitmap) : Buffer_(bitmap) {
  if (bitmap && bitmap->GetPixelFormat() == ie24RGB && bitmap->GetWidth() > 0 &&
      bitmap->GetHeight() > 0) {
    Width_ = bitmap->GetWidth();
    Height_ = bitmap->GetHeight();
  }
}

const TRGB* TIERGBRows::Row(int y) const {
  if (Bitmap_) return reinterpret_cast<const TRGB*>(Bitmap_->ScanLine(y));
  return reinterpret_cast<const TRGB*>(Buffer_->GetScanLine(y));
}
