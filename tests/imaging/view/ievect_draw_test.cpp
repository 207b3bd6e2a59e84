// How the vector layer draws its objects, read from the pixels of a
// bitmap the objects are burned into and from the view's back buffer.
#include "ievect_fixture.h"
#include "imaging/core/iemask.h"

namespace {

class IEVectDrawTest : public IEVectTest {
 protected:
  // Burns the objects into the picture and reads its pixel as 0xRRGGBB.
  uint32_t Burned(int x, int y) {
    if (!burned) {
      vect->CopyObjectsToBack();
      burned = true;
    }
    const TRGB c = reinterpret_cast<TRGB*>(vect->GetFBitmap()->ScanLine(y))[x];
    return Rgb24(c);
  }
  bool Ink(int x, int y) { return Burned(x, y) != 0xFFFFFF; }
  int Object(TIEVObjectKind kind, TRect r, TColor pen = clBlack) {
    const int h = Add(kind, r);
    vect->SetObjPenColor(h, pen);
    return h;
  }
  bool burned = false;
};

TEST_F(IEVectDrawTest, ArrowHeadsPointAsTheirShapeSays) {
  // Out-arrow at the end: base 20 pixels back from (80, 30), tip at the end.
  const int out = Object(iekLINE, {10, 30, 80, 30});
  vect->SetObjEndShape(out, iesOUTARROW);
  // In-arrow at the start: base across (10, 70), tip 20 pixels along.
  const int in = Object(iekLINE, {10, 70, 80, 70});
  vect->SetObjBeginShape(in, iesINARROW);
  EXPECT_TRUE(Ink(60, 34));   // the out-arrow's base, 4 below the line
  EXPECT_FALSE(Ink(78, 34));  // narrow at the tip
  EXPECT_TRUE(Ink(10, 74));   // the in-arrow's base at the line's start
  EXPECT_FALSE(Ink(28, 74));
  EXPECT_FALSE(Ink(40, 34));  // no head at the out-arrow line's start
}

TEST_F(IEVectDrawTest, ShapesBitmapsAndHiddenObjects) {
  const int box = Object(iekBOX, {5, 5, 25, 25}, clRed);
  vect->SetObjBrushStyle(box, bsSolid);
  vect->SetObjBrushColor(box, clBlue);
  Object(iekBITMAP, {40, 5, 60, 25});  // no bitmap: a crossed rectangle
  const int half = Object(iekBITMAP, {70, 5, 79, 14});
  TBitmap black;
  Solid(black, 10, 10, {0, 0, 0});
  vect->SetObjBitmap(half, &black);
  TIEMask alpha;
  alpha.AllocateBits(10, 10, 8);
  alpha.Fill(128);
  vect->SetObjBitmapAlpha(half, &alpha);
  const int hidden = Object(iekBOX, {5, 40, 25, 60});
  vect->SetObjStyle(hidden, kIEVAllStyles & ~ievsVisible);
  const int flat = Object(iekPOLYLINE, {0, 0, 0, 0});
  vect->SetObjPolylinePoints(flat, {{30, 80}, {60, 80}});
  EXPECT_EQ(Burned(5, 15), 0xFF0000u);   // outline
  EXPECT_EQ(Burned(15, 15), 0x0000FFu);  // fill
  EXPECT_EQ(Burned(25, 25), 0xFF0000u);  // the box reaches x2, y2
  EXPECT_TRUE(Ink(50, 15));              // the diagonals cross
  EXPECT_TRUE(Ink(40, 15));
  EXPECT_FALSE(Ink(45, 10 + 3));         // between them
  EXPECT_EQ(Burned(75, 10), 0x7F7F7Fu);  // half over white
  EXPECT_FALSE(Ink(5, 40));
  EXPECT_FALSE(Ink(45, 80));             // a flat polyline is not drawn...
  EXPECT_DOUBLE_EQ(vect->GetPolylineLen(flat), 30);  // ...but measured
}

TEST_F(IEVectDrawTest, ARulerTicksItsWholeLength) {
  vect->SetDPIX(254);  // 10 pixels a millimetre
  vect->SetDPIY(254);
  const int r = Object(iekRULER, {10, 50, 110, 50});
  vect->SetObjRulerType(r, iertRULER);
  vect->SetObjRulerUnit(r, ieuMILLIMETERS);
  // Ticks every tenth of a millimetre (one pixel): each column below the
  // line has ink down to at least 6 pixels.
  for (int x = 10; x <= 110; x += 10) EXPECT_TRUE(Ink(x, 56)) << x;
  EXPECT_TRUE(Ink(10, 61));  // a long tick at 0
  EXPECT_FALSE(Ink(11, 61));
}

TEST_F(IEVectDrawTest, ARulerInAFineUnitDrawsABoundedNumberOfTicks) {
  // Tenths of a nanometre come millions to a pixel: the ticks stop at a
  // bound instead of running for minutes, and the line is still drawn.
  const int r = Object(iekRULER, {10, 50, 110, 50});
  vect->SetObjRulerType(r, iertRULER);
  vect->SetObjRulerUnit(r, ieuNANOMETERS);
  EXPECT_TRUE(Ink(100, 50));
}

TEST_F(IEVectDrawTest, ObjectsFarOutsideThePictureCostOnlyWhatShows) {
  // A line across the picture from two billion pixels away is cut to the
  // picture and drawn; its pen is at most 16 wide.
  const int across = Object(iekLINE, {-2000000000, 50, 2000000000, 50});
  vect->SetObjPenWidth(across, 1000000);
  // A box that far away is not drawn at all.
  Object(iekBOX, {-2000000000, -2000000000, 2000000000, 10});
  EXPECT_TRUE(Ink(60, 50));
  EXPECT_TRUE(Ink(60, 50 + 7));
  EXPECT_FALSE(Ink(60, 50 + 9));
  EXPECT_FALSE(Ink(60, 5));
}

TEST_F(IEVectDrawTest, OnePixelPensStayVisibleWhenZoomedOut) {
  const int line = Object(iekLINE, {0, 40, 119, 40});
  (void)line;
  vect->SetZoom(50);
  vect->PaintTo(vect->BackBuffer()->GetCanvas(), vect->BackBuffer());
  TBitmap* back = vect->BackBuffer();
  const int y = vect->YBmp2Scr(40);
  EXPECT_EQ(Rgb24(reinterpret_cast<TRGB*>(back->ScanLine(y))[vect->XBmp2Scr(60)]), 0u);
  EXPECT_GE(vect->DrawnObjectsCount(), 1);
  vect->SetAllObjectsHidden(true);
  vect->PaintTo(back->GetCanvas(), back);
  EXPECT_EQ(vect->DrawnObjectsCount(), 0);
}

TEST_F(IEVectDrawTest, TextsAndAnglesDrawInsideTheirPlaces) {
  const int t = Object(iekTEXT, {10, 10, 100, 40});
  vect->SetObjText(t, "WWW");
  vect->SetObjFontHeight(t, 0);  // fills the box height
  const int a = Object(iekANGLE, {0, 0, 0, 0});
  TIEVObject* o = vect->GetObj(a);
  o->AnglePoints[0] = {20, 90};
  o->AnglePoints[1] = {60, 90};
  o->AnglePoints[2] = {60, 60};
  int inked = 0;
  for (int y = 11; y < 40; ++y)
    for (int x = 11; x < 100; ++x) inked += Ink(x, y);
  EXPECT_GT(inked, 100);
  EXPECT_FALSE(Ink(105, 25));
  EXPECT_TRUE(Ink(40, 90));  // the arms
  EXPECT_TRUE(Ink(60, 75));
}

}  // namespace
