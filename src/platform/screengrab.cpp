#include "platform/screengrab.h"

#include <QCursor>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

#include "platform/forms.h"
#include "platform/graphics.h"

namespace {

// The area on the virtual screen; empty when there is nothing to read.
QRect AreaRect(TScreenArea area, QScreen* screen) {
  const QRect desktop = screen->virtualGeometry();
  if (area == saScreen) return desktop;
  TCustomForm* form = Screen ? Screen->GetActiveForm() : nullptr;
  QWidget* w = form ? form->Widget() : nullptr;
  if (!w || !w->isVisible()) return {};
  if (area == saActiveWindowClient) return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
  // A maximised window reaches past the screen's edges: its frame is left
  // out there.
  QRect r = w->frameGeometry();
  if (w->isMaximized()) r = r.intersected(desktop);
  return r;
}

}  // namespace

bool GrabScreenArea(TScreenArea area, TBitmap* into, TPoint* mouse) {
  QScreen* screen = QGuiApplication::primaryScreen();
  if (!screen || !into) return false;
  const QRect r = AreaRect(area, screen);
  if (r.isEmpty()) return false;
  const QPixmap pixmap = screen->grabWindow(0, r.x(), r.y(), r.width(), r.height());
  if (pixmap.isNull()) return false;
  into->SetImage(pixmap.toImage().convertToFormat(QImage::Format_RGB888));
  if (mouse) {
    const QPoint p = QCursor::pos() - r.topLeft();
    *mouse = {p.x(), p.y()};
  }
  return true;
}

void DrawArrowPointer(TBitmap* into, TPoint at) {
  if (!into || into->GetEmpty()) return;
  QImage& image = into->Image();
  QPainter painter(&image);
  painter.translate(at.x, at.y);
  QPainterPath arrow;
  arrow.moveTo(0, 0);
  arrow.lineTo(0, 16);
  arrow.lineTo(4, 12);
  arrow.lineTo(7, 19);
  arrow.lineTo(9, 18);
  arrow.lineTo(6, 11);
  arrow.lineTo(11, 11);
  arrow.closeSubpath();
  painter.setPen(QPen(Qt::black, 1));
  painter.setBrush(Qt::white);
  painter.drawPath(arrow);
  painter.end();
  into->Changed();
}
