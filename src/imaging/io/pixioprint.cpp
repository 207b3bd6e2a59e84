// Printing one picture: its layout on a page in inches, the drawing onto
// a canvas at the canvas's resolution, and a reduced preview of a
// printer's page. Nothing here divides by a resolution, a page or a
// picture size of 0: such a layout draws nothing and returns false.
#include <algorithm>
#include <cmath>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iedefs.h"
#include "imaging/core/iedrawdib.h"
#include "imaging/core/ieview.h"
#include "imaging/core/ievirtual.h"
#include "imaging/io/pixio.h"
#include "platform/extctrls.h"
#include "platform/gdi.h"
#include "platform/picture.h"
#include "platform/printers.h"

namespace {

// The gamma table: entry i = 255 x (i / 255) ^ (1 / gamma), taken to the
// nearest integer (halves to even).
void ApplyGamma(TIEVirtualBitmap& copy, double gamma) {
  uint8_t table[256];
  for (int i = 0; i < 256; ++i)
    table[i] = uint8_t(std::clamp(std::nearbyint(255.0 * std::pow(i / 255.0, 1.0 / gamma)), 0.0, 255.0));
  copy.ApplyFunction(0, 0, copy.Width, copy.Height,
                     [&table](int, int, void* pixel, void*) {
                       auto* p = static_cast<TRGB*>(pixel);
                       p->b = table[p->b];
                       p->g = table[p->g];
                       p->r = table[p->r];
                     },
                     nullptr);
}

}  // namespace

TIEPrintPage IEVirtualPrintPage() {
  // A4 (210 x 297 mm) at 300 dots per inch.
  return {2480, 3508, 300, 300};
}

TIEPrintPage IEPrinterPage(TPrinter* printer) {
  if (!printer) return IEVirtualPrintPage();
  const int dpi = printer->Resolution();
  TIEPrintPage page{printer->PageWidth(), printer->PageHeight(), dpi, dpi};
  if (page.Width <= 0 || page.Height <= 0 || page.DpiX <= 0 || page.DpiY <= 0) return IEVirtualPrintPage();
  return page;
}

bool TPixIO::PrintImagePosEx(TCanvas* Canvas, int DpiX, int DpiY, double X, double Y, double Width, double Height,
                             double Gamma) {
  Rewrap();
  if (!Canvas || !IEBitmap || IEBitmap->Width <= 0 || IEBitmap->Height <= 0) return false;
  const TIEPixelFormat format = IEBitmap->PixelFormat;
  if (format != ie1g && format != ie24RGB) return false;
  TIEVirtualBitmap copy;
  if (!copy.AllocateBits(IEBitmap->Width, IEBitmap->Height, format == ie1g ? 1 : 24)) return false;
  copy.CopyFromIEBitmap(IEBitmap, 0, 0, IEBitmap->Width, IEBitmap->Height);
  if (format == ie24RGB && Gamma != 1 && Gamma > 0) ApplyGamma(copy, Gamma);
  const int x = int(std::trunc(DpiX * X)), y = int(std::trunc(DpiY * Y));
  const int w = int(std::trunc(DpiX * Width)), h = int(std::trunc(DpiY * Height));
  if (w <= 0 || h <= 0) return false;
  HDRAWDIB drawdib = IEDrawDibOpen();
  copy.RenderTo(Canvas, drawdib, x, y, w, h, 0, 0, copy.Width, copy.Height, FilterOnPrint);
  IEDrawDibClose(drawdib);
  return true;
}

bool TPixIO::PrintImagePos(TCanvas* Canvas, double X, double Y, double Width, double Height, double Gamma) {
  if (!Canvas) return false;
  HDC dc = Canvas->GetHandle();
  return PrintImagePosEx(Canvas, GetDeviceCaps(dc, LOGPIXELSX), GetDeviceCaps(dc, LOGPIXELSY), X, Y, Width, Height,
                         Gamma);
}

bool TPixIO::PrintImageEx(TCanvas* Canvas, int DpiX, int DpiY, double PageWidth, double PageHeight,
                          double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                          TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size, double SpecWidth,
                          double SpecHeight, double Gamma) {
  Rewrap();
  if (!IEBitmap || IEBitmap->Width <= 0 || IEBitmap->Height <= 0 || DpiX <= 0 || DpiY <= 0) return false;
  // The picture's own resolution; a picture without one has the screen's.
  int pictureDpiX = AttachedPix ? AttachedPix->GetDPIX() : IOParams->DPIX;
  int pictureDpiY = AttachedPix ? AttachedPix->GetDPIY() : IOParams->DPIY;
  if (pictureDpiX <= 0) pictureDpiX = gSystemDPIX > 0 ? gSystemDPIX : 96;
  if (pictureDpiY <= 0) pictureDpiY = gSystemDPIY > 0 ? gSystemDPIY : 96;
  if (AttachedTImage) {
    TBitmap* b = AttachedTImage->GetPicture()->GetBitmap();
    if (b->GetPixelFormat() != pf1bit && b->GetPixelFormat() != pf24bit) {
      b->SetPixelFormat(pf24bit);
      Rewrap();
    }
  }
  const double areaW = PageWidth - (MarginLeft + MarginRight);
  const double areaH = PageHeight - (MarginTop + MarginBottom);
  double w = 0, h = 0;
  switch (Size) {
    case iesNORMAL:
      w = double(IEBitmap->Width) / pictureDpiX;
      h = double(IEBitmap->Height) / pictureDpiY;
      break;
    case iesFITTOPAGE: {
      const double w0 = double(IEBitmap->Width) / DpiX, h0 = double(IEBitmap->Height) / DpiY;
      const double k = std::min(areaW / w0, areaH / h0);
      w = w0 * k;
      h = h0 * k;
      break;
    }
    case iesFITTOPAGESTRETCH:
      w = areaW;
      h = areaH;
      break;
    case iesSPECIFIEDSIZE:
      w = SpecWidth;
      h = SpecHeight;
      break;
  }
  double x = 0, y = 0;
  switch (HorizontalPos) {
    case iehpLEFT: x = MarginLeft; break;
    case iehpCENTER: x = MarginLeft + (areaW - w) / 2; break;
    case iehpRIGHT: x = MarginLeft + areaW - w; break;
  }
  switch (VerticalPos) {
    case ievpTOP: y = MarginTop; break;
    case ievpCENTER: y = MarginTop + (areaH - h) / 2; break;
    case ievpBOTTOM: y = MarginTop + areaH - h; break;
  }
  return PrintImagePosEx(Canvas, DpiX, DpiY, x, y, w, h, Gamma);
}

