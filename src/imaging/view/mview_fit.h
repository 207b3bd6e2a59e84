// Fitting a picture into a thumbnail cell, and making the thumbnail.
#pragma once

#include <cstdint>

#include "imaging/core/iedefs.h"

class TIEBaseBitmap;
class TIEBitmap;

// The picture's size scaled to fit the box, each side at least 1 pixel.
// A picture with no width or height takes the box's size; false then.
bool IEMFitSize(int32_t w, int32_t h, int32_t boxW, int32_t boxH, int32_t& outW, int32_t& outH);
// A new 24-bit picture fitted into the box, or none when the picture
// already has the fitted size. 1-bit pictures are reduced with filtering.
TIEBitmap* IEMMakeThumbnail(TIEBaseBitmap* bitmap, int32_t boxW, int32_t boxH, TResampleFilter filter);
