// Pixel buffer conversions.
#include <cstring>
#include <vector>

#include "imaging/core/iebitmap.h"

namespace {

uint8_t GrayOf(uint8_t r, uint8_t g, uint8_t b) {
  return static_cast<uint8_t>((21u * r + 71u * g + 8u * b) / 100u);
}

// Converts one row of `width` pixels; false when the pair is not handled.
bool ConvertRow(TIEPixelFormat from, TIEPixelFormat to, const uint8_t* src, uint8_t* dst, int width) {
  if (from == ie24RGB && to == ie8g) {
    for (int x = 0; x < width; ++x, src += 3) dst[x] = GrayOf(src[2], src[1], src[0]);
  } else if (from == ie8g && to == ie24RGB) {
    for (int x = 0; x < width; ++x, dst += 3) dst[0] = dst[1] = dst[2] = src[x];
  } else if (from == ie1g && to == ie24RGB) {
    for (int x = 0; x < width; ++x, dst += 3)
      dst[0] = dst[1] = dst[2] = (src[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
  } else {
    return false;
  }
  return true;
}

bool CanConvert(TIEPixelFormat from, TIEPixelFormat to) {
  uint8_t src[4] = {}, dst[4] = {};
  return ConvertRow(from, to, src, dst, 0);
}

}  // namespace

void TIEBitmap::ConvertToPixelFormat(TIEPixelFormat format) {
  if (format == PixelFormat || !CanConvert(PixelFormat, format)) return;
  TIEBitmap old;
  SwitchTo(&old);
  Allocate(old.Width, old.Height, format);
  // On file storage only one row of each bitmap is mapped at a time, so the
  // source row is read before the destination row is asked for.
  std::vector<uint8_t> row(static_cast<size_t>(old.RowLen));
  for (int y = 0; y < Height; ++y) {
    std::memcpy(row.data(), old.GetScanLine(y), row.size());
    ConvertRow(old.PixelFormat, format, row.data(), GetScanLine(y), Width);
  }
  UpdateTBitmapPalette();
}
