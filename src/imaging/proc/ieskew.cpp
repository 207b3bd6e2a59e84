// Votes use fixed-point sines and cosines with 17 fractional bits and
// 64-bit products, and skip whole white bytes.
#include "imaging/proc/ieskew.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr double kOne = 131072.0;  // 1 << 17
constexpr int kTableRows = 1800;

// value / 2^17 rounded half away from zero.
int64_t Unscale(int64_t value) {
  const int64_t half = 65536;
  return value >= 0 ? (value + half) >> 17 : -((-value + half) >> 17);
}

}  // namespace

double _iehough(TBitmap* Bitmap, TProgressRec& Progress, int AngleRange, double Precision) {
  if (!Bitmap || Bitmap->GetPixelFormat() != pf1bit) return 0;
  const double p = std::trunc(Precision * 10) / 10;
  if (!(p >= 0.1 && p <= 1) || AngleRange < 0 || AngleRange > 180) return 0;
  const int w = Bitmap->GetWidth();
  const int h = Bitmap->GetHeight();
  if (w < 1 || h < 1) return 0;

  const int f = static_cast<int>(std::nearbyint(1 / p));  // halves to even
  const int rows = 180 * f;
  const int g = 90 * f;
  const int n = AngleRange * f / 2;
  const int d = static_cast<int>(std::trunc(std::sqrt(double(w) * w + double(h) * h) / 2));
  const int bins = 2 * d + 1;

  std::vector<int64_t> sine(kTableRows), cosine(kTableRows);
  const double step = 0.017453292519444445 / f;
  for (int i = 0; i < kTableRows; ++i) {
    sine[i] = static_cast<int64_t>(std::sin(i * step) * kOne);
    cosine[i] = static_cast<int64_t>(std::cos(i * step) * kOne);
  }

  std::vector<std::vector<int32_t>> votes(rows, std::vector<int32_t>(bins, 0));
  const int first = std::max(g - n, 0);
  const int last = std::min(g + n - 2, rows - 1);
  Progress.Counter = 0;
  for (int y = 0; y < h; ++y) {
    const uint8_t* line = Bitmap->ScanLine(y);
    const int64_t dy = y - h / 2;
    for (int byte = 0; byte * 8 < w; ++byte) {
      if (line[byte] == 0xFF) continue;
      for (int bit = 0; bit < 8; ++bit) {
        const int x = byte * 8 + bit;
        if (x >= w || (line[byte] & (0x80 >> bit))) continue;
        const int64_t dx = x - w / 2;
        for (int l = first; l <= last; ++l) {
          // Lines reach at most d from the centre; the clamp keeps rounding
          // at the corners inside the accumulator.
          const int64_t bin = Unscale(dx * cosine[l]) + Unscale(dy * sine[l]) + d;
          ++votes[l][std::clamp<int64_t>(bin, 0, bins - 1)];
        }
      }
    }
    if (Progress.OnProgress) Progress.OnProgress(Progress.Sender, static_cast<int>(int64_t{y} * 100 / h));
  }

  int32_t best = 0;
  int winner = -1;
  for (int l = std::max(g - n, 0); l <= std::min(g + n - 1, rows - 1); ++l)
    for (int b = 0; b < bins; ++b)
      if (votes[l][b] > best) {
        best = votes[l][b];
        winner = l;
      }
  // No line at all is no skew, not a page turned by 90 degrees.
  if (winner < 0) return 0;
  return static_cast<double>(winner) / f - 90;
}
