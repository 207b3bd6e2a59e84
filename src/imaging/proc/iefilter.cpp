#include "imaging/proc/iefilter.h"

#include <algorithm>
#include <cstring>
#include <vector>

const TGraphFilter IEFiltPres[9] = {
    {{{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}, 0},          // fpNone
    {{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, 9},          // fpBlur
    {{{1, 1, 1}, {1, -8, 1}, {1, 1, 1}}, 1},         // fpEdge
    {{{-1, 0, 1}, {-1, 1, 1}, {-1, 0, 1}}, 1},       // fpEmboss
    {{{0, -1, 0}, {-1, 5, -1}, {0, -1, 0}}, 1},      // fpHighPass1
    {{{-1, -1, -1}, {-1, 9, -1}, {-1, -1, -1}}, 1},  // fpHighPass2
    {{{1, -2, 1}, {-2, 5, -2}, {1, -2, 1}}, 1},      // fpHighPass3
    {{{1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, 10},         // LowPass1
    {{{1, 2, 1}, {2, 4, 2}, {1, 2, 1}}, 16},         // LowPass2
};

void _ApplyFilter(TBitmap* bitmap, const TGraphFilter& filter, int x1, int y1, int x2, int y2,
                  TProgressRec& progress) {
  if (!bitmap || bitmap->GetPixelFormat() != pf24bit) return;
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  // Corners before the picture would read before its rows.
  x1 = std::max(x1, 0);
  y1 = std::max(y1, 0);
  x2 = std::min(x2, width);
  y2 = std::min(y2, height);
  if (x1 >= x2 || y1 >= y2) return;
  const int64_t divisor = filter.Divisor == 0 ? 1 : filter.Divisor;

  // One table per coefficient replaces the multiplications; 64-bit, so
  // that no kernel overflows.
  std::vector<int64_t> tables(9 * 256);
  for (int k = 0; k < 9; ++k)
    for (int v = 0; v < 256; ++v) tables[k * 256 + v] = int64_t(filter.Values[k / 3][k % 3]) * v;

  const int columns = x2 - x1;
  const size_t resultRow = size_t(columns) * 3;
  std::vector<uint8_t> result(resultRow * size_t(y2 - y1));
  progress.Percent = 100.0 / (y2 - 1 - y1 + 0.5);
  int rowsDone = 0;
  for (int y = y1; y < y2; ++y) {
    const uint8_t* rows[3] = {bitmap->ScanLine(std::max(y - 1, 0)), bitmap->ScanLine(y),
                              bitmap->ScanLine(std::min(y + 1, height - 1))};
    uint8_t* out = &result[size_t(y - y1) * resultRow];
    for (int x = x1; x < x2; ++x) {
      const int cols[3] = {std::max(x - 1, 0) * 3, x * 3, std::min(x + 1, width - 1) * 3};
      for (int c = 0; c < 3; ++c) {
        int64_t sum = 0;
        const int64_t* table = tables.data();
        for (int r = 0; r < 3; ++r)
          for (int k = 0; k < 3; ++k, table += 256) sum += table[rows[r][cols[k] + c]];
        *out++ = uint8_t(std::clamp<int64_t>(sum / divisor, 0, 255));
      }
    }
    ++rowsDone;
    if (progress.OnProgress) progress.OnProgress(progress.Sender, int((y - y1 + 1) * progress.Percent));
    if (progress.Aborting && *progress.Aborting) break;
  }
  for (int i = 0; i < rowsDone; ++i)
    std::memcpy(bitmap->ScanLine(y1 + i) + size_t(x1) * 3, &result[size_t(i) * resultRow], resultRow);
}
