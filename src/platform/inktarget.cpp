#include "platform/inktarget.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr QRgb kBlank = 0x00FFFFFF;  // white, not drawn
}  // namespace

void TInkTarget::Blank(const TRect& area) {
  if (image_.isNull() || IsRectEmpty(area)) return;
  // QImage::fill would set the fourth byte of RGB32 pixels.
  for (int y = area.Top; y < area.Bottom; ++y)
    std::fill_n(reinterpret_cast<QRgb*>(image_.scanLine(y)) + area.Left, area.Width(), kBlank);
}

void TInkTarget::Reset(int w, int h) {
  Clear();
  width_ = w > 0 ? w : 0;
  height_ = h > 0 ? h : 0;
  image_ = QImage();
  surface_ = TPixelSurface();
}

void TInkTarget::Clear() {
  Blank(touched_);
  touched_ = {};
  dirty_ = false;
}

void TInkTarget::ClearDrawn(const std::vector<TRect>& drawn) {
  for (const TRect& r : drawn) {
    TRect inside;
    if (IntersectRect(inside, r, touched_)) Blank(inside);
  }
  touched_ = {};
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
    const size_t count = size_t(width_) * size_t(height_);
    if (pixels_.size() < count) {
      try {
        // Grown pixels are blank; the ones kept are blank already.
        pixels_.resize(count, kBlank);
      } catch (const std::bad_alloc&) {
        return TPixelSurface();  // no memory for the area
      }
    }
    image_ = QImage(reinterpret_cast<uchar*>(pixels_.data()), width_, height_, width_ * 4, QImage::Format_RGB32);
    surface_ = TPixelSurface::OfImage(image_);
  }
  dirty_ = true;
  return surface_;
}

void TInkTarget::Touched(const TRect& area) {
  const TRect inside{std::max(area.Left, 0), std::max(area.Top, 0), std::min(area.Right, width_),
                     std::min(area.Bottom, height_)};
  if (inside.Left >= inside.Right || inside.Top >= inside.Bottom) return;
  if (touched_.Left >= touched_.Right) {
    touched_ = inside;
  } else {
    touched_ = {std::min(touched_.Left, inside.Left), std::min(touched_.Top, inside.Top),
                std::max(touched_.Right, inside.Right), std::max(touched_.Bottom, inside.Bottom)};
  }
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
