// Inside the metafile graphic: the byte reader every record goes through,
// the header facts of both kinds, and the player that keeps the drawing
// state of a device context (objects, mapping, pens, text settings) while
// the WMF and EMF record readers feed it.
#pragma once

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QRegion>
#include <QTransform>
#include <cstdint>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/graphics.h"

// A window on bytes: reads little-endian values at offsets and raises
// EInvalidGraphic for any read past its end.
class TMetaBytes {
 public:
  TMetaBytes(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  size_t Size() const { return size_; }
  const uint8_t* At(size_t offset, size_t count) const {
    if (offset > size_ || count > size_ - offset) throw EInvalidGraphic("Metafile record is too short");
    return data_ + offset;
  }
  uint8_t U8(size_t offset) const { return *At(offset, 1); }
  uint16_t U16(size_t offset) const {
    const uint8_t* p = At(offset, 2);
    return uint16_t(p[0] | p[1] << 8);
  }
  int16_t S16(size_t offset) const { return int16_t(U16(offset)); }
  uint32_t U32(size_t offset) const {
    const uint8_t* p = At(offset, 4);
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
  }
  int32_t S32(size_t offset) const { return int32_t(U32(offset)); }
  float F32(size_t offset) const {
    uint32_t bits = U32(offset);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
  }
  // A part of these bytes.
  TMetaBytes Sub(size_t offset, size_t count) const { return TMetaBytes(At(offset, count), count); }

 private:
  const uint8_t* data_;
  size_t size_;
};

// What a metafile's header tells.
struct TMetaInfo {
  bool Enhanced = false;
  // Size in hundredths of a millimetre.
  int MMWidth = 0, MMHeight = 0;
  // The picture's box in the coordinates its records reach once the
  // metafile's own mapping is applied (reference-device pixels for EMF,
  // logical units for WMF), which a playback maps onto the target rectangle.
  QRectF Box;
  // Reference-device pixels per millimetre (fixed mapping modes).
  double PixelsPerMMX = 96 / 25.4, PixelsPerMMY = 96 / 25.4;
  // Size of the object table.
  uint32_t Handles = 0;
  // EMF: the header record's size (records start there). WMF: the offset
  // of the first record.
  size_t FirstRecord = 0;
};

// Reads the header; raises EInvalidGraphic when it is not a metafile of
// that kind. Both check every record's framing (sizes inside the bytes,
// an end-of-file record) so that playback can rely on it.
bool IsEnhancedMetafile(const TMetaBytes& bytes);
TMetaInfo ReadEmfHeader(const TMetaBytes& bytes);
TMetaInfo ReadWmfHeader(const TMetaBytes& bytes);

// A device-independent bitmap (BITMAPINFO then bits, as DIB records carry
// them) as an image; std::nullopt when the header or sizes are bad.
std::optional<QImage> DecodeMetaDib(const TMetaBytes& info, const TMetaBytes& bits);

// ANSI text of a record (GBK, the system's code page) as text, with the
// advances of its bytes (when given) joined per character.
QString MetaAnsiText(std::string_view gbk, std::vector<double>& advances);

class TMetaPlayer;
// Runs every record through the player; a malformed record raises
// EInvalidGraphic when strict, and is skipped otherwise.
void PlayEmfRecords(const TMetaBytes& bytes, const TMetaInfo& info, TMetaPlayer& player, bool strict);
void PlayWmfRecords(const TMetaBytes& bytes, const TMetaInfo& info, TMetaPlayer& player, bool strict);

// The drawing state of one playback. Coordinates handed in are logical;
// the player maps them through the world transform, the page mapping and
// the final mapping of the picture's box onto the target. With no painter
// it only keeps the state (the load-time check).
class TMetaPlayer {
 public:
  TMetaPlayer(QPainter* painter, const TMetaInfo& info, const QRectF& target);

  // Objects ------------------------------------------------------------------
  struct TPenDef {
    uint32_t Style = 0;  // PS_ style with end cap and join bits
    double Width = 0;    // logical; 0 is one pixel
    QRgb Colour = 0xFF000000;
  };
  struct TBrushDef {
    uint32_t Style = 0;  // BS_SOLID, BS_NULL, BS_HATCHED, BS_PATTERN
    QRgb Colour = 0xFFFFFFFF;
    uint32_t Hatch = 0;
    QImage Pattern;
  };
  struct TFontDef {
    int Height = 0, Width = 0, Escapement = 0, Weight = 400;
    bool Italic = false, Underline = false, StrikeOut = false;
    uint8_t Charset = 0;
    std::string Face;  // UTF-8
  };
  struct TObject {
    enum TKind { None, Pen, Brush, Font, Other } Kind = None;
    TPenDef PenDef;
    TBrushDef BrushDef;
    TFontDef FontDef;
  };
  // The object table: WMF takes the lowest free slot, EMF names the slot.
  void SetTableSize(uint32_t size) { table_.assign(size, TObject{}); }
  bool AddObject(const TObject& object);  // WMF
  bool PutObject(uint32_t index, const TObject& object);  // EMF
  void SelectObject(uint32_t index);  // EMF stock objects have the top bit set
  void DeleteObject(uint32_t index);

