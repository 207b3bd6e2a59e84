// Turning a TIFF page upright from its Orientation tag (TIFF 6.0: where
// row 0 and column 0 of the stored picture belong on the display).
#include "imaging/core/iebitmap.h"
#include "imaging/core/iebits.h"
#include "imaging/core/iemask.h"
#include "imaging/io/tiffreadvars.h"

namespace {

// Where the stored pixel (x, y) of a w x h picture goes.
struct TMapping {
  bool swap;  // the result is h x w
  int32_t orientation;

  void Apply(int64_t x, int64_t y, int64_t w, int64_t h, int64_t& dx, int64_t& dy) const {
    switch (orientation) {
      case 2: dx = w - 1 - x; dy = y; break;                  // mirrored
      case 3: dx = w - 1 - x; dy = h - 1 - y; break;          // upside down
      case 4: dx = x; dy = h - 1 - y; break;                  // flipped
      case 5: dx = y; dy = x; break;                          // transposed
      case 6: dx = h - 1 - y; dy = x; break;                  // a quarter turn clockwise
      case 7: dx = h - 1 - y; dy = w - 1 - x; break;          // transverse
      default: dx = y; dy = w - 1 - x; break;                 // 8: a quarter turn anticlockwise
    }
  }
};

}  // namespace

void IETIFFApplyOrientation(TIEBitmap* bitmap, TIEMask* mask, int32_t orientation) {
  if (orientation < 2 || orientation > 8) return;
  const TMapping map{orientation >= 5, orientation};
  const int64_t w = bitmap->Width;
  const int64_t h = bitmap->Height;
  const TIEPixelFormat format = bitmap->PixelFormat;
  if (w <= 0 || h <= 0 || (format != ie1g && format != ie24RGB)) return;

  TIEBitmap turned;
  turned.Location = ieMemory;
  turned.Allocate(static_cast<int>(map.swap ? h : w), static_cast<int>(map.swap ? w : h), format);
  for (int64_t y = 0; y < h; ++y) {
    const uint8_t* src = bitmap->GetScanLine(static_cast<int>(y));
    for (int64_t x = 0; x < w; ++x) {
      int64_t dx = 0;
      int64_t dy = 0;
      map.Apply(x, y, w, h, dx, dy);
      uint8_t* dst = turned.GetScanLine(static_cast<int>(dy));
      if (format == ie1g) {
        _SetPixelbw(dst, dx, _GetPixelbw(src, x));
      } else {
        dst[3 * dx] = src[3 * x];
        dst[3 * dx + 1] = src[3 * x + 1];
        dst[3 * dx + 2] = src[3 * x + 2];
      }
    }
  }
  bitmap->Assign(&turned);

  // The transparency turns with the picture.
  if (!mask || mask->Width != w || mask->Height != h || mask->BitCount != 8) return;
  TIEMask source;
  source.Assign(mask);
  mask->AllocateBits(turned.Width, turned.Height, 8);
  for (int64_t y = 0; y < h; ++y)
    for (int64_t x = 0; x < w; ++x) {
      int64_t dx = 0;
      int64_t dy = 0;
      map.Apply(x, y, w, h, dx, dy);
      mask->SetPixel(static_cast<int32_t>(dx), static_cast<int32_t>(dy),
                     source.GetPixel(static_cast<int32_t>(x), static_cast<int32_t>(y)));
    }
  mask->Full = source.Full;
}
