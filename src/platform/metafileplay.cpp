// The drawing state of a metafile playback and its drawing operations.
// Everything is mapped to target pixels first and drawn there without
// antialiasing, so edges follow the platform's rules closely.
#include <QFontMetricsF>
#include <algorithm>
#include <cmath>

#include "platform/fonts.h"
#include "platform/gbk.h"
#include "platform/metafileplay.h"

namespace {

constexpr int kMMText = 1, kMMIsotropic = 7, kMMAnisotropic = 8;
constexpr uint32_t kStockBit = 0x80000000u;
constexpr uint32_t kBsSolid = 0, kBsNull = 1, kBsHatched = 2, kBsPattern = 3;
constexpr uint32_t kTaUpdateCp = 1, kTaRight = 2, kTaCenter = 6, kTaBottom = 8, kTaBaseline = 24;
constexpr uint32_t kEtoOpaque = 2, kEtoClipped = 4;
// Largest pen width and font height played, in target pixels.
constexpr double kMaxDeviceSize = 4096;

// Logical units of the fixed mapping modes in millimetres (MM_LOMETRIC to MM_TWIPS).
double FixedModeMM(int mode) {
  switch (mode) {
    case 2: return 0.1;
    case 3: return 0.01;
    case 4: return 0.254;
    case 5: return 0.0254;
    case 6: return 25.4 / 1440;
    default: return 0;
  }
}

double Length(double x, double y) { return std::sqrt(x * x + y * y); }

// Angle of a point on the ellipse around `centre`, in Qt's degrees.
double AngleOf(QPointF centre, QPointF p, double rx, double ry) {
  return std::atan2(-(p.y() - centre.y()) / ry, (p.x() - centre.x()) / rx) * 180 / M_PI;
}

}  // namespace

QString MetaAnsiText(std::string_view gbk, std::vector<double>& advances) {
  QString text;
  std::vector<double> joined;
  size_t i = 0;
  while (i < gbk.size()) {
    const auto lead = uint8_t(gbk[i]);
    // A GBK lead byte takes the next byte with it.
    const size_t length = lead >= 0x81 && lead <= 0xFE && i + 1 < gbk.size() ? 2 : 1;
    QString one = QString::fromStdString(GbkToUtf8(gbk.substr(i, length)));
    text += one;
    if (advances.size() >= gbk.size()) {
      double step = advances[i] + (length == 2 ? advances[i + 1] : 0);
      for (qsizetype k = 0; k < one.size(); ++k) joined.push_back(k == 0 ? step : 0);
    }
    i += length;
  }
  advances = std::move(joined);
  return text;
}

TMetaPlayer::TMetaPlayer(QPainter* painter, const TMetaInfo& info, const QRectF& target)
    : painter_(painter), info_(info) {
  const QRectF& box = info.Box;
  if (box.width() != 0 && box.height() != 0) {
    final_ = QTransform::fromTranslate(-box.left(), -box.top()) *
             QTransform::fromScale(target.width() / box.width(), target.height() / box.height()) *
             QTransform::fromTranslate(target.left(), target.top());
  } else {
    final_ = QTransform(0, 0, 0, 0, 0, 0);
  }
  if (!info.Enhanced) {
    // Window records of a WMF describe the picture's box: they map onto it.
    state_.MapMode = kMMAnisotropic;
    state_.WindowOrg = state_.ViewportOrg = box.topLeft();
    state_.WindowExt = state_.ViewportExt = QSizeF(box.width() ? box.width() : 1, box.height() ? box.height() : 1);
  }
  table_.assign(info.Handles, TObject{});
  if (painter_) {
    painter_->setRenderHint(QPainter::Antialiasing, false);
    painter_->setRenderHint(QPainter::TextAntialiasing, true);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, false);
  }
}

// Objects ----------------------------------------------------------------------------

bool TMetaPlayer::AddObject(const TObject& object) {
  for (TObject& slot : table_)
    if (slot.Kind == TObject::None) {
      slot = object;
      return true;
    }
  return false;
}

