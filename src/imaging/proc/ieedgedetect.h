// Edge maps by the Shen-Castan method: an infinite symmetric exponential
// smoothing filter, zero crossings of the band-limited Laplacian, an
// adaptive gradient and thresholds with hysteresis tracking.
#pragma once

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// Src is pf24bit; Dst (which may be Src) becomes a pf1bit picture of the
// same size with the edges as clear bits (black) and the rest set (white);
// its first column and last row are always white. Other sources leave Dst
// alone. Smoothing is the filter's b (0 < b < 1), Ratio the share of
// pixels below the high threshold, AdaptiveWindow the side of the block
// the gradient is measured over, ThinFactor (above 0) thins traced chains.
// Progress reports six steps.
void _IEEdgeDetect_ShenCastan(TBitmap* Src, TBitmap* Dst, double Ratio, double Smoothing, int AdaptiveWindow,
                              int ThinFactor, bool Hysteresis, TProgressRec& Progress);
