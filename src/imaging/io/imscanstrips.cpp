// Strips of rows from the scanner into the bitmap, every size checked.
#include <algorithm>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/io/imscan.h"

namespace {

// Bytes one row of `columns` pixels needs.
int64_t RowBytes(int64_t columns, int bitsPerPixel) { return (columns * bitsPerPixel + 7) / 8; }

bool Fits(TIEBitmap* bitmap, const TIETWStrip& s, int bitsPerPixel) {
  if (!bitmap) return false;
  TIEPixelFormat need = bitsPerPixel == 1 ? ie1g : ie24RGB;
  if ((bitsPerPixel != 1 && bitsPerPixel != 8 && bitsPerPixel != 24) || bitmap->GetPixelFormat() != need)
    return false;
  if (s.Columns <= 0 || s.Rows <= 0 || s.XOffset < 0 || s.YOffset < 0 || s.BytesPerRow <= 0) return false;
  if (s.BytesPerRow < RowBytes(s.Columns, bitsPerPixel)) return false;
  int64_t needed = int64_t(s.Rows - 1) * s.BytesPerRow + RowBytes(s.Columns, bitsPerPixel);
  return static_cast<int64_t>(s.Bytes.size()) >= needed;
}

}  // namespace

bool IETW_PasteStrip(TIEBitmap* bitmap, const TIETWStrip& s, int bitsPerPixel) {
  if (!Fits(bitmap, s, bitsPerPixel)) return false;
  // The part inside the bitmap; a strip wholly outside writes nothing.
  int64_t columns = std::min<int64_t>(s.Columns, int64_t(bitmap->GetWidth()) - s.XOffset);
  int64_t rows = std::min<int64_t>(s.Rows, int64_t(bitmap->GetHeight()) - s.YOffset);
  if (columns <= 0 || rows <= 0) return true;
  for (int64_t r = 0; r < rows; ++r) {
    const uint8_t* src = s.Bytes.data() + r * s.BytesPerRow;
    uint8_t* dst = bitmap->GetScanLine(static_cast<int>(s.YOffset + r));
    if (bitsPerPixel == 1) {
      _CopyBits(dst, src, s.XOffset, 0, columns, RowBytes(s.Columns, 1));
      continue;
    }
    TRGB* px = reinterpret_cast<TRGB*>(dst) + s.XOffset;
    for (int64_t x = 0; x < columns; ++x) {
      if (bitsPerPixel == 8) {
        px[x] = TRGB{src[x], src[x], src[x]};
      } else {
        const uint8_t* rgb = src + 3 * x;
        px[x] = TRGB{rgb[2], rgb[1], rgb[0]};
      }
    }
  }
  return true;
}

bool TIETWStripList::Add(TIETWStrip&& strip) {
  int64_t size = static_cast<int64_t>(strip.Bytes.size()) + static_cast<int64_t>(sizeof(TIETWStrip));
  if (bytes_ + size > maxBytes_) return false;
  bytes_ += size;
  strips_.push_back(std::move(strip));
  return true;
}
