// The magic wand: the pixels of a 24-bit picture that resemble a seed
// pixel (each of blue, green and red within Tolerance of the seed's).
// The connected region is found with a 4-connected scan-line fill.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wintypes.h"

class TBitmap;
class TIEMask;

// The outer contour of the connected region as a polygon in picture
// coordinates (its right and bottom edges one past the last pixel), so
// that filling it selects holes too. Empty, with Count 0, for a picture
// that is not pf24bit or a seed outside it. Grow adds every pixel's
// 8 neighbours.
std::vector<TPoint> _MakeMagicWandPoints(TBitmap* Bitmap, int32_t x, int32_t y, bool Grow, int32_t Tolerance,
                                         int32_t& Count);
// Sets the connected region's pixels (grown when asked) in a 1-bit
// picture-sized mask, which is not cleared first; holes stay unset.
void _MakeMagicWandPointsEx(TBitmap* Bitmap, int32_t x, int32_t y, bool Grow, int32_t Tolerance, TIEMask* Mask);
// Sets every mask pixel whose picture pixel resembles the seed, connected
// or not.
void _MakeMagicWandPointsEx2(TBitmap* Bitmap, int32_t x, int32_t y, int32_t Tolerance, TIEMask* Mask);
