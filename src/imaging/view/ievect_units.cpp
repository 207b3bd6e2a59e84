// TPixVect: measure units, the user scale, the coefficients that turn
// bitmap pixels into units, and the measures of selections, polylines and
// angles.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "imaging/view/ievect.h"
#include "imaging/view/magicwand.h"

void TPixVect::CalcCoef(double& cx, double& cy, TIEUnits unit) const {
  if (unit == ieuPIXELS) {
    cx = cy = scale_;
    return;
  }
  static const double factors[] = {1, 1, 2.54 / 100000, 2.54 / 100, 2.54, 2.54 * 10, 2.54 * 10000, 2.54 * 10000000};
  const double f = unsigned(unit) <= unsigned(kIEVLastUnit) ? factors[unit] : 1;
  // A picture without a resolution has no physical size: its measures are 0.
  cx = DPIX > 0 ? f / DPIX * scale_ : 0;
  cy = DPIY > 0 ? f / DPIY * scale_ : 0;
}

void TPixVect::RecalcCoef() { CalcCoef(cx_, cy_, mUnit_); }

void TPixVect::SetMUnit(TIEUnits u) {
  mUnit_ = u;
  templ_.RulerUnit = u;
  RecalcCoef();
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
}

void TPixVect::SetDPIX(int dpi) {
  TPixView::SetDPIX(dpi);
  RecalcCoef();
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
  Update();
}

void TPixVect::SetDPIY(int dpi) {
  TPixView::SetDPIY(dpi);
  RecalcCoef();
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
  Update();
}

void TPixVect::SetFloatDigits(int32_t v) {
  floatDigits_ = v;
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
}

void TPixVect::SetFloatPrecision(int32_t v) {
  floatPrecision_ = v;
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
}

void TPixVect::SetScale(double s) {
  scale_ = s;
  RecalcCoef();
  UpdateHint(kIEVUnplaced, kIEVUnplaced);
  Update();
}

void TPixVect::SetScaleFromPixels(int32_t pixels, double value) {
  const double unitPerPixel = scale_ != 0 ? cx_ / scale_ : 0;
  if (pixels == 0 || unitPerPixel == 0) return;  // no length to scale by
  SetScale(value / pixels / unitPerPixel);
}

void TPixVect::SetScaleFromSelectionLen(double value) {
  const double sx = cx_, sy = cy_;
  cx_ = cy_ = 1.0;
  const double len = GetSelectionLen();
  cx_ = sx;
  cy_ = sy;
  SetScaleFromPixels(int32_t(std::lround(len)), value);
}

std::string TPixVect::FormatMeasure(double value) const {
  char buf[64];
  const int digits = std::clamp(floatDigits_, 0, 18);
  // FloatPrecision significant digits, then FloatDigits decimals.
  const int prec = std::clamp(floatPrecision_, 1, 18);
  char sig[64];
  std::snprintf(sig, sizeof sig, "%.*g", prec, value);
  std::snprintf(buf, sizeof buf, "%.*f", digits, std::strtod(sig, nullptr));
  return buf;
}

void TPixVect::SetBitmapResampleFilter(TResampleFilter f) {
  resampleFilter_ = f;
  Update();
}

void TPixVect::SetZoomObjectsWidth(bool b) {
  zoomObjectsWidth_ = b;
  Update();
}

// Measures -----------------------------------------------------------------------------------

namespace {

double SegLen(double dx, double dy, double cx, double cy) {
  return std::sqrt((cx * std::fabs(dx)) * (cx * std::fabs(dx)) + (cy * std::fabs(dy)) * (cy * std::fabs(dy)));
}

constexpr int32_t kSep = TIEMask::PolygonSeparator;

// The centroid of the first polygon of the points (up to a separator).
TPoint Centroid(const std::vector<TPoint>& pts) {
  size_t n = 0;
  while (n < pts.size() && pts[n].x != kSep) ++n;
  if (n < 3) return {0, 0};
  double a = 0, sx = 0, sy = 0;
  for (size_t j = 0; j < n; ++j) {
    const TPoint& p = pts[j];
    const TPoint& q = pts[j == 0 ? n - 1 : j - 1];
    const double e = double(p.y) * q.x - double(p.x) * q.y;
    a += e;
    sx += e * (double(p.x) + q.x);
    sy += e * (double(p.y) + q.y);
  }
  if (a == 0) return {0, 0};
  return {IEVClampInt(std::trunc(sx / (3 * a))), IEVClampInt(std::trunc(sy / (3 * a)))};
}

}  // namespace

double TPixVect::GetSelectionLen() {
  const int n = GetPolySelCount();
  if (n < 2) return 0;
  const TPoint* p = GetPolySelArray();
  double len = 0;
  int first = 0;
  for (int i = 0; i < n; ++i) {
    if (p[i].x == kSep) {
      if (i > first) len += SegLen(p[i - 1].x - p[first].x, p[i - 1].y - p[first].y, cx_, cy_);
      first = i + 1;
      continue;
    }
    if (i + 1 < n && p[i + 1].x != kSep) len += SegLen(p[i + 1].x - p[i].x, p[i + 1].y - p[i].y, cx_, cy_);
  }
  const TPoint& last = p[n - 1];
  if (last.x != kSep) {
    if (PolygonInProgress()) {
      const int32_t mx = XScr2Bmp(rawMouse_.x), my = YScr2Bmp(rawMouse_.y);
      len += SegLen(mx - last.x, my - last.y, cx_, cy_);
    } else if (n > 2 && n - 1 > first) {
      len += SegLen(last.x - p[first].x, last.y - p[first].y, cx_, cy_);
    }
  }
  return len;
}

