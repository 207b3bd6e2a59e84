#include "platform/inktarget.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr QRgb kBlank = 0x00FFFFFF;  // white, not drawn

// QImage::fill would set the fourth byte of RGB32 pixels.
void FillBlank(QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    std::fill_n(reinterpret_cast<QRgb*>(image.scanLine(y)), image.width(), kBlank);
}
}  // namespace

void TInkTarget::Reset(int w, int h) {
  width_ = w > 0 ? w : 0;
  height_ = h > 0 ? h : 0;
  image_ = QImage();
  dirty_ = false;
}

void TInkTarget::Clear() {
  if (!image_.isNull()) FillBlank(image_);
  dirty_ = false;
}

QImage TInkTarget::Ink() const {
  if (image_.isNull()) return QImage();
  // The same bytes: an RGB32 pixel's fourth byte is ARGB32's alpha.
  return QImage(image_.constBits(), image_.width(), image_.height(), image_.bytesPerLine(), QImage::Format_ARGB32);
}

TPixelSurface TInkTarget::Surface() {
  if (width_ == 0 || height_ == 0) return TPixelSurface();
  if (image_.isNull()) {
    image_ = QImage(width_, height_, QImage::Format_RGB32);
    if (image_.isNull()) return TPixelSurface();  // no memory for the page
    FillBlank(image_);
  }
  dirty_ = true;
  return TPixelSurface::OfImage(image_);
}

void PaintTextRun(QPainter& painter, const TTextRun& run) {
  QFont font = MakeQFont(run.Face, run.Height, run.Style);
  painter.save();
  if (run.Clip) painter.setClipRegion(*run.Clip);
  QTransform turn = QTransform::fromTranslate(run.Origin.x, run.Origin.y);
  turn.rotate(-run.Orientation / 10.0);
  painter.setTransform(turn, true);
  painter.setFont(font);
  painter.setPen(ToQColor(run.Color));
  painter.drawText(run.Offset + QPointF(0, FontCell(font).Ascent), QString::fromStdString(run.Text));
  painter.restore();
}
