// The drawing canvas with the platform's drawing rules: integer device
// pixels, no antialiasing, lines without their last point, shapes inside
// their box with right and bottom edges left out, pen modes (raster
// operations) exact on every pixel layout, text rotated by escapement.
//
// A canvas draws on a TCanvasTarget: a bitmap, a window's image, a printer
// page or a DIB section supplies the pixels (surface.h) each time the canvas
// draws, so the canvas never holds a stale picture.
#pragma once

#include <QPointF>
#include <QRegion>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/fonts.h"
#include "platform/graphics.h"
#include "platform/raster.h"
#include "platform/surface.h"

// Pens, brushes and fonts ----------------------------------------------------

enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
  pmBlack, pmWhite, pmNop, pmNot, pmCopy, pmNotCopy, pmMergePenNot, pmMaskPenNot,
  pmMergeNotPen, pmMaskNotPen, pmMerge, pmNotMerge, pmMask, pmNotMask, pmXor, pmNotXor
};
enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TPen : public TPersistent {
 public:
  TColor Color = clBlack;
  int Width = 1;
  TPenStyle Style = psSolid;
  TPenMode Mode = pmCopy;
  void Assign(TPersistent* source) override;
};

class TBrush : public TPersistent {
 public:
  TColor Color = clWhite;
  TBrushStyle Style = bsSolid;
  void Assign(TPersistent* source) override;
};

enum TFontPitch { fpDefault, fpVariable, fpFixed };

class TFont : public TPersistent {
 public:
  std::string Name = "MS Sans Serif";
  // Below 0: character height in pixels; above 0: cell height.
  int Height = -11;
  TColor Color = clWindowText;
  uint8_t Charset = DEFAULT_CHARSET;
  TFontStyles Style = 0;
  TFontPitch Pitch = fpDefault;
  // Rotation of the text, counter-clockwise, in tenths of a degree.
  int Orientation = 0;
  // Resolution that Size converts with (the screen's, or a printer's).
  int PixelsPerInch = ScreenPixelsPerInch();

  // Size in points.
  int GetSize() const;
  void SetSize(int points);
  void Assign(TPersistent* source) override;
};

// Copy modes (raster operations of the platform) --------------------------------

using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042;
constexpr TCopyMode cmDstInvert = 0x00550009;
constexpr TCopyMode cmMergeCopy = 0x00C000CA;
constexpr TCopyMode cmMergePaint = 0x00BB0226;
constexpr TCopyMode cmNotSrcCopy = 0x00330008;
constexpr TCopyMode cmNotSrcErase = 0x001100A6;
constexpr TCopyMode cmPatCopy = 0x00F00021;
constexpr TCopyMode cmPatInvert = 0x005A0049;
constexpr TCopyMode cmPatPaint = 0x00FB0A09;
constexpr TCopyMode cmSrcAnd = 0x008800C6;
constexpr TCopyMode cmSrcCopy = 0x00CC0020;
constexpr TCopyMode cmSrcErase = 0x00440328;
constexpr TCopyMode cmSrcInvert = 0x00660046;
constexpr TCopyMode cmSrcPaint = 0x00EE0086;
constexpr TCopyMode cmWhiteness = 0x00FF0062;

// Text alignment, background modes, mapping modes.
constexpr unsigned TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8, TA_BASELINE = 24,
                   TA_UPDATECP = 1;
constexpr int TRANSPARENT = 1, OPAQUE = 2;
constexpr int MM_TEXT = 1, MM_LOMETRIC = 2, MM_HIMETRIC = 3, MM_LOENGLISH = 4, MM_HIENGLISH = 5, MM_TWIPS = 6,
              MM_ISOTROPIC = 7, MM_ANISOTROPIC = 8;
// Stretch modes (nearest pixel is used for all of them).
constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4;

// What a canvas draws on ---------------------------------------------------------

