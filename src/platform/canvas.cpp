#include "platform/canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>
#include <QTransform>
#include <algorithm>
#include <cmath>

#include "platform/gdi.h"

// Pens, brushes, fonts -----------------------------------------------------------

void TPen::Assign(TPersistent* source) {
  if (auto* p = dynamic_cast<TPen*>(source)) {
    Color = p->Color;
    Width = p->Width;
    Style = p->Style;
    Mode = p->Mode;
    return;
  }
  TPersistent::Assign(source);
}

void TBrush::Assign(TPersistent* source) {
  if (auto* b = dynamic_cast<TBrush*>(source)) {
    Color = b->Color;
    Style = b->Style;
    return;
  }
  TPersistent::Assign(source);
}

int TFont::GetSize() const { return -int(std::lround(double(Height) * 72 / PixelsPerInch)); }

void TFont::SetSize(int points) { Height = -int(std::lround(double(points) * PixelsPerInch / 72)); }

void TFont::Assign(TPersistent* source) {
  if (auto* f = dynamic_cast<TFont*>(source)) {
    Name = f->Name;
    Charset = f->Charset;
    Color = f->Color;
    Style = f->Style;
    Pitch = f->Pitch;
    Orientation = f->Orientation;
    // The size in points survives a change of resolution.
    if (f->PixelsPerInch == PixelsPerInch) {
      Height = f->Height;
    } else {
      SetSize(f->GetSize());
    }
    return;
  }
  TPersistent::Assign(source);
}

std::vector<int> PenDashes(TPenStyle style) {
  switch (style) {
    case psDash: return {18, 6};
    case psDot: return {3, 3};
    case psDashDot: return {9, 6, 3, 6};
    case psDashDotDot: return {9, 3, 3, 3, 3, 3};
    default: return {};
  }
}

bool BrushCovers(TBrushStyle style, int x, int y) {
  int mx = x & 7, my = y & 7;
  switch (style) {
    case bsSolid: return true;
    case bsClear: return false;
    case bsHorizontal: return my == 0;
    case bsVertical: return mx == 0;
    case bsFDiagonal: return mx == my;
    case bsBDiagonal: return mx == 7 - my;
    case bsCross: return mx == 0 || my == 0;
    case bsDiagCross: return mx == my || mx == 7 - my;
  }
  return false;
}

// Canvas ---------------------------------------------------------------------------

namespace {

constexpr int kRop2Copy = 13;
constexpr int kRop2Not = 6;

int Rop2Of(TPenMode mode) {
  static const int codes[] = {1, 16, 11, 6, 13, 4, 14, 5, 12, 3, 15, 2, 9, 8, 7, 10};
  return codes[mode];
}

class TBitmapTarget : public TCanvasTarget {
 public:
  explicit TBitmapTarget(TBitmap* bitmap) : bitmap_(bitmap) {}
  TPixelSurface Surface() override { return TPixelSurface::OfImage(bitmap_->Image()); }
  void Changed() override { bitmap_->Changed(); }

 private:
  TBitmap* bitmap_;
};

TRect Normalized(TRect r) {
  if (r.Right < r.Left) std::swap(r.Left, r.Right);
  if (r.Bottom < r.Top) std::swap(r.Top, r.Bottom);
  return r;
}

}  // namespace

TCanvas::TCanvas(TCanvasTarget* target) : Pen(&pen_), Brush(&brush_), Font(&font_), target_(target) {}

TCanvas::TCanvas(TBitmap* bitmap) : TCanvas(new TBitmapTarget(bitmap)) {}

TCanvas::~TCanvas() {
  ReleaseCanvasHandle(handle_);
  delete target_;
}

TCanvas* TBitmap::GetCanvas() {
  if (canvas_ == nullptr) canvas_ = new TCanvas(this);
  return canvas_;
}

// Mapping ----------------------------------------------------------------------------

