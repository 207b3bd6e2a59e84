// Pixel surfaces that a canvas draws on: a view of rows in any of the
// platform's pixel layouts (a bitmap's image, a DIB section's bottom-up
// block, a window or printer page image), with conversion between colours
// and the values stored, and the raster operations of the platform applied
// to stored values (so that XOR drawing is exact in every layout).
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

#include "platform/wintypes.h"

// Colours inside the drawing layer are 0x00RRGGBB.
using TRgb = uint32_t;
inline TRgb RgbOfColorRef(int32_t c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }
inline int32_t ColorRefOfRgb(TRgb c) { return int32_t(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)); }

enum class TSurfaceKind { Indexed1, Indexed4, Indexed8, Rgb555, Rgb565, Bgr24, Bgrx32 };

class TPixelSurface {
 public:
  uint8_t* top = nullptr;  // address of row 0, the top row
  int64_t stride = 0;      // bytes to the next row down; negative for bottom-up blocks
  int width = 0;
  int height = 0;
  TSurfaceKind kind = TSurfaceKind::Bgr24;
  std::vector<TRgb> palette;  // for the indexed kinds

  bool Valid() const { return top != nullptr && width > 0 && height > 0; }
  uint8_t* Row(int y) const { return top + int64_t(y) * stride; }
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
  int BitCount() const;
  // All bits of a stored value (the "white" of raster operations).
  uint32_t ValueMask() const;

  uint32_t Get(int x, int y) const;
  void Set(int x, int y, uint32_t value);

  // Stored value of a colour: the nearest palette entry for indexed kinds.
  uint32_t ToValue(TRgb rgb) const;
  TRgb ToRgb(uint32_t value) const;

  // Views of a QImage (Mono, Indexed8, RGB555, RGB16, BGR888, RGB32); an
  // invalid surface for other formats and for null images.
  static TPixelSurface OfImage(QImage& image);
  // A view of a device-independent pixel block: `height` below 0 means rows
  // top-down, else bottom-up; rows padded to 4 bytes.
  static TPixelSurface OfDib(void* bits, int width, int height, int bitCount, uint32_t compression,
                             const RGBQUAD* colors, int colorCount, const uint32_t* masks);
};

// Caches nearest-palette lookups for one operation.
class TValueCache {
 public:
  explicit TValueCache(const TPixelSurface& surface) : surface_(surface) {}
  uint32_t ToValue(TRgb rgb);

 private:
  const TPixelSurface& surface_;
  std::vector<std::pair<TRgb, uint32_t>> recent_;
};

// Binary raster operation (pen mode) number 1..16 on stored values.
uint32_t ApplyRop2(int rop2, uint32_t pen, uint32_t dest, uint32_t mask);
// Ternary raster operation (its code's truth-table byte) on stored values.
uint32_t ApplyRop3(uint32_t rop3, uint32_t pattern, uint32_t source, uint32_t dest, uint32_t mask);
// True when the raster operation reads the source.
bool Rop3UsesSource(uint32_t rop3);
