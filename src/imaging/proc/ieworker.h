// What the processing workers share: the rectangle they walk, cut to the
// bitmap, and the progress they report after each row.
#pragma once

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// [x1, x2) x [y1, y2) cut to the bitmap. The far edges are clamped as every
// worker does; the near edges too, so that a rectangle starting left of or
// above the picture never reaches outside its rows.
struct TIEWorkRect {
  int x1, y1, x2, y2;
  TIEWorkRect(const TBitmap* bitmap, int left, int top, int right, int bottom)
      : x1(std::max(left, 0)),
        y1(std::max(top, 0)),
        x2(std::min(right, bitmap->GetWidth())),
        y2(std::min(bottom, bitmap->GetHeight())) {}
  bool Empty() const { return x1 >= x2 || y1 >= y2; }
  int Width() const { return x2 - x1; }
  int Height() const { return y2 - y1; }
};

// The workers' row progress: after row y, Trunc((y - y1 + 1) x (100 /
// (y2 - 1 - y1 + 0.5))), so the last row reports a little over 100.
class TIERowProgress {
 public:
  TIERowProgress(const TIEProgressEvent& onProgress, TObject* sender, int y1, int y2)
      : onProgress_(onProgress), sender_(sender), y1_(y1), step_(100.0 / (y2 - 1 - y1 + 0.5)) {}
  void Row(int y) const {
    if (onProgress_) onProgress_(sender_, static_cast<int>((y - y1_ + 1) * step_));
  }

 private:
  const TIEProgressEvent& onProgress_;
  TObject* sender_;
  int y1_;
  double step_;
};

// Whole-picture progress of the channel and gamma routines: Trunc(r x 100 / height)
// after row r, counted from 0.
inline void IEReportRow(const TIEProgressEvent& onProgress, TObject* sender, int row, int height) {
  if (onProgress) onProgress(sender, static_cast<int>(row * (100.0 / height)));
}

// Round to the nearest integer, halves to even, as the run time's Round,
// without its range checks (for values known to be small).
inline int IERoundSmall(double value) { return static_cast<int>(std::nearbyint(value)); }

inline uint8_t IEClampByte(int64_t value) { return static_cast<uint8_t>(std::clamp<int64_t>(value, 0, 255)); }

inline TRGB* IERGBRow(TBitmap* bitmap, int y) { return reinterpret_cast<TRGB*>(bitmap->ScanLine(y)); }

inline bool IEIs24Bit(const TBitmap* bitmap) { return bitmap && bitmap->GetPixelFormat() == pf24bit; }

// Calls pixel(TRGB&) for every pixel of the rectangle of a pf24bit bitmap,
// reporting row progress; nothing for other formats.
template <class PixelFn>
void IEForEachPixel24(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& onProgress,
                      TObject* sender, PixelFn pixel) {
  if (!IEIs24Bit(bitmap)) return;
  const TIEWorkRect r(bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  const TIERowProgress progress(onProgress, sender, r.y1, r.y2);
  for (int y = r.y1; y < r.y2; ++y) {
    TRGB* row = IERGBRow(bitmap, y);
    for (int x = r.x1; x < r.x2; ++x) pixel(row[x]);
    progress.Row(y);
  }
}

// A new level for every old one, per channel.
using TIELevelTable = std::array<uint8_t, 256>;

// Maps each channel of the rectangle through its table.
inline void IEApplyLevelTables(TBitmap* bitmap, const TIELevelTable& red, const TIELevelTable& green,
                               const TIELevelTable& blue, int x1, int y1, int x2, int y2,
                               const TIEProgressEvent& onProgress, TObject* sender) {
  IEForEachPixel24(bitmap, x1, y1, x2, y2, onProgress, sender, [&](TRGB& p) {
    p.b = blue[p.b];
    p.g = green[p.g];
    p.r = red[p.r];
  });
}