double TCanvas::ScaleX() {
  switch (MapMode) {
    case MM_LOMETRIC: return PixelsPerInchX() / 254.0;
    case MM_HIMETRIC: return PixelsPerInchX() / 2540.0;
    case MM_LOENGLISH: return PixelsPerInchX() / 100.0;
    case MM_HIENGLISH: return PixelsPerInchX() / 1000.0;
    case MM_TWIPS: return PixelsPerInchX() / 1440.0;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: return WindowExt.cx == 0 ? 1.0 : double(ViewportExt.cx) / WindowExt.cx;
    default: return 1.0;
  }
}

double TCanvas::ScaleY() {
  switch (MapMode) {
    case MM_LOMETRIC: return -PixelsPerInchY() / 254.0;
    case MM_HIMETRIC: return -PixelsPerInchY() / 2540.0;
    case MM_LOENGLISH: return -PixelsPerInchY() / 100.0;
    case MM_HIENGLISH: return -PixelsPerInchY() / 1000.0;
    case MM_TWIPS: return -PixelsPerInchY() / 1440.0;
    case MM_ISOTROPIC:
    case MM_ANISOTROPIC: return WindowExt.cy == 0 ? 1.0 : double(ViewportExt.cy) / WindowExt.cy;
    default: return 1.0;
  }
}

TPoint TCanvas::ToDevice(int x, int y) {
  if (MapMode == MM_TEXT) return {x - WindowOrg.x + ViewportOrg.x, y - WindowOrg.y + ViewportOrg.y};
  return {int32_t(std::lround((int64_t(x) - WindowOrg.x) * ScaleX())) + ViewportOrg.x,
          int32_t(std::lround((int64_t(y) - WindowOrg.y) * ScaleY())) + ViewportOrg.y};
}

TRect TCanvas::ToDevice(const TRect& r) {
  TPoint a = ToDevice(r.Left, r.Top), b = ToDevice(r.Right, r.Bottom);
  return {a.x, a.y, b.x, b.y};
}

std::vector<TPoint> TCanvas::DevicePoints(const std::vector<TPoint>& points) {
  std::vector<TPoint> out;
  out.reserve(points.size());
  for (const TPoint& p : points) out.push_back(ToDevice(p.x, p.y));
  return out;
}

int TCanvas::DevicePenWidth() {
  int w = std::max(Pen->Width, 1);
  if (MapMode != MM_TEXT && w > 1) w = std::max(1, int(std::lround(w * std::fabs(ScaleX()))));
  return w;
}

// Painting pixels --------------------------------------------------------------------

TRect TCanvas::SurfaceBounds(const TPixelSurface& s) { return {0, 0, s.width, s.height}; }

template <typename Op>
void TCanvas::ForEachPixel(TPixelSurface& s, const TCoverage& area, Op op) {
  TRect box;
  if (!IntersectRect(box, area.Bounds(), SurfaceBounds(s))) return;
  auto run = [&](const TRect& r) {
    for (int y = r.Top; y < r.Bottom; ++y)
      for (int x = r.Left; x < r.Right; ++x)
        if (area.Test(x, y)) s.Set(x, y, op(x, y, s.Get(x, y)));
  };
  if (!hasClip_) {
    run(box);
  } else {
    for (const QRect& q : clip_) {
      TRect piece;
      if (IntersectRect(piece, box, TRect{q.left(), q.top(), q.right() + 1, q.bottom() + 1})) run(piece);
    }
  }
  target_->Changed();
}

void TCanvas::Paint(const TCoverage& area, TColor color, int rop2, bool brushPattern) {
  TPixelSurface s = target_->Surface();
  if (!s.Valid() || area.Empty()) return;
  uint32_t value = s.ToValue(RgbOfColorRef(ColorToRGB(color)));
  uint32_t mask = s.ValueMask();
  TBrushStyle style = Brush->Style;
  ForEachPixel(s, area, [&](int x, int y, uint32_t dest) {
    if (brushPattern && !BrushCovers(style, x, y)) return dest;
    return ApplyRop2(rop2, value, dest, mask);
  });
}

