// Reducing a 24-bit picture to 8 bits with each quantiser method and to
// 1 bit by ordered dithering, each beside the platform's own conversion of
// the same picture.
#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>
#include <vector>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/neurquant.h"
#include "imaging/proc/iecolordepth.h"
#include "platform/graphics.h"

namespace {

constexpr int kWidth = 1000, kHeight = 750;

// Smooth gradients crossed by a coarse pattern: many distinct colours.
TBitmap* Picture() {
  static std::unique_ptr<TBitmap> picture = [] {
    auto bitmap = std::make_unique<TBitmap>();
    bitmap->SetPixelFormat(pf24bit);
    bitmap->SetSize(kWidth, kHeight);
    for (int y = 0; y < kHeight; ++y) {
      auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
      for (int x = 0; x < kWidth; ++x) {
        const int tile = ((x / 50) ^ (y / 50)) & 3;
        row[x] = TRGB{uint8_t((x * 255 / kWidth + tile * 40) & 255),
                      uint8_t((y * 255 / kHeight) ^ (tile * 16)),
                      uint8_t(((x + y) / 7 + tile * 60) & 255)};
      }
    }
    return bitmap;
  }();
  return picture.get();
}

void To8Bit(benchmark::State& state, int ncol) {
  TBitmap* picture = Picture();
  std::vector<TRGB> palette(256);
  for (auto _ : state) {
    // A new picture of indices each time, as the reference's conversion
    // makes a new image.
    std::vector<uint8_t> indices(size_t(kWidth) * kHeight);
    TIEQuantizer quantizer(picture, palette, ncol);
    uint8_t* out = indices.data();
    for (int y = 0; y < kHeight; ++y) {
      const auto* row = reinterpret_cast<const TRGB*>(picture->ScanLine(y));
      for (int x = 0; x < kWidth; ++x) *out++ = uint8_t(quantizer.GetRGBIndex(row[x]));
    }
    benchmark::DoNotOptimize(indices.data());
  }
}

void BM_To8Bit_NeuQuant256(benchmark::State& state) { To8Bit(state, 256); }
void BM_To8Bit_MedianCut127(benchmark::State& state) { To8Bit(state, 127); }

void BM_To8Bit_Reference_QImage(benchmark::State& state) {
  const QImage source = Picture()->Image().copy();
  for (auto _ : state) {
    QImage indexed = source.convertToFormat(QImage::Format_Indexed8);
    benchmark::DoNotOptimize(indexed.constBits());
  }
}

void BM_To1Bit_Ordered(benchmark::State& state) {
  TBitmap work;
  for (auto _ : state) {
    state.PauseTiming();
    IECopyBitmap(Picture(), &work);
    state.ResumeTiming();
    TProgressRec progress;
    _ConvertToBWOrdered(&work, progress);
    benchmark::DoNotOptimize(work.ScanLine(0));
  }
}

void BM_To1Bit_Ordered_Reference_QImage(benchmark::State& state) {
  const QImage source = Picture()->Image().copy();
  for (auto _ : state) {
    QImage mono = source.convertToFormat(QImage::Format_Mono, Qt::OrderedDither);
    benchmark::DoNotOptimize(mono.constBits());
  }
}

// The same reductions through the pixel buffer, as codecs and views call them.
void ConvertBuffer(benchmark::State& state, TIEPixelFormat target) {
  TIEBitmap source;
  source.Location = ieMemory;
  source.CopyFromTBitmap(Picture());
  TIEBitmap work;
  for (auto _ : state) {
    state.PauseTiming();
    work.Assign(&source);
    state.ResumeTiming();
    work.ConvertToPixelFormat(target);
    benchmark::DoNotOptimize(work.GetScanLine(0));
  }
}

void BM_ConvertToPixelFormat_ie8p(benchmark::State& state) { ConvertBuffer(state, ie8p); }
void BM_ConvertToPixelFormat_ie1g(benchmark::State& state) { ConvertBuffer(state, ie1g); }

}  // namespace

BENCHMARK(BM_To8Bit_NeuQuant256)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_To8Bit_MedianCut127)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_To8Bit_Reference_QImage)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_To1Bit_Ordered)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_To1Bit_Ordered_Reference_QImage)->Unit(benchmark::kMillisecond);

BENCHMARK(BM_ConvertToPixelFormat_ie8p)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ConvertToPixelFormat_ie1g)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
