#include "imaging/view/qrprintpath.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/iedrawdib.h"
#include "platform/canvas.h"
#include "platform/graphics.h"
#include "platform/qreport.h"

namespace {

// Nearest integer, halves to even (the default rounding mode), held to the
// int range so that absurd sizes cannot overflow.
int RoundEven(double v) {
  if (!(v > -2147483648.0)) return INT32_MIN;
  if (!(v < 2147483647.0)) return INT32_MAX;
  return int(std::nearbyint(v));
}

}  // namespace

std::array<uint8_t, 256> IEPrintGammaTable(double gamma) {
  std::array<uint8_t, 256> table{};
  for (int i = 0; i < 256; ++i) {
    double v = std::nearbyint(std::pow(i * (1.0 / 255), 1.0 / gamma) * 255);
    table[size_t(i)] = uint8_t(v >= 0 ? std::min(v, 255.0) : 0);  // NaN gives 0
  }
  return table;
}

void IEApplyPrintGamma(TBitmap* bitmap, double gamma) {
  if (gamma == 1.0 || bitmap->GetPixelFormat() != pf24bit) return;
  const std::array<uint8_t, 256> table = IEPrintGammaTable(gamma);
  const int w = bitmap->GetWidth(), h = bitmap->GetHeight();
  for (int y = 0; y < h; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int64_t i = 0; i < int64_t(w) * 3; ++i) row[i] = table[row[i]];
  }
}

TQRPicturePlacement IEReportPicturePlacement(const TQRPrintable& printable, double OfsX, double OfsY, int bw,
                                             int bh, bool fit, bool center) {
  const TQRPrinter* p = printable.ParentReport->QRPrinter;
  const TQRPrintableSize s = printable.Size();
  const TQRFrame& f = printable.Frame;
  TQRPicturePlacement r;
  r.X0 = p->XPos(s.Left + OfsX) + 1 + (f.DrawLeft ? f.Width : 0);
  r.Y0 = p->YPos(s.Top + OfsY) + 1 + (f.DrawTop ? f.Width : 0);
  r.X1 = p->XPos(OfsX + s.Left + s.Width) - 1 - (f.DrawRight ? f.Width : 0);
  r.Y1 = p->YPos(OfsY + s.Top + s.Height) - 1 - (f.DrawBottom ? f.Width : 0);
  const int W = r.X1 - r.X0 + 1, H = r.Y1 - r.Y0 + 1;

  r.Zoom = fit ? std::min(std::trunc(W / (bw / 100.0)), std::trunc(H / (bh / 100.0))) : 100;
  const int dw = RoundEven(bw / 100.0 * r.Zoom), dh = RoundEven(bh / 100.0 * r.Zoom);
  r.L = std::min(dw, W);
  r.M = std::min(dh, H);
  const int dx = center && r.L < W ? (W - r.L) / 2 : 0;
  const int dy = center && r.M < H ? (H - r.M) / 2 : 0;
  r.Xi = r.X0 + dx;
  r.Yi = r.Y0 + dy;

  if (dw != 0) {
    r.SrcWidth = RoundEven(r.L * (double(bw) / dw));
    if (r.SrcWidth > bw) --r.SrcWidth;
  }
  if (dh != 0) {
    r.SrcHeight = RoundEven(r.M * (double(bh) / dh));
    if (r.SrcHeight > bh) --r.SrcHeight;
  }
  return r;
}

TQRPicturePrintable::TQRPicturePrintable(TComponent* Owner) : TQRPrintable(Owner), drawDib_(IEDrawDibOpen()) {}

TQRPicturePrintable::~TQRPicturePrintable() { IEDrawDibClose(drawDib_); }

const TQRPicturePlacement& TQRPicturePrintable::PrintPicture(TBitmap* bitmap, double OfsX, double OfsY) {
  // The header describes 1-bit and 24-bit rows only.
  if (bitmap->GetPixelFormat() != pf1bit && bitmap->GetPixelFormat() != pf24bit) bitmap->SetPixelFormat(pf24bit);
  IEApplyPrintGamma(bitmap, GammaCorrection);
  const int bw = bitmap->GetWidth(), bh = bitmap->GetHeight();
  const TQRPicturePlacement& r = placement_ =
      IEReportPicturePlacement(*this, OfsX, OfsY, bw, bh, Fit, Center);
  zoom_ = r.Zoom;

  std::memset(&header_, 0, sizeof header_);
  header_.Header.biSize = 40;
  header_.Header.biWidth = bw;
  // Our bitmaps keep their rows top-down from row 0, which a negative
  // height tells DrawDib.
  header_.Header.biHeight = -bh;
  header_.Header.biPlanes = 1;
  const bool mono = bitmap->GetPixelFormat() == pf1bit;
  header_.Header.biBitCount = mono ? 1 : 24;
  if (mono) header_.Palette[1] = {255, 255, 255, 0};

  // A box too small for a pixel, or a zoom of 0, draws nothing rather than
  // a mirrored or empty stretch.
  if (r.L > 0 && r.M > 0 && r.SrcWidth > 0 && r.SrcHeight > 0)
    IEDrawDibDraw(drawDib_, ParentReport->QRPrinter->Canvas->GetHandle(), r.Xi, r.Yi, r.L, r.M, &header_.Header,
                  bitmap->ScanLine(0), 0, 0, r.SrcWidth, r.SrcHeight, 0);
  return r;
}

bool TQRPicturePrintable::PrintWholeJpeg(std::string bytes, int width, int height, double OfsX, double OfsY) {
  if (GammaCorrection != 1.0 || width < 1 || height < 1) return false;
  const TQRPicturePlacement r = IEReportPicturePlacement(*this, OfsX, OfsY, width, height, Fit, Center);
  if (r.L <= 0 || r.M <= 0 || r.SrcWidth != width || r.SrcHeight != height) return false;
  if (!ParentReport->QRPrinter->AddJpeg({r.Xi, r.Yi, r.Xi + r.L, r.Yi + r.M}, std::move(bytes))) return false;
  placement_ = r;
  zoom_ = r.Zoom;
  return true;
}

void TQRPicturePrintable::PrintFrameUnlessDecorated(double OfsX, double OfsY) {
  if (!ImageBorder && !ImageShadow) TQRPrintable::Print(OfsX, OfsY);
}

void TQRPicturePrintable::Paint() {
  TCanvas* canvas = GetCanvas();
  canvas->Pen->Color = Frame.Color;
  canvas->Pen->Width = Frame.Width;
  canvas->Pen->Style = Frame.Style;
  canvas->MoveTo(0, 0);
  canvas->LineTo(GetWidth(), GetHeight());
  canvas->MoveTo(0, GetHeight());
  canvas->LineTo(GetWidth(), 0);
}