bool TMetaPlayer::PutObject(uint32_t index, const TObject& object) {
  if (index == 0 || index >= table_.size()) return false;  // slot 0 is the metafile itself
  table_[index] = object;
  return true;
}

TMetaPlayer::TObject TMetaPlayer::StockObject(uint32_t index) const {
  TObject o;
  switch (index) {
    case 0: case 1: case 2: case 3: case 4: {  // white, light grey, grey, dark grey, black brush
      static const QRgb greys[] = {0xFFFFFFFF, 0xFFC0C0C0, 0xFF808080, 0xFF404040, 0xFF000000};
      o.Kind = TObject::Brush;
      o.BrushDef.Colour = greys[index];
      break;
    }
    case 5: o.Kind = TObject::Brush; o.BrushDef.Style = kBsNull; break;
    case 6: o.Kind = TObject::Pen; o.PenDef.Colour = 0xFFFFFFFF; break;
    case 7: o.Kind = TObject::Pen; break;
    case 8: o.Kind = TObject::Pen; o.PenDef.Style = 5; break;
    case 10: case 11: case 12: case 13: case 14: case 16: case 17:
      o.Kind = TObject::Font;
      break;
    default: break;
  }
  return o;
}

void TMetaPlayer::SelectObject(uint32_t index) {
  TObject object = (index & kStockBit) ? StockObject(index & ~kStockBit)
                                       : (index < table_.size() ? table_[index] : TObject{});
  switch (object.Kind) {
    case TObject::Pen: state_.Pen = object.PenDef; break;
    case TObject::Brush: state_.Brush = object.BrushDef; break;
    case TObject::Font: state_.Font = object.FontDef; break;
    default: break;
  }
}

void TMetaPlayer::DeleteObject(uint32_t index) {
  if (index < table_.size()) table_[index] = TObject{};
}

// State ---------------------------------------------------------------------------------

void TMetaPlayer::SaveDC() {
  // A crafted file cannot grow the stack without bound.
  if (saved_.size() < 1024) saved_.push_back(state_);
}

void TMetaPlayer::RestoreDC(int relative) {
  if (saved_.empty()) return;
  // -1 is the last saved state; positive numbers count from the first.
  size_t keep;
  if (relative < 0) {
    if (size_t(-int64_t(relative)) > saved_.size()) return;
    keep = saved_.size() - size_t(-int64_t(relative));
  } else {
    if (relative == 0 || size_t(relative) > saved_.size()) return;
    keep = size_t(relative) - 1;
  }
  state_ = saved_[keep];
  saved_.resize(keep);
  ApplyClip();
}

void TMetaPlayer::SetMapMode(int mode) {
  if (mode < kMMText || mode > kMMAnisotropic) return;
  state_.MapMode = mode;
}

void TMetaPlayer::SetWindowOrg(double x, double y) { state_.WindowOrg = {x, y}; }
void TMetaPlayer::SetViewportOrg(double x, double y) { state_.ViewportOrg = {x, y}; }
void TMetaPlayer::OffsetWindowOrg(double dx, double dy) { state_.WindowOrg += QPointF(dx, dy); }
void TMetaPlayer::OffsetViewportOrg(double dx, double dy) { state_.ViewportOrg += QPointF(dx, dy); }

void TMetaPlayer::SetWindowExt(double cx, double cy) {
  if (cx != 0 && cy != 0) state_.WindowExt = {cx, cy};
}

void TMetaPlayer::SetViewportExt(double cx, double cy) {
  if (cx != 0 && cy != 0) state_.ViewportExt = {cx, cy};
}

void TMetaPlayer::ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) {
  if (xNum && xDenom && yNum && yDenom)
    state_.WindowExt = {state_.WindowExt.width() * xNum / xDenom, state_.WindowExt.height() * yNum / yDenom};
}

