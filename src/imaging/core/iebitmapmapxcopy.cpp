// Rectangles between a bottom-up pixel buffer and a platform bitmap or a
// picture buffer.
#include <algorithm>
#include <cstring>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/ievirtual.h"
#include "platform/graphics.h"

namespace {

template <typename RowOf>
void MapXCopy(uint8_t* buffer, int64_t bufferRowLen, int32_t bufferBitCount, int32_t bitmapBits, int32_t bitmapWidth,
              int32_t bitmapHeight, RowOf rowOf, int32_t bufX, int32_t bufY, int32_t bmpX, int32_t bmpY, int32_t width,
              int32_t rows, int direction) {
  if (bitmapBits != 1 && bitmapBits != 8 && bitmapBits != 24) return;
  // Stay inside the bitmap.
  width = std::min(width, bitmapWidth - bmpX);
  if (!buffer || width <= 0 || rows <= 0 || bmpX < 0 || bufX < 0 || bufY < 0) return;
  const int64_t bmpRowBytes = bitmapBits == 1 ? (int64_t(bitmapWidth) + 7) / 8 : int64_t(bitmapWidth) * bitmapBits / 8;
  for (int32_t k = 0; k < rows; ++k) {
    const int32_t row = bmpY + rows - 1 - k;
    if (row < 0 || row >= bitmapHeight) continue;
    uint8_t* bufRow = buffer + (int64_t(bufY) + k) * bufferRowLen;
    uint8_t* bmpRow = rowOf(row);
    switch (bitmapBits) {
      case 1:
        if (direction == 0) {
          _CopyBits(bmpRow, bufRow, bmpX, bufX, width, bufferRowLen);
        } else if (bufferBitCount == 24) {
          for (int32_t x = 0; x < width; ++x)
            std::memset(bufRow + (int64_t(bufX) + x) * 3, _GetPixelbw(bmpRow, int64_t(bmpX) + x) ? 255 : 0, 3);
        } else {
          _CopyBits(bufRow, bmpRow, bufX, bmpX, width, bmpRowBytes);
        }
        break;
      case 8:
        if (direction == 0)
          std::memcpy(bmpRow + bmpX, bufRow + bufX, size_t(width));
        else
          std::memcpy(bufRow + bufX, bmpRow + bmpX, size_t(width));
        break;
      default:
        if (direction == 0)
          std::memcpy(bmpRow + int64_t(bmpX) * 3, bufRow + int64_t(bufX) * 3, size_t(width) * 3);
        else
          std::memcpy(bufRow + int64_t(bufX) * 3, bmpRow + int64_t(bmpX) * 3, size_t(width) * 3);
    }
  }
}

int32_t BitsOf(TPixelFormat format) {
  switch (format) {
    case pf1bit: return 1;
    case pf8bit: return 8;
    case pf24bit: return 24;
    default: return 0;
  }
}

int32_t BitsOf(TIEPixelFormat format) {
  switch (format) {
    case ie1g: return 1;
    case ie8p:
    case ie8g: return 8;
    case ie24RGB: return 24;
    default: return 0;
  }
}

}  // namespace

void IEBitmapMapXCopy(uint8_t* buffer, int64_t bufferRowLen, int32_t bufferBitCount, TBitmap* bitmap, int32_t bufX,
                      int32_t bufY, int32_t bmpX, int32_t bmpY, int32_t width, int32_t rows, int direction) {
  if (!bitmap) return;
  MapXCopy(buffer, bufferRowLen, bufferBitCount, BitsOf(bitmap->GetPixelFormat()), bitmap->GetWidth(),
           bitmap->GetHeight(), [bitmap](int32_t y) { return bitmap->ScanLine(y); }, bufX, bufY, bmpX, bmpY, width,
           rows, direction);
}

void IEBitmapMapXCopy(uint8_t* buffer, int64_t bufferRowLen, int32_t bufferBitCount, TIEBitmap* bitmap, int32_t bufX,
                      int32_t bufY, int32_t bmpX, int32_t bmpY, int32_t width, int32_t rows, int direction) {
  if (!bitmap) return;
  MapXCopy(buffer, bufferRowLen, bufferBitCount, BitsOf(bitmap->PixelFormat), bitmap->Width, bitmap->Height,
           [bitmap](int32_t y) { return bitmap->GetScanLine(y); }, bufX, bufY, bmpX, bmpY, width, rows, direction);
}
