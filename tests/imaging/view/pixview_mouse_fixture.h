// A view on a shown form, driven by real mouse events sent to its widget.
// A fake pointer follows every event (the view reads the pointer itself
// while it scrolls during a drag) and holds Alt when a test asks.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <functional>
#include <initializer_list>

#include "imaging/core/iedefs.h"
#include "imaging/core/iemask.h"
#include "imaging/view/pixview.h"
#include "platform/forms.h"
#include "platform/input.h"
#include "platform/qt_input.h"
#include "pixview_fixture.h"

class PixViewMouseTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form = new TForm(nullptr);
    form->SetBounds(0, 0, 400, 300);
    view = new TPixView(form);
    view->SetParent(form);
    view->SetBorderStyle(bsNone);
    view->SetBounds(0, 0, 200, 160);
    form->Show();
    view->SetFocus();
  }
  void TearDown() override { form->Free(); }

  void Picture24(int w, int h, const std::function<TRGB(int x, int y)>& pixel) { SetPicture24(view, w, h, pixel); }
  void Gradient(int w, int h) {
    Picture24(w, h, [](int x, int y) { return TRGB{uint8_t(x), uint8_t(y), 7}; });
  }

  // One mouse event at a client point of the view.
  void Send(QEvent::Type type, TPoint at, Qt::MouseButton button, Qt::MouseButtons held,
            Qt::KeyboardModifiers mods = Qt::NoModifier) {
    TPoint local = at;
    QWidget* w = HostWidget(view, local);
    pointer.Pos = view->ClientToScreen(at);
    const QPointF p(local.x, local.y);
    QMouseEvent event(type, p, w->mapToGlobal(p), button, held, mods);
    QApplication::sendEvent(w, &event);
  }
  void Press(TPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Send(QEvent::MouseButtonPress, at, b, b, mods);
  }
  void Move(TPoint at, Qt::MouseButtons held = Qt::NoButton, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Send(QEvent::MouseMove, at, Qt::NoButton, held, mods);
  }
  void Release(TPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Send(QEvent::MouseButtonRelease, at, b, Qt::NoButton, mods);
  }
  void Click(TPoint at, Qt::MouseButton b = Qt::LeftButton, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    Press(at, b, mods);
    Release(at, b, mods);
  }
  // Press, release, the second press as a double click, release.
  void DoubleClick(TPoint at) {
    Click(at);
    Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    Release(at);
  }
  // A left drag through the points, the button let go at the last one.
  void Drag(std::initializer_list<TPoint> path, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const TPoint* p = path.begin();
    Press(*p, Qt::LeftButton, mods);
    for (++p; p != path.end(); ++p) Move(*p, Qt::LeftButton, mods);
    Release(*(path.end() - 1), Qt::LeftButton, mods);
  }
  void Wheel(TPoint at, int delta) {
    TPoint local = at;
    QWidget* w = HostWidget(view, local);
    const QPointF p(local.x, local.y);
    QWheelEvent event(p, w->mapToGlobal(p), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QApplication::sendEvent(w, &event);
  }

  void PaintNow() {
    view->Invalidate();
    UpdateWindow(view);
  }
  bool Selected(int x, int y) const { return view->SelectionMask->IsPointInside(x, y); }
  // The selection's box, inclusive, as the view reports it.
  TRect SelBox() const { return {view->GetSelX1(), view->GetSelY1(), view->GetSelX2(), view->GetSelY2()}; }
  TCursor ControlCursor() const { return view->TControl::GetCursor(); }

  TFakeInput pointer;
  TForm* form = nullptr;
  TPixView* view = nullptr;
};

inline void PrintTo(const TRect& r, std::ostream* o) {
  *o << "(" << r.Left << "," << r.Top << ")-(" << r.Right << "," << r.Bottom << ")";
}
inline void PrintTo(const TPoint& p, std::ostream* o) { *o << "(" << p.x << "," << p.y << ")"; }