void TMetaPlayer::ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom) {
  if (xNum && xDenom && yNum && yDenom)
    state_.ViewportExt = {state_.ViewportExt.width() * xNum / xDenom,
                          state_.ViewportExt.height() * yNum / yDenom};
}

void TMetaPlayer::SetWorldTransform(const QTransform& t) {
  if (t.isInvertible()) state_.World = t;
}

void TMetaPlayer::ModifyWorldTransform(const QTransform& t, uint32_t mode) {
  QTransform next;
  switch (mode) {
    case 1: break;  // identity
    case 2: next = t * state_.World; break;
    case 3: next = state_.World * t; break;
    default: return;
  }
  if (next.isInvertible()) state_.World = next;
}

QTransform TMetaPlayer::PageTransform() const {
  const TState& s = state_;
  double sx = 1, sy = 1;
  if (s.MapMode == kMMIsotropic || s.MapMode == kMMAnisotropic) {
    sx = s.ViewportExt.width() / s.WindowExt.width();
    sy = s.ViewportExt.height() / s.WindowExt.height();
    if (s.MapMode == kMMIsotropic) {
      double m = std::min(std::fabs(sx), std::fabs(sy));
      sx = std::copysign(m, sx);
      sy = std::copysign(m, sy);
    }
  } else if (double mm = FixedModeMM(s.MapMode); mm > 0) {
    sx = mm * info_.PixelsPerMMX;
    sy = -mm * info_.PixelsPerMMY;
  }
  return QTransform::fromTranslate(-s.WindowOrg.x(), -s.WindowOrg.y()) * QTransform::fromScale(sx, sy) *
         QTransform::fromTranslate(s.ViewportOrg.x(), s.ViewportOrg.y());
}

bool TMetaPlayer::AxisAligned() const {
  QTransform t = Total();
  return t.m12() == 0 && t.m21() == 0;
}

// Clipping ------------------------------------------------------------------------------

void TMetaPlayer::ApplyClip() {
  if (!painter_) return;
  if (state_.Clipped)
    painter_->setClipRegion(state_.Clip);
  else
    painter_->setClipping(false);
}

void TMetaPlayer::IntersectClipRect(const QRectF& r) {
  QRect d = Total().mapRect(r.normalized()).toAlignedRect();
  state_.Clip = state_.Clipped ? state_.Clip.intersected(d) : QRegion(d);
  state_.Clipped = true;
  ApplyClip();
}

void TMetaPlayer::ExcludeClipRect(const QRectF& r) {
  QRect d = Total().mapRect(r.normalized()).toAlignedRect();
  if (!state_.Clipped) {
    // Everything the target can show, less the rectangle.
    QRect all = painter_ ? QRect(QPoint(0, 0), painter_->device() ? QSize(painter_->device()->width(),
                                                                           painter_->device()->height())
                                                                    : QSize())
                         : QRect();
    state_.Clip = QRegion(all);
  }
  state_.Clip = state_.Clip.subtracted(d);
  state_.Clipped = true;
  ApplyClip();
}

void TMetaPlayer::SelectClipRects(const std::vector<QRectF>& rects, uint32_t mode) {
  QRegion region;
  for (const QRectF& r : rects) region += final_.mapRect(r.normalized()).toAlignedRect();
  QRegion current = state_.Clipped ? state_.Clip : QRegion();
  switch (mode) {
    case 1: region = state_.Clipped ? current.intersected(region) : region; break;
    case 2: region = state_.Clipped ? current.united(region) : QRegion(); break;
    case 3: region = current.xored(region); break;
    case 4: region = state_.Clipped ? current.subtracted(region) : QRegion(); break;
    case 5: break;
    default: return;
  }
  // OR and DIFF with no clip keep everything drawable.
  if (state_.Clipped || mode == 1 || mode == 3 || mode == 5) {
    state_.Clip = region;
    state_.Clipped = true;
  }
  ApplyClip();
}

void TMetaPlayer::ResetClip() {
  state_.Clipped = false;
  state_.Clip = QRegion();
  ApplyClip();
}