// Lines and shapes ---------------------------------------------------------------------

void TCanvas::DrawOutline(const std::vector<TPoint>& devicePoints, bool closed, TCoverage* interior) {
  TPixelSurface s = target_->Surface();
  if (!s.Valid()) return;
  int width = DevicePenWidth();
  TRect bounds = PointsBounds(devicePoints);
  InflateRect(bounds, width, width);
  IntersectRect(bounds, bounds, SurfaceBounds(s));
  TCoverage on(bounds), gaps(bounds);
  if (Pen->Style != psClear) RasterPolyline(devicePoints, closed, width, PenDashes(Pen->Style), on, &gaps);
  int rop2 = Rop2Of(Pen->Mode);
  if (interior) {
    interior->Subtract(on);
    interior->Subtract(gaps);
    if (Brush->Style != bsClear) Paint(*interior, Brush->Color, rop2, true);
  }
  if (Pen->Style == psClear) return;
  Paint(on, Pen->Color, rop2, false);
  if (Opaque()) Paint(gaps, Brush->Color, rop2, false);
}

void TCanvas::MoveTo(int x, int y) { PenPos = {x, y}; }

void TCanvas::LineTo(int x, int y) {
  DrawOutline(DevicePoints({PenPos, {x, y}}), false, nullptr);
  PenPos = {x, y};
}

void TCanvas::Polyline(const std::vector<TPoint>& points) {
  if (points.size() >= 2) DrawOutline(DevicePoints(points), false, nullptr);
}

void TCanvas::PolyBezier(const std::vector<TPoint>& points) {
  if (points.size() >= 4) DrawOutline(FlattenBezier(DevicePoints(points)), false, nullptr);
}

void TCanvas::Polygon(const std::vector<TPoint>& points) {
  if (points.size() < 2) return;
  std::vector<TPoint> device = DevicePoints(points);
  TPixelSurface s = target_->Surface();
  if (!s.Valid()) return;
  TRect bounds;
  IntersectRect(bounds, PointsBounds(device), SurfaceBounds(s));
  TCoverage interior(bounds);
  RasterPolygon(device, false, interior);
  DrawOutline(device, true, &interior);
}

void TCanvas::DrawShape(Shape shape, TRect box, int cornerWidth, int cornerHeight) {
  box = Normalized(box);
  TPixelSurface s = target_->Surface();
  if (!s.Valid() || IsRectEmpty(box)) return;
  TRect bounds;
  if (!IntersectRect(bounds, box, SurfaceBounds(s))) return;
  int w = Pen->Style == psClear ? 0 : DevicePenWidth();
  auto fill = [&](const TRect& r, TCoverage& out) {
    if (shape == Shape::Ellipse) {
      RasterEllipse(r, out);
    } else if (shape == Shape::RoundRect) {
      RasterRoundRect(r, cornerWidth - 2 * (box.Left - r.Left), cornerHeight - 2 * (box.Left - r.Left), out);
    } else {
      for (int y = r.Top; y < r.Bottom; ++y) out.Span(y, r.Left, r.Right);
    }
  };
  TRect inner = box;
  InflateRect(inner, -w, -w);
  TCoverage outer(bounds), interior(bounds);
  fill(box, outer);
  fill(inner, interior);
  int rop2 = Rop2Of(Pen->Mode);
  if (Brush->Style != bsClear) Paint(interior, Brush->Color, rop2, true);
  if (w == 0) return;
  if (shape == Shape::Rect && w == 1) {
    // A 1-pixel frame takes the pen style along the outline.
    std::vector<TPoint> corners = {{box.Left, box.Top}, {box.Right - 1, box.Top},
                                   {box.Right - 1, box.Bottom - 1}, {box.Left, box.Bottom - 1}};
    DrawOutline(corners, true, nullptr);
    return;
  }
  outer.Subtract(interior);
  Paint(outer, Pen->Color, rop2, false);
}

