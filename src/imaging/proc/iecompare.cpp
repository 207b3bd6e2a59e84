#include "imaging/proc/iecompare.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "imaging/proc/ieworker.h"
#include "platform/graphics.h"

bool _IEComputeDiff(TBitmap* First, TBitmap* Second, TIEImageDiff& Diff) {
  Diff = TIEImageDiff();
  const int width = std::min(First->GetWidth(), Second->GetWidth());
  const int height = std::min(First->GetHeight(), Second->GetHeight());
  // Blue, green, red: the byte order of a pixel.
  int64_t squares[3] = {}, absolutes[3] = {};
  int largest[3] = {};
  for (int y = 0; y < height; ++y) {
    const auto* a = reinterpret_cast<const uint8_t*>(IERGBRow(First, y));
    const auto* b = reinterpret_cast<const uint8_t*>(IERGBRow(Second, y));
    for (int i = 0; i < width * 3; ++i) {
      const int d = b[i] - a[i], k = i % 3;
      squares[k] += d * d;
      absolutes[k] += std::abs(d);
      largest[k] = std::max(largest[k], std::abs(d));
    }
  }
  // An empty picture has no differences.
  const double pixels = std::max(1.0, double(width) * double(height));
  const auto fold = [](double value, double& low, double& high) {
    low = std::min(low, value);
    high = std::max(high, value);
  };
  bool equal = true;
  for (int k = 0; k < 3; ++k) {
    const double mse = double(squares[k]) / pixels, rmse = std::sqrt(mse);
    fold(mse != 0 ? 20 * std::log10(255 / rmse) : 0, Diff.PsnrMin, Diff.PsnrMax);
    fold(mse, Diff.MseMin, Diff.MseMax);
    fold(rmse, Diff.RmseMin, Diff.RmseMax);
    fold(largest[k], Diff.MaxDiffMin, Diff.MaxDiffMax);
    fold(double(absolutes[k]) / pixels, Diff.MaeMin, Diff.MaeMax);
    if (largest[k] != 0) equal = false;
  }
  return equal;
}
