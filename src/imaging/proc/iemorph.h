// Neighbourhood operations: grey-level morphology on pf24bit pictures and
// the removal of isolated pixels from pf1bit pictures.
#pragma once

#include "imaging/core/iedefs.h"
#include "platform/graphics.h"

// Operation 0 maximum (dilation), 1 minimum (erosion), 2 opening (minimum
// then maximum), 3 closing (maximum then minimum); other codes nothing.
// Every pixel of the rectangle [x1, x2) x [y1, y2) takes the whole colour
// of the brightest (darkest) pixel of its (2 radius + 1) square window,
// the window clamped into the rectangle; ties go to the pixel higher up,
// then further left. A negative radius changes nothing.
void _MorphFilter(TBitmap* bitmap, int radius, int operation, int x1, int y1, int x2, int y2,
                  const TIEProgressEvent& onProgress, TObject* sender);

// On a pf1bit picture, every pixel of colour `colour` (set bits when it is
// not 0) with fewer than `size` neighbours of its colour in its 3 x 3 block
// takes the other colour.
void _IERemoveIsolatedPixels1Bit(TBitmap* bitmap, int x1, int y1, int x2, int y2, int colour, int size);
