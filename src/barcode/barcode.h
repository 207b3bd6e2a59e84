// TBarcode: the barcode control with automatic sizing and its outputs:
// drawing on a canvas in pixel or metric mapping modes, saving a bitmap
// file, copying to the clipboard and stretching into a rectangle. New
// bitmaps start white, so the outputs are black on white.
#pragma once

#include <string>

#include "barcode/barhl.h"

class TBarcode : public TCustomBarcode {
 public:
  explicit TBarcode(TComponent* owner);

  bool GetAutoSize() const { return autoSize_; }
  void SetAutoSize(bool value);

  // Draws at (X, Y) in the canvas's logical units: pixels in MM_TEXT,
  // 0.1 mm in MM_LOMETRIC, 0.01 mm in MM_HIMETRIC (y growing upwards, so a
  // place below the origin has a negative Y). Size gets the logical size.
  void Print(TCanvas* Canvas, int X, int Y, TPoint* Size);
  // A bitmap file of the barcode with a white border of Border pixels.
  void SaveToFile(int Border, const std::string& FileName);
  // The same, every length multiplied by MagnifyBy (at least 1), optionally
  // in black and white.
  void SaveToFileEx(int Border, const std::string& FileName, bool Monochrome, int MagnifyBy);
  void CopyToClipboard(int Border);
  // The barcode at its own size, stretched into Rect of Canvas.
  void CopyToRect(TCanvas* Canvas, const TRect& Rect);

 protected:
  void Paint() override;

 private:
  // A white bitmap holding the barcode at (Border, Border).
  void RenderBordered(TBitmap& bitmap, int Border);

  bool autoSize_ = true;
};
