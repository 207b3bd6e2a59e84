// TPixVect: drawing the objects over the picture (on screen, into the back
// buffer, into any bitmap, or burned into the picture), with arrow heads,
// arcs, rotated texts, rulers and angle markers.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/iemask.h"
#include "imaging/proc/ieresample.h"
#include "imaging/view/ievect.h"

namespace {

// A ruler draws at most this many ticks; finer units give a solid bar of
// ticks long before this.
constexpr int kMaxRulerTicks = 10000;

// Whole pixels from any double an object may give (NaN counts as 0).
int TruncI(double v) { return std::isnan(v) ? 0 : int(std::clamp(std::trunc(v), -2147483647.0, 2147483647.0)); }

// The canvas walks every pixel of an outline, on the target or not, and
// stamps the pen's square at each: objects reaching farther than this from
// the target's origin are not drawn, and pens are at most this wide, so
// that a few numbers in an object stream cannot hold drawing up for long.
constexpr int kMaxDrawCoord = 8192;
constexpr int kMaxPenWidth = 16;
constexpr int kMaxArrowSize = 1024;

// Draws the segments of a polyline that touch the area (the target grown
// by the pen), each cut to it: a polyline of many long segments costs what
// its visible part costs.
void ClippedPolyline(TCanvas* c, const std::vector<TPoint>& pts, const TRect& area) {
  for (size_t i = 1; i < pts.size(); ++i) {
    double x0 = pts[i - 1].x, y0 = pts[i - 1].y, x1 = pts[i].x, y1 = pts[i].y;
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - area.Left, area.Right - x0, y0 - area.Top, area.Bottom - y0};
    bool visible = true;
    for (int k = 0; k < 4 && visible; ++k) {
      if (p[k] == 0) {
        visible = q[k] >= 0;
      } else {
        const double r = q[k] / p[k];
        if (p[k] < 0) t0 = std::max(t0, r);
        else t1 = std::min(t1, r);
        visible = t0 <= t1;
      }
    }
    if (!visible) continue;
    // Ends inside the area stay exact; cut ends land on its border.
    const TPoint a = t0 > 0 ? TPoint{TruncI(x0 + t0 * dx), TruncI(y0 + t0 * dy)} : pts[i - 1];
    const TPoint b = t1 < 1 ? TPoint{TruncI(x0 + t1 * dx), TruncI(y0 + t1 * dy)} : pts[i];
    c->MoveTo(a.x, a.y);
    c->LineTo(b.x, b.y);
  }
}

bool Drawable(int x1, int y1, int x2, int y2) {
  for (int v : {x1, y1, x2, y2})
    if (v < -kMaxDrawCoord || v > kMaxDrawCoord) return false;
  return true;
}

void ApplyFont(TFont* font, const LOGFONTA& lf, int height, TColor colour) {
  font->Name = std::string(lf.lfFaceName, strnlen(lf.lfFaceName, sizeof lf.lfFaceName));
  font->Height = height;
  font->Orientation = lf.lfEscapement;
  font->Charset = lf.lfCharSet;
  TFontStyles s = 0;
  if (lf.lfWeight >= 700) s |= fsBold;
  if (lf.lfItalic) s |= fsItalic;
  if (lf.lfUnderline) s |= fsUnderline;
  if (lf.lfStrikeOut) s |= fsStrikeOut;
  font->Style = s;
  font->Color = colour;
}

// The label font of rulers and angles: Arial 10 points in the colour.
void LabelFont(TCanvas* c, TColor colour, int orientation) {
  c->Font->Name = "Arial";
  c->Font->SetSize(10);
  c->Font->Style = 0;
  c->Font->Color = colour;
  c->Font->Orientation = orientation;
}

// Rulers and angles: a solid pen of the width and colour, no fill, the
// label font.
void MarkerStyle(TCanvas* c, int width, TColor colour) {
  c->Pen->Mode = pmCopy;
  c->Pen->Width = width;
  c->Pen->Style = psSolid;
  c->Pen->Color = colour;
  c->Brush->Style = bsClear;
  LabelFont(c, colour, 0);
}

}  // namespace

