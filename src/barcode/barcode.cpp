#include "barcode/barcode.h"

#include "platform/clipbrd.h"
#include "platform/fonts.h"
#include "platform/gdi.h"

namespace {

// Lengths drawn on the canvas come out MagnifyBy times larger.
void SetMagnify(TCanvas* canvas, int magnifyBy) {
  HDC dc = canvas->GetHandle();
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, ScreenWidth(), ScreenHeight(), nullptr);
  SetViewportExtEx(dc, magnifyBy * ScreenWidth(), magnifyBy * ScreenHeight(), nullptr);
}

}  // namespace

TBarcode::TBarcode(TComponent* owner) : TCustomBarcode(owner) {}

void TBarcode::SetAutoSize(bool value) {
  if (value == autoSize_) return;
  autoSize_ = value;
  Repaint();
}

void TBarcode::Paint() {
  TPoint size = PaintBarcode();
  if (autoSize_) SetBounds(GetLeft(), GetTop(), size.x, size.y);
}

void TBarcode::Print(TCanvas* Canvas, int X, int Y, TPoint* Size) {
  HDC dc = Canvas->GetHandle();
  const int mode = GetMapMode(dc);
  if (mode == MM_TEXT) {
    InternalPrint(Canvas, X, Y, Size);
    return;
  }
  if (mode != MM_LOMETRIC && mode != MM_HIMETRIC) throw EOverflow("Barcode: Wrong mapmode in \"LoMetricPrint\"");
  const double unitsPerInch = mode == MM_LOMETRIC ? 254.0 : 2540.0;
  const double perUnitX = GetDeviceCaps(dc, LOGPIXELSX) / unitsPerInch;
  const double perUnitY = GetDeviceCaps(dc, LOGPIXELSY) / unitsPerInch;
  SetMapMode(dc, MM_TEXT);
  TPoint drawn;
  try {
    InternalPrint(Canvas, int(Round(X * perUnitX)), -int(Round(Y * perUnitY)), &drawn);
  } catch (...) {
    SetMapMode(dc, mode);
    throw;
  }
  SetMapMode(dc, mode);
  if (Size) *Size = {int(Round(drawn.x / perUnitX)), int(Round(drawn.y / perUnitY))};
}

void TBarcode::RenderBordered(TBitmap& bitmap, int Border) {
  TPoint size;
  InternalPrint(bitmap.GetCanvas(), Border, Border, &size);
  bitmap.SetSize(2 * Border + size.x, 2 * Border + size.y);
  InternalPrint(bitmap.GetCanvas(), Border, Border, &size);
}

void TBarcode::SaveToFile(int Border, const std::string& FileName) {
  TBitmap bitmap;
  RenderBordered(bitmap, Border);
  bitmap.SaveToFile(FileName);
}

void TBarcode::SaveToFileEx(int Border, const std::string& FileName, bool Monochrome, int MagnifyBy) {
  if (MagnifyBy < 1) throw EOverflow("Barcode: Factor for \"MagnifyBy\" must be >=1");
  TBitmap bitmap;
  bitmap.SetMonochrome(Monochrome);
  TCanvas* canvas = bitmap.GetCanvas();
  SetMagnify(canvas, MagnifyBy);
  TPoint size;
  InternalPrint(canvas, Border, Border, &size);
  bitmap.SetSize((2 * Border + size.x) * MagnifyBy, (2 * Border + size.y) * MagnifyBy);
  SetMagnify(canvas, MagnifyBy);
  InternalPrint(canvas, Border, Border, &size);
  bitmap.SaveToFile(FileName);
}

void TBarcode::CopyToClipboard(int Border) {
  TBitmap bitmap;
  RenderBordered(bitmap, Border);
  Clipboard()->Assign(&bitmap);
}

void TBarcode::CopyToRect(TCanvas* Canvas, const TRect& Rect) {
  TBitmap bitmap;
  RenderBordered(bitmap, 0);
  Canvas->StretchDraw(Rect, &bitmap);
}
