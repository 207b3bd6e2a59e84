// The drawing that the two report picture printables share: gamma, the box
// inside the printable's frame, the whole-percent zoom that fits it, the
// centred placement, the part of the picture that fits, and the DrawDib
// call on the report printer's canvas.
#pragma once

#include <array>
#include <cstdint>

#include "platform/gdi.h"
#include "platform/wintypes.h"

class TBitmap;
class TCanvas;
class TQRPrintable;

// Where a picture lands, in printer pixels.
struct TQRPicturePlacement {
  // The box inside the frame lines, both edges included.
  int X0 = 0, Y0 = 0, X1 = 0, Y1 = 0;
  // Top-left corner and size of the drawn part.
  int Xi = 0, Yi = 0, L = 0, M = 0;
  // Size of the picture part drawn (from the picture's top-left corner).
  int SrcWidth = 0, SrcHeight = 0;
  double Zoom = 100;
};

// Replaces the blue, green and red bytes of a 24-bit bitmap through the
// gamma table; 1.0 leaves it as it is. Other depths are left alone (black
// and white stay black and white under any gamma).
void IEApplyPrintGamma(TBitmap* bitmap, double gamma);
// The 256-entry table: round(((i / 255) ^ (1 / gamma)) x 255), 0..255.
std::array<uint8_t, 256> IEPrintGammaTable(double gamma);

// The placement of a bw x bh picture printed by `printable` with its band at
// (OfsX, OfsY) millimetres.
TQRPicturePlacement IEReportPicturePlacement(const TQRPrintable& printable, double OfsX, double OfsY, int bw,
                                             int bh, bool fit, bool center);

// The 40-byte header and two palette entries the printables draw with.
struct TQRPictureHeader {
  BITMAPINFOHEADER Header;
  RGBQUAD Palette[2];
};
static_assert(sizeof(TQRPictureHeader) == 48);

// The print path: gamma, placement, header and drawing. The bitmap must be
// pf1bit or pf24bit; it is changed by the gamma step. `header` is the
// printable's header block, filled here.
TQRPicturePlacement IEPrintReportPicture(TQRPrintable& printable, HDRAWDIB context, TQRPictureHeader& header,
                                         TBitmap* bitmap, double OfsX, double OfsY, bool fit, bool center,
                                         double gamma);

// The design-time face of a picture printable: its two diagonals with the
// frame's pen.
void IEPaintPicturePrintableFace(const TQRPrintable& printable, TCanvas* canvas);
