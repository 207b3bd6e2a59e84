// Transfers between platform bitmaps: copies clipped to polygons, a
// whole-picture comparison and a GDI palette from library colours.
//
// Point arrays hold one or more polygons, separated by a point whose X is
// TIEMask::PolygonSeparator (0xFFFFF); each polygon clips the copy as a
// region of alternate fill. Arrays of fewer than three points copy nothing.
#pragma once

#include "imaging/core/iedefs.h"
#include "platform/gdi.h"
#include "platform/graphics.h"
#include "platform/wintypes.h"

#include <vector>

// The polygons of a point array (those of three points or more) and their
// bounding box, separators left out.
struct TIEPolygons {
  std::vector<std::vector<TPoint>> polygons;
  TRect box;
};
TIEPolygons IESplitPolygons(const TPoint* points, int count);

// The polygons' bounding box of source goes to `point` of target (grown to
// hold it), clipped to the polygons moved along.
void _CopyPolygonToPoint(TBitmap* source, const TPoint* points, int count, TBitmap* target, TPoint point);
// The reverse: the box-sized area of source at `point` goes into the
// polygons in place on target (grown to hold their box).
void _CopyPointToPolygon(TBitmap* source, const TPoint* points, int count, TBitmap* target, TPoint point);
// Target becomes the (x2 - x1) x (y2 - y1) area of source, in source's
// pixel format, with only the polygons (moved by -x1, -y1) copied.
void _CopyBitmapPoly(TBitmap* source, TBitmap* target, int x1, int y1, int x2, int y2, const TPoint* points,
                     int count);

// True when both bitmaps have the same size, pixel format and pixels (the
// row padding is not compared).
bool _BitmapCompareX(TBitmap* a, TBitmap* b);

// A palette of count colours (at most 256); nullptr for none.
HPALETTE _CreateWinPalette(const TRGB* colours, int count);
