#include "imaging/core/iegeometry.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(Rectangles, InsideAndOverlap) {
  EXPECT_TRUE(_InRect(10, 10, 10, 10, 20, 20));  // edges included
  EXPECT_TRUE(_InRect(20, 20, 10, 10, 20, 20));
  EXPECT_FALSE(_InRect(21, 15, 10, 10, 20, 20));
  EXPECT_FALSE(_InRect(15, 15, 20, 20, 10, 10));
  EXPECT_TRUE(_InRectO(15, 15, 20, 20, 10, 10));
  EXPECT_FALSE(_InRectO(25, 15, 20, 20, 10, 10));

  // The first rectangle may come in any corner order.
  EXPECT_TRUE(_RectXRect(20, 20, 10, 10, 15, 15, 30, 30));
  EXPECT_TRUE(_RectXRect(10, 10, 20, 20, 20, 20, 30, 30));  // touching corner
  EXPECT_FALSE(_RectXRect(10, 10, 20, 20, 21, 10, 30, 20));
  EXPECT_FALSE(_RectXRect(10, 10, 20, 20, 0, 0, 9, 30));
  EXPECT_FALSE(_RectXRect(10, 10, 20, 20, 10, 21, 20, 30));
}

TEST(Rectangles, PositionOfOneInAnother) {
  struct Case {
    int x3, y3, x4, y4, expected;
    const char* what;
  };
  for (const Case& c : {Case{12, 12, 18, 18, 2, "inside"}, Case{10, 10, 20, 20, 2, "same"},
                        Case{15, 15, 25, 18, 1, "right edge crossed"},
                        Case{5, 12, 25, 18, 0, "spans both sides, no corner inside"},
                        Case{15, 15, 25, 25, 1, "one corner inside"},
                        Case{30, 30, 40, 40, 0, "apart"}, Case{0, 0, 40, 40, 0, "around"}})
    EXPECT_EQ(_RectPRect(10, 10, 20, 20, c.x3, c.y3, c.x4, c.y4), c.expected) << c.what;
}

TEST(Distances, PointsLinesAndSegments) {
  EXPECT_DOUBLE_EQ(_DistPoint2Point(0, 0, 3, 4), 5);
  EXPECT_DOUBLE_EQ(_DistPoint2Line(0, 5, -10, 0, 10, 0), 5);
  EXPECT_DOUBLE_EQ(_DistPoint2Line(30, 5, -10, 0, 10, 0), 5);  // the line goes on
  // A line of length 0 is its point.
  EXPECT_DOUBLE_EQ(_DistPoint2Line(3, 4, 0, 0, 0, 0), 5);
  // Products beyond 32 bits stay exact.
  EXPECT_DOUBLE_EQ(_DistPoint2Line(0, 100000, -100000, 0, 100000, 0), 100000);

  struct Case {
    int px, py, x1, y1, x2, y2;
    double expected;
  };
  for (const Case& c : {Case{0, 0, 10, 10, 20, 10, std::sqrt(200.0)},
                        Case{15, 0, 10, 10, 20, 10, 10}, Case{25, 10, 10, 10, 20, 10, 5},
                        Case{7, 7, 3, 4, 3, 4, 5},
                        Case{0, 0, 50000, 0, 60000, 0, kIEFarDistance},
                        Case{0, 0, 45000, 0, 60000, 0, 45000},
                        Case{0, 0, 0, -50000, 0, -60000, kIEFarDistance}})
    EXPECT_DOUBLE_EQ(_DistPoint2Seg(c.px, c.py, c.x1, c.y1, c.x2, c.y2), c.expected)
        << c.px << "," << c.py << " to " << c.x1 << "," << c.y1 << "-" << c.x2 << "," << c.y2;
}

TEST(Distances, PolylineMapsItsPointsFirst) {
  const TPoint points[3] = {{0, 0}, {10, 0}, {10, 10}};
  EXPECT_DOUBLE_EQ(_DistPoint2Polyline(13, 5, points, 3, 0, 0, 0, 0, 1, 1), 3);
  // Zoom 2 around base (10, 0), shifted by 100 on x: the corner lands at (100, 0).
  EXPECT_DOUBLE_EQ(_DistPoint2Polyline(104, 10, points, 3, 10, 0, 100, 0, 2, 2), 4);
  // Halves round to even: 2.5 -> 2.
  const TPoint one[2] = {{5, 0}, {5, 10}};
  EXPECT_DOUBLE_EQ(_DistPoint2Polyline(0, 5, one, 2, 0, 0, 0, 0, 0.5, 1), 2);
  EXPECT_DOUBLE_EQ(_DistPoint2Polyline(0, 0, points, 1, 0, 0, 0, 0, 1, 1), kIEFarDistance);
  EXPECT_DOUBLE_EQ(_DistPoint2Polyline(0, 0, points, 0, 0, 0, 0, 0, 1, 1), kIEFarDistance);
}

TEST(CastPolySel, SnapsToAxesAndDiagonals) {
  struct Case {
    int x, y, expectedX, expectedY;
  };
  for (const Case& c : {Case{100, 10, 100, 0}, Case{10, 100, 0, 100}, Case{40, 50, 50, 50},
                        Case{50, 40, 50, 50}, Case{-50, -40, -40, -40}, Case{-40, -50, -40, -40},
                        Case{-50, 40, -50, 50}, Case{-40, 50, -50, 50}, Case{50, -40, 50, -50},
                        Case{40, -50, 50, -50}, Case{0, 0, 0, 0}}) {
    int x = c.x, y = c.y;
    _CastPolySelCC(0, 0, x, y);
    EXPECT_EQ(x, c.expectedX) << c.x << "," << c.y;
    EXPECT_EQ(y, c.expectedY) << c.x << "," << c.y;
  }
  int x = 140, y = 150;  // the same from a start away from the origin
  _CastPolySelCC(100, 100, x, y);
  EXPECT_EQ(x, 150);
  EXPECT_EQ(y, 150);
}