void TCanvas::Rectangle(int l, int t, int r, int b) { DrawShape(Shape::Rect, ToDevice(TRect{l, t, r, b}), 0, 0); }

void TCanvas::Ellipse(int l, int t, int r, int b) { DrawShape(Shape::Ellipse, ToDevice(TRect{l, t, r, b}), 0, 0); }

void TCanvas::RoundRect(int l, int t, int r, int b, int cornerWidth, int cornerHeight) {
  DrawShape(Shape::RoundRect, ToDevice(TRect{l, t, r, b}), int(std::lround(cornerWidth * std::fabs(ScaleX()))),
            int(std::lround(cornerHeight * std::fabs(ScaleY()))));
}

void TCanvas::FillRect(const TRect& r) {
  TPixelSurface s = target_->Surface();
  TRect box;
  if (!s.Valid() || Brush->Style == bsClear || !IntersectRect(box, Normalized(ToDevice(r)), SurfaceBounds(s))) return;
  TCoverage area(box);
  for (int y = box.Top; y < box.Bottom; ++y) area.Span(y, box.Left, box.Right);
  Paint(area, Brush->Color, kRop2Copy, true);
}

void TCanvas::FillPolygon(const std::vector<TPoint>& points, bool winding) {
  TPixelSurface s = target_->Surface();
  if (!s.Valid() || Brush->Style == bsClear) return;
  std::vector<TPoint> device = DevicePoints(points);
  TRect bounds;
  if (!IntersectRect(bounds, PointsBounds(device), SurfaceBounds(s))) return;
  TCoverage area(bounds);
  RasterPolygon(device, winding, area);
  Paint(area, Brush->Color, kRop2Copy, true);
}

void TCanvas::FrameRect(const TRect& r) {
  TRect box = Normalized(ToDevice(r));
  TPixelSurface s = target_->Surface();
  if (!s.Valid() || IsRectEmpty(box) || Brush->Style == bsClear) return;
  TCoverage frame(box);
  for (int y = box.Top; y < box.Bottom; ++y) {
    if (y == box.Top || y == box.Bottom - 1) {
      frame.Span(y, box.Left, box.Right);
    } else {
      frame.Set(box.Left, y);
      frame.Set(box.Right - 1, y);
    }
  }
  Paint(frame, Brush->Color, kRop2Copy, false);
}

void TCanvas::DrawFocusRect(const TRect& r) {
  TRect box = Normalized(ToDevice(r));
  TPixelSurface s = target_->Surface();
  if (!s.Valid() || IsRectEmpty(box)) return;
  TCoverage dots(box);
  auto dot = [&](int x, int y) {
    if (((x + y) & 1) == 0) dots.Set(x, y);
  };
  for (int x = box.Left; x < box.Right; ++x) {
    dot(x, box.Top);
    if (box.Bottom - 1 > box.Top) dot(x, box.Bottom - 1);
  }
  for (int y = box.Top + 1; y < box.Bottom - 1; ++y) {
    dot(box.Left, y);
    if (box.Right - 1 > box.Left) dot(box.Right - 1, y);
  }
  Paint(dots, clBlack, kRop2Not, false);
}

// Pixels -----------------------------------------------------------------------------------

TColor TCanvas::GetPixel(int x, int y) {
  TPixelSurface s = target_->Surface();
  TPoint p = ToDevice(x, y);
  if (!s.Valid() || !s.Contains(p.x, p.y) || (hasClip_ && !clip_.contains(QPoint(p.x, p.y)))) return -1;
  return ColorRefOfRgb(s.ToRgb(s.Get(p.x, p.y)));
}

