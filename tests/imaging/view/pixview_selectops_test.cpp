// Selection edits and pixel work on the selection, called directly with
// picture coordinates.
#include <cstring>

#include "imaging/core/iemask.h"
#include "pixview_fixture.h"
#include "platform/extctrls.h"
#include "platform/picture.h"

namespace {

TRGB Pixel(TBitmap* b, int x, int y) { return reinterpret_cast<const TRGB*>(b->ScanLine(y))[x]; }

bool Same(TRGB a, TRGB b) { return a.r == b.r && a.g == b.g && a.b == b.b; }

TRGB GradientAt(int x, int y) { return TRGB{uint8_t(x * 3), uint8_t(y * 5), 9}; }

// A 1-bit picture, all white.
void WhiteMono(TPixView* view, int w, int h) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::memset(b->ScanLine(y), 0xFF, size_t(b->BytesPerLine()));
  view->Update();
}

TEST_F(PixViewTest, MovesKeepTheSelectionInsideOrCutItAtTheBorder) {
  struct Case {
    bool cut;
    int dx, dy;
    bool empty;
    TRect box;
  };
  const Case cases[] = {
      {false, -3, 4, false, {7, 14, 17, 24}},
      {false, 100, 0, false, {39, 10, 49, 20}},
      {true, 35, 0, false, {45, 10, 49, 20}},
      {true, 100, 0, true, {}},
  };
  PlainPicture(50, 40);
  view->SelectionBase = iesbBitmap;
  for (const Case& c : cases) {
    view->SetSelectionOptions(c.cut ? iesoCutBorders | iesoMoveable : iesoMoveable);
    view->Select(10, 10, 20, 20);
    EXPECT_EQ(view->SelectMoveEx(0, c.dx, c.dy), 0);
    TIEMask* m = view->SelectionMask;
    EXPECT_EQ(m->IsEmpty(), c.empty) << c.dx;
    if (!c.empty) EXPECT_EQ(TRect(m->X1, m->Y1, m->X2, m->Y2), c.box) << c.dx;
  }
  // The polygon moves with the mask, limited to the picture.
  view->SetSelectionOptions(iesoMoveable);
  view->Select(10, 10, 20, 20);
  view->SelectMoveEx(0, 100, 0);
  EXPECT_EQ(view->GetPolySel(0), TPoint(39, 10));
  EXPECT_EQ(view->GetPolySel(2), TPoint(50, 21));
  // Only rectangles resize.
  view->DeSelect();
  view->AddSelPoint(5, 5);
  view->AddSelPoint(30, 5);
  view->AddSelPoint(30, 30);
  EXPECT_EQ(view->SelectResizeEx(2, 40, 40, false), 2);
  EXPECT_EQ(view->GetPolySel(2), TPoint(30, 30));
}

TEST_F(PixViewTest, BreaksAndMagicWandCallsOutsideThePicture) {
  Picture24(30, 20, [](int x, int) { return x < 10 ? TRGB{0, 0, 0} : TRGB{255, 255, 255}; });
  view->SelectionBase = iesbBitmap;
  view->AddSelBreakEx();
  EXPECT_EQ(view->GetPolySelCount(), 0);
  view->SelectMagicWand(2, 2, iespReplace);
  EXPECT_EQ(view->SelectionMask->X2, 9);
  view->AddSelBreakEx();
  view->AddSelBreakEx();
  const int32_t count = view->GetPolySelCount();
  EXPECT_EQ(view->GetPolySel(count - 1).x, TIEMask::PolygonSeparator);
  EXPECT_NE(view->GetPolySel(count - 2).x, TIEMask::PolygonSeparator);
  // Outside the picture the selection stays as it was.
  for (TPoint p : {TPoint{-1, 0}, TPoint{30, 0}, TPoint{0, 20}}) {
    view->SelectMagicWand(p.x, p.y, iespReplace);
    EXPECT_EQ(view->SelectionMask->X2, 9);
  }
  // Adding a region to a polygon keeps the first one.
  view->SelectMagicWand(20, 2, iespAdd);
  EXPECT_TRUE(view->IsPointInsideSelection(5, 5));
  EXPECT_TRUE(view->IsPointInsideSelection(25, 5));
}