void TPixVect::Paint() {
  TPixView::Paint();
  hintSave_->SetSize(0, 0);
  if (hintOn_) HintShow(kIEVUnplaced, kIEVUnplaced);
}

void TPixVect::PaintTo(TCanvas* Canvas, TBitmap* Bitmap) {
  TPixView::PaintTo(Canvas, Bitmap);
  VPaintTo(Canvas, Bitmap);
}

void TPixVect::PaintToEx(TBitmap* Bitmap, uint8_t** RowPointers, const TRect* UpdateRect) {
  TPixView::PaintToEx(Bitmap, RowPointers, UpdateRect);
  VPaintTo(Bitmap->GetCanvas(), Bitmap);
}

void TPixVect::VPaintTo(TCanvas* Canvas, TBitmap* Bitmap) {
  drawnCount_ = 0;
  DrawObjectAll(Canvas, false, Bitmap);
  DrawSelGrips(Canvas);
}

void TPixVect::DrawObjectAll(TCanvas* Canvas, bool tobitmap, TBitmap* Bitmap) {
  if (allHidden_) return;
  const std::vector<int> list = list_;
  for (int h : list) DrawObject(Canvas, h, Bitmap, tobitmap);
}

TRect TPixVect::ObjClientRect(const TIEVObject& o) const {
  const int x1 = XBmp2Scr(o.x1), y1 = YBmp2Scr(o.y1), x2 = XBmp2Scr(o.x2), y2 = YBmp2Scr(o.y2);
  return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}

bool TPixVect::OverlapsPicture(const TRect& r) const {
  return r.Right >= OffsetX && r.Left <= OffsetX + VisibleW && r.Bottom >= OffsetY && r.Top <= OffsetY + VisibleH;
}

void TPixVect::CopyObjectsToBack() {
  TBitmap* picture = GetFBitmap();
  if (picture && !picture->GetEmpty()) {
    if (picture->GetPixelFormat() != pf24bit) picture->SetPixelFormat(pf24bit);
    DrawObjectAll(picture->GetCanvas(), true, picture);
  }
  Update();
}