void TCanvas::SetPixel(int x, int y, TColor color) {
  TPoint p = ToDevice(x, y);
  TCoverage one({p.x, p.y, p.x + 1, p.y + 1});
  one.Set(p.x, p.y);
  Paint(one, color, kRop2Copy, false);
}

// Text ----------------------------------------------------------------------------------------

QFont TCanvas::MakeFont() {
  int height = Font->Height;
  if (MapMode != MM_TEXT) height = int(std::lround(height * std::fabs(ScaleY())));
  return MakeQFont(Font->Name, height, Font->Style);
}

TSize TCanvas::TextExtent(const std::string& text) {
  QFont font = MakeFont();
  TSize size{QFontMetrics(font).horizontalAdvance(QString::fromStdString(text)), int(FontCell(font).Height)};
  if (MapMode == MM_TEXT) return size;
  // The font was made at device size; callers measure in logical units.
  return {int32_t(std::lround(size.cx / std::fabs(ScaleX()))), int32_t(std::lround(size.cy / std::fabs(ScaleY())))};
}

void TCanvas::TextOut(int x, int y, const std::string& text) {
  TPixelSurface s = target_->Surface();
  if (!s.Valid()) return;
  QFont font = MakeFont();
  QFontMetrics metrics(font);
  QString qtext = QString::fromStdString(text);
  TFontCell cellMetrics = FontCell(font);
  int w = metrics.horizontalAdvance(qtext), h = int(cellMetrics.Height), ascent = int(cellMetrics.Ascent);
  double ox = 0, oy = 0;
  if ((TextAlign & TA_CENTER) == TA_CENTER) {
    ox = -(w / 2);
  } else if ((TextAlign & TA_CENTER) == TA_RIGHT) {
    ox = -w;
  }
  if ((TextAlign & TA_BASELINE) == TA_BASELINE) {
    oy = -ascent;
  } else if ((TextAlign & TA_BASELINE) == TA_BOTTOM) {
    oy = -h;
  }
  TPoint origin = ToDevice(x, y);
  // Escapement turns counter-clockwise on the screen, where y grows down.
  QTransform turn;
  turn.translate(origin.x, origin.y);
  turn.rotate(-Font->Orientation / 10.0);
  QPolygonF cell = turn.map(QPolygonF(QRectF(ox, oy, w, h)));
  // Room for strokes that reach past the cell (accents, a face's tall
  // Latin letters).
  int margin = 2 + h / 4;
  QRect box = cell.boundingRect().toAlignedRect().adjusted(-margin, -margin, margin, margin);
  TRect bounds;
  if (!IntersectRect(bounds, TRect{box.left(), box.top(), box.right() + 1, box.bottom() + 1}, SurfaceBounds(s)))
    return;

  if (Opaque()) {
    std::vector<TPoint> corners;
    for (const QPointF& p : cell) corners.push_back({int32_t(std::lround(p.x())), int32_t(std::lround(p.y()))});
    TCoverage background(bounds);
    RasterPolygon(corners, false, background);
    Paint(background, Brush->Color, kRop2Copy, false);
  }

  TTextRun run{Font->Name, font.pixelSize() > 0 ? -font.pixelSize() : Font->Height, Font->Style, Font->Color,
               Font->Orientation, origin, QPointF(ox, oy), text, hasClip_ ? &clip_ : nullptr};
  if (target_->TakeText(run)) return;

  QImage glyphs(bounds.Width(), bounds.Height(), QImage::Format_ARGB32_Premultiplied);
  glyphs.fill(Qt::transparent);
  {
    QPainter painter(&glyphs);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setTransform(turn * QTransform::fromTranslate(-bounds.Left, -bounds.Top));
    painter.setFont(font);
    painter.setPen(Qt::black);
    painter.drawText(QPointF(ox, oy + ascent), qtext);
  }
  PaintGlyphs(glyphs, bounds, Font->Color);
}

