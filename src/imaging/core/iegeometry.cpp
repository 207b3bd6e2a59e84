#include "imaging/core/iegeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "imaging/core/ievalues.h"
#include "platform/sysutils.h"

bool _InRect(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  return x >= x1 && x <= x2 && y >= y1 && y <= y2;
}

bool _InRectO(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  OrdCor(x1, y1, x2, y2);
  return _InRect(x, y, x1, y1, x2, y2);
}

bool _RectXRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                int32_t x4, int32_t y4) {
  return !(std::max(x1, x2) < x3 || x4 < std::min(x1, x2) || std::max(y1, y2) < y3 ||
           y4 < std::min(y1, y2));
}

int _RectPRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
               int32_t x4, int32_t y4) {
  const bool ax = x3 >= x1 && x3 <= x2;
  const bool bx = x4 >= x1 && x4 <= x2;
  const bool ay = y3 >= y1 && y3 <= y2;
  const bool by = y4 >= y1 && y4 <= y2;
  if ((ax != bx && (ay || by)) || ((ax || bx) && ay != by) || (ax != bx && ay != by)) return 1;
  if (ax && bx && ay && by) return 2;
  return 0;
}

double _DistPoint2Point(int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  return std::sqrt(dx * dx + dy * dy);
}

double _DistPoint2Line(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  // 64-bit products: 32-bit ones wrap for points a few ten thousand apart.
  const int64_t dy = static_cast<int64_t>(y1) - y2;
  const int64_t dx = static_cast<int64_t>(x2) - x1;
  if (dx == 0 && dy == 0) return _DistPoint2Point(px, py, x1, y1);
  const int64_t numerator = px * dy + py * dx + static_cast<int64_t>(x1) * y2 -
                            static_cast<int64_t>(x2) * y1;
  return std::fabs(static_cast<double>(numerator)) /
         std::sqrt(static_cast<double>(dy) * dy + static_cast<double>(dx) * dx);
}

namespace {

// Distance to an end point, or "far" when it lies 45,001 or more away on
// either axis.
double DistToEnd(int32_t px, int32_t py, int32_t x, int32_t y) {
  if (std::llabs(static_cast<int64_t>(x) - px) > 45000 ||
      std::llabs(static_cast<int64_t>(y) - py) > 45000)
    return kIEFarDistance;
  return _DistPoint2Point(px, py, x, y);
}

}  // namespace

double _DistPoint2Seg(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2) {
  const double dx = static_cast<double>(x2) - x1;
  const double dy = static_cast<double>(y2) - y1;
  const double lengthSquared = dx * dx + dy * dy;
  if (lengthSquared == 0) return _DistPoint2Point(px, py, x1, y1);
  const double t = (dx * (static_cast<double>(px) - x1) + dy * (static_cast<double>(py) - y1)) /
                   lengthSquared;
  if (t > 1) return DistToEnd(px, py, x2, y2);
  if (t < 0) return DistToEnd(px, py, x1, y1);
  return _DistPoint2Line(px, py, x1, y1, x2, y2);
}

double _DistPoint2Polyline(int32_t px, int32_t py, const TPoint* points, int count, int32_t baseX,
                           int32_t baseY, int32_t offsetX, int32_t offsetY, double zoomX,
                           double zoomY) {
  auto mapX = [&](int32_t x) {
    return static_cast<int32_t>(Round((static_cast<double>(x) - baseX) * zoomX + offsetX));
  };
  auto mapY = [&](int32_t y) {
    return static_cast<int32_t>(Round((static_cast<double>(y) - baseY) * zoomY + offsetY));
  };
  double best = kIEFarDistance;
  for (int i = 1; i < count; ++i) {
    const double d = _DistPoint2Seg(px, py, mapX(points[i - 1].x), mapY(points[i - 1].y),
                                    mapX(points[i].x), mapY(points[i].y));
    best = std::min(best, d);
  }
  return best;
}

void _CastPolySelCC(int32_t x0, int32_t y0, int32_t& x, int32_t& y) {
  const int32_t dx = std::abs(x0 - x);
  const int32_t dy = std::abs(y0 - y);
  if (dx + 30 < dy) {
    x = x0;
    return;
  }
  if (dy < dx - 30) {
    y = y0;
    return;
  }
  const int32_t d = std::abs(dx - dy);
  const bool wide = dx >= dy;
  if (x > x0 && y > y0) {
    (wide ? y : x) += d;
  } else if (x < x0 && y < y0) {
    (wide ? x : y) += d;
  } else if (x < x0) {
    if (wide) y += d; else x -= d;
  } else if (y < y0) {
    if (wide) y -= d; else x += d;
  }
}