void TPixVect::DrawObject(TCanvas* Canvas, int h, TBitmap* Bitmap, bool tobitmap) {
  if (allHidden_) return;
  const TIEVObject* op = GetObj(h);
  if (!op) return;
  const TIEVObject& o = *op;
  int X1, Y1, X2, Y2;
  double z;
  if (tobitmap) {
    X1 = o.x1, Y1 = o.y1, X2 = o.x2, Y2 = o.y2;
    z = 1;
  } else {
    X1 = XBmp2Scr(o.x1), Y1 = YBmp2Scr(o.y1), X2 = XBmp2Scr(o.x2), Y2 = YBmp2Scr(o.y2);
    z = GetZoom() / 100;
  }
  TPen* pen = Canvas->Pen;
  pen->Color = o.PenColor;
  pen->Style = o.PenStyle;
  pen->Width = std::clamp(zoomObjectsWidth_ ? TruncI(o.PenWidth * z) : o.PenWidth, 1, kMaxPenWidth);
  pen->Mode = pmCopy;
  Canvas->Brush->Color = o.BrushColor;
  Canvas->Brush->Style = o.BrushStyle;
  if (!(o.Style & ievsVisible)) return;
  if (!tobitmap && !OverlapsPicture(ObjClientRect(o))) return;
  // Lines and polylines are cut to the target; other shapes must lie near it.
  const TRect area{-pen->Width, -pen->Width, (Bitmap ? Bitmap->GetWidth() : GetClientWidth()) + pen->Width,
                   (Bitmap ? Bitmap->GetHeight() : GetClientHeight()) + pen->Width};
  if (o.Kind != iekLINE && o.Kind != iekPOLYLINE && !Drawable(X1, Y1, X2, Y2)) return;
  ++drawnCount_;
  switch (o.Kind) {
    case iekLINE: {
      ClippedPolyline(Canvas, {{X1, Y1}, {X2, Y2}}, area);
      const int sw = std::clamp(TruncI(o.ShapeWidth * z), -kMaxArrowSize, kMaxArrowSize);
      const int sh = std::clamp(TruncI(o.ShapeHeight * z), -kMaxArrowSize, kMaxArrowSize);
      if (Drawable(X1, Y1, X1, Y1)) DrawLineShape(Canvas, X1, Y1, X2, Y2, o.BeginShape, sw, sh);
      if (Drawable(X2, Y2, X2, Y2)) DrawLineShape(Canvas, X2, Y2, X1, Y1, o.EndShape, sw, sh);
      break;
    }
    case iekBOX:
      Canvas->Rectangle(X1, Y1, X2 + 1, Y2 + 1);
      break;
    case iekELLIPSE:
      Canvas->Ellipse(X1, Y1, X2 + 1, Y2 + 1);
      break;
    case iekARC:
      DrawArc(Canvas, X1, Y1, X2, Y2, o.ArcStart, o.ArcEnd);
      break;
    case iekBITMAP:
      DrawBitmapObject(Canvas, Bitmap, o, X1, Y1, X2, Y2);
      break;
    case iekTEXT:
      DrawObjectText(Canvas, X1, Y1, X2, Y2, o, z, h);
      break;
    case iekRULER:
      DrawRuler(Canvas, X1, Y1, X2, Y2, o.RulerUnit, o.PenColor, pen->Width, o.RulerType, 1 / z);
      break;
    case iekPOLYLINE: {
      const TRect& b = o.PolylineBaseRect;
      if (b.Right == b.Left || b.Bottom == b.Top) break;
      std::vector<TPoint> pts;
      pts.reserve(o.PolylinePoints.size());
      for (int i = 0; i < int(o.PolylinePoints.size()); ++i) {
        TPoint p = GetObjPolylinePoints(h, i);
        if (!tobitmap) p = {XBmp2Scr(p.x), YBmp2Scr(p.y)};
        pts.push_back(p);
      }
      ClippedPolyline(Canvas, pts, area);
      break;
    }
    case iekANGLE: {
      TPoint pts[3];
      for (int i = 0; i < 3; ++i) {
        pts[i] = o.AnglePoints[i];
        if (!tobitmap && pts[i].x != kIEVUnplaced) pts[i] = {XBmp2Scr(pts[i].x), YBmp2Scr(pts[i].y)};
        if (pts[i].x != kIEVUnplaced && !Drawable(pts[i].x, pts[i].y, 0, 0)) return;
      }
      DrawAngle(Canvas, pts, 1 / z, pen->Width, o.PenColor, tobitmap);
      break;
    }
    default:
      break;
  }
}

// The arc of the ellipse in the box, counter-clockwise on the screen from
// the direction of a0 to that of a1 (angles as stored: y grows downwards).
void TPixVect::DrawArc(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, double a0, double a1) {
  const double rx = (X2 - X1) / 2.0, ry = (Y2 - Y1) / 2.0;
  const double cx = X1 + rx, cy = Y1 + ry;
  auto visual = [&](double a) {
    return std::atan2(-(std::trunc(ry + ry * std::sin(a)) - ry), std::trunc(rx + rx * std::cos(a)) - rx);
  };
  // Angles from a file may be anything; a non-finite one draws the whole ellipse.
  double t0 = std::isfinite(a0) ? visual(a0) : 0, t1 = std::isfinite(a1) ? visual(a1) : 0;
  if (t1 <= t0) t1 += 2 * M_PI;
  const int steps = std::clamp(TruncI(std::ceil((t1 - t0) * std::max(std::fabs(rx), std::fabs(ry)) / 2)), 4, 720);
  std::vector<TPoint> pts;
  for (int i = 0; i <= steps; ++i) {
    const double t = t0 + (t1 - t0) * i / steps;
    pts.push_back({TruncI(std::nearbyint(cx + rx * std::cos(t))), TruncI(std::nearbyint(cy - ry * std::sin(t)))});
  }
  Canvas->Polyline(pts);
}