// Pens and brushes --------------------------------------------------------------------------

QPen TMetaPlayer::MakePen() const {
  const TPenDef& def = state_.Pen;
  QTransform t = Total();
  double scale = (Length(t.m11(), t.m12()) + Length(t.m21(), t.m22())) / 2;
  double width = std::min(std::fabs(def.Width * scale), kMaxDeviceSize);
  QPen pen(QColor::fromRgb(def.Colour));
  pen.setWidthF(width < 1.5 ? 0 : width);  // 0: one pixel whatever the mapping
  const uint32_t style = def.Style & 0xF;
  if (width < 1.5) {
    switch (style) {
      case 1: pen.setStyle(Qt::DashLine); break;
      case 2: pen.setStyle(Qt::DotLine); break;
      case 3: pen.setStyle(Qt::DashDotLine); break;
      case 4: pen.setStyle(Qt::DashDotDotLine); break;
      default: break;
    }
  }
  switch (def.Style & 0xF00) {
    case 0x100: pen.setCapStyle(Qt::SquareCap); break;
    case 0x200: pen.setCapStyle(Qt::FlatCap); break;
    default: pen.setCapStyle(Qt::RoundCap); break;
  }
  switch (def.Style & 0xF000) {
    case 0x1000: pen.setJoinStyle(Qt::BevelJoin); break;
    case 0x2000: pen.setJoinStyle(Qt::MiterJoin); break;
    default: pen.setJoinStyle(Qt::RoundJoin); break;
  }
  return pen;
}

QBrush TMetaPlayer::MakeBrush() const {
  const TBrushDef& def = state_.Brush;
  if (def.Style == kBsPattern && !def.Pattern.isNull()) return QBrush(def.Pattern);
  if (def.Style == kBsHatched) {
    static const Qt::BrushStyle hatches[] = {Qt::HorPattern,   Qt::VerPattern,   Qt::FDiagPattern,
                                             Qt::BDiagPattern, Qt::CrossPattern, Qt::DiagCrossPattern};
    return QBrush(QColor::fromRgb(def.Colour), def.Hatch < 6 ? hatches[def.Hatch] : Qt::SolidPattern);
  }
  return QBrush(QColor::fromRgb(def.Colour));
}

// Shapes ------------------------------------------------------------------------------------

void TMetaPlayer::BeginPath() {
  inPath_ = true;
  path_ = QPainterPath();
}

void TMetaPlayer::CloseFigure() {
  if (inPath_) path_.closeSubpath();
}

void TMetaPlayer::DrawCurrentPath(bool fill, bool stroke) {
  inPath_ = false;
  QPainterPath path = path_;
  path_ = QPainterPath();
  DrawPath(path, fill, stroke);
}

void TMetaPlayer::DrawPath(const QPainterPath& logical, bool fill, bool stroke) {
  if (inPath_) {
    path_.addPath(logical);
    return;
  }
  if (!painter_) return;
  // Device coordinates are whole pixels, as the platform's are.
  QPainterPath device = Total().map(logical);
  for (int i = 0; i < device.elementCount(); ++i) {
    const QPainterPath::Element e = device.elementAt(i);
    device.setElementPositionAt(i, std::round(e.x), std::round(e.y));
  }
  device.setFillRule(state_.Winding ? Qt::WindingFill : Qt::OddEvenFill);
  if (fill && HasBrush()) {
    if (state_.Brush.Style == kBsHatched && state_.BkMode == 2)
      painter_->fillPath(device, QColor::fromRgb(state_.BkColour));
    painter_->fillPath(device, MakeBrush());
  }
  if (stroke && HasPen()) painter_->strokePath(device, MakePen());
}

