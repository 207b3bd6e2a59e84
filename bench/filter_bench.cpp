// A 3 x 3 convolution of a large picture: the table-driven filter beside a
// plain table-driven loop, on the same picture.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "imaging/proc/iefilter.h"
#include "platform/graphics.h"

namespace {

constexpr int kWidth = 2000, kHeight = 1500;

std::unique_ptr<TBitmap> Picture() {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(kWidth, kHeight);
  for (int y = 0; y < kHeight; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 0; x < kWidth * 3; ++x) row[x] = uint8_t((x * 7 + y * 13) ^ (x / 30));
  }
  return bitmap;
}

void TableFilter(benchmark::State& state) {
  auto picture = Picture();
  for (auto _ : state) {
    TProgressRec progress;
    _ApplyFilter(picture.get(), IEFiltPres[fpHighPass2], 0, 0, kWidth, kHeight, progress);
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

// The same convolution as a plain loop, table-driven like the filter: the
// products of each coefficient with every byte value are looked up, into a
// result picture made for each call and copied back.
void PlainLoop(benchmark::State& state) {
  auto picture = Picture();
  const TGraphFilter& f = IEFiltPres[fpHighPass2];
  for (auto _ : state) {
    int products[3][3][256];
    for (int r = 0; r < 3; ++r)
      for (int k = 0; k < 3; ++k)
        for (int v = 0; v < 256; ++v) products[r][k][v] = f.Values[r][k] * v;
    std::vector<uint8_t> result(size_t(kWidth) * 3 * kHeight);
    for (int y = 0; y < kHeight; ++y) {
      const uint8_t* rows[3] = {picture->ScanLine(std::max(y - 1, 0)), picture->ScanLine(y),
                                picture->ScanLine(std::min(y + 1, kHeight - 1))};
      uint8_t* out = &result[size_t(y) * kWidth * 3];
      for (int x = 0; x < kWidth; ++x) {
        const int cols[3] = {std::max(x - 1, 0) * 3, x * 3, std::min(x + 1, kWidth - 1) * 3};
        for (int c = 0; c < 3; ++c) {
          int sum = 0;
          for (int r = 0; r < 3; ++r)
            for (int k = 0; k < 3; ++k) sum += products[r][k][rows[r][cols[k] + c]];
          *out++ = uint8_t(std::clamp(sum / f.Divisor, 0, 255));
        }
      }
    }
    for (int y = 0; y < kHeight; ++y)
      std::copy_n(&result[size_t(y) * kWidth * 3], kWidth * 3, picture->ScanLine(y));
    benchmark::ClobberMemory();
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

BENCHMARK(TableFilter)->Unit(benchmark::kMillisecond);
BENCHMARK(PlainLoop)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