TEST_F(PixViewTest, CopiesOfTheSelectionTakeItsBoxAndItsPixels) {
  Picture24(50, 40, GradientAt);
  view->SelectionBase = iesbBitmap;
  TBitmap copy;
  copy.SetSize(3, 3);
  view->CopySelectionToBitmap(&copy);  // nothing selected: untouched
  EXPECT_EQ(copy.GetWidth(), 3);

  view->Select(10, 5, 19, 14);
  view->CopySelectionToBitmap(&copy);
  ASSERT_EQ(copy.GetWidth(), 10);
  ASSERT_EQ(copy.GetHeight(), 10);
  EXPECT_TRUE(Same(Pixel(&copy, 0, 0), GradientAt(10, 5)));
  EXPECT_TRUE(Same(Pixel(&copy, 9, 9), GradientAt(19, 14)));

  // Every kind of target receives the selection, the background and DPI
  // going with it to a view.
  view->SetBackGround(clRed);
  view->SetDPI(200, 150);
  TPixView other(nullptr);
  TBitmap bitmap;
  TImage image(nullptr);
  view->AssignSelTo(&other);
  view->AssignSelTo(&bitmap);
  view->AssignSelTo(&image);
  for (TBitmap* b : {other.GetFBitmap(), &bitmap, image.GetPicture()->GetBitmap()}) {
    ASSERT_EQ(b->GetWidth(), 10);
    EXPECT_TRUE(Same(Pixel(b, 3, 4), GradientAt(13, 9)));
  }
  EXPECT_EQ(other.GetBackground(), clRed);
  EXPECT_EQ(other.GetDPIX(), 200);
  EXPECT_EQ(other.GetDPIY(), 150);
  // Without a selection the whole picture goes.
  view->DeSelect();
  view->AssignSelTo(&bitmap);
  EXPECT_EQ(bitmap.GetWidth(), 50);
  EXPECT_TRUE(Same(Pixel(&bitmap, 49, 39), GradientAt(49, 39)));
}

// A 1-bit picture is made 24-bit before it is coloured, so the colour
// lands as given.
TEST_F(PixViewTest, SelectedPixelsTakeAColourInEveryPictureFormat) {
  const TRGB colour{10, 20, 30};
  for (bool mono : {false, true}) {
    if (mono)
      WhiteMono(view, 12, 10);
    else
      Picture24(12, 10, [](int, int) { return TRGB{255, 255, 255}; });
    view->SelectionBase = iesbBitmap;
    view->Select(2, 2, 5, 5);
    view->SetSelectedPixelsColor(colour);
    TBitmap* b = view->GetFBitmap();
    ASSERT_EQ(b->GetPixelFormat(), pf24bit) << mono;
    EXPECT_TRUE(Same(Pixel(b, 3, 3), colour)) << mono;
    EXPECT_TRUE(Same(Pixel(b, 5, 5), colour)) << mono;
    EXPECT_TRUE(Same(Pixel(b, 6, 6), TRGB{255, 255, 255})) << mono;
    EXPECT_TRUE(Same(Pixel(b, 1, 3), TRGB{255, 255, 255})) << mono;
  }
  // Alpha ranges colour a 1-bit picture the same way.
  WhiteMono(view, 12, 10);
  TIEMask* alpha = view->GetAlphaChannel();
  for (int x = 0; x < 12; ++x) alpha->SetPixel(x, 0, x * 20);
  view->SetAlphaRangePixelsColor(40, 100, colour);
  TBitmap* b = view->GetFBitmap();
  ASSERT_EQ(b->GetPixelFormat(), pf24bit);
  for (int x = 0; x < 12; ++x) {
    const bool inRange = x * 20 >= 40 && x * 20 <= 100;
    EXPECT_TRUE(Same(Pixel(b, x, 0), inRange ? colour : TRGB{255, 255, 255})) << x;
  }
  EXPECT_TRUE(Same(Pixel(b, 3, 5), TRGB{255, 255, 255}));
}