double TPixVect::GetSelectionArea() {
  const int n = GetPolySelCount();
  if (n < 3) return 0;
  const TPoint* p = GetPolySelArray();
  double sum = 0;
  int first = 0;
  for (int i = 0; i < n; ++i) {
    if (p[i].x == kSep) {
      first = i + 1;
      continue;
    }
    const bool lastOfPoly = i + 1 == n || p[i + 1].x == kSep;
    const TPoint& q = lastOfPoly ? p[first] : p[i + 1];
    sum += (double(p[i].x) - q.x) * (double(q.y) + p[i].y) * cx_ * cy_;
  }
  return std::fabs(sum / 2);
}

TPoint TPixVect::GetSelectionCentroid() {
  if (GetPolySelCount() < 3) return {0, 0};
  const TPoint* p = GetPolySelArray();
  return Centroid(std::vector<TPoint>(p, p + GetPolySelCount()));
}

namespace {

// The points of a polyline mapped into its rectangle, as real numbers.
std::vector<std::pair<double, double>> MappedPoints(const TIEVObject& o, double zx, double zy) {
  std::vector<std::pair<double, double>> r;
  r.reserve(o.PolylinePoints.size());
  for (const TPoint& p : o.PolylinePoints)
    r.emplace_back(o.x1 + (double(p.x) - o.PolylineBaseRect.Left) * zx,
                   o.y1 + (double(p.y) - o.PolylineBaseRect.Top) * zy);
  return r;
}

}  // namespace

double TPixVect::GetPolylineLen(int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || o->Kind != iekPOLYLINE) return 0;
  double zx, zy;
  CalcZxZyPolyline(*o, zx, zy);
  const auto pts = MappedPoints(*o, zx, zy);
  double len = 0;
  for (size_t i = 1; i < pts.size(); ++i)
    len += SegLen(pts[i].first - pts[i - 1].first, pts[i].second - pts[i - 1].second, cx_, cy_);
  return len;
}

double TPixVect::GetPolylineArea(int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || o->Kind != iekPOLYLINE) return 0;
  double zx, zy;
  CalcZxZyPolyline(*o, zx, zy);
  const auto pts = MappedPoints(*o, zx, zy);
  double sum = 0;
  for (size_t i = 0; i < pts.size(); ++i) {
    const auto& p = pts[i];
    const auto& q = pts[(i + 1) % pts.size()];
    sum += (p.first - q.first) * (q.second + p.second) / 2;
  }
  return std::fabs(sum) * cx_ * cy_;
}

TPoint TPixVect::GetPolylineCentroid(int h) {
  const TIEVObject* o = GetObj(h);
  if (!o || o->Kind != iekPOLYLINE) return {0, 0};
  std::vector<TPoint> pts;
  for (int i = 0; i < int(o->PolylinePoints.size()); ++i) pts.push_back(GetObjPolylinePoints(h, i));
  return Centroid(pts);
}

int TPixVect::CountAnglePoints(const TPoint* points) {
  int n = 0;
  while (n < 3 && points[n].x != kIEVUnplaced) ++n;
  return n;
}

double TPixVect::GetAngleValue(int h) {
  const TIEVObject* o = GetObj(h);
  return o ? AngleOfPoints(o->AnglePoints) : 0;
}

double TPixVect::AngleOfPoints(const TPoint* points) {
  if (CountAnglePoints(points) < 3) return 0;
  const TPoint p0 = points[0], p1 = points[1], p2 = points[2];
  auto dist = [](TPoint a, TPoint b) {
    const double d = std::hypot(double(a.x) - b.x, double(a.y) - b.y);
    return d == 0 ? 1.0 : d;
  };
  const double a = dist(p1, p2), b = dist(p0, p1), c = dist(p0, p2);
  const double cosv = std::clamp((a * a + b * b - c * c) / (2 * a * b), -1.0, 1.0);
  double deg = std::acos(cosv) * 180 / M_PI;
  // The standard counter-clockwise test; collinear points count clockwise
  // when the vertex and the third point lie on opposite sides of the first.
  // 128-bit products: differences of 32-bit points take 33 bits each.
  const __int128 dx1 = int64_t(p1.x) - p0.x, dy1 = int64_t(p1.y) - p0.y;
  const __int128 dx2 = int64_t(p2.x) - p0.x, dy2 = int64_t(p2.y) - p0.y;
  int ccw;
  if (dx1 * dy2 > dy1 * dx2)
    ccw = 1;
  else if (dx1 * dy2 < dy1 * dx2)
    ccw = -1;
  else if (dx1 * dx2 < 0 || dy1 * dy2 < 0)
    ccw = -1;
  else
    ccw = 1;
  if (ccw == -1) deg = 360 - deg;
  return deg;
}

int TPixVect::CreatePolygonFromEdge(int32_t x, int32_t y, int32_t maxfilter, int32_t tolerance) {
  (void)maxfilter;  // the tracer follows the region's edge without a filter
  int32_t count = 0;
  const std::vector<TPoint> pts = _MakeMagicWandPoints(GetFBitmap(), XScr2Bmp(x), YScr2Bmp(y), false, tolerance, count);
  if (pts.empty()) return -1;
  const int h = AddNewObject();
  SetObjKind(h, iekPOLYLINE);
  SetObjPolylinePoints(h, pts);
  AddPolyLinePoint(h, pts.front().x, pts.front().y);
  Update();
  return h;
}
