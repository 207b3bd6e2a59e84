// Real input for the control layer's tests: mouse events sent through the
// Qt window or widget that shows a control, as a user's clicks arrive.
#pragma once

#include <QApplication>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>
#include <QWindow>

#include "platform/controls.h"

// Where a control's client point lies in the widget of its nearest
// windowed control (graphic controls have no widget of their own).
inline QWidget* HostWidget(TControl* c, TPoint& p) {
  while (!dynamic_cast<TWinControl*>(c) || !static_cast<TWinControl*>(c)->Widget()) {
    p.x += c->GetLeft();
    p.y += c->GetTop();
    c = c->GetParent();
  }
  auto* w = static_cast<TWinControl*>(c);
  TRect f = w->GetParent() ? w->FrameInsets() : TRect{0, 0, 0, 0};
  p.x += f.Left;
  p.y += f.Top;
  return w->Widget();
}

// Clicks the control at a client point through its top-level window, so
// Qt turns quick second presses into double clicks as it does on screen.
inline void WindowClick(TControl* c, TPoint at, Qt::MouseButton button = Qt::LeftButton, bool dbl = false) {
  QWidget* w = HostWidget(c, at);
  QPoint inWindow = w->mapTo(w->window(), QPoint(at.x, at.y));
  QWindow* window = w->window()->windowHandle();
  if (dbl)
    QTest::mouseDClick(window, button, {}, inWindow);
  else
    QTest::mouseClick(window, button, {}, inWindow);
}

// The same click sent straight to the widget.
inline void WidgetClick(TControl* c, TPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QWidget* w = HostWidget(c, at);
  QTest::mouseClick(w, button, {}, QPoint(at.x, at.y));
}

// A mouse event of `type` at a client point of the control, sent to the
// widget that hosts it, with `buttons` held (after the event).
inline void SendMouse(TControl* c, QEvent::Type type, TPoint at, Qt::MouseButtons buttons) {
  QWidget* w = HostWidget(c, at);
  const QPointF local(at.x, at.y);
  QMouseEvent event(type, local, w->mapToGlobal(local), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                    buttons, Qt::NoModifier);
  QApplication::sendEvent(w, &event);
}
