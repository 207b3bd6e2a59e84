#include "imaging/proc/iemeasure.h"

#include <cstdint>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

bool _IsGrayScaleBitmap(TObject* Object) {
  auto* bitmap = dynamic_cast<TBitmap*>(Object);
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return false;
  for (int y = 0; y < bitmap->GetHeight(); ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(bitmap->ScanLine(y));
    for (int x = 0; x < bitmap->GetWidth(); ++x)
      if (row[x].b != row[x].g || row[x].g != row[x].r) return false;
  }
  return true;
}

void _GetMediaContrastRGB(TBitmap* bitmap, int& red, int& green, int& blue) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return;
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  if (width <= 0 || height <= 0) {
    red = green = blue = 128;
    return;
  }
  int64_t totalR = 0, totalG = 0, totalB = 0;
  for (int y = 0; y < height; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(bitmap->ScanLine(y));
    int64_t r = 0, g = 0, b = 0;
    for (int x = 0; x < width; ++x) {
      r += row[x].r;
      g += row[x].g;
      b += row[x].b;
    }
    totalR += r / width;
    totalG += g / width;
    totalB += b / width;
  }
  red = int(totalR / height);
  green = int(totalG / height);
  blue = int(totalB / height);
}