  // State --------------------------------------------------------------------
  void SaveDC();
  void RestoreDC(int relative);
  void SetMapMode(int mode);
  void SetWindowOrg(double x, double y);
  void SetWindowExt(double cx, double cy);
  void SetViewportOrg(double x, double y);
  void SetViewportExt(double cx, double cy);
  void OffsetWindowOrg(double dx, double dy);
  void OffsetViewportOrg(double dx, double dy);
  void ScaleWindowExt(int xNum, int xDenom, int yNum, int yDenom);
  void ScaleViewportExt(int xNum, int xDenom, int yNum, int yDenom);
  void SetWorldTransform(const QTransform& t);
  // EMF's MWT_IDENTITY 1, MWT_LEFTMULTIPLY 2, MWT_RIGHTMULTIPLY 3.
  void ModifyWorldTransform(const QTransform& t, uint32_t mode);
  void SetTextColour(QRgb c) { state_.TextColour = c; }
  void SetBkColour(QRgb c) { state_.BkColour = c; }
  void SetBkMode(int mode) { state_.BkMode = mode; }
  void SetTextAlign(uint32_t align) { state_.TextAlign = align; }
  void SetPolyFillMode(int mode) { state_.Winding = mode == 2; }
  QRgb TextColour() const { return state_.TextColour; }
  QRgb BkColour() const { return state_.BkColour; }

  // Clipping, logical rectangles.
  void IntersectClipRect(const QRectF& r);
  void ExcludeClipRect(const QRectF& r);
  void ResetClip();
  // A region of reference-device rectangles combined by RGN_AND 1, RGN_OR
  // 2, RGN_XOR 3, RGN_DIFF 4 or RGN_COPY 5.
  void SelectClipRects(const std::vector<QRectF>& rects, uint32_t mode);

  // Path brackets: shapes drawn between BeginPath and EndPath make the path
  // instead of pixels; FillPath and StrokePath draw it.
  void BeginPath();
  void EndPath() { inPath_ = false; }
  void CloseFigure();
  void DrawCurrentPath(bool fill, bool stroke);

  // Drawing ------------------------------------------------------------------
  void MoveTo(QPointF p);
  void LineTo(QPointF p);
  void Polyline(const std::vector<QPointF>& points);
  // Polyline from the current position, which moves to the last point.
  void PolylineTo(const std::vector<QPointF>& points);
  void PolyBezier(const std::vector<QPointF>& points, bool fromCurrent);
  void Polygon(const std::vector<QPointF>& points);
  void PolyPolygon(const std::vector<std::vector<QPointF>>& polygons);
  void PolyPolyline(const std::vector<std::vector<QPointF>>& lines);
  void Rectangle(const QRectF& r);
  void RoundRect(const QRectF& r, double cornerWidth, double cornerHeight);
  void Ellipse(const QRectF& r);
  enum TArcKind { akArc, akChord, akPie };
  void Arc(TArcKind kind, const QRectF& box, QPointF start, QPointF end);
  void SetPixel(QPointF p, QRgb colour);
  // Text at p (logical), with ExtTextOut's opaque and clip rectangles
  // (ETO_OPAQUE 2, ETO_CLIPPED 4) and optional advances (logical).
  void TextOut(QPointF p, const QString& text, uint32_t options, const std::optional<QRectF>& rect,
               const std::vector<double>& advances);
  // A picture stretched into a logical rectangle with a raster operation;
  // a source rectangle in picture pixels (rows top-down).
  void StretchPicture(const QRectF& dest, const QImage& picture, const QRectF& source, uint32_t rop);
  // A raster operation without a source (PatBlt and the like).
  void PatternFill(const QRectF& dest, uint32_t rop);

 private:
  struct TState {
    TPenDef Pen{0, 0, 0xFF000000};
    TBrushDef Brush{0, 0xFFFFFFFF, 0, {}};
    TFontDef Font;
    QRgb TextColour = 0xFF000000, BkColour = 0xFFFFFFFF;
    int BkMode = 2;  // OPAQUE
    uint32_t TextAlign = 0;
    bool Winding = false;
    int MapMode = 1;  // MM_TEXT
    QPointF WindowOrg, ViewportOrg;
    QSizeF WindowExt{1, 1}, ViewportExt{1, 1};
    QTransform World;
    QPointF Current;
    bool Clipped = false;
    QRegion Clip;  // device pixels of the target
  };
  QTransform PageTransform() const;
  // Logical -> target pixels.
  QTransform Total() const { return state_.World * PageTransform() * final_; }
  QPointF Map(QPointF p) const { return Total().map(p); }
  bool AxisAligned() const;
  QPen MakePen() const;
  QBrush MakeBrush() const;
  bool HasPen() const { return (state_.Pen.Style & 0xF) != 5; }
  bool HasBrush() const { return state_.Brush.Style != 1; }
  void ApplyClip();
  // Fills and strokes a logical path.
  void DrawPath(const QPainterPath& logical, bool fill, bool stroke);
  // A box shape in device pixels with the platform's edge rules.
  void DrawBox(const QRectF& logical, const std::function<void(QPainterPath&, const QRectF&)>& shape);
  double DeviceFontHeight(int height) const;
  TObject StockObject(uint32_t index) const;

  QPainter* painter_;
  TMetaInfo info_;
  QTransform final_;
  TState state_;
  std::vector<TState> saved_;
  std::vector<TObject> table_;
  bool inPath_ = false;
  QPainterPath path_;  // logical
};
