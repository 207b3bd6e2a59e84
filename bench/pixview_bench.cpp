// Repainting a 1920 x 1080 image view of a 6000 x 4000 picture at 33 and
// 200 percent, beside QPainter drawing the same scaled part of the same
// picture into an image of the same size.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>
#include <memory>

#include "imaging/view/pixview.h"
#include "platform/controls.h"

namespace {

constexpr int kSrcW = 6000, kSrcH = 4000, kViewW = 1920, kViewH = 1080;

uint8_t Pattern(int x, int y, int c) { return static_cast<uint8_t>(x * (c + 1) + y * (3 - c)); }

struct ViewRig {
  TWinControl parent{nullptr};
  TPixView* view;
  ViewRig() {
    parent.SetBounds(0, 0, kViewW + 50, kViewH + 50);
    view = new TPixView(&parent);
    view->SetParent(&parent);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, kViewW, kViewH);
    TBitmap* b = view->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(kSrcW, kSrcH);
    for (int y = 0; y < kSrcH; ++y) {
      uint8_t* row = b->ScanLine(y);
      for (int x = 0; x < kSrcW; ++x)
        for (int c = 0; c < 3; ++c) row[x * 3 + c] = Pattern(x, y, c);
    }
    view->Update();
  }
};

ViewRig& Rig() {
  static ViewRig rig;
  return rig;
}

void BM_ViewRepaint(benchmark::State& state) {
  ViewRig& rig = Rig();
  rig.view->SetZoom(double(state.range(0)));
  rig.view->SetViewXY(1000, 700);
  const TRect all = Rect(0, 0, kViewW, kViewH);
  for (auto _ : state) {
    rig.view->UpdateRect(all);
    UpdateWindow(rig.view);
    benchmark::DoNotOptimize(rig.view->ClientImage().constBits());
  }
}
BENCHMARK(BM_ViewRepaint)->Arg(33)->Arg(200)->Unit(benchmark::kMillisecond);

// The same source rectangle, scaled to the same target, with QPainter.
void BM_QPainterScaled(benchmark::State& state) {
  ViewRig& rig = Rig();
  rig.view->SetZoom(double(state.range(0)));
  rig.view->SetViewXY(1000, 700);
  UpdateWindow(rig.view);
  const QImage& source = rig.view->GetFBitmap()->Image();
  const QRect from(rig.view->SrcX, rig.view->SrcY, rig.view->SrcW, rig.view->SrcH);
  const QRect to(rig.view->OffsetX, rig.view->OffsetY, rig.view->DstW, rig.view->DstH);
  QImage target(kViewW, kViewH, QImage::Format_RGB32);
  for (auto _ : state) {
    QPainter painter(&target);
    painter.drawImage(to, source, from);
    painter.end();
    benchmark::DoNotOptimize(target.constBits());
  }
}
BENCHMARK(BM_QPainterScaled)->Arg(33)->Arg(200)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
