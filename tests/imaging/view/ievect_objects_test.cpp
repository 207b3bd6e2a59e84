// The vector layer's object model: handles, accessors, order, selection,
// shared bitmaps, polyline points, units and measures.
#include <cmath>

#include "ievect_fixture.h"
#include "imaging/core/iemask.h"

namespace {

TEST_F(IEVectTest, HandlesAreReusedOnlyForTheLastMadeRecord) {
  const int a = Add(iekBOX, {0, 0, 10, 10});
  const int b = Add(iekLINE, {0, 0, 10, 10});
  const int c = Add(iekELLIPSE, {0, 0, 10, 10});
  EXPECT_EQ(vect->ObjectsCount(), 3);
  vect->RemoveObject(c);
  EXPECT_EQ(vect->AddNewObject(), c);  // the last made comes back
  vect->RemoveObject(a);
  EXPECT_NE(vect->AddNewObject(), a);  // a hole stays a hole
  EXPECT_EQ(vect->GetObjPos(a), -1);
  EXPECT_EQ(vect->GetObjPos(b), 0);
  // -2 names the record made last.
  vect->SetObjPenWidth(kIEVLastMade, 7);
  EXPECT_EQ(vect->GetObjPenWidth(vect->GetObjFromIndex(vect->ObjectsCount() - 1)), 7);
}

TEST_F(IEVectTest, AccessorsKeepTheirFieldsAndMoveTheOppositeCorner) {
  const int h = Add(iekBOX, {10, 20, 30, 50});
  vect->SetObjLeft(h, 15);
  vect->SetObjTop(h, 5);
  EXPECT_EQ(vect->GetObjRect(h), (TRect{15, 5, 35, 35}));
  vect->SetObjWidth(h, 11);
  vect->SetObjHeight(h, 4);
  EXPECT_EQ(vect->GetObjWidth(h), 11);
  EXPECT_EQ(vect->GetObjHeight(h), 4);
  EXPECT_EQ(vect->GetObjRect(h), (TRect{15, 5, 25, 8}));

  const int t = Add(iekTEXT, {0, 0, 40, 20});
  EXPECT_EQ(vect->GetObjText(t), "");  // a text object gets a font and an empty text
  vect->SetObjFontAngle(t, 12.34);
  EXPECT_DOUBLE_EQ(vect->GetObjFontAngle(t), 12.3);
  EXPECT_EQ(vect->GetObj(t)->Font->lfEscapement, 123);
  vect->SetObjFontName(t, std::string(40, 'x'));
  EXPECT_EQ(vect->GetObjFontName(t).size(), 31u);
  vect->SetObjFontStyles(t, fsBold | fsItalic);
  EXPECT_EQ(vect->GetObjFontStyles(t), TFontStyles(fsBold | fsItalic));
  EXPECT_EQ(vect->GetObj(t)->Font->lfWeight, 700);
  // Font getters of an object without a font give nothing, setters do nothing.
  const int b = Add(iekBOX, {0, 0, 1, 1});
  vect->SetObjFontHeight(b, 30);
  EXPECT_EQ(vect->GetObjFontHeight(b), 0);
  EXPECT_EQ(vect->GetObjFontName(b), "");
}

TEST_F(IEVectTest, NamesIdsOrderAndExtents) {
  const int a = Add(iekBOX, {0, 0, 10, 10});
  const int b = Add(iekBOX, {5, 5, 40, 30});
  const int c = Add(iekBOX, {0, 0, 3, 3});
  vect->SetObjName(a, "twin");
  vect->SetObjName(b, "twin");
  vect->SetObjID(a, 9);
  EXPECT_EQ(vect->GetObjFromName("twin"), b);  // the upper one
  EXPECT_EQ(vect->GetObjFromID(9), a);
  EXPECT_EQ(vect->GetObjFromID(99), -1);
  vect->SetObjFrontOf(a, -1);
  EXPECT_EQ(vect->GetObjFromIndex(2), a);
  vect->SetObjBackTo(c, -1);
  EXPECT_EQ(vect->GetObjFromIndex(0), c);
  vect->SetObjFrontOf(c, b);
  EXPECT_EQ(vect->GetObjPos(c), vect->GetObjPos(b) + 1);
  EXPECT_EQ(vect->GetObjectsExtents(), (TRect{0, 0, 41, 31}));
  EXPECT_EQ(vect->GetObjFromIndex(5), -1);
}

TEST_F(IEVectTest, SelectionFollowsStylesAndFiresItsEvent) {
  int events = 0;
  vect->OnSelectObject = [&](TObject*) { ++events; };
  const int a = Add(iekBOX, {0, 0, 10, 10});
  const int b = Add(iekBOX, {0, 0, 10, 10});
  vect->AddSelObject(a);
  vect->AddSelObjectNS(b);
  EXPECT_EQ(events, 1);
  EXPECT_EQ(vect->SelectionCount(), 2);
  vect->SetObjStyle(a, ievsVisible);  // no longer selectable: leaves the selection
  EXPECT_FALSE(vect->IsSelObject(a));
  vect->AddSelObject(a);
  EXPECT_FALSE(vect->IsSelObject(a));
  vect->UnSelObject(12345);  // absent: no event
  EXPECT_EQ(events, 2);
  vect->SelAllObjects();
  EXPECT_EQ(vect->SelectionCount(), 1);
  EXPECT_EQ(vect->GetSelObjects(0), b);
}

TEST_F(IEVectTest, IdenticalBitmapsShareAnEntryAndItsAlpha) {
  TBitmap red, red2, blue;
  Solid(red, 8, 6, {0, 0, 255});
  Solid(red2, 8, 6, {0, 0, 255});
  Solid(blue, 8, 6, {255, 0, 0});
  const int a = Add(iekBITMAP, {0, 0, 7, 5});
  const int b = Add(iekBITMAP, {10, 0, 17, 5});
  const int c = Add(iekBITMAP, {20, 0, 27, 5});
  vect->SetObjBitmap(a, &red);
  vect->SetObjBitmap(b, &red2);
  vect->SetObjBitmap(c, &blue);
  EXPECT_EQ(vect->GetObj(a)->BitmapIdx, vect->GetObj(b)->BitmapIdx);
  EXPECT_NE(vect->GetObj(a)->BitmapIdx, vect->GetObj(c)->BitmapIdx);
  TIEMask half;
  half.AllocateBits(8, 6, 8);
  half.Fill(128);
  vect->SetObjBitmapAlpha(a, &half);
  EXPECT_EQ(vect->GetObjBitmapAlpha(b)->GetPixel(3, 3), 128);
  // Without sharing each object has its own copy.
  vect->ShareBitmaps = false;
  const int d = Add(iekBITMAP, {0, 0, 7, 5});
  vect->SetObjBitmap(d, &red);
  EXPECT_NE(vect->GetObj(d)->BitmapIdx, vect->GetObj(a)->BitmapIdx);
  // Packing after removals keeps each object on its own picture.
  vect->RemoveObject(a);
  vect->RemoveObject(b);
  vect->PackBMP();
  TBitmap* cb = vect->GetObjBitmap(c);
  ASSERT_NE(cb, nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(cb->ScanLine(0))[0].b, 255);
  ASSERT_NE(vect->GetObjBitmap(d), nullptr);
  EXPECT_EQ(reinterpret_cast<TRGB*>(vect->GetObjBitmap(d)->ScanLine(0))[0].r, 255);
  for (int i = 0; i < vect->BitmapTableCount(); ++i) EXPECT_NE(vect->GetBitmap(i), nullptr);
}

TEST_F(IEVectTest, PolylinePointsFollowTheRectangle) {
  const int h = Add(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(h, {{10, 10}, {20, 10}, {20, 30}, {20, 30}});
  EXPECT_EQ(vect->GetObjPolylinePointsCount(h), 3);  // a repeated point is dropped
  EXPECT_EQ(vect->GetObjRect(h), (TRect{10, 10, 20, 30}));
  vect->SetObjRect(h, {100, 100, 120, 140});  // twice as large
  EXPECT_EQ(vect->GetObjPolylinePoints(h, 1), (TPoint{120, 100}));
  EXPECT_EQ(vect->GetObjPolylinePoints(h, 2), (TPoint{120, 140}));
  // All points on one horizontal line: zero base height, factor 1.
  const int flat = Add(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(flat, {{0, 5}, {10, 5}});
  double zx, zy;
  vect->CalcZxZyPolyline(*vect->GetObj(flat), zx, zy);
  EXPECT_EQ(zy, 1.0);
}

TEST_F(IEVectTest, CoefficientsByUnitAndResolution) {
  vect->SetDPIX(100);
  vect->SetDPIY(50);
  struct Case {
    TIEUnits unit;
    double cx, cy;
  } cases[] = {
      {ieuPIXELS, 1, 1},          {ieuINCHES, 0.01, 0.02},          {ieuCENTIMETERS, 0.0254, 0.0508},
      {ieuMILLIMETERS, 0.254, 0.508}, {ieuMETERS, 0.000254, 0.000508},
  };
  for (const Case& c : cases) {
    vect->SetMUnit(c.unit);
    EXPECT_NEAR(vect->CoefX(), c.cx, 1e-12) << int(c.unit);
    EXPECT_NEAR(vect->CoefY(), c.cy, 1e-12) << int(c.unit);
  }
  vect->SetScale(2);
  EXPECT_NEAR(vect->CoefX(), 0.000508, 1e-12);
  // 50 pixels should measure 10 units.
  vect->SetMUnit(ieuMILLIMETERS);
  vect->SetScaleFromPixels(50, 10);
  EXPECT_NEAR(vect->CoefX() * 50, 10, 1e-9);
}

// A layer whose picture never said its resolution.
struct NoResolutionVect : TPixVect {
  using TPixVect::TPixVect;
  void ForgetResolution() { DPIX = DPIY = 0; }
};

TEST_F(IEVectTest, AResolutionOfZeroGivesZeroMeasuresNotADivision) {
  auto* layer = new NoResolutionVect(parent);
  layer->SetParent(parent);
  layer->SetBounds(0, 0, 200, 160);
  SetPicture24(layer, 120, 100, [](int, int) { return TRGB{255, 255, 255}; });
  vect = layer;
  layer->ForgetResolution();
  vect->SetMUnit(ieuMILLIMETERS);
  EXPECT_EQ(vect->CoefX(), 0);
  EXPECT_EQ(vect->CoefY(), 0);
  const double scale = vect->GetScale();
  vect->SetScaleFromPixels(50, 10);  // nothing to scale by
  EXPECT_EQ(vect->GetScale(), scale);
  EXPECT_TRUE(std::isfinite(vect->GetScale()));
  // A ruler in that unit draws its line without ticks.
  const int r = Add(iekRULER, {10, 10, 90, 10});
  vect->SetObjRulerType(r, iertRULER);
  vect->SetObjRulerUnit(r, ieuNANOMETERS);
  vect->PaintTo(vect->BackBuffer()->GetCanvas(), vect->BackBuffer());
}

TEST_F(IEVectTest, PolylineAndAngleMeasures) {
  const int sq = Add(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(sq, {{10, 10}, {30, 10}, {30, 30}, {10, 30}});
  EXPECT_DOUBLE_EQ(vect->GetPolylineArea(sq), 400);
  EXPECT_DOUBLE_EQ(vect->GetPolylineLen(sq), 60);  // open: no closing side
  const int closed = Add(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(closed, {{10, 10}, {30, 10}, {30, 30}, {10, 30}, {10, 10}});
  EXPECT_DOUBLE_EQ(vect->GetPolylineArea(closed), 400);
  EXPECT_EQ(vect->GetPolylineCentroid(sq), (TPoint{20, 20}));
  const int box = Add(iekBOX, {0, 0, 5, 5});
  EXPECT_EQ(vect->GetPolylineArea(box), 0);

  struct Case {
    TPoint p[3];
    double degrees;
  } cases[] = {
      {{{0, 0}, {10, 0}, {20, 0}}, 180},  // collinear, vertex in the middle
      {{{10, 0}, {0, 0}, {0, 10}}, 270},  // clockwise on the screen
      {{{0, 10}, {0, 0}, {10, 0}}, 90},
      {{{0, 0}, {0, 0}, {0, 0}}, 0},      // coincident: no NaN
  };
  for (const Case& c : cases) {
    const double v = TPixVect::AngleOfPoints(c.p);
    EXPECT_TRUE(std::isfinite(v));
    if (c.degrees) EXPECT_NEAR(v, c.degrees, 1e-9);
  }
  TPoint partial[3] = {{0, 0}, {5, 5}, {kIEVUnplaced, kIEVUnplaced}};
  EXPECT_EQ(TPixVect::CountAnglePoints(partial), 2);
  EXPECT_EQ(TPixVect::AngleOfPoints(partial), 0);
}

TEST_F(IEVectTest, AssignCopiesObjectsBitmapsAndScale) {
  TBitmap red;
  Solid(red, 4, 4, {0, 0, 255});
  const int b = Add(iekBITMAP, {0, 0, 3, 3});
  vect->SetObjBitmap(b, &red);
  Add(iekTEXT, {0, 0, 30, 10});
  vect->SetObjText(kIEVLastMade, "hi");
  vect->SetScale(3);
  TPixVect other(parent);
  other.Assign(vect);
  ASSERT_EQ(other.ObjectsCount(), 2);
  EXPECT_EQ(other.GetScale(), 3);
  EXPECT_EQ(other.GetObjText(other.GetObjFromIndex(1)), "hi");
  ASSERT_NE(other.GetObjBitmap(other.GetObjFromIndex(0)), nullptr);
  EXPECT_NE(other.GetObjBitmap(other.GetObjFromIndex(0)), vect->GetObjBitmap(b));
  other.Assign(nullptr);
  EXPECT_EQ(other.ObjectsCount(), 0);
}

}  // namespace
