// A thumbnail view on a shown form, driven by real mouse, wheel and key
// events sent to its widget, with helpers that write small picture files
// and read what the view painted.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QtTest/QTest>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>

#include "imaging/core/iebitmap.h"
#include "imaging/io/pixio.h"
#include "imaging/view/mview.h"
#include "platform/forms.h"
#include "platform/qt_input.h"
#include "platform/timers.h"

// A w x h picture of one colour (r, g, b) written through the file front end.
inline void WriteSolidPicture(const std::string& name, int w, int h, uint8_t r, uint8_t g, uint8_t b) {
  TIEBitmap bitmap;
  bitmap.Allocate(w, h, ie24RGB);
  for (int y = 0; y < h; ++y) {
    auto* row = reinterpret_cast<TRGB*>(bitmap.GetScanLine(y));
    for (int x = 0; x < w; ++x) row[x] = TRGB{b, g, r};
  }
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&bitmap);
  io.SaveToFile(name);
}

class MViewTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 600, 400);
    view = new TPixMView(form);
    view->SetParent(form);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, 340, 230);
    form->Show();
    view->SetFocus();
    dir = std::filesystem::temp_directory_path() /
          ("mview_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
           ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::create_directories(dir);
  }
  void TearDown() override {
    form->Free();
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }

  // n images of plain 24-bit pixels, image i in colour (i, 2i, 3i).
  void AddImages(int n, int w = 40, int h = 30) {
    for (int i = 0; i < n; ++i) {
      const int idx = view->AppendImage();
      TIEBitmap b;
      b.Allocate(w, h, ie24RGB);
      for (int y = 0; y < h; ++y) {
        auto* row = reinterpret_cast<TRGB*>(b.GetScanLine(y));
        for (int x = 0; x < w; ++x) row[x] = TRGB{uint8_t(3 * i), uint8_t(2 * i), uint8_t(i)};
      }
      view->SetIEBitmapEx(idx, &b);
    }
    view->Deselect();
  }
  std::string File(const std::string& name) const { return (dir / name).string(); }

  void Mouse(QEvent::Type type, TPoint at, Qt::MouseButton button, Qt::MouseButtons held,
             Qt::KeyboardModifiers mods = Qt::NoModifier) {
    TPoint local = at;
    QWidget* w = HostWidget(view, local);
    const QPointF p(local.x, local.y);
    QMouseEvent event(type, p, w->mapToGlobal(p), button, held, mods);
    QApplication::sendEvent(w, &event);
  }
  void Click(TPoint at, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton, mods);
    Mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton, mods);
  }
  void Wheel(TPoint at, int delta) {
    TPoint local = at;
    QWidget* w = HostWidget(view, local);
    const QPointF p(local.x, local.y);
    QWheelEvent event(p, w->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
  }
  void Key(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    TPoint origin{0, 0};
    QTest::keyClick(HostWidget(view, origin), key, mods);
  }
  void PaintNow() {
    view->Invalidate();
    UpdateWindow(view);
  }
  uint32_t Shown(int x, int y) const { return view->ClientImage().pixel(x, y) & 0xFFFFFF; }
  // Pumps events, timers and paints until `done` or the time runs out.
  bool PumpUntil(const std::function<bool()>& done, int ms = 5000) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!done()) {
      if (std::chrono::steady_clock::now() > end) return false;
      Application->ProcessMessages();
      UpdateWindow(view);
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
  // The colour of an image's first stored pixel, as 0xRRGGBB.
  uint32_t StoredColour(int idx) {
    TIEBitmap b;
    view->CopyToIEBitmap(idx, &b);
    if (b.GetWidth() < 1) return 0xFFFFFFFFu;
    const auto* p = reinterpret_cast<const TRGB*>(b.GetScanLine(0));
    return (uint32_t(p->r) << 16) | (uint32_t(p->g) << 8) | p->b;
  }

  TForm* form = nullptr;
  TPixMView* view = nullptr;
  std::filesystem::path dir;
};
