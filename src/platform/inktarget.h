// A canvas target that remembers which pixels were drawn. Its image starts
// white with the fourth byte of every pixel 0; a canvas writing a pixel sets
// that byte, so read as ARGB the image is opaque exactly where something was
// drawn. Printer pages and report pages lay such ink over drawings made
// another way, without covering them with untouched white.
//
// A batch prints thousands of printables through one target: the pixels are
// kept from one area to the next, and only the part the canvas touched is
// blanked again or looked at.
#pragma once

#include <QImage>
#include <functional>
#include <vector>

#include "platform/canvas.h"

class QPainter;

// Draws a run of canvas text with a painter whose device pixels are the
// canvas's.
void PaintTextRun(QPainter& painter, const TTextRun& run);

class TInkTarget : public TCanvasTarget {
 public:
  TInkTarget(int dpiX, int dpiY) : dpiX_(dpiX), dpiY_(dpiY) {}

  void SetResolution(int dpiX, int dpiY) {
    dpiX_ = dpiX;
    dpiY_ = dpiY;
  }
  // A blank area of w x h pixels, made when a canvas first draws.
  void Reset(int w, int h);
  // True once a canvas has asked for the pixels since the last Reset or Clear.
  bool Dirty() const { return dirty_; }
  // Blank again, keeping the size.
  void Clear();
  // The same when every drawn pixel lies in `drawn` (found by looking):
  // only those rectangles are blanked.
  void ClearDrawn(const std::vector<TRect>& drawn);
  // Blanks one rectangle (cut to the touched area) of the pixels.
  void BlankArea(const TRect& area);
  // The pixels as ARGB: alpha 255 where drawn, 0 elsewhere. Valid until the
  // next Reset or Clear.
  QImage Ink() const;
  // The part of the area the canvas touched since the last Reset or Clear
  // (nothing drawn lies outside it); empty when nothing was.
  TRect TouchedArea() const { return touched_; }
  // The same as a few rectangles (they may overlap) that leave out most of
  // what lies between separate strokes: a picture's shadows along two of
  // its sides touch two thin strips, not the whole picture.
  const std::vector<TRect>& TouchedParts();
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Takes text as text when set and answering true.
  std::function<bool(const TTextRun&)> OnText;
  bool TakeText(const TTextRun& run) override { return OnText && OnText(run); }

  TPixelSurface Surface() override;
  void Touched(const TRect& area) override;
  int PixelsPerInchX() override { return dpiX_; }
  int PixelsPerInchY() override { return dpiY_; }

 private:
  void Blank(const TRect& area);
  void AddPart(const TRect& area);
  void KeepRun();

  std::vector<QRgb> pixels_;  // kept between areas; blank outside touched_
  QImage image_;              // the current area over pixels_
  TPixelSurface surface_;     // its view
  int width_ = 0, height_ = 0;
  int dpiX_, dpiY_;
  bool dirty_ = false;
  TRect touched_{};
  std::vector<TRect> parts_;  // within touched_
  TRect run_{};               // touched last, not yet in parts_
};
