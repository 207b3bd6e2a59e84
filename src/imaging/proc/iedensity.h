// Row and column density profiles of a picture.
#pragma once

#include <span>

#include "imaging/core/iedefs.h"

class TBitmap;

// RowDensity[r - y1] and ColumnDensity[c - x1] receive the sums of the
// pixel values of row r and column c of [x1, x2) x [y1, y2), scaled so that
// the largest sum becomes RowScale (ColumnScale). A pixel's value is its
// gray level (21 R + 71 G + 8 B) div 100 on pf24bit, its bit on pf1bit;
// other formats give zeros, as do profiles whose sums are all 0. Entries
// beyond the region are zeroed; a region longer than an array fills what
// the array holds.
void _CalcDensityHistogram(TBitmap* Bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                           TObject* Sender, std::span<int> RowDensity, std::span<int> ColumnDensity,
                           int RowScale, int ColumnScale);
