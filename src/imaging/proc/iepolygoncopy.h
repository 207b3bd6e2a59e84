// Drawing one bitmap onto another through polygon-shaped clipping regions.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

class TBitmap;

// Draws Src on Dst's canvas at (X, Y) once for every polygon of Points
// (PointCount points; a point whose X is TIEMask::PolygonSeparator ends one
// polygon and starts the next), each time clipped to that polygon with the
// alternate fill rule. Overlapping polygons are drawn twice and holes are
// not cut out. A polygon of fewer than 3 points encloses nothing and draws
// nothing. Returns the index just after the last separator, 0 without one.
int _CopyPolygonBitmap(TBitmap* Dst, TBitmap* Src, int X, int Y, const TPoint* Points,
                       int PointCount);
