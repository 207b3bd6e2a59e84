// Small platform bitmaps for the colour depth and measurement tests.
#pragma once

#include <algorithm>
#include <functional>
#include <memory>
#include <vector>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

inline TRGB Rgb(int r, int g, int b) { return TRGB{uint8_t(b), uint8_t(g), uint8_t(r)}; }
inline TRGB Grey(int v) { return Rgb(v, v, v); }

inline std::unique_ptr<TBitmap> Bitmap24(int width, int height,
                                         const std::function<TRGB(int x, int y)>& pixel) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
    for (int x = 0; x < width; ++x) row[x] = pixel(x, y);
  }
  return bitmap;
}

// A one-row 24-bit bitmap of the given pixels.
inline std::unique_ptr<TBitmap> Row24(const std::vector<TRGB>& pixels) {
  return Bitmap24(int(pixels.size()), 1, [&](int x, int) { return pixels[x]; });
}

inline TRGB Pixel24(TBitmap* bitmap, int x, int y) {
  return reinterpret_cast<const TRGB*>(bitmap->ScanLine(y))[x];
}

inline bool Bit(const uint8_t* row, int x) { return row[x >> 3] & (0x80 >> (x & 7)); }
inline bool Bit(TBitmap* bitmap, int x, int y) { return Bit(bitmap->ScanLine(y), x); }

inline uint32_t TRGB2Key(const TRGB& c) { return (uint32_t(c.r) << 16) | (c.g << 8) | c.b; }

// A pf1bit bitmap whose bits are set where white(x, y) says so.
inline std::unique_ptr<TBitmap> Bitmap1(int width, int height,
                                        const std::function<bool(int x, int y)>& white) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf1bit);
  bitmap->SetSize(width, height);
  for (int y = 0; y < height; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    std::fill_n(row, bitmap->BytesPerLine(), 0);
    for (int x = 0; x < width; ++x)
      if (white(x, y)) row[x >> 3] |= uint8_t(0x80 >> (x & 7));
  }
  return bitmap;
}
