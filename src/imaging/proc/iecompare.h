// Comparison of two pictures by error statistics.
#pragma once

class TBitmap;

// Each statistic is the minimum or the maximum over the three channels of
// a per-channel measure of d = second - first.
struct TIEImageDiff {
  double PsnrMin = 1e9, PsnrMax = 0;
  double MseMin = 1e9, MseMax = 0;
  double RmseMin = 1e9, RmseMax = 0;
  double MaxDiffMin = 1e9, MaxDiffMax = 0;
  double MaeMin = 1e9, MaeMax = 0;
};

// Compares two pf24bit bitmaps of the same size (the caller checks) over
// their whole area; true when every pixel is equal. Per channel: mse the
// mean of d squared, rmse its root, psnr 20 log10(255 / rmse) (0 when mse
// is 0), maxdiff the largest |d|, mae the mean of |d|.
bool _IEComputeDiff(TBitmap* First, TBitmap* Second, TIEImageDiff& Diff);