TEST_F(PixViewTest, SelectedAreaAlphaCoversTheSelectionOrTheWholePicture) {
  PlainPicture(20, 10);
  view->SelectionBase = iesbBitmap;
  view->Select(2, 2, 5, 5);
  view->SetSelectedAreaAlpha(100);
  ASSERT_TRUE(view->GetHasAlphaChannel());
  TIEMask* alpha = view->GetAlphaChannel();
  EXPECT_EQ(alpha->GetPixel(3, 3), 100);
  EXPECT_EQ(alpha->GetPixel(6, 6), 255);
  EXPECT_FALSE(alpha->Full);
  view->DeSelect();
  view->SetSelectedAreaAlpha(7);
  EXPECT_EQ(alpha->GetPixel(3, 3), 7);
  EXPECT_EQ(alpha->GetPixel(19, 9), 7);
}

TEST_F(PixViewTest, PolygonCopiesGoInAndOutOfThePicture) {
  Picture24(40, 30, [](int, int) { return TRGB{255, 255, 255}; });
  TBitmap source;
  source.SetPixelFormat(pf24bit);
  source.SetSize(40, 30);
  source.GetCanvas()->Brush->Color = clBlue;
  source.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
  const TPoint square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
  view->CopyFromPolygon(&source, square, 4, {20, 15});
  TBitmap* b = view->GetFBitmap();
  EXPECT_TRUE(Same(Pixel(b, 22, 17), TRGB{255, 0, 0}));
  EXPECT_TRUE(Same(Pixel(b, 18, 17), TRGB{255, 255, 255}));
  EXPECT_TRUE(Same(Pixel(b, 2, 2), TRGB{255, 255, 255}));

  // The blue area at (20, 15) goes back into a square in place on a white
  // target.
  TBitmap target;
  target.SetPixelFormat(pf24bit);
  target.SetSize(40, 30);
  target.GetCanvas()->Brush->Color = clWhite;
  target.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
  view->CopyToPolygon(&target, square, 4, {20, 15});
  EXPECT_TRUE(Same(Pixel(&target, 2, 2), TRGB{255, 0, 0}));
  EXPECT_TRUE(Same(Pixel(&target, 25, 20), TRGB{255, 255, 255}));
}

TEST_F(PixViewTest, CopyToBitmapWithAlphaBlendsOverTheTarget) {
  Picture24(4, 4, [](int, int) { return TRGB{0, 0, 255}; });
  TBitmap target;
  target.SetPixelFormat(pf8bit);
  target.SetSize(10, 10);
  target.GetCanvas()->Brush->Color = clWhite;
  target.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  // Without an alpha channel the target is only made 24-bit.
  view->CopyToBitmapWithAlpha(&target, 2, 2);
  ASSERT_EQ(target.GetPixelFormat(), pf24bit);
  EXPECT_TRUE(Same(Pixel(&target, 3, 3), TRGB{255, 255, 255}));
  TIEMask* alpha = view->GetAlphaChannel();
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 2; ++x) alpha->SetPixel(x, y, 0);
  view->CopyToBitmapWithAlpha(&target, 2, 2);
  EXPECT_TRUE(Same(Pixel(&target, 2, 2), TRGB{255, 255, 255}));  // transparent
  EXPECT_TRUE(Same(Pixel(&target, 5, 5), TRGB{0, 0, 255}));      // opaque
  EXPECT_TRUE(Same(Pixel(&target, 6, 6), TRGB{255, 255, 255}));  // beyond the picture
}

TEST_F(PixViewTest, SavedCursorComesBackAndPaletteChangesAreTaken) {
  Screen->SetCursor(crDefault);
  view->SaveCursor(1782);
  EXPECT_EQ(Screen->GetCursor(), 1782);
  view->RestoreCursor();
  EXPECT_EQ(Screen->GetCursor(), crDefault);
  EXPECT_TRUE(view->PaletteChanged(false));
  EXPECT_TRUE(view->PaletteChanged(true));
}

}  // namespace