// One line of text as a canvas lays it, in device pixels: the text cell's
// corner before alignment at Origin, turned by Orientation tenths of a
// degree about it; the aligned cell's top-left at Offset in the turned frame.
struct TTextRun {
  std::string Face;
  int Height = 0;  // with the sign convention of TFont::Height
  TFontStyles Style = 0;
  TColor Color = 0;
  int Orientation = 0;
  TPoint Origin;
  QPointF Offset;
  std::string Text;
  const QRegion* Clip = nullptr;  // none: the whole target
};

class TCanvasTarget {
 public:
  virtual ~TCanvasTarget() = default;
  // The pixels as they are now; an invalid surface when there are none.
  virtual TPixelSurface Surface() = 0;
  // Called after the canvas changed pixels.
  virtual void Changed() {}
  // Called before a writer changes pixels, with a device rectangle that
  // holds every pixel it may change. Whatever writes into Surface() says
  // so, which lets a target look only at what was touched.
  virtual void Touched(const TRect& area) {}
  virtual int PixelsPerInchX() { return ScreenPixelsPerInch(); }
  virtual int PixelsPerInchY() { return ScreenPixelsPerInch(); }
  // A target that keeps drawings rather than pixels (a report page) may
  // take a plain, unclipped picture copy whole: device rectangle `dest` from
  // `sourceRect` of `source`, mirrored by flipX/flipY. True when taken.
  virtual bool TakePicture(const TRect& dest, const TPixelSurface& source, const TRect& sourceRect, bool flipX,
                           bool flipY) {
    return false;
  }
  // Such a target may take text as text (so that printed text stays text);
  // the canvas has already painted an opaque background. True when taken.
  virtual bool TakeText(const TTextRun& run) { return false; }
};

// A QImage owned elsewhere (a window's image, a printer page).
class TImageTarget : public TCanvasTarget {
 public:
  explicit TImageTarget(QImage* image, int dpiX = ScreenPixelsPerInch(), int dpiY = ScreenPixelsPerInch())
      : image_(image), dpiX_(dpiX), dpiY_(dpiY) {}
  TPixelSurface Surface() override { return image_ ? TPixelSurface::OfImage(*image_) : TPixelSurface(); }
  int PixelsPerInchX() override { return dpiX_; }
  int PixelsPerInchY() override { return dpiY_; }

 private:
  QImage* image_;
  int dpiX_, dpiY_;
};

struct TDeviceContext;
using HDC = TDeviceContext*;

class TCanvas : public TPersistent {
 public:
  // The canvas owns the target.
  explicit TCanvas(TCanvasTarget* target);
  // The canvas of a bitmap (see TBitmap::GetCanvas).
  explicit TCanvas(TBitmap* bitmap);
  ~TCanvas() override;
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TPen* const Pen;
  TBrush* const Brush;
  TFont* const Font;
  TCopyMode CopyMode = cmSrcCopy;
  TPoint PenPos;
  unsigned TextAlign = TA_LEFT | TA_TOP;
  // OPAQUE fills text cells and dash gaps with the brush colour, but only
  // while the brush is solid (a hatched or clear brush draws transparently).
  int BkMode = OPAQUE;
  int StretchBltMode = COLORONCOLOR;

  // Lines and shapes.
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Rectangle(int l, int t, int r, int b);
  void Rectangle(const TRect& r) { Rectangle(r.Left, r.Top, r.Right, r.Bottom); }
  void Ellipse(int l, int t, int r, int b);
  void Ellipse(const TRect& r) { Ellipse(r.Left, r.Top, r.Right, r.Bottom); }
  void RoundRect(int l, int t, int r, int b, int cornerWidth, int cornerHeight);
  void Polygon(const std::vector<TPoint>& points);
  void Polyline(const std::vector<TPoint>& points);
  void PolyBezier(const std::vector<TPoint>& points);
  // Brush fills that ignore the pen mode.
  void FillRect(const TRect& r);
  void FrameRect(const TRect& r);
  // An inverting dotted frame: drawing it twice removes it.
  void DrawFocusRect(const TRect& r);
  // Fills the inside of the polygon (regions: alternate rule) with the brush.
  void FillPolygon(const std::vector<TPoint>& points, bool winding);

