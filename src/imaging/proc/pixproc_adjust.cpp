// The component's colour and tone adjustments: each runs its worker on the
// selection's region under the operation template.
#include "imaging/core/iemask.h"
#include "imaging/proc/ieadjust.h"
#include "imaging/proc/iehistogram.h"
#include "imaging/proc/iemeasure.h"
#include "imaging/proc/pixproc.h"

void TPixProc::Contrast(int c) {
  if (!Has24BitPicture()) return;
  TBitmap* bitmap = GetWorkingBitmap();
  if (bitmap->GetWidth() < 2 && bitmap->GetHeight() < 2) return;
  int meanR = 128, meanG = 128, meanB = 128;
  _GetMediaContrastRGB(bitmap, meanR, meanG, meanB);
  ProcessSelection(PixProcCaption("Contrast", {c}), [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _ContrastRGB(b, c, meanR, meanG, meanB, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::HSLvar(int hue, int saturation, int lightness) {
  if (!Has24BitPicture()) return;
  ProcessSelection(PixProcCaption("HSLvar", {hue, saturation, lightness}),
                   [&](TBitmap* b, int x1, int y1, int x2, int y2) {
                     _HSLvar(b, hue, saturation, lightness, x1, y1, x2, y2, OnProgress, this);
                   });
}

void TPixProc::HSVvar(int hue, int saturation, int value) {
  if (!Has24BitPicture()) return;
  ProcessSelection(PixProcCaption("HSVvar", {hue, saturation, value}),
                   [&](TBitmap* b, int x1, int y1, int x2, int y2) {
                     _HSVvar(b, hue, saturation, value, x1, y1, x2, y2, OnProgress, this);
                   });
}

void TPixProc::IntensityRGBall(int r, int g, int b) {
  if (!Has24BitPicture()) return;
  ProcessSelection(PixProcCaption("IntensityRGBall", {r, g, b}),
                   [&](TBitmap* bitmap, int x1, int y1, int x2, int y2) {
                     _IntensityRGBall(bitmap, r, g, b, x1, y1, x2, y2, OnProgress, this);
                   });
}

void TPixProc::ConvertToGray() {
  if (!Has24BitPicture()) return;
  ProcessSelection("ConvertToGray", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _ConvertToGray(b, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::Merge(TBitmap* other, int percent) {
  if (!Has24BitPicture()) return;
  ProcessSelection(PixProcCaption("Merge", {percent}), [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _Merge(b, other, percent, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::CastColorRange(const TRGB& first, const TRGB& last, const TRGB& cast) {
  if (!Has24BitPicture()) return;
  ProcessSelection("CastColorRange", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _CastColorRange(b, first, last, cast, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::Threshold(const TRGB& downLimit, const TRGB& upLimit, const TRGB& downValue, const TRGB& upValue) {
  if (!Has24BitPicture()) return;
  ProcessSelection("Threshold", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _Threshold(b, downLimit, upLimit, downValue, upValue, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::HistEqualize(const TRGB& low, const TRGB& high) {
  if (!Has24BitPicture()) return;
  ProcessSelection("HistEqualize", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _HistEqualize(b, low, high, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::HistAutoEqualize() {
  if (!Has24BitPicture()) return;
  ProcessSelection("HistAutoEqualize", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _HistAutoEqualize(b, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::Negative() {
  // The worker also takes 1-bit pictures, so no format check here.
  ProcessSelection("Negative", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _Negative(b, x1, y1, x2, y2, OnProgress, this);
  });
}

void TPixProc::GetHistogram(THistogram& histogram) {
  if (!Has24BitPicture()) return;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);
  _GetHistogram(GetWorkingBitmap(), histogram, x1, y1, x2, y2);
}

int TPixProc::CalcImageNumColors() {
  TBitmap* bitmap = GetWorkingBitmap();
  if (!bitmap) return 0;
  if (bitmap->GetPixelFormat() == pf1bit) return 2;
  if (bitmap->GetPixelFormat() != pf24bit) return 0;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);
  return _GetImageNumColors(bitmap, x1, y1, x2, y2);
}
