// Zoomed rendering of a 4000 x 3000 picture into a 1600 x 1200 platform
// bitmap, beside QImage::scaled of the same picture as a yardstick.
#include <benchmark/benchmark.h>

#include <QImage>
#include <memory>

#include "imaging/core/iebitmap.h"
#include "platform/graphics.h"

namespace {

constexpr int kSrcW = 4000, kSrcH = 3000, kDstW = 1600, kDstH = 1200;

uint8_t Pattern(int x, int y, int c) { return static_cast<uint8_t>(x * (c + 1) + y * (3 - c)); }

TIEBitmap& Picture() {
  static std::unique_ptr<TIEBitmap> picture = [] {
    auto bmp = std::make_unique<TIEBitmap>();
    bmp->SetLocation(ieMemory);
    bmp->Allocate(kSrcW, kSrcH, ie24RGB);
    for (int y = 0; y < kSrcH; ++y) {
      uint8_t* row = bmp->GetScanLine(y);
      for (int x = 0; x < kSrcW; ++x)
        for (int c = 0; c < 3; ++c) row[x * 3 + c] = Pattern(x, y, c);
    }
    return bmp;
  }();
  return *picture;
}

void BM_RenderToTBitmap(benchmark::State& state) {
  TIEBitmap& picture = Picture();
  for (auto _ : state) {
    // A new target each time, as QImage::scaled makes a new image.
    TBitmap target;
    target.SetPixelFormat(pf24bit);
    target.SetSize(kDstW, kDstH);
    picture.RenderToTBitmap(&target, nullptr, nullptr, 0, 0, kDstW, kDstH, 0, 0, kSrcW, kSrcH,
                            false, true);
    benchmark::DoNotOptimize(target.ScanLine(0));
  }
}
BENCHMARK(BM_RenderToTBitmap)->Unit(benchmark::kMillisecond);

void BM_QImageScaled(benchmark::State& state) {
  QImage source(kSrcW, kSrcH, QImage::Format_BGR888);
  for (int y = 0; y < kSrcH; ++y) {
    uint8_t* row = source.scanLine(y);
    for (int x = 0; x < kSrcW; ++x)
      for (int c = 0; c < 3; ++c) row[x * 3 + c] = Pattern(x, y, c);
  }
  for (auto _ : state) {
    QImage scaled = source.scaled(kDstW, kDstH, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    benchmark::DoNotOptimize(scaled.constBits());
  }
}
BENCHMARK(BM_QImageScaled)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
