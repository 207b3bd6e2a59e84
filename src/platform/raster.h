// Pixel sets of the drawing primitives, in device pixels, following the
// platform's rules: lines leave out their last point, filled shapes take
// the pixels whose centres lie inside, so the right and bottom edges of a
// bounding box are not drawn. An operation first collects the pixels it
// touches and then changes each of them once, which keeps raster operations
// such as XOR exact where parts of a shape overlap.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/wintypes.h"

class TCoverage {
 public:
  TCoverage() = default;
  explicit TCoverage(const TRect& bounds);
  void Set(int x, int y) {
    if (x >= bounds_.Left && x < bounds_.Right && y >= bounds_.Top && y < bounds_.Bottom)
      bits_[size_t(y - bounds_.Top) * size_t(bounds_.Width()) + size_t(x - bounds_.Left)] = 1;
  }
  bool Test(int x, int y) const {
    return x >= bounds_.Left && x < bounds_.Right && y >= bounds_.Top && y < bounds_.Bottom &&
           bits_[size_t(y - bounds_.Top) * size_t(bounds_.Width()) + size_t(x - bounds_.Left)];
  }
  // Pixels [x0, x1) of row y.
  void Span(int y, int x0, int x1);
  void Clear(int x, int y);
  // Removes the pixels of another coverage.
  void Subtract(const TCoverage& other);
  const TRect& Bounds() const { return bounds_; }
  bool Empty() const { return IsRectEmpty(bounds_); }

 private:
  TRect bounds_;
  std::vector<uint8_t> bits_;
};

// A point sequence drawn as connected segments; `closed` joins the last
// point to the first. Segments leave out their end point (a closed figure
// thus covers every vertex once). Dashes: alternating on and off lengths in
// pixels, continued across segments; empty for a solid line. Pixels of the
// dash gaps go to `gaps` when it is given. A width above 1 draws round dots
// of that diameter along the line (dashes then do not apply).
void RasterPolyline(const std::vector<TPoint>& points, bool closed, int width, const std::vector<int>& dashes,
                    TCoverage& on, TCoverage* gaps);

// Calls plot for every pixel of the segment a -> b except b.
void ForEachLinePoint(TPoint a, TPoint b, const std::function<void(int x, int y)>& plot);

// Filled shapes inside the box [l, r) x [t, b).
void RasterEllipse(const TRect& box, TCoverage& out);
void RasterRoundRect(const TRect& box, int cornerWidth, int cornerHeight, TCoverage& out);
// Polygon interior by pixel centres; `winding` selects the non-zero rule
// instead of the alternate (even-odd) rule.
void RasterPolygon(const std::vector<TPoint>& points, bool winding, TCoverage& out);
// Row spans of a polygon interior (for regions): each (y, x0, x1).
struct TSpan {
  int y, x0, x1;
};
std::vector<TSpan> PolygonSpans(const std::vector<TPoint>& points, bool winding);

// Points of a cubic Bezier chain (1 + 3n points), flattened.
std::vector<TPoint> FlattenBezier(const std::vector<TPoint>& points);

// Bounding box of points, right and bottom one past the last point.
TRect PointsBounds(const std::vector<TPoint>& points);