void TCanvas::PaintGlyphs(const QImage& glyphs, const TRect& bounds, TColor color) {
  TPixelSurface s = target_->Surface();
  // Indexed surfaces keep exact colours: a glyph pixel is ink when at
  // least half covered. Direct colours blend the edges into the background.
  bool blend = s.BitCount() >= 15;
  TCoverage ink(bounds);
  for (int y = 0; y < glyphs.height(); ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(glyphs.constScanLine(y));
    for (int x = 0; x < glyphs.width(); ++x)
      if (qAlpha(row[x]) >= (blend ? 1 : 128)) ink.Set(bounds.Left + x, bounds.Top + y);
  }
  if (!blend) return Paint(ink, color, kRop2Copy, false);
  TRgb fore = RgbOfColorRef(ColorToRGB(color));
  uint32_t full = s.ToValue(fore);
  ForEachPixel(s, ink, [&](int x, int y, uint32_t dest) {
    int a = qAlpha(glyphs.pixel(x - bounds.Left, y - bounds.Top));
    if (a == 255) return full;
    TRgb back = s.ToRgb(dest);
    auto mix = [&](int shift) {
      int f = (fore >> shift) & 0xFF, b = (back >> shift) & 0xFF;
      return uint32_t((f * a + b * (255 - a) + 127) / 255) << shift;
    };
    return s.ToValue(mix(16) | mix(8) | mix(0));
  });
}

void TCanvas::TextRect(const TRect& r, int x, int y, const std::string& text) {
  bool hadClip = hasClip_;
  QRegion saved = clip_;
  IntersectClipRect(r);
  if (Opaque()) {
    TBrushStyle style = Brush->Style;
    FillRect(r);
    Brush->Style = style;
  }
  int bk = BkMode;
  BkMode = TRANSPARENT;
  TextOut(x, y, text);
  BkMode = bk;
  clip_ = saved;
  hasClip_ = hadClip;
}

// Pictures ---------------------------------------------------------------------------------------

void TCanvas::Blit(int x, int y, int w, int h, const TPixelSurface& source, int sx, int sy, int sw, int sh,
                   uint32_t rop3, const TRgb* transparent) {
  TPoint a = ToDevice(x, y), b = ToDevice(x + w, y + h);
  int dx = a.x, dy = a.y, dw = b.x - a.x, dh = b.y - a.y;
  bool flipX = (dw < 0) != (sw < 0), flipY = (dh < 0) != (sh < 0);
  if (dw < 0) dx += dw, dw = -dw;
  if (dh < 0) dy += dh, dh = -dh;
  if (sw < 0) sx += sw, sw = -sw;
  if (sh < 0) sy += sh, sh = -sh;
  if (dw == 0 || dh == 0) return;
  bool usesSource = Rop3UsesSource(rop3);
  if (usesSource && (!source.Valid() || sw == 0 || sh == 0)) return;
  if (rop3 == cmSrcCopy && transparent == nullptr && !hasClip_ &&
      target_->TakePicture({dx, dy, dx + dw, dy + dh}, source, {sx, sy, sx + sw, sy + sh}, flipX, flipY))
    return;
  TPixelSurface s = target_->Surface();
  if (!s.Valid()) return;

  // Read the source first: it may be this very surface.
  constexpr uint32_t kOutside = 0xFF000000u;
  std::vector<uint32_t> pixels;
  if (usesSource) {
    pixels.resize(size_t(sw) * size_t(sh), kOutside);
    for (int j = 0; j < sh; ++j)
      for (int i = 0; i < sw; ++i)
        if (source.Contains(sx + i, sy + j)) pixels[size_t(j) * sw + i] = source.ToRgb(source.Get(sx + i, sy + j));
  }
  TValueCache values(s);
  uint32_t pattern = s.ToValue(RgbOfColorRef(ColorToRGB(Brush->Color)));
  uint32_t mask = s.ValueMask();
  TCoverage area({dx, dy, dx + dw, dy + dh});
  for (int j = dy; j < dy + dh; ++j) area.Span(j, dx, dx + dw);
  ForEachPixel(s, area, [&](int px, int py, uint32_t dest) {
    uint32_t sourceValue = 0;
    if (usesSource) {
      int64_t i = (int64_t(px - dx) * 2 + 1) * sw / (2 * int64_t(dw));
      int64_t j = (int64_t(py - dy) * 2 + 1) * sh / (2 * int64_t(dh));
      if (flipX) i = sw - 1 - i;
      if (flipY) j = sh - 1 - j;
      uint32_t rgb = pixels[size_t(j) * sw + size_t(i)];
      if (rgb == kOutside || (transparent && rgb == *transparent)) return dest;
      sourceValue = values.ToValue(rgb);
    }
    return ApplyRop3(rop3, pattern, sourceValue, dest, mask);
  });
}

