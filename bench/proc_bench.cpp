// Rotation of a large picture and the per-pixel adjustments, each beside a
// plain loop or the platform's own transform of the same picture.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QTransform>
#include <algorithm>
#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/proc/ieadjust.h"
#include "imaging/proc/iefill.h"
#include "imaging/proc/ierotate.h"
#include "platform/graphics.h"

namespace {

constexpr int kWidth = 3000, kHeight = 2000;

TBitmap* Picture() {
  static std::unique_ptr<TBitmap> picture = [] {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
      for (int x = 0; x < kWidth; ++x)
        row[x] = TRGB{uint8_t(x * 255 / kWidth), uint8_t(y * 255 / kHeight), uint8_t(((x / 40) ^ (y / 40)) * 37)};
    }
    return bitmap;
  }();
  return picture.get();
}

// Each iteration works on a fresh copy; the copy is not timed.
template <class Work>
void OnCopy(benchmark::State& state, Work work) {
  for (auto _ : state) {
    state.PauseTiming();
    std::unique_ptr<TBitmap> copy(IECloneBitmap(Picture()));
    state.ResumeTiming();
    work(copy.get());
    benchmark::DoNotOptimize(copy->ScanLine(0));
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}

void BM_Rotate30(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _Rotate24(b, 30, false, TRGB{}, nullptr, nullptr); });
}
void BM_Rotate30_Antialias(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _Rotate24(b, 30, true, TRGB{}, nullptr, nullptr); });
}
void BM_Rotate90(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _Rotate24(b, 90, false, TRGB{}, nullptr, nullptr); });
}

void RotateQImage(benchmark::State& state, double angle, Qt::TransformationMode mode) {
  const QImage source = Picture()->Image().copy();
  for (auto _ : state) {
    QImage turned = source.transformed(QTransform().rotate(-angle), mode);
    benchmark::DoNotOptimize(turned.constBits());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}
void BM_Rotate30_Reference_QImage(benchmark::State& state) { RotateQImage(state, 30, Qt::FastTransformation); }
void BM_Rotate30_Antialias_Reference_QImage(benchmark::State& state) {
  RotateQImage(state, 30, Qt::SmoothTransformation);
}
void BM_Rotate90_Reference_QImage(benchmark::State& state) { RotateQImage(state, 90, Qt::FastTransformation); }

void BM_Contrast(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _ContrastRGB(b, 20, 120, 110, 100, 0, 0, kWidth, kHeight, nullptr, nullptr); });
}
// The contrast rule as a plain loop that, like the library, makes one
// 256-entry table a channel for each call and looks every byte up in it.
void BM_Contrast_Reference_PlainLoop(benchmark::State& state) {
  const int64_t factor = int64_t((1 + 20 / 10.0) * 65536);
  OnCopy(state, [&](TBitmap* b) {
    uint8_t tables[3][256];
    const int means[3] = {100, 110, 120};  // blue, green, red bytes
    for (int c = 0; c < 3; ++c)
      for (int v = 0; v < 256; ++v)
        tables[c][v] = uint8_t(std::clamp<int64_t>(means[c] + factor * (v - means[c]) / 65536, 0, 255));
    for (int y = 0; y < kHeight; ++y) {
      auto* p = b->ScanLine(y);
      for (int x = 0; x < kWidth; ++x, p += 3) {
        p[0] = tables[0][p[0]];
        p[1] = tables[1][p[1]];
        p[2] = tables[2][p[2]];
      }
    }
  });
}
void BM_Intensity(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _IntensityRGBall(b, 20, -10, 5, 0, 0, kWidth, kHeight, nullptr, nullptr); });
}
void BM_Negative(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _Negative(b, 0, 0, kWidth, kHeight, nullptr, nullptr); });
}
void BM_Negative_Reference_QImage(benchmark::State& state) {
  QImage image = Picture()->Image().copy();
  for (auto _ : state) {
    image.invertPixels();
    benchmark::DoNotOptimize(image.constBits());
  }
  state.SetItemsProcessed(state.iterations() * int64_t(kWidth) * kHeight);
}
void BM_Gamma(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _IEGammaCorrect(b, 2.2, iecRed | iecGreen | iecBlue, nullptr, nullptr); });
}
void BM_HSLvar(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _HSLvar(b, 20, 10, -5, 0, 0, kWidth, kHeight, nullptr, nullptr); });
}
void BM_HSVvar(benchmark::State& state) {
  OnCopy(state, [](TBitmap* b) { _HSVvar(b, 20, 10, -5, 0, 0, kWidth, kHeight, nullptr, nullptr); });
}

}  // namespace

BENCHMARK(BM_Rotate30)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate30_Reference_QImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate30_Antialias)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate30_Antialias_Reference_QImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate90)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Rotate90_Reference_QImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Contrast)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Contrast_Reference_PlainLoop)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Intensity)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Negative)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Negative_Reference_QImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Gamma)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HSLvar)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HSVvar)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
