#include "platform/inktarget.h"

#include <QPainter>
#include <algorithm>

namespace {
constexpr QRgb kBlank = 0x00FFFFFF;  // white, not drawn
// Touched parts kept apart at most.
constexpr size_t kMostParts = 16;

int64_t Area(const TRect& r) { return int64_t(r.Width()) * r.Height(); }

TRect Union(const TRect& a, const TRect& b) {
  return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}

bool Holds(const TRect& outer, const TRect& inner) {
  return inner.Left >= outer.Left && inner.Top >= outer.Top && inner.Right <= outer.Right &&
         inner.Bottom <= outer.Bottom;
}

// Pixels the union of a and b holds beyond a's and b's own.
int64_t Waste(const TRect& a, const TRect& b) {
  TRect both;
  const int64_t shared = IntersectRect(both, a, b) ? Area(both) : 0;
  return Area(Union(a, b)) - Area(a) - Area(b) + shared;
}
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
  for (const TRect& part : TouchedParts()) Blank(part);
  touched_ = {};
  parts_.clear();
  run_ = {};
  dirty_ = false;
}

void TInkTarget::BlankArea(const TRect& area) {
  TRect inside;
  if (IntersectRect(inside, area, touched_)) Blank(inside);
}

void TInkTarget::ClearDrawn(const std::vector<TRect>& drawn) {
  for (const TRect& r : drawn) BlankArea(r);
  touched_ = {};
  parts_.clear();
  run_ = {};
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
  touched_ = touched_.Left >= touched_.Right ? inside : Union(touched_, inside);
  AddPart(inside);
}

void TInkTarget::AddPart(const TRect& area) {
  // Pixel by pixel drawing touches a run of pixels along a row or a column:
  // the run grows while it stays a rectangle.
  if (IsRectEmpty(run_)) {
    run_ = area;
  } else if (Holds(run_, area)) {
    return;
  } else if ((area.Top == run_.Top && area.Bottom == run_.Bottom && area.Left == run_.Right) ||
             (area.Left == run_.Left && area.Right == run_.Right && area.Top == run_.Bottom)) {
    // The next pixel along the run (the common case, told cheaply).
    if (area.Left == run_.Right) run_.Right = area.Right;
    else run_.Bottom = area.Bottom;
  } else if (Waste(run_, area) == 0) {
    run_ = Union(run_, area);
  } else {
    KeepRun();
    run_ = area;
  }
}

void TInkTarget::KeepRun() {
  if (IsRectEmpty(run_)) return;
  // A run joins the part it leaves least room in: the next row of a strip
  // joins the strip, while a stroke far from the others stays a part of
  // its own (up to a few; past them it joins the part it wastes least of).
  size_t best = parts_.size();
  int64_t bestWaste = 0;
  for (size_t i = 0; i < parts_.size(); ++i) {
    const int64_t waste = Waste(parts_[i], run_);
    if (best == parts_.size() || waste < bestWaste) best = i, bestWaste = waste;
  }
  if (best == parts_.size() || (bestWaste > Area(run_) && parts_.size() < kMostParts)) {
    parts_.push_back(run_);
  } else {
    parts_[best] = Union(parts_[best], run_);
  }
  run_ = {};
}

const std::vector<TRect>& TInkTarget::TouchedParts() {
  KeepRun();
  return parts_;
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
