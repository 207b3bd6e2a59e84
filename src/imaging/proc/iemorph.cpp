#include "imaging/proc/iemorph.h"

#include <algorithm>
#include <vector>

#include "imaging/core/iebits.h"

namespace {

struct TRect2 {
  int x1, y1, x2, y2;
  int Columns() const { return x2 - x1; }
  int Rows() const { return y2 - y1; }
};

// The rectangle cut to the picture; false when nothing is left.
bool ClampRect(TBitmap* bitmap, int& x1, int& y1, int& x2, int& y2) {
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, bitmap->GetWidth());
  y2 = std::min(y2, bitmap->GetHeight());
  return x1 < x2 && y1 < y2;
}

// One maximum (or minimum) pass over the rectangle, reading a copy taken
// before it.
void MorphPass(TBitmap* bitmap, const TRect2& r, int radius, bool maximum, int pass, double step,
               const TIEProgressEvent& onProgress, TObject* sender) {
  const int columns = r.Columns(), rows = r.Rows();
  std::vector<uint8_t> grey(size_t(columns) * rows);
  std::vector<TRGB> colour(size_t(columns) * rows);
  for (int y = 0; y < rows; ++y) {
    const auto* row = reinterpret_cast<const TRGB*>(bitmap->ScanLine(r.y1 + y)) + r.x1;
    for (int x = 0; x < columns; ++x) {
      colour[size_t(y) * columns + x] = row[x];
      grey[size_t(y) * columns + x] = uint8_t((row[x].r * 21 + row[x].g * 71 + row[x].b * 8) / 100);
    }
  }
  for (int y = 0; y < rows; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(r.y1 + y)) + r.x1;
    // The clamped window visits the same pixels in the same order as the
    // full window with repeated border pixels, which never win a tie.
    const int top = int(std::max<int64_t>(int64_t(y) - radius, 0));
    const int bottom = int(std::min<int64_t>(int64_t(y) + radius, rows - 1));
    for (int x = 0; x < columns; ++x) {
      const int left = int(std::max<int64_t>(int64_t(x) - radius, 0));
      const int right = int(std::min<int64_t>(int64_t(x) + radius, columns - 1));
      int best = maximum ? 0 : 255;
      size_t winner = size_t(y) * columns + x;
      for (int wy = top; wy <= bottom; ++wy)
        for (int wx = left; wx <= right; ++wx) {
          const size_t at = size_t(wy) * columns + wx;
          if (maximum ? grey[at] > best : grey[at] < best) {
            best = grey[at];
            winner = at;
          }
        }
      row[x] = colour[winner];
    }
    if (onProgress) onProgress(sender, int((y + 1 + pass * rows) * step));
  }
}

}  // namespace

void _MorphFilter(TBitmap* bitmap, int radius, int operation, int x1, int y1, int x2, int y2,
                  const TIEProgressEvent& onProgress, TObject* sender) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit || operation < 0 || operation > 3) return;
  if (!ClampRect(bitmap, x1, y1, x2, y2) || radius < 0) return;
  const TRect2 r{x1, y1, x2, y2};
  const bool twoPasses = operation >= 2;
  double step = 100.0 / (r.Rows() - 1 + 0.5);
  if (twoPasses) step /= 2;
  // Opening is a minimum pass first, closing a maximum pass first.
  const bool firstMaximum = operation == 0 || operation == 3;
  MorphPass(bitmap, r, radius, firstMaximum, 0, step, onProgress, sender);
  if (twoPasses) MorphPass(bitmap, r, radius, !firstMaximum, 1, step, onProgress, sender);
}

void _IERemoveIsolatedPixels1Bit(TBitmap* bitmap, int x1, int y1, int x2, int y2, int colour, int size) {
  if (!bitmap || size == 0 || bitmap->GetPixelFormat() != pf1bit) return;
  if (!ClampRect(bitmap, x1, y1, x2, y2)) return;
  const bool examined = colour != 0;
  const int columns = x2 - x1, rows = y2 - y1, stride = columns + 2;
  // Counter (r + 1, c + 1) belongs to pixel (c, r) of the rectangle.
  std::vector<uint8_t> counters(size_t(stride) * (rows + 2), 0);
  for (int r = 0; r < rows; ++r) {
    const uint8_t* row = bitmap->ScanLine(y1 + r);
    for (int c = 0; c < columns; ++c) {
      if ((_GetPixelbw(row, x1 + c) != 0) != examined) continue;
      for (int dr = 0; dr < 3; ++dr)
        for (int dc = 0; dc < 3; ++dc) ++counters[size_t(r + dr) * stride + (c + dc)];
    }
  }
  for (int r = 0; r < rows; ++r) {
    uint8_t* row = bitmap->ScanLine(y1 + r);
    for (int c = 0; c < columns; ++c) {
      const int n = counters[size_t(r + 1) * stride + (c + 1)];
      if (n >= 1 && n <= size) _SetPixelbw(row, x1 + c, examined ? 0 : 1);
    }
  }
}
