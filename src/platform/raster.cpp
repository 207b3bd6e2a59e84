#include "platform/raster.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

TCoverage::TCoverage(const TRect& bounds) : bounds_(bounds) {
  if (IsRectEmpty(bounds_)) {
    bounds_ = TRect{};
    return;
  }
  bits_.assign(size_t(bounds_.Width()) * size_t(bounds_.Height()), 0);
}

void TCoverage::Span(int y, int x0, int x1) {
  if (y < bounds_.Top || y >= bounds_.Bottom) return;
  x0 = std::max(x0, bounds_.Left);
  x1 = std::min(x1, bounds_.Right);
  if (x0 >= x1) return;
  uint8_t* row = &bits_[size_t(y - bounds_.Top) * size_t(bounds_.Width())];
  std::fill(row + (x0 - bounds_.Left), row + (x1 - bounds_.Left), 1);
}

void TCoverage::Clear(int x, int y) {
  if (x >= bounds_.Left && x < bounds_.Right && y >= bounds_.Top && y < bounds_.Bottom)
    bits_[size_t(y - bounds_.Top) * size_t(bounds_.Width()) + size_t(x - bounds_.Left)] = 0;
}

void TCoverage::Subtract(const TCoverage& other) {
  TRect common;
  if (!IntersectRect(common, bounds_, other.bounds_)) return;
  for (int y = common.Top; y < common.Bottom; ++y)
    for (int x = common.Left; x < common.Right; ++x)
      if (other.Test(x, y)) Clear(x, y);
}

namespace {

// Walks the pixels of the segment a -> b without b (Bresenham).
template <typename Plot>
void WalkSegment(TPoint a, TPoint b, Plot plot) {
  int64_t dx = std::llabs(int64_t(b.x) - a.x), dy = -std::llabs(int64_t(b.y) - a.y);
  int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
  int64_t err = dx + dy;
  int x = a.x, y = a.y;
  while (x != b.x || y != b.y) {
    plot(x, y);
    int64_t e2 = 2 * err;
    if (e2 >= dy) {
      err += dy;
      x += sx;
    }
    if (e2 <= dx) {
      err += dx;
      y += sy;
    }
  }
}

void Dot(TCoverage& out, int x, int y, int width) {
  // Centred on the pixel for odd widths, on its top-left corner for even.
  double r = width / 2.0, off = width % 2 ? 0.0 : 0.5;
  int lo = -(width / 2);
  for (int dy = lo; dy < lo + width; ++dy) {
    for (int dx = lo; dx < lo + width; ++dx) {
      double cx = dx + off, cy = dy + off;
      if (cx * cx + cy * cy <= r * r) out.Set(x + dx, y + dy);
    }
  }
}

}  // namespace

void ForEachLinePoint(TPoint a, TPoint b, const std::function<void(int x, int y)>& plot) { WalkSegment(a, b, plot); }

void RasterPolyline(const std::vector<TPoint>& points, bool closed, int width, const std::vector<int>& dashes,
                    TCoverage& on, TCoverage* gaps) {
  if (points.empty()) return;
  bool styled = width <= 1 && !dashes.empty();
  size_t dashIndex = 0;
  int dashLeft = styled ? dashes[0] : 0;
  auto plot = [&](int x, int y) {
    if (width > 1) {
      Dot(on, x, y, width);
      return;
    }
    bool isOn = !styled || dashIndex % 2 == 0;
    if (isOn) {
      on.Set(x, y);
    } else if (gaps) {
      gaps->Set(x, y);
    }
    if (styled && --dashLeft == 0) {
      dashIndex = (dashIndex + 1) % dashes.size();
      dashLeft = dashes[dashIndex];
    }
  };
  size_t count = points.size();
  size_t segments = closed ? count : count - 1;
  for (size_t i = 0; i < segments; ++i) WalkSegment(points[i], points[(i + 1) % count], plot);
}

void RasterEllipse(const TRect& box, TCoverage& out) {
  if (IsRectEmpty(box)) return;
  double cx = (box.Left + box.Right) / 2.0, cy = (box.Top + box.Bottom) / 2.0;
  double a = box.Width() / 2.0, b = box.Height() / 2.0;
  for (int y = box.Top; y < box.Bottom; ++y) {
    double dy = (y + 0.5 - cy) / b;
    if (std::fabs(dy) > 1) continue;
    double half = a * std::sqrt(1 - dy * dy);
    int x0 = int(std::ceil(cx - half - 0.5));
    int x1 = int(std::floor(cx + half - 0.5)) + 1;
    out.Span(y, std::max(x0, box.Left), std::min(x1, box.Right));
  }
}