void TCanvas::Draw(int x, int y, TGraphic* graphic) {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (bitmap == nullptr && graphic != nullptr && !graphic->GetEmpty())
    return graphic->Draw(this, {x, y, x + graphic->GetWidth(), y + graphic->GetHeight()});
  if (bitmap == nullptr || bitmap->GetEmpty()) return;
  StretchDraw({x, y, x + bitmap->GetWidth(), y + bitmap->GetHeight()}, bitmap);
}

void TCanvas::StretchDraw(const TRect& r, TGraphic* graphic) {
  auto* bitmap = dynamic_cast<TBitmap*>(graphic);
  if (bitmap == nullptr && graphic != nullptr && !graphic->GetEmpty()) return graphic->Draw(this, r);
  if (bitmap == nullptr || bitmap->GetEmpty()) return;
  TPixelSurface source = TPixelSurface::OfImage(bitmap->Image());
  int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  if (bitmap->Transparent) {
    // Stretched or not, a transparent bitmap leaves out its key colour.
    TRgb key = bitmap->TransparentColor == clDefault ? source.ToRgb(source.Get(0, h - 1))
                                                     : RgbOfColorRef(ColorToRGB(bitmap->TransparentColor));
    Blit(r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, w, h, cmSrcCopy, &key);
  } else {
    Blit(r.Left, r.Top, r.Width(), r.Height(), source, 0, 0, w, h, CopyMode);
  }
}

void TCanvas::CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect) {
  if (source == nullptr) return;
  TRect from = source->ToDevice(sourceRect);
  Blit(dest.Left, dest.Top, dest.Width(), dest.Height(), source->target_->Surface(), from.Left, from.Top,
       from.Width(), from.Height(), CopyMode);
}

// Clipping ------------------------------------------------------------------------------------------

TRect TCanvas::GetClipRect() {
  TPixelSurface s = target_->Surface();
  TRect all = SurfaceBounds(s);
  if (!hasClip_) return all;
  QRect b = clip_.boundingRect();
  TRect r{b.left(), b.top(), b.right() + 1, b.bottom() + 1};
  IntersectRect(r, r, all);
  return r;
}

void TCanvas::SelectClipRegion(const QRegion* region) {
  hasClip_ = region != nullptr;
  clip_ = region ? *region : QRegion();
}

void TCanvas::IntersectClipRect(const TRect& r) {
  TRect d = Normalized(ToDevice(r));
  QRegion rect(d.Left, d.Top, d.Width(), d.Height());
  clip_ = hasClip_ ? clip_.intersected(rect) : rect;
  hasClip_ = true;
}

void TCanvas::ExcludeClipRect(const TRect& r) {
  TRect d = Normalized(ToDevice(r));
  if (!hasClip_) {
    TPixelSurface s = target_->Surface();
    clip_ = QRegion(0, 0, s.width, s.height);
    hasClip_ = true;
  }
  clip_ = clip_.subtracted(QRegion(d.Left, d.Top, d.Width(), d.Height()));
}