void TMetaPlayer::DrawBox(const QRectF& logical, const std::function<void(QPainterPath&, const QRectF&)>& shape) {
  if (!painter_ && !inPath_) return;
  if (inPath_ || !AxisAligned()) {
    QPainterPath path;
    shape(path, logical.normalized());
    DrawPath(path, true, true);
    return;
  }
  // Fill inside [left, right), outline through the first and last pixel
  // columns and rows: the right and bottom edges are left out.
  QRectF d = Total().mapRect(logical.normalized());
  QRectF box(std::round(d.left()), std::round(d.top()), std::round(d.right()) - std::round(d.left()),
             std::round(d.bottom()) - std::round(d.top()));
  if (box.width() < 1 || box.height() < 1) return;
  if (HasBrush()) {
    QPainterPath inside;
    shape(inside, box);
    if (state_.Brush.Style == kBsHatched && state_.BkMode == 2)
      painter_->fillPath(inside, QColor::fromRgb(state_.BkColour));
    painter_->fillPath(inside, MakeBrush());
  }
  if (HasPen()) {
    QPainterPath outline;
    shape(outline, box.adjusted(0, 0, -1, -1));
    painter_->strokePath(outline, MakePen());
  }
}

void TMetaPlayer::MoveTo(QPointF p) { state_.Current = p; }

void TMetaPlayer::LineTo(QPointF p) {
  if (inPath_) {
    if (path_.elementCount() == 0 || path_.currentPosition() != state_.Current) path_.moveTo(state_.Current);
    path_.lineTo(p);
  } else if (painter_ && HasPen()) {
    QPainterPath path(state_.Current);
    path.lineTo(p);
    DrawPath(path, false, true);
  }
  state_.Current = p;
}

void TMetaPlayer::Polyline(const std::vector<QPointF>& points) {
  if (points.size() < 2) return;
  QPainterPath path(points[0]);
  for (size_t i = 1; i < points.size(); ++i) path.lineTo(points[i]);
  DrawPath(path, false, true);
}

void TMetaPlayer::PolylineTo(const std::vector<QPointF>& points) {
  if (points.empty()) return;
  QPainterPath path(state_.Current);
  for (const QPointF& p : points) path.lineTo(p);
  DrawPath(path, false, true);
  state_.Current = points.back();
}

void TMetaPlayer::PolyBezier(const std::vector<QPointF>& points, bool fromCurrent) {
  size_t i = fromCurrent ? 0 : 1;
  if (points.empty() || (!fromCurrent && points.size() < 4)) return;
  QPainterPath path(fromCurrent ? state_.Current : points[0]);
  for (; i + 2 < points.size(); i += 3) path.cubicTo(points[i], points[i + 1], points[i + 2]);
  DrawPath(path, false, true);
  if (fromCurrent) state_.Current = path.currentPosition();
}

void TMetaPlayer::Polygon(const std::vector<QPointF>& points) { PolyPolygon({points}); }

void TMetaPlayer::PolyPolygon(const std::vector<std::vector<QPointF>>& polygons) {
  QPainterPath path;
  for (const auto& polygon : polygons) {
    if (polygon.size() < 2) continue;
    path.moveTo(polygon[0]);
    for (size_t i = 1; i < polygon.size(); ++i) path.lineTo(polygon[i]);
    path.closeSubpath();
  }
  DrawPath(path, true, true);
}

void TMetaPlayer::PolyPolyline(const std::vector<std::vector<QPointF>>& lines) {
  for (const auto& line : lines) Polyline(line);
}

void TMetaPlayer::Rectangle(const QRectF& r) {
  DrawBox(r, [](QPainterPath& path, const QRectF& box) { path.addRect(box); });
}

void TMetaPlayer::RoundRect(const QRectF& r, double cornerWidth, double cornerHeight) {
  QTransform t = Total();
  double cw = std::fabs(cornerWidth * t.m11()), ch = std::fabs(cornerHeight * t.m22());
  if (!AxisAligned()) cw = cornerWidth, ch = cornerHeight;
  DrawBox(r, [cw, ch](QPainterPath& path, const QRectF& box) { path.addRoundedRect(box, cw / 2, ch / 2); });
}

