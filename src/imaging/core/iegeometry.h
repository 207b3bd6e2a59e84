// Point, rectangle and distance geometry for selections and vector
// objects. Rectangles are x1, y1, x2, y2 with both edges included.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

bool _InRect(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// As _InRect with the corners in any order.
bool _InRectO(int32_t x, int32_t y, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Whether the rectangles touch; the first may come in any corner order, the
// second is taken as ordered.
bool _RectXRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
                int32_t x4, int32_t y4);
// 1 when the second rectangle crosses the first's border, 2 when it lies
// wholly inside, 0 otherwise.
int _RectPRect(int32_t x1, int32_t y1, int32_t x2, int32_t y2, int32_t x3, int32_t y3,
               int32_t x4, int32_t y4);

// Distance returned when a point is too far away to matter.
constexpr double kIEFarDistance = 1000000;

double _DistPoint2Point(int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Distance to the infinite line through both points (to the point itself
// when they coincide).
double _DistPoint2Line(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
double _DistPoint2Seg(int32_t px, int32_t py, int32_t x1, int32_t y1, int32_t x2, int32_t y2);
// Smallest distance to the polyline after mapping each point to
// round((p - base) * zoom + offset); kIEFarDistance for fewer than two points.
double _DistPoint2Polyline(int32_t px, int32_t py, const TPoint* points, int count, int32_t baseX,
                           int32_t baseY, int32_t offsetX, int32_t offsetY, double zoomX,
                           double zoomY);

// Snaps the end (x, y) of a segment from (x0, y0) to the nearest horizontal,
// vertical or diagonal.
void _CastPolySelCC(int32_t x0, int32_t y0, int32_t& x, int32_t& y);
