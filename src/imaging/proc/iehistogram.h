// Level histograms and the adjustments built on them: counting levels and
// colours, stretching levels and automatic equalisation, on the rectangle
// [x1, x2) x [y1, y2) of a pf24bit platform bitmap (others are left alone).
#pragma once

#include <array>
#include <cstdint>

#include "imaging/core/iedefs.h"

class TBitmap;

// Counts of one level: red, green, blue and gray (in this order).
struct THistogramItem {
  uint32_t r;
  uint32_t g;
  uint32_t b;
  uint32_t gray;
};
static_assert(sizeof(THistogramItem) == 16);
// Indexed by level.
using THistogram = std::array<THistogramItem, 256>;

// Zeroes the histogram, then counts the rectangle's channel values and gray levels.
void _GetHistogram(TBitmap* bitmap, THistogram& histogram, int x1, int y1, int x2, int y2);
// The number of distinct colours in the rectangle; 0 unless pf24bit.
int _GetImageNumColors(TBitmap* bitmap, int x1, int y1, int x2, int y2);

// Per channel c: levels from low.c up are stretched to the full range, then
// again so that high.c reaches 255 (high's channels count as at least 1).
// Nothing when low equals high.
void _HistEqualize(TBitmap* bitmap, const TRGB& low, const TRGB& high, int x1, int y1, int x2, int y2,
                   const TIEProgressEvent& OnProgress, TObject* Sender);
// Equalises by the gray histogram of the whole bitmap, choosing per pixel
// between the lower and upper output level of its gray level by the 3 x 3
// neighbourhood's mean. A bitmap of fewer than 256 pixels is left alone
// (its histogram bins would hold no pixel).
void _HistAutoEqualize(TBitmap* bitmap, int x1, int y1, int x2, int y2, const TIEProgressEvent& OnProgress,
                       TObject* Sender);