void RasterRoundRect(const TRect& box, int cornerWidth, int cornerHeight, TCoverage& out) {
  if (IsRectEmpty(box)) return;
  double rx = std::min(std::abs(cornerWidth), box.Width()) / 2.0;
  double ry = std::min(std::abs(cornerHeight), box.Height()) / 2.0;
  for (int y = box.Top; y < box.Bottom; ++y) {
    double yc = y + 0.5, inset = 0;
    double dy = 0;
    if (ry > 0 && yc < box.Top + ry) dy = (box.Top + ry - yc) / ry;
    if (ry > 0 && yc > box.Bottom - ry) dy = (yc - (box.Bottom - ry)) / ry;
    if (dy > 1) continue;
    if (dy > 0) inset = rx - rx * std::sqrt(1 - dy * dy);
    int x0 = int(std::ceil(box.Left + inset - 0.5));
    int x1 = int(std::floor(box.Right - inset - 0.5)) + 1;
    out.Span(y, std::max(x0, box.Left), std::min(x1, box.Right));
  }
}

std::vector<TSpan> PolygonSpans(const std::vector<TPoint>& points, bool winding) {
  std::vector<TSpan> spans;
  size_t n = points.size();
  if (n < 3) return spans;
  TRect box = PointsBounds(points);
  struct Cross {
    double x;
    int dir;
  };
  std::vector<Cross> crossings;
  for (int y = box.Top; y < box.Bottom; ++y) {
    double yc = y + 0.5;
    crossings.clear();
    for (size_t i = 0; i < n; ++i) {
      const TPoint& p = points[i];
      const TPoint& q = points[(i + 1) % n];
      if (p.y == q.y) continue;
      bool down = p.y < q.y;
      double y0 = down ? p.y : q.y, y1 = down ? q.y : p.y;
      if (yc < y0 || yc >= y1) continue;
      double x = p.x + (yc - p.y) * double(q.x - p.x) / double(q.y - p.y);
      crossings.push_back({x, down ? 1 : -1});
    }
    std::sort(crossings.begin(), crossings.end(), [](const Cross& a, const Cross& b) { return a.x < b.x; });
    int inside = 0;
    for (size_t i = 0; i + 1 < crossings.size(); ++i) {
      inside = winding ? inside + crossings[i].dir : inside ^ 1;
      if (inside == 0) continue;
      // Pixels whose centres lie in [x_i, x_i+1).
      int x0 = int(std::ceil(crossings[i].x - 0.5));
      int x1 = int(std::ceil(crossings[i + 1].x - 0.5));
      if (x0 < x1) spans.push_back({y, x0, x1});
    }
  }
  return spans;
}

void RasterPolygon(const std::vector<TPoint>& points, bool winding, TCoverage& out) {
  for (const TSpan& s : PolygonSpans(points, winding)) out.Span(s.y, s.x0, s.x1);
}

std::vector<TPoint> FlattenBezier(const std::vector<TPoint>& points) {
  std::vector<TPoint> out;
  if (points.empty()) return out;
  out.push_back(points[0]);
  for (size_t i = 0; i + 3 < points.size(); i += 3) {
    const TPoint &p0 = points[i], &p1 = points[i + 1], &p2 = points[i + 2], &p3 = points[i + 3];
    double length = std::hypot(p1.x - p0.x, p1.y - p0.y) + std::hypot(p2.x - p1.x, p2.y - p1.y) +
                    std::hypot(p3.x - p2.x, p3.y - p2.y);
    int steps = std::clamp(int(length / 2), 1, 1000);
    for (int k = 1; k <= steps; ++k) {
      double t = double(k) / steps, u = 1 - t;
      double x = u * u * u * p0.x + 3 * u * u * t * p1.x + 3 * u * t * t * p2.x + t * t * t * p3.x;
      double y = u * u * u * p0.y + 3 * u * u * t * p1.y + 3 * u * t * t * p2.y + t * t * t * p3.y;
      TPoint q{int32_t(std::lround(x)), int32_t(std::lround(y))};
      if (!(q == out.back())) out.push_back(q);
    }
  }
  return out;
}

TRect PointsBounds(const std::vector<TPoint>& points) {
  if (points.empty()) return TRect{};
  TRect r{points[0].x, points[0].y, points[0].x + 1, points[0].y + 1};
  for (const TPoint& p : points) {
    r.Left = std::min(r.Left, p.x);
    r.Top = std::min(r.Top, p.y);
    r.Right = std::max(r.Right, p.x + 1);
    r.Bottom = std::max(r.Bottom, p.y + 1);
  }
  return r;
}
