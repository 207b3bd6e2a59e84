// Polygon algorithms of the vector layer: staircase smoothing, point
// reduction and a bitmap object made from the view's selection.
#include <algorithm>
#include <cmath>

#include "ievect_fixture.h"
#include "imaging/core/iemask.h"
#include "imaging/view/ievect_polygon.h"

namespace {

// The closed outline of a right triangle whose long side is a staircase
// of `steps` stairs, each one pixel down and `run` pixels left, starting at
// (x0, y0): the top edge, the stairs, the left edge back up.
std::vector<TPoint> Staircase(int x0, int y0, int steps, int run) {
  std::vector<TPoint> p;
  const int w = steps * run;
  for (int x = 0; x < w; ++x) p.push_back({x0 + x, y0});
  int x = w, y = 0;
  for (int s = 0; s < steps; ++s) {
    p.push_back({x0 + x, y0 + y});
    ++y;
    for (int k = 0; k < run; ++k) {
      p.push_back({x0 + x, y0 + y});
      --x;
    }
  }
  for (; y > 0; --y) p.push_back({x0, y0 + y});
  return p;
}

TEST_F(IEVectTest, AStaircaseBecomesAFewSlopedEdges) {
  struct Case {
    const char* name;
    int x0, y0, steps, run;
  } cases[] = {
      {"short slope 1/2", 5, 5, 10, 2},
      {"far from the origin", 400000, 300000, 10, 2},
      // A long edge: its offsets reach 32 x 3000 in 1/32 pixel, whose
      // products overflow 32 bits.
      {"long slope 1/3", 0, 0, 1000, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<TPoint> stairs = Staircase(c.x0, c.y0, c.steps, c.run);
    const int h = Add(iekPOLYLINE, {0, 0, 0, 0});
    vect->SetObjPolylinePoints(h, stairs);
    ASSERT_TRUE(vect->RemovePolygonJaggedEdges(h));
    const int n = vect->GetObjPolylinePointsCount(h);
    EXPECT_GE(n, 3);
    EXPECT_LT(n, int(stairs.size()) / 2);  // the runs along each side are gone
    // Every vertex stays within a pixel of the staircase's box.
    const int w = c.steps * c.run;
    for (int i = 0; i < n; ++i) {
      const TPoint p = vect->GetObjPolylinePoints(h, i);
      EXPECT_GE(p.x, c.x0 - 1);
      EXPECT_LE(p.x, c.x0 + w + 1);
      EXPECT_GE(p.y, c.y0 - 1);
      EXPECT_LE(p.y, c.y0 + c.steps + 1);
    }
  }
  // Not a polyline: nothing changes.
  const int box = Add(iekBOX, {0, 0, 9, 9});
  EXPECT_FALSE(vect->RemovePolygonJaggedEdges(box));
}

TEST_F(IEVectTest, SmoothingGivesUpWhenItWouldNeedMoreVerticesThanAllowed) {
  std::vector<TStaircasePoint> chain;
  const std::vector<TPoint> stairs = Staircase(0, 0, 10, 2);
  for (size_t i = 0; i < stairs.size(); ++i) {
    const TPoint p = stairs[i], q = stairs[(i + 1) % stairs.size()];
    chain.push_back({p.x, p.y, q.x == p.x ? (q.y > p.y ? 2 : -2) : (q.x > p.x ? 1 : -1)});
  }
  std::vector<TPoint> out;
  EXPECT_GT(SmoothStaircase(chain, int(chain.size()), out), 2);
  EXPECT_EQ(SmoothStaircase(chain, 1, out), -1);
  // A chain that turns back on itself at every step still ends.
  std::vector<TStaircasePoint> zigzag;
  for (int i = 0; i < 200; ++i) zigzag.push_back({i % 2, 0, i % 2 ? -1 : 1});
  SmoothStaircase(zigzag, 200, out);
}

TEST_F(IEVectTest, SimplifyingKeepsTheShapeWithinTheMaximum) {
  // A square outline with a point every pixel.
  std::vector<TPoint> square;
  for (int i = 0; i < 20; ++i) square.push_back({i, 0});
  for (int i = 0; i < 20; ++i) square.push_back({20, i});
  for (int i = 20; i > 0; --i) square.push_back({i, 20});
  for (int i = 20; i >= 0; --i) square.push_back({0, i});
  std::vector<TPoint> out;
  SimplifyPoints(square, out, 0.5);
  EXPECT_EQ(out, (std::vector<TPoint>{{0, 0}, {20, 0}, {20, 20}, {0, 20}, {0, 0}}));

  struct Case {
    int maximum, atMost;
  } cases[] = {{5, 5}, {2, 2}, {0, 2}, {-7, 2}};  // the maximum is at least 2
  for (const Case& c : cases) {
    SCOPED_TRACE(c.maximum);
    const int h = Add(iekPOLYLINE, {0, 0, 0, 0});
    vect->SetObjPolylinePoints(h, square);
    vect->SimplifyPolygon(h, c.maximum);
    // Two points of a closed outline are one and the same point.
    EXPECT_LE(vect->GetObjPolylinePointsCount(h), c.atMost);
    EXPECT_GE(vect->GetObjPolylinePointsCount(h), 1);
  }
}

TEST_F(IEVectTest, TheSelectionBecomesABitmapObjectWithItsShapeAsAlpha) {
  const int before = vect->ObjectsCount();
  EXPECT_EQ(vect->CreateImageFromSelectedArea(), -1);  // no selection: nothing added
  EXPECT_EQ(vect->ObjectsCount(), before);
  SetPicture24(vect, 120, 100, [](int x, int) { return TRGB{uint8_t(x), 0, 0}; });
  vect->Select(10, 20, 30, 40);
  const int h = vect->CreateImageFromSelectedArea();
  ASSERT_GE(h, 0);
  EXPECT_EQ(vect->GetObjKind(h), iekBITMAP);
  EXPECT_EQ(vect->GetObjRect(h), (TRect{vect->GetSelX1(), vect->GetSelY1(), vect->GetSelX2(), vect->GetSelY2()}));
  TBitmap* b = vect->GetObjBitmap(h);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(b->ScanLine(0))[0].b, 10);
  EXPECT_EQ(vect->GetObjBitmapAlpha(h)->GetPixel(5, 5), 255);
}

}  // namespace
