// The processing preview dialog opened through TPixProc::DoPreviews on a
// picture of a source view, answered through the dialog service, and
// driven by real Qt input on its widgets.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include <functional>

#include "imaging/core/iedefs.h"
#include "imaging/proc/pixproc.h"
#include "imaging/view/pixview.h"
#include "imaging/view/previews.h"
#include "platform/comctrls.h"
#include "platform/dialogs.h"
#include "platform/qt_input.h"
#include "platform/stdctrls.h"

class PreviewsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 400, 400);
    view = new TPixView(parent);
    view->SetParent(parent);
    view->SetBounds(0, 0, 200, 200);
    proc = new TPixProc(parent);
    proc->SetAttachedPix(view);
    // Previews follow every change unless a test says otherwise.
    proc->PreviewsParams = prppDefaultLockPreview;
  }
  void TearDown() override { parent->Free(); }

  // A 24-bit picture of w x h whose pixels come from `pixel`.
  void Picture(int w, int h, const std::function<TRGB(int x, int y)>& pixel) {
    TBitmap* b = view->GetFBitmap();
    b->SetPixelFormat(pf24bit);
    b->SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<TRGB*>(b->ScanLine(y));
      for (int x = 0; x < w; ++x) row[x] = pixel(x, y);
    }
    view->Update();
  }
  // A gradient with some texture, so every effect changes something.
  void Gradient(int w, int h) {
    Picture(w, h, [](int x, int y) { return TRGB{uint8_t(x * 3 + y), uint8_t(100 + (x ^ y) % 60), uint8_t(y * 4)}; });
  }
  TRGB Pixel(TBitmap* b, int x, int y) { return reinterpret_cast<const TRGB*>(b->ScanLine(y))[x]; }

  // Runs DoPreviews; `user` acts on the shown dialog, then the run ends
  // with `result` (the user's last button).
  bool Run(TPreviewEffects pages, TModalResult result, const std::function<void(TfPreviews*)>& user) {
    dialogs.AnswerModal(result, [&](TCustomForm* form) {
      Settle();
      user(static_cast<TfPreviews*>(form));
    });
    return proc->DoPreviews(pages);
  }

  static void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  }
  static void Click(TControl* c) {
    WindowClick(c, {c->GetWidth() / 2, c->GetHeight() / 2});
    Settle();
  }
  // Replaces an edit's text by typing, as the user does.
  static void Type(TEdit* edit, const char* text) {
    QWidget* w = edit->Widget();
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    QTest::keyClick(w, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(w, Qt::Key_Delete);
    QTest::keyClicks(w, QString::fromUtf8(text));
    Settle();
  }
  // Picks the visible tab showing page `tag`.
  static void PickPage(TfPreviews* d, int tag) {
    TPageControl* pages = d->PageControl1;
    const TRect r = pages->TabRect(d->TabSheets[size_t(tag)]->GetTabIndex());
    WidgetClick(pages, {(r.Left + r.Right) / 2, (r.Top + r.Bottom) / 2});
    Settle();
  }
  static bool SameBitmaps(TBitmap* a, TBitmap* b) {
    if (a->GetWidth() != b->GetWidth() || a->GetHeight() != b->GetHeight()) return false;
    for (int y = 0; y < a->GetHeight(); ++y)
      if (memcmp(a->ScanLine(y), b->ScanLine(y), size_t(a->GetWidth()) * 3) != 0) return false;
    return true;
  }

  TScriptedDialogs dialogs;
  TWinControl* parent = nullptr;
  TPixView* view = nullptr;
  TPixProc* proc = nullptr;
};
