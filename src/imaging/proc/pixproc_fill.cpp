// The component's fills, gamma correction and measurements.
#include <memory>

#include "imaging/core/iebitmapcopy.h"
#include "imaging/core/iemask.h"
#include "imaging/proc/iecompare.h"
#include "imaging/proc/iedensity.h"
#include "imaging/proc/iefill.h"
#include "imaging/proc/pixproc.h"

void TPixProc::Fill(const TRGB& color) {
  // The worker also fills 1-bit pictures, so no format check here.
  ProcessSelection("Fill", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _Fill(b, x1, y1, x2, y2, color, OnProgress, this);
  });
}

void TPixProc::PaintMark(int spacing, const TRGB& color) {
  ProcessSelection("PaintMark", [&](TBitmap* b, int x1, int y1, int x2, int y2) {
    _PaintMark(b, x1, y1, x2, y2, spacing, color, OnProgress, this);
  });
}

void TPixProc::GammaCorrect(double gamma, TIEChannels channels) {
  // The gamma table maps 3-byte pixels only.
  if (!Has24BitPicture()) return;
  ProcessSelection("GammaCorrect",
                   [&](TBitmap* b, int, int, int, int) { _IEGammaCorrect(b, gamma, channels, OnProgress, this); });
}

void TPixProc::CalcDensityHistogram(std::span<int> RowDensity, std::span<int> ColumnDensity, int RowScale,
                                    int ColumnScale) {
  TBitmap* bitmap = GetWorkingBitmap();
  if (!bitmap) return;
  int x1, y1, x2, y2, polyCount;
  const TPoint* poly;
  TIEMask* mask;
  GetReSel(x1, y1, x2, y2, poly, polyCount, mask);
  if (!mask || mask->IsEmpty()) {
    _CalcDensityHistogram(bitmap, x1, y1, x2, y2, OnProgress, this, RowDensity, ColumnDensity, RowScale,
                          ColumnScale);
    return;
  }
  TBitmap box;
  _CopyBitmapRect(bitmap, &box, mask->X1, mask->Y1, mask->X2 + 1, mask->Y2 + 1);
  _CalcDensityHistogram(&box, 0, 0, box.GetWidth(), box.GetHeight(), OnProgress, this, RowDensity, ColumnDensity,
                        RowScale, ColumnScale);
}

bool TPixProc::ComputeImageEquality(TBitmap* Other, double& PsnrMin, double& PsnrMax, double& MseMin,
                                    double& MseMax, double& RmseMin, double& RmseMax, double& MaxDiffMin,
                                    double& MaxDiffMax, double& MaeMin, double& MaeMax) {
  TBitmap* bitmap = GetWorkingBitmap();
  if (!Has24BitPicture() || !Other || Other->GetPixelFormat() != pf24bit ||
      Other->GetWidth() != bitmap->GetWidth() || Other->GetHeight() != bitmap->GetHeight())
    return false;
  TIEImageDiff diff;
  const bool equal = _IEComputeDiff(bitmap, Other, diff);
  PsnrMin = diff.PsnrMin, PsnrMax = diff.PsnrMax;
  MseMin = diff.MseMin, MseMax = diff.MseMax;
  RmseMin = diff.RmseMin, RmseMax = diff.RmseMax;
  MaxDiffMin = diff.MaxDiffMin, MaxDiffMax = diff.MaxDiffMax;
  MaeMin = diff.MaeMin, MaeMax = diff.MaeMax;
  return equal;
}