  // Pixels; -1 outside the picture or the clip.
  TColor GetPixel(int x, int y);
  void SetPixel(int x, int y, TColor color);

  // Text, at (x, y) by TextAlign, turned by Font->Orientation.
  void TextOut(int x, int y, const std::string& text);
  // Text clipped to r; an opaque canvas fills r first.
  void TextRect(const TRect& r, int x, int y, const std::string& text);
  TSize TextExtent(const std::string& text);
  int TextWidth(const std::string& text) { return TextExtent(text).cx; }
  int TextHeight(const std::string& text) { return TextExtent(text).cy; }

  // Pictures. Draw keeps the size (a transparent bitmap leaves its
  // transparent colour out); StretchDraw scales into r; both use CopyMode.
  void Draw(int x, int y, TGraphic* graphic);
  void StretchDraw(const TRect& r, TGraphic* graphic);
  // Copies source's rectangle into dest, scaled, with CopyMode.
  void CopyRect(const TRect& dest, TCanvas* source, const TRect& sourceRect);
  // The raster operation of a source rectangle (device pixels of `source`)
  // into a destination rectangle (logical units); negative sizes mirror.
  // `source` may be invalid for operations that do not read it.
  void Blit(int x, int y, int w, int h, const TPixelSurface& source, int sx, int sy, int sw, int sh,
            uint32_t rop3, const TRgb* transparent = nullptr);

  // Clipping, in device pixels. The clip region is empty of meaning while
  // none is selected (the whole surface).
  TRect GetClipRect();
  void SelectClipRegion(const QRegion* region);
  bool HasClipRegion() const { return hasClip_; }
  const QRegion& ClipRegion() const { return clip_; }
  void IntersectClipRect(const TRect& r);
  void ExcludeClipRect(const TRect& r);

  // Mapping from logical units to device pixels.
  int MapMode = MM_TEXT;
  TPoint WindowOrg, ViewportOrg;
  TSize WindowExt{1, 1}, ViewportExt{1, 1};
  TPoint ToDevice(int x, int y);
  TRect ToDevice(const TRect& r);
  // Device pixels per logical unit.
  double ScaleX();
  double ScaleY();

  TCanvasTarget* Target() const { return target_; }
  int PixelsPerInchX() { return target_->PixelsPerInchX(); }
  int PixelsPerInchY() { return target_->PixelsPerInchY(); }
  // The device context of this canvas (made on first use, owned here).
  HDC GetHandle();
  void Lock() { ++lockCount_; }
  void Unlock() { --lockCount_; }
  int LockCount() const { return lockCount_; }

 private:
  enum class Shape { Rect, Ellipse, RoundRect };
  void DrawShape(Shape shape, TRect box, int cornerWidth, int cornerHeight);
  void DrawOutline(const std::vector<TPoint>& devicePoints, bool closed, TCoverage* interior);
  // Changes every drawable pixel of `area` with value = op(dest value).
  template <typename Op>
  void ForEachPixel(TPixelSurface& s, const TCoverage& area, Op op);
  void Paint(const TCoverage& area, TColor color, int rop2, bool brushPattern);
  // Lays text drawn as alpha over `bounds` in `color`.
  void PaintGlyphs(const QImage& glyphs, const TRect& bounds, TColor color);
  int DevicePenWidth();
  std::vector<TPoint> DevicePoints(const std::vector<TPoint>& points);
  bool Opaque() const { return BkMode == OPAQUE && Brush->Style == bsSolid; }
  QFont MakeFont();
  TRect SurfaceBounds(const TPixelSurface& s);

  TCanvasTarget* target_;
  TPen pen_;
  TBrush brush_;
  TFont font_;
  QRegion clip_;
  bool hasClip_ = false;
  int lockCount_ = 0;
  HDC handle_ = nullptr;
};

// Dash lengths of a pen style for 1-pixel pens (empty for solid).
std::vector<int> PenDashes(TPenStyle style);
// Whether the brush pattern covers device pixel (x, y).
bool BrushCovers(TBrushStyle style, int x, int y);