void TPixVect::DrawLineShape(TCanvas* Canvas, int ex, int ey, int ox, int oy, TIEShape shape, int w, int h) {
  if (shape != iesINARROW && shape != iesOUTARROW) return;
  const double dx = double(ox) - ex, dy = double(oy) - ey;
  const double len = std::hypot(dx, dy);
  if (len == 0) return;
  const double ux = dx / len, uy = dy / len;
  const double nx = -uy, ny = ux;
  const double hw = w / 2.0;
  std::vector<TPoint> tri;
  if (shape == iesINARROW) {
    tri = {{ex + TruncI(hw * nx), ey + TruncI(hw * ny)},
           {ex - TruncI(hw * nx), ey - TruncI(hw * ny)},
           {ex + TruncI(h * ux), ey + TruncI(h * uy)}};
  } else {
    const int bx = ex + TruncI(h * ux), by = ey + TruncI(h * uy);
    tri = {{bx + TruncI(hw * nx), by + TruncI(hw * ny)}, {bx - TruncI(hw * nx), by - TruncI(hw * ny)}, {ex, ey}};
  }
  Canvas->Polygon(tri);
}

void TPixVect::DrawObjectText(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, const TIEVObject& o, double z,
                              int h) {
  if (!o.Text) return;
  if (h == textEditing_) {
    Canvas->Brush->Style = bsClear;
    Canvas->Rectangle(X1 - 1, Y1 - 1, X2 + 1, Y2 + 1);
    return;
  }
  LOGFONTA lf{};
  if (o.Font) lf = *o.Font;
  else std::strcpy(lf.lfFaceName, "Arial");
  const int height = lf.lfHeight != 0 ? TruncI(lf.lfHeight * z) : Y2 - Y1;
  TFont saved;
  saved.Assign(Canvas->Font);
  ApplyFont(Canvas->Font, lf, height, o.PenColor);
  const double th = lf.lfEscapement / 10.0 * M_PI / 180;
  const TSize ext = Canvas->TextExtent(*o.Text);
  const double w = ext.cx, hh = ext.cy;
  const int dy = TruncI(std::sin(th) * w + (Y2 - Y1) - std::cos(th) * hh) / 2;
  int dx = 0;
  switch (o.TextAlign) {
    case taLeftJustify: dx = std::abs(TruncI(std::sin(th) * hh)); break;
    case taRightJustify: dx = TruncI((X2 - X1) - std::cos(th) * w); break;
    case taCenter: dx = TruncI((X2 - X1) - std::cos(th) * w - std::sin(th) * hh) / 2; break;
  }
  Canvas->Rectangle(X1, Y1, X2 + 1, Y2 + 1);
  Canvas->Brush->Style = bsClear;
  Canvas->TextRect(TRect{X1, Y1, X2, Y2}, X1 + dx, Y1 + dy, *o.Text);
  Canvas->Font->Assign(&saved);
}

void TPixVect::DrawBitmapObject(TCanvas* Canvas, TBitmap* Bitmap, const TIEVObject& o, int X1, int Y1, int X2,
                                int Y2) {
  TBitmap* src = GetBitmap(o.BitmapIdx);
  TIEMask* alpha = GetBitmapAlpha(o.BitmapIdx);
  if (!src || !alpha) {
    Canvas->MoveTo(X1, Y1);
    Canvas->LineTo(X2, Y2);
    Canvas->MoveTo(X2, Y1);
    Canvas->LineTo(X1, Y2);
    Canvas->Brush->Style = bsClear;
    Canvas->Rectangle(X1, Y1, X2 + 1, Y2 + 1);
    return;
  }
  if (X1 > X2) std::swap(X1, X2);
  if (Y1 > Y2) std::swap(Y1, Y2);
  const int W = X2 - X1 + 1, H = Y2 - Y1 + 1;
  TBitmap resampled;
  TIEMask resampledAlpha;
  if (resampleFilter_ != rfNone && !moving_ && (W != src->GetWidth() || H != src->GetHeight()) && W < 20000 &&
      H < 20000) {
    resampled.SetPixelFormat(pf24bit);
    resampled.SetSize(W, H);
    if (src->GetPixelFormat() == pf1bit)
      _Resample1bit(src, &resampled, resampleFilter_);
    else
      _Resample(src, &resampled, resampleFilter_);
    resampledAlpha.AllocateBits(W, H, 8);
    _ResampleAlpha(alpha, &resampledAlpha, resampleFilter_);
    src = &resampled;
    alpha = &resampledAlpha;
  }
  if (Bitmap && Bitmap->GetPixelFormat() == pf24bit)
    DrawBitmapAlpha(Bitmap, src, alpha, X1, Y1, X2, Y2);
  else
    Canvas->StretchDraw(TRect{X1, Y1, X1 + W, Y1 + H}, src);
}

