// A processing component on a headless image view, with a probe operation
// that follows the editing template, and counters of what the view was told.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "bitmaps.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/pixview.h"
#include "platform/controls.h"

// Exposes the template the editing operations share; Invert stands for any
// 24-bit operation of the library.
class TProbeProc : public TPixProc {
 public:
  using TPixProc::TPixProc;
  using TPixProc::Has24BitPicture;
  using TPixProc::MakeProgress;
  using TPixProc::ProcessSelection;

  // Inverts the region's pixels, as a worker does: rows y1..y2-1, columns
  // x1..x2-1, with x2 and y2 clamped to the bitmap.
  void Invert(const std::string& caption = "Invert") {
    if (!Has24BitPicture()) return;
    ProcessSelection(caption, [this](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
      Regions.push_back({x1, y1, x2, y2});
      x2 = std::min(x2, bitmap->GetWidth());
      y2 = std::min(y2, bitmap->GetHeight());
      for (int y = y1; y < y2; ++y) {
        auto* row = reinterpret_cast<TRGB*>(bitmap->ScanLine(y));
        for (int x = x1; x < x2; ++x) row[x] = TRGB{uint8_t(~row[x].b), uint8_t(~row[x].g), uint8_t(~row[x].r)};
      }
    });
  }
  // The rectangles the worker was handed.
  std::vector<TRect> Regions;
};

class PixProcTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 400, 400);
    view = new TPixView(parent);
    view->SetParent(parent);
    view->SetBounds(0, 0, 100, 80);
    view->SelectionBase = iesbBitmap;
    view->OnImageChange = [this](TObject*) { ++imageChanges; };
    proc = new TProbeProc(nullptr);
    proc->SetAttachedPix(view);
  }
  void TearDown() override {
    if (proc) proc->Free();
    parent->Free();
  }

  // Fills the view's picture, pixel (x, y) = Code(x, y).
  void Picture(int w, int h) {
    TBitmap* b = view->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) reinterpret_cast<TRGB*>(b->ScanLine(y))[x] = Code(x, y);
    view->Update();
    imageChanges = 0;
  }
  static TRGB Code(int x, int y) { return Rgb(x * 7 % 256, y * 11 % 256, (x + y) % 256); }
  static TRGB Inverted(const TRGB& c) { return TRGB{uint8_t(~c.b), uint8_t(~c.g), uint8_t(~c.r)}; }
  static bool Same(const TRGB& a, const TRGB& b) { return a.r == b.r && a.g == b.g && a.b == b.b; }
  TRGB At(int x, int y) { return Pixel24(view->GetFBitmap(), x, y); }
  // Whether the pixel was inverted from its original code.
  bool InvertedAt(int x, int y) { return Same(At(x, y), Inverted(Code(x, y))); }
  bool OriginalAt(int x, int y) { return Same(At(x, y), Code(x, y)); }

  TWinControl* parent = nullptr;
  TPixView* view = nullptr;
  TProbeProc* proc = nullptr;
  int imageChanges = 0;
};