void TMetaPlayer::Ellipse(const QRectF& r) {
  DrawBox(r, [](QPainterPath& path, const QRectF& box) { path.addEllipse(box); });
}

void TMetaPlayer::Arc(TArcKind kind, const QRectF& logicalBox, QPointF start, QPointF end) {
  if (!painter_ || inPath_) return;
  // Worked out in target pixels, where the arc runs counter-clockwise.
  QRectF box = Total().mapRect(logicalBox.normalized());
  if (box.width() < 1 || box.height() < 1) return;
  QPointF c = box.center();
  double rx = box.width() / 2, ry = box.height() / 2;
  double a0 = AngleOf(c, Map(start), rx, ry), a1 = AngleOf(c, Map(end), rx, ry);
  double sweep = a1 - a0;
  while (sweep <= 0) sweep += 360;
  QPainterPath path;
  if (kind == akPie) {
    path.moveTo(c);
    path.arcTo(box, a0, sweep);
    path.closeSubpath();
  } else {
    path.arcMoveTo(box, a0);
    path.arcTo(box, a0, sweep);
    if (kind == akChord) path.closeSubpath();
  }
  if (kind != akArc && HasBrush()) painter_->fillPath(path, MakeBrush());
  if (HasPen()) painter_->strokePath(path, MakePen());
}

void TMetaPlayer::SetPixel(QPointF p, QRgb colour) {
  if (!painter_) return;
  QPointF d = Map(p);
  painter_->fillRect(QRectF(std::floor(d.x()), std::floor(d.y()), 1, 1), QColor::fromRgb(colour));
}

// Text -----------------------------------------------------------------------------------------

double TMetaPlayer::DeviceFontHeight(int height) const {
  QTransform t = Total();
  return height * Length(t.m21(), t.m22());
}

void TMetaPlayer::TextOut(QPointF p, const QString& text, uint32_t options, const std::optional<QRectF>& rect,
                          const std::vector<double>& advances) {
  const TFontDef& f = state_.Font;
  QTransform t = Total();
  const double scaleX = Length(t.m11(), t.m12());
  QFont font;
  // Crafted sizes are limited: nothing sensible is taller than this.
  double deviceHeight = std::clamp(DeviceFontHeight(f.Height), -kMaxDeviceSize, kMaxDeviceSize);
  int height = int(std::lround(deviceHeight));
  if (f.Height != 0 && height == 0) height = f.Height < 0 ? -1 : 1;
  TFontStyles style = 0;
  if (f.Weight >= 600) style |= fsBold;
  if (f.Italic) style |= fsItalic;
  if (f.Underline) style |= fsUnderline;
  if (f.StrikeOut) style |= fsStrikeOut;
  font = MakeQFont(f.Face.empty() ? std::string("Arial") : f.Face, height, style);
  QFontMetricsF metrics(font);
  TFontCell cellMetrics = FontCell(font);

  // Advances of each character in target pixels.
  std::vector<double> steps;
  double width = 0;
  if (advances.size() >= size_t(text.size())) {
    for (qsizetype i = 0; i < text.size(); ++i) steps.push_back(advances[size_t(i)] * scaleX);
  } else {
    for (qsizetype i = 0; i < text.size(); ++i) steps.push_back(metrics.horizontalAdvance(text.at(i)));
  }
  for (double s : steps) width += s;

  const uint32_t align = state_.TextAlign;
  QPointF origin = (align & kTaUpdateCp) ? state_.Current : p;
  if (align & kTaUpdateCp) {
    // The current position moves on by the text's width, in logical units.
    double logicalWidth = scaleX > 0 ? width / scaleX : 0;
    state_.Current = origin + QPointF((align & kTaCenter) == kTaRight ? -logicalWidth : logicalWidth, 0);
  }
  if (!painter_ || inPath_) return;

  double ox = 0, oy = 0;
  if ((align & kTaCenter) == kTaCenter)
    ox = -width / 2;
  else if ((align & kTaCenter) == kTaRight)
    ox = -width;
  if ((align & kTaBaseline) == kTaBaseline)
    oy = -cellMetrics.Ascent;
  else if ((align & kTaBaseline) == kTaBottom)
    oy = -cellMetrics.Height;

  painter_->save();
  if (rect) {
    QRectF box = t.mapRect(rect->normalized());
    if (options & kEtoOpaque) painter_->fillRect(box, QColor::fromRgb(state_.BkColour));
    if (options & kEtoClipped) painter_->setClipRect(box, state_.Clipped ? Qt::IntersectClip : Qt::ReplaceClip);
  }
  QPointF at = Map(origin);
  QTransform turn = QTransform::fromTranslate(at.x(), at.y());
  turn.rotate(-f.Escapement / 10.0);
  painter_->setTransform(turn);
  if (state_.BkMode == 2) painter_->fillRect(QRectF(ox, oy, width, cellMetrics.Height), QColor::fromRgb(state_.BkColour));
  painter_->setFont(font);
  painter_->setPen(QColor::fromRgb(state_.TextColour));
  double x = ox;
  for (qsizetype i = 0; i < text.size(); ++i) {
    painter_->drawText(QPointF(x, oy + cellMetrics.Ascent), QString(text.at(i)));
    x += steps[size_t(i)];
  }
  painter_->restore();
}

