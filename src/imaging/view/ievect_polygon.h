// The polygon cores behind TPixVect's polyline operations.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/wintypes.h"

// One point of a closed pixel staircase and the direction of its step to
// the next point (the last to the first): 2 down, -2 up, 1 right, -1 left.
struct TStaircasePoint {
  int32_t x, y, code;
};

// Cuts the staircase into the longest runs one straight edge passes
// through and returns the number of vertices written to out (in 1/32
// pixel), or -1 when there would be more than maxOut.
int SmoothStaircase(const std::vector<TStaircasePoint>& chain, int maxOut, std::vector<TPoint>& out);

// A radial filter (points closer than t to the last kept one go), then
// Douglas-Peucker with tolerance t; returns the number of points in out.
int SimplifyPoints(const std::vector<TPoint>& points, std::vector<TPoint>& out, double t);