void TPixVect::DrawBitmapAlpha(TBitmap* Dest, TBitmap* Src, TIEMask* Alpha, int x1, int y1, int x2, int y2) {
  if (x2 < 0 || y2 < 0 || !Dest || !Src || !Alpha) return;
  const int sw = Src->GetWidth(), sh = Src->GetHeight();
  if (sw <= 0 || sh <= 0 || x2 < x1 || y2 < y1) return;
  const int64_t sx = int64_t(double(sw) / (int64_t(x2) - x1 + 1) * 16384);
  const int64_t sy = int64_t(double(sh) / (int64_t(y2) - y1 + 1) * 16384);
  x2 = std::min(x2, Dest->GetWidth() - 1);
  y2 = std::min(y2, Dest->GetHeight() - 1);
  const TPixelFormat fmt = Src->GetPixelFormat();
  if (fmt != pf24bit && fmt != pf1bit) return;
  for (int j = std::max(0, y1); j <= y2; ++j) {
    const int srow = int(std::min<int64_t>(((j - int64_t(y1)) * sy) >> 14, sh - 1));
    const uint8_t* s = Src->ScanLine(srow);
    const uint8_t* a = Alpha->GetScanLine(std::min(srow, Alpha->Height - 1));
    uint8_t* d = Dest->ScanLine(j);
    if (!s || !a || !d) continue;
    for (int i = std::max(0, x1); i <= x2; ++i) {
      const int scol = int(std::min<int64_t>(((i - int64_t(x1)) * sx) >> 14, sw - 1));
      const int av = scol < Alpha->Width ? a[scol] : 255;
      uint8_t* dp = d + size_t(i) * 3;
      if (fmt == pf24bit) {
        const uint8_t* sp = s + size_t(scol) * 3;
        for (int c = 0; c < 3; ++c) dp[c] = uint8_t(dp[c] + (((int(sp[c]) - dp[c]) * (av << 10)) >> 18));
      } else {
        const bool set = (s[scol >> 3] & (0x80 >> (scol & 7))) != 0;
        const int r = dp[2];
        const int v = set ? r - ((av * (r - 255) + 255) >> 8) : r - ((av * r + 255) >> 8);
        dp[0] = dp[1] = dp[2] = uint8_t(std::clamp(v, 0, 255));
      }
    }
  }
}

