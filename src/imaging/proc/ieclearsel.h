// Filling a selected area of a platform bitmap with one colour.
#pragma once

#include "platform/graphics.h"
#include "platform/wintypes.h"

class TIEMask;

// Fills the pixels where the (full-size) mask is set.
void _ClearSelMask(TBitmap* bitmap, TIEMask* mask, TColor colour);
// Fills the polygons of the point array (separated by points whose X is
// 0xFFFFF), each with the alternate fill rule.
void _ClearSel(TBitmap* bitmap, const TPoint* points, int count, TColor colour);
