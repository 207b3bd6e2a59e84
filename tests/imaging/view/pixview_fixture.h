// A view of a given client size on a parent window, headless, with
// helpers to fill its picture and read what it painted.
#pragma once

#include <gtest/gtest.h>

#include <functional>

#include "imaging/core/iedefs.h"
#include "imaging/view/pixview.h"
#include "platform/controls.h"

// Gives the view a 24-bit picture of w x h pixels.
inline void SetPicture24(TPixView* view, int w, int h, const std::function<TRGB(int x, int y)>& pixel) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf24bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<TRGB*>(b->ScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
  }
  view->Update();
}

class PixViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 800, 800);
    view = new TPixView(parent);
    view->SetParent(parent);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, 100, 80);
  }
  void TearDown() override { parent->Free(); }

  void Picture24(int w, int h, const std::function<TRGB(int x, int y)>& pixel) { SetPicture24(view, w, h, pixel); }
  void PlainPicture(int w, int h) {
    Picture24(w, h, [](int, int) { return TRGB{1, 2, 3}; });
  }
  // Runs the pending paint and returns the window's pixel as 0xRRGGBB.
  uint32_t Shown(int x, int y) { return view->ClientImage().pixel(x, y) & 0xFFFFFF; }
  void PaintNow() {
    view->Invalidate();
    UpdateWindow(view);
  }

  TWinControl* parent = nullptr;
  TPixView* view = nullptr;
};

inline uint32_t Rgb24(const TRGB& c) { return (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | c.b; }
inline uint32_t Rgb24(TColor c) {
  const int32_t v = ColorToRGB(c);
  return (uint32_t(GetRValue(v)) << 16) | (uint32_t(GetGValue(v)) << 8) | GetBValue(v);
}