// Pictures ----------------------------------------------------------------------------------------

void TMetaPlayer::StretchPicture(const QRectF& dest, const QImage& picture, const QRectF& source, uint32_t rop) {
  if (!painter_ || picture.isNull()) return;
  QPainter::CompositionMode mode;
  switch (rop) {
    case 0x00CC0020: mode = QPainter::CompositionMode_Source; break;           // SRCCOPY
    case 0x008800C6: mode = QPainter::RasterOp_SourceAndDestination; break;    // SRCAND
    case 0x00EE0086: mode = QPainter::RasterOp_SourceOrDestination; break;     // SRCPAINT
    case 0x00660046: mode = QPainter::RasterOp_SourceXorDestination; break;    // SRCINVERT
    case 0x00330008: mode = QPainter::RasterOp_NotSource; break;               // NOTSRCCOPY
    default: return PatternFill(dest, rop);
  }
  // Negative sizes mirror the picture.
  QImage image = picture.mirrored(source.width() * dest.width() < 0, source.height() * dest.height() < 0);
  QRectF from = source.normalized();
  if (source.width() * dest.width() < 0) from.moveLeft(picture.width() - from.right());
  if (source.height() * dest.height() < 0) from.moveTop(picture.height() - from.bottom());
  QRectF to = Total().mapRect(dest.normalized());
  to = QRectF(std::round(to.left()), std::round(to.top()), std::round(to.right()) - std::round(to.left()),
              std::round(to.bottom()) - std::round(to.top()));
  if (to.isEmpty() || from.isEmpty()) return;
  painter_->save();
  painter_->setCompositionMode(mode);
  painter_->drawImage(to, image, from);
  painter_->restore();
}

void TMetaPlayer::PatternFill(const QRectF& dest, uint32_t rop) {
  if (!painter_) return;
  QRectF to = Total().mapRect(dest.normalized());
  painter_->save();
  switch (rop) {
    case 0x00F00021: painter_->fillRect(to, MakeBrush()); break;  // PATCOPY
    case 0x00000042: painter_->fillRect(to, Qt::black); break;    // BLACKNESS
    case 0x00FF0062: painter_->fillRect(to, Qt::white); break;    // WHITENESS
    case 0x00550009:                                              // DSTINVERT
      painter_->setCompositionMode(QPainter::RasterOp_NotDestination);
      painter_->fillRect(to, Qt::black);
      break;
    case 0x005A0049:  // PATINVERT
      painter_->setCompositionMode(QPainter::RasterOp_SourceXorDestination);
      painter_->fillRect(to, MakeBrush());
      break;
    default: break;  // other operations are not played
  }
  painter_->restore();
}
