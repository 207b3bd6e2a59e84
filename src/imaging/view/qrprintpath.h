// The report printables that print a picture share this: their settings,
// gamma, the box inside the printable's frame, the whole-percent zoom that
// fits it, the centred placement, the part of the picture that fits, and
// the DrawDib call on the report printer's canvas.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "imaging/core/iedraw.h"
#include "platform/gdi.h"
#include "platform/qreport.h"
#include "platform/wintypes.h"

class TBitmap;

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

// A report printable that prints a picture: the settings and the print
// path that the field picture and the in-memory picture share.
class TQRPicturePrintable : public TQRPrintable {
 public:
  explicit TQRPicturePrintable(TComponent* Owner);
  ~TQRPicturePrintable() override;

  // Scale to the largest whole percentage that fits the box.
  bool Fit = true;
  bool Center = true;
  // Shadow width in printer pixels.
  int ShadowSize = 8;
  TIEShadowType ShadowType = iestSmooth2;
  // Gamma of the printed picture; 1.0 leaves it unchanged.
  double GammaCorrection = 1.0;
  // With either on, the frame is not drawn.
  bool ImageBorder = true;
  bool ImageShadow = true;

  // Zoom (percent) of the last print.
  double GetZoom() const { return zoom_; }
  // Where the last print put the picture (all zero when none was drawn).
  const TQRPicturePlacement& LastPlacement() const { return placement_; }

 protected:
  // The design-time face: the box's two diagonals in the frame's pen.
  void Paint() override;
  // Gamma, placement and drawing of a pf1bit or pf24bit bitmap (other
  // formats are turned into 24 bits first); the bitmap is changed.
  const TQRPicturePlacement& PrintPicture(TBitmap* bitmap, double OfsX, double OfsY);
  // A JPEG file's bytes placed as PrintPicture places a width x height
  // picture, kept on the page in those bytes when the whole picture shows
  // unchanged (gamma 1.0, nothing cut off). False, with nothing printed,
  // otherwise; the caller then prints the decoded picture.
  bool PrintWholeJpeg(std::string bytes, int width, int height, double OfsX, double OfsY);
  // Forgets the placement of the previous print.
  void ForgetPlacement() { placement_ = {}; }
  // Takes `r` as the placement of this print (one repeated, not drawn).
  void KeepPlacement(const TQRPicturePlacement& r) {
    placement_ = r;
    zoom_ = r.Zoom;
  }
  // The frame, drawn only with ImageBorder and ImageShadow both off.
  void PrintFrameUnlessDecorated(double OfsX, double OfsY);

 private:
  double zoom_ = 100;
  HDRAWDIB drawDib_;
  TQRPictureHeader header_{};
  TQRPicturePlacement placement_;
};
