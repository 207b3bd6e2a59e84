#include "imaging/proc/iedensity.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "imaging/core/ievalues.h"
#include "imaging/proc/ieworker.h"
#include "platform/graphics.h"

namespace {

// Sums scaled so that the largest becomes `scale`, truncated.
void Normalise(const std::vector<int64_t>& sums, std::span<int> out, int scale) {
  std::fill(out.begin(), out.end(), 0);
  const int64_t largest = sums.empty() ? 0 : *std::max_element(sums.begin(), sums.end());
  if (largest == 0) return;
  const size_t n = std::min(sums.size(), out.size());
  for (size_t i = 0; i < n; ++i) out[i] = int(double(sums[i]) / double(largest) * scale);
}

}  // namespace

void _CalcDensityHistogram(TBitmap* Bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                           TObject* Sender, std::span<int> RowDensity, std::span<int> ColumnDensity,
                           int RowScale, int ColumnScale) {
  std::fill(RowDensity.begin(), RowDensity.end(), 0);
  std::fill(ColumnDensity.begin(), ColumnDensity.end(), 0);
  if (!Bitmap) return;
  const TPixelFormat format = Bitmap->GetPixelFormat();
  if (format != pf24bit && format != pf1bit) return;
  const TIEWorkRect r(Bitmap, x1, y1, x2, y2);
  if (r.Empty()) return;
  std::vector<int64_t> rows(size_t(r.Height()), 0), columns(size_t(r.Width()), 0);
  const TIERowProgress progress(OnProgress, Sender, r.y1, r.y2);
  for (int y = r.y1; y < r.y2; ++y) {
    const uint8_t* row = Bitmap->ScanLine(y);
    int64_t sum = 0;
    for (int x = r.x1; x < r.x2; ++x) {
      const int value = format == pf24bit ? _RGBToGray(reinterpret_cast<const TRGB*>(row)[x])
                                          : (row[x >> 3] >> (7 - (x & 7))) & 1;
      sum += value;
      columns[size_t(x - r.x1)] += value;
    }
    rows[size_t(y - r.y1)] = sum;
    progress.Row(y);
  }
  Normalise(rows, RowDensity, RowScale);
  Normalise(columns, ColumnDensity, ColumnScale);
}
