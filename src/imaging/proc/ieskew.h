// Skew of a scanned page: the strongest straight line direction of a
// black-and-white picture by a Hough transform over a limited angle range.
#pragma once

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// Degrees the lines of the pf1bit bitmap (black = clear bits) lean from
// the horizontal, positive when they go down to the right, in steps of
// Precision rounded down to tenths (0.1 to 1). Only directions within
// AngleRange (0 to 180) degrees around the horizontal are tried. 0 for
// other pictures, other arguments, and a picture without a black pixel.
double _iehough(TBitmap* Bitmap, TProgressRec& Progress, int AngleRange, double Precision);
