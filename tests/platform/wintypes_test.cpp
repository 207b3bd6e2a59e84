#include "platform/wintypes.h"

#include <gtest/gtest.h>

TEST(WinTypes, RectanglesExcludeRightAndBottom) {
  TRect r = Rect(0, 0, 10, 5);
  EXPECT_TRUE(PtInRect(r, Point(9, 4)));
  EXPECT_FALSE(PtInRect(r, Point(10, 4)));
  EXPECT_FALSE(PtInRect(r, Point(9, 5)));
  TRect i;
  EXPECT_TRUE(IntersectRect(i, r, Rect(5, 2, 20, 20)));
  EXPECT_EQ(i, Rect(5, 2, 10, 5));
  EXPECT_FALSE(IntersectRect(i, r, Rect(10, 0, 20, 5)));
  EXPECT_EQ(i, TRect{});
  TRect u;
  UnionRect(u, r, Rect(-1, 3, 2, 8));
  EXPECT_EQ(u, Rect(-1, 0, 10, 8));
}
