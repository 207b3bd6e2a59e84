// Thumbnails of a folder of 500 pictures of 3000 x 2000 JPEG: the time the
// thumbnail view takes to fill its first screen and to fill every cell
// (paging through the folder), beside decoding the same files in one thread
// with libjpeg-turbo's scaled decode at the same reduction (1/8, the
// smallest that still covers a 100 x 100 cell).
//
// The folder is generated once (CW_THUMB_BENCH_DIR, else a folder in the
// system's temporary directory) and reused by later runs.
#include <benchmark/benchmark.h>
#include <turbojpeg.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "imaging/view/mview.h"
#include "platform/controls.h"
#include "platform/graphics.h"

namespace {

constexpr int kCount = 500, kW = 3000, kH = 2000;
constexpr int kViewW = 1280, kViewH = 800;

std::filesystem::path Folder() {
  if (const char* d = std::getenv("CW_THUMB_BENCH_DIR")) return d;
  return std::filesystem::temp_directory_path() / "cardwright-thumb-bench";
}

std::string PictureName(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "p%03d.jpg", i);
  return (Folder() / name).string();
}

// Smooth gradients with a per-picture tint, so that each file differs and
// compresses as photographs do, not as flat colour.
void MakeFolder() {
  std::filesystem::create_directories(Folder());
  if (std::filesystem::exists(PictureName(kCount - 1))) return;
  std::vector<uint8_t> rgb(size_t(kW) * kH * 3);
  tjhandle handle = tjInitCompress();
  for (int i = 0; i < kCount; ++i) {
    for (int y = 0; y < kH; ++y)
      for (int x = 0; x < kW; ++x) {
        uint8_t* p = &rgb[(size_t(y) * kW + x) * 3];
        p[0] = uint8_t(x / 12 + i);
        p[1] = uint8_t(y / 8 + 3 * i);
        p[2] = uint8_t((x + y) / 20 + (x * y >> 14));
      }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjCompress2(handle, rgb.data(), kW, 0, kH, TJPF_RGB, &jpeg, &size, TJSAMP_420, 85, TJFLAG_FASTDCT);
    std::ofstream(PictureName(i), std::ios::binary).write(reinterpret_cast<const char*>(jpeg), std::streamsize(size));
    tjFree(jpeg);
  }
  tjDestroy(handle);
}

struct Rig {
  TWinControl parent{nullptr};
  TPixMView* view;
  TBitmap screen;
  Rig() {
    parent.SetBounds(0, 0, kViewW, kViewH);
    view = new TPixMView(&parent);
    view->SetParent(&parent);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, kViewW, kViewH);
    view->StoreType = ietThumb;
    view->SetGridWidth(-1);
    screen.SetPixelFormat(pf24bit);
    screen.SetSize(kViewW, kViewH);
    for (int i = 0; i < kCount; ++i) {
      view->InsertImageEx(i);
      view->SetImageFileName(i, PictureName(i));
    }
  }
  ~Rig() { delete view; }
  bool ScreenLoaded() {
    for (int i = 0; i < view->GetImageCount(); ++i)
      if (view->IsVisible(i) && !view->HasPixels(i)) return false;
    return true;
  }
  // Paints until every cell in sight holds its thumbnail, every 30 ms as
  // the view's own repaint timer does while loads are pending.
  void FillScreen() {
    while (true) {
      view->PaintTo(screen.GetCanvas());
      if (ScreenLoaded()) return;
      std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }
  }
  int VisibleCount() {
    int n = 0;
    for (int i = 0; i < view->GetImageCount(); ++i) n += view->IsVisible(i);
    return n;
  }
};

void BM_ViewFirstScreen(benchmark::State& state) {
  MakeFolder();
  int shown = 0;
  for (auto _ : state) {
    Rig rig;
    rig.FillScreen();
    shown = rig.VisibleCount();
  }
  state.counters["pictures"] = shown;
}
BENCHMARK(BM_ViewFirstScreen)->Iterations(3)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ViewAllPages(benchmark::State& state) {
  MakeFolder();
  for (auto _ : state) {
    Rig rig;
    for (;;) {
      rig.FillScreen();
      if (rig.view->GetViewY() >= rig.view->GetMaximumViewY()) break;
      rig.view->SetViewY(rig.view->GetViewY() + kViewH);
    }
    for (int i = 0; i < kCount; ++i)
      if (!rig.view->HasPixels(i)) state.SkipWithError("a picture was not loaded");
  }
}
BENCHMARK(BM_ViewAllPages)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

// The reference: scaled decodes one after the other in this thread.
void ScaledDecode(int count) {
  tjhandle handle = tjInitDecompress();
  std::vector<uint8_t> out;
  for (int i = 0; i < count; ++i) {
    std::ifstream file(PictureName(i), std::ios::binary);
    std::vector<unsigned char> jpeg((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    int w = 0, h = 0, sub = 0, space = 0;
    tjDecompressHeader3(handle, jpeg.data(), (unsigned long)jpeg.size(), &w, &h, &sub, &space);
    const int sw = TJSCALED(w, (tjscalingfactor{1, 8})), sh = TJSCALED(h, (tjscalingfactor{1, 8}));
    out.resize(size_t(sw) * sh * 3);
    tjDecompress2(handle, jpeg.data(), (unsigned long)jpeg.size(), out.data(), sw, 0, sh, TJPF_BGR, 0);
    benchmark::DoNotOptimize(out.data());
  }
  tjDestroy(handle);
}

void BM_TurboScaledDecode(benchmark::State& state) {
  MakeFolder();
  for (auto _ : state) ScaledDecode(int(state.range(0)));
}
// 96 = the cells of the first screen (12 columns x 8 rows in 1280 x 800).
BENCHMARK(BM_TurboScaledDecode)->Arg(96)->Arg(kCount)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
