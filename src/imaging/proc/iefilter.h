// 3 x 3 integer convolution with a divisor, and its nine preset kernels.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// A 3 x 3 kernel: rows above, own, below the pixel, each left, centre,
// right; Divisor 0 counts as 1. 40 bytes, as the filter file stores it.
struct TGraphFilter {
  int32_t Values[3][3];
  int32_t Divisor;
};
static_assert(sizeof(TGraphFilter) == 40);

enum TIEFilterPresets {
  fpNone,
  fpBlur,
  fpEdge,
  fpEmboss,
  fpHighPass1,
  fpHighPass2,
  fpHighPass3,
  LowPass1,
  LowPass2
};

// The presets' kernels, indexed by TIEFilterPresets.
extern const TGraphFilter IEFiltPres[9];

// Convolves the rectangle [x1, x2) x [y1, y2) of a pf24bit bitmap (other
// formats are left alone), each channel on its own: neighbours beyond the
// picture repeat its border, results never feed later pixels, and each
// sum div Divisor is clamped to 0..255. Progress per row; stops after the
// row when the record's abort flag is set.
void _ApplyFilter(TBitmap* bitmap, const TGraphFilter& filter, int x1, int y1, int x2, int y2,
                  TProgressRec& progress);