void TPixVect::DrawRuler(TCanvas* Canvas, int X1, int Y1, int X2, int Y2, TIEUnits unit, TColor colour, int width,
                         TIEVRulerType type, double f) {
  if (X1 == X2 && Y1 == Y2) return;
  MarkerStyle(Canvas, width, colour);
  const double L = std::hypot(double(X2 - X1), double(Y2 - Y1));
  Canvas->MoveTo(X1, Y1);
  Canvas->LineTo(X2, Y2);
  const double ux = (X2 - X1) / L, uy = (Y2 - Y1) / L;
  const double nx = X2 >= X1 ? uy : -uy, ny = X2 >= X1 ? -ux : ux;
  double cu, cv;
  CalcCoef(cu, cv, unit);
  const TIEVRulerType t = unsigned(type) <= iertQUOTEEND ? type : iertQUOTECENTER;
  if (t == iertRULER) {
    const double A = f * cu * 10, B = f * cv * 10;
    if (A == 0 || B == 0) return;
    const int lx = std::min(X1, X2), rx = std::max(X1, X2), ty = std::min(Y1, Y2), by = std::max(Y1, Y2);
    double prevDist = 0;
    for (int k = 0; k < kMaxRulerTicks && TruncI(prevDist) < L; ++k) {
      const int fx = X1 + TruncI(k / A * ux), fy = Y1 + TruncI(k / B * uy);
      prevDist = std::hypot(double(fx - X1), double(fy - Y1));
      if (fx < lx || fx > rx || fy < ty || fy > by) continue;
      const int len = k % 10 == 0 ? 12 : k % 5 == 0 ? 8 : 6;
      const int ex = fx + TruncI(len * nx), ey = fy + TruncI(len * ny);
      Canvas->MoveTo(ex, ey);
      Canvas->LineTo(fx - TruncI(len * nx), fy - TruncI(len * ny));
      if (k % 10 != 0) continue;
      const std::string label = std::to_string(k / 10);
      const int h2 = 2 * Canvas->TextHeight(label), hw = Canvas->TextWidth(label) / 2;
      const bool downRight = (X2 > X1 && Y2 > Y1) || (X2 < X1 && Y2 < Y1);
      if (downRight)
        Canvas->TextOut(TruncI(ex + h2 * nx - 2 * hw * nx + hw * ny), TruncI(ey + h2 * ny - hw * nx) + 20, label);
      else
        Canvas->TextOut(TruncI(ex + h2 * nx + hw * ny), TruncI(ey + h2 * ny + hw * nx) + 20, label);
    }
    return;
  }
  for (const TPoint e : {TPoint{X1, Y1}, TPoint{X2, Y2}}) {
    Canvas->MoveTo(e.x + TruncI(9 * nx), e.y + TruncI(9 * ny));
    Canvas->LineTo(e.x - TruncI(9 * nx), e.y - TruncI(9 * ny));
  }
  const double value = std::hypot(std::fabs(double(X2 - X1)) * cu * f, std::fabs(double(Y2 - Y1)) * cv * f);
  const std::string text = FormatMeasure(value) + " " + IEVUnitName(unit);
  double phi = std::atan2(-(Y2 - Y1), X2 - X1);
  if (phi < 0) phi += 2 * M_PI;
  LabelFont(Canvas, colour, TruncI(phi * 180 / M_PI * 10));
  const int tw = Canvas->TextWidth(text);
  switch (t) {
    case iertQUOTEBEGIN: Canvas->TextOut(X1, Y1, " " + text); break;
    case iertQUOTEEND:
      Canvas->TextOut(X1 + TruncI(std::cos(phi) * (L - tw)), Y1 - TruncI(std::sin(phi) * (L - tw)), text + " ");
      break;
    default:
      Canvas->TextOut(X1 + TruncI(std::cos(phi) * (L - tw) / 2), Y1 - TruncI(std::sin(phi) * (L - tw) / 2), text);
      break;
  }
  Canvas->Font->Orientation = 0;
}

void TPixVect::DrawAngle(TCanvas* Canvas, const TPoint* points, double f, int width, TColor colour, bool tobitmap) {
  (void)f;
  (void)tobitmap;
  const int n = CountAnglePoints(points);
  if (n == 0) return;
  MarkerStyle(Canvas, width, colour);
  Canvas->Polyline(std::vector<TPoint>(points, points + n));
  if (n < 3) return;
  // The value from the points as drawn: the same angle at any zoom.
  const double value = AngleOfPoints(points);
  Canvas->TextOut(points[1].x, points[1].y, FormatMeasure(value) + "\xC2\xB0");
  const int d0 = TruncI(std::hypot(double(points[0].x - points[1].x), double(points[0].y - points[1].y)));
  const int d2 = TruncI(std::hypot(double(points[2].x - points[1].x), double(points[2].y - points[1].y)));
  const int r = std::min(d0, d2) / 4;
  if (r <= 0) return;
  const double a0 = std::atan2(points[0].y - points[1].y, points[0].x - points[1].x);
  const double a1 = std::atan2(points[2].y - points[1].y, points[2].x - points[1].x);
  DrawArc(Canvas, points[1].x - r, points[1].y - r, points[1].x + r, points[1].y + r, a0, a1);
}