bool TPixIO::PrintImage(TCanvas* Canvas, double MarginLeft, double MarginTop, double MarginRight,
                        double MarginBottom, TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size,
                        double SpecWidth, double SpecHeight, double Gamma) {
  if (!Canvas) return false;
  HDC dc = Canvas->GetHandle();
  const int dpiX = GetDeviceCaps(dc, LOGPIXELSX), dpiY = GetDeviceCaps(dc, LOGPIXELSY);
  const int width = GetDeviceCaps(dc, HORZRES), height = GetDeviceCaps(dc, VERTRES);
  if (dpiX <= 0 || dpiY <= 0 || width <= 0 || height <= 0) return false;
  return PrintImageEx(Canvas, dpiX, dpiY, double(width) / dpiX, double(height) / dpiY, MarginLeft, MarginTop,
                      MarginRight, MarginBottom, VerticalPos, HorizontalPos, Size, SpecWidth, SpecHeight, Gamma);
}

bool TPixIO::PreviewPrintImage(TBitmap* Bitmap, int MaxBitmapWidth, int MaxBitmapHeight, TPrinter* Printer,
                               double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                               TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size,
                               double SpecWidth, double SpecHeight, double Gamma) {
  if (!Bitmap || MaxBitmapWidth <= 5 || MaxBitmapHeight <= 5) return false;
  return PreviewPrintImage(Bitmap, MaxBitmapWidth, MaxBitmapHeight, IEPrinterPage(Printer), MarginLeft, MarginTop,
                           MarginRight, MarginBottom, VerticalPos, HorizontalPos, Size, SpecWidth, SpecHeight, Gamma);
}

bool TPixIO::PreviewPrintImage(TBitmap* Bitmap, int MaxBitmapWidth, int MaxBitmapHeight, const TIEPrintPage& Page,
                               double MarginLeft, double MarginTop, double MarginRight, double MarginBottom,
                               TIEVerticalPos VerticalPos, TIEHorizontalPos HorizontalPos, TIESize Size,
                               double SpecWidth, double SpecHeight, double Gamma) {
  if (!Bitmap || MaxBitmapWidth <= 5 || MaxBitmapHeight <= 5) return false;
  const TIEPrintPage page =
      Page.Width > 0 && Page.Height > 0 && Page.DpiX > 0 && Page.DpiY > 0 ? Page : IEVirtualPrintPage();
  // The zoom in percent at which the page fits, 5 pixels to spare.
  const double zoom =
      std::min((MaxBitmapWidth - 5) / (page.Width / 100.0), (MaxBitmapHeight - 5) / (page.Height / 100.0));
  const double f = zoom / 100;
  // A very long page may shrink one side below a pixel, and a small zoom
  // the resolution below a dot per inch: both are kept at 1.
  const int bw = std::max(1, int(std::trunc(page.Width * f))), bh = std::max(1, int(std::trunc(page.Height * f)));
  const int dx = std::max(1, int(std::trunc(page.DpiX * f))), dy = std::max(1, int(std::trunc(page.DpiY * f)));
  Bitmap->SetSize(1, 1);
  Bitmap->SetPixelFormat(pf24bit);
  Bitmap->SetSize(bw, bh);
  TCanvas* c = Bitmap->GetCanvas();
  c->Brush->Style = bsSolid;
  c->Brush->Color = clWhite;
  c->FillRect(Rect(0, 0, bw, bh));
  PrintImageEx(c, dx, dy, double(bw) / dx, double(bh) / dy, MarginLeft, MarginTop, MarginRight, MarginBottom,
               VerticalPos, HorizontalPos, Size, SpecWidth, SpecHeight, Gamma);
  // The margin frame, inverting what lies under it.
  c->Pen->Style = psDash;
  c->Pen->Mode = pmNot;
  c->Pen->Width = 1;
  c->Brush->Style = bsClear;
  c->Rectangle(int(std::trunc(MarginLeft * dx)), int(std::trunc(MarginTop * dy)),
               int(std::trunc(bw - MarginRight * dx)), int(std::trunc(bh - MarginBottom * dy)));
  c->Pen->Mode = pmCopy;
  c->Pen->Style = psSolid;
  c->Brush->Style = bsSolid;
  return true;
}
