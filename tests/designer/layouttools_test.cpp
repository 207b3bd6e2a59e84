// The drawing tools on the layout picture, driven by real presses, moves
// and releases on the picture control and clicks on the drawing panel:
// every finished shape equals the same shape drawn on a white picture, so
// no rubber band is left behind, wherever the drag wandered.
#include "designer/layoutdraw.h"

using cardtest::LayoutEditor;

namespace {

using DrawingTools = LayoutEditor;

// Line, ellipse, rectangle and rounded rectangle: a drag that wanders far
// off and comes back leaves exactly the shape from press to release,
// outlined with the pen and filled with the fill colour.
TEST_F(DrawingTools, DraggedShapesLeaveOnlyTheShape) {
  struct Case {
    TSpeedButton* button;
    std::function<void(TCanvas*)> draw;
  } cases[] = {
      {f->LineButton, [](TCanvas* c) { c->MoveTo(40, 40); c->LineTo(100, 80); }},
      {f->EllipseButton, [](TCanvas* c) { c->Ellipse(40, 40, 100, 80); }},
      {f->RectangleButton, [](TCanvas* c) { c->Rectangle(40, 40, 100, 80); }},
      {f->RoundRctButton, [](TCanvas* c) { c->RoundRect(40, 40, 100, 80, 20, 20); }},
  };
  AnswerColour(clYellow);
  Click(f->BrushColor);
  ASSERT_EQ(f->BrushColor->GetColor(), clYellow);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.button->Name);
    WhitePicture();
    Click(c.button);
    EXPECT_TRUE(DrawingMode);
    EXPECT_TRUE(c.button->GetDown());
    Drag({{40, 40}, {60, 50}, {200, 150}, {150, 30}, {90, 70}, {100, 80}});
    EXPECT_EQ(DifferFrom([&](TCanvas* canvas) {
                canvas->Brush->Color = clYellow;
                c.draw(canvas);
              }),
              0);
    // A release away from the last move still leaves only the shape.
    WhitePicture();
    SendMouse(f->Drawor, QEvent::MouseButtonPress, {40, 40}, Qt::LeftButton);
    SendMouse(f->Drawor, QEvent::MouseMove, {120, 120}, Qt::LeftButton);
    SendMouse(f->Drawor, QEvent::MouseButtonRelease, {100, 80}, Qt::NoButton);
    EXPECT_EQ(DifferFrom([&](TCanvas* canvas) {
                canvas->Brush->Color = clYellow;
                c.draw(canvas);
              }),
              0);
  }
  EXPECT_EQ(f->StatusBar1->GetPanels()->Items(1)->GetText(), "X:100    Y:80");
  EXPECT_EQ(f->StatusBar1->GetPanels()->Items(2)->GetText(), "X:120    Y:120");
}

// The band of a drag is exact while it is on the picture: inverted pixels
// (not-xor of black) over a coloured picture, and the picture comes back
// exactly when the band moves on.
TEST_F(DrawingTools, RubberBandIsAnExactRasterOperation) {
  TCanvas* c = Picture()->GetCanvas();
  c->Brush->Color = TColor(0x336699);
  c->FillRect(Rect(0, 0, 200, 150));
  Click(f->RectangleButton);
  SendMouse(f->Drawor, QEvent::MouseButtonPress, {20, 20}, Qt::LeftButton);
  SendMouse(f->Drawor, QEvent::MouseMove, {80, 60}, Qt::LeftButton);
  EXPECT_EQ(Pixel(20, 40), TColor(0xCC9966));  // the outline inverts the colour under it
  EXPECT_EQ(Pixel(50, 40), TColor(0x336699));  // a white fill leaves the inside as it was
  SendMouse(f->Drawor, QEvent::MouseMove, {60, 30}, Qt::LeftButton);
  EXPECT_EQ(Pixel(20, 40), TColor(0x336699));
  EXPECT_EQ(Pixel(79, 50), TColor(0x336699));
  SendMouse(f->Drawor, QEvent::MouseButtonRelease, {60, 30}, Qt::NoButton);
  EXPECT_EQ(Pixel(20, 25), clBlack);
}

// The pencil follows the mouse; the polyline joins the nodes its clicks
// add, a right click ends it without a message, and the 100th node shows
// the limit, draws nothing and starts a new polyline.
TEST_F(DrawingTools, PencilAndPolylineFollowTheClicks) {
  Click(f->PenButton);
  Drag({{10, 10}, {30, 10}, {30, 40}});
  EXPECT_EQ(DifferFrom([](TCanvas* c) {
              c->MoveTo(10, 10);
              c->LineTo(30, 10);
              c->LineTo(30, 40);
            }),
            0);

  WhitePicture();
  Click(f->PlineButton);
  ClickAt(20, 20);
  ClickAt(80, 20);
  ClickAt(80, 60);
  ClickAt(150, 100, Qt::RightButton);
  ClickAt(20, 100);
  ClickAt(60, 100);
  EXPECT_EQ(DifferFrom([](TCanvas* c) {
              c->MoveTo(20, 20);
              c->LineTo(80, 20);
              c->LineTo(80, 60);
              c->MoveTo(20, 100);
              c->LineTo(60, 100);
            }),
            0);
  EXPECT_TRUE(program.Messages().empty());

  WhitePicture();
  Click(f->PlineButton);
  for (int i = 0; i < 99; ++i) ClickAt(10 + i % 2 * 100, 10 + i);
  EXPECT_TRUE(program.Messages().empty());
  ClickAt(250, 150);  // the 100th node
  ASSERT_EQ(program.Messages(), std::vector<std::string>{"多义线不能超过100个节点"});
  EXPECT_EQ(program.dialogs.Records.back().Flags & MB_ICONMASK, MB_ICONINFORMATION);
  EXPECT_EQ(CountNonWhite(Rect(111, 100, 300, 200)), 0);
  ClickAt(250, 10);
  ClickAt(290, 10);
  EXPECT_EQ(Pixel(270, 10), clBlack);
  EXPECT_EQ(Pixel(250, 100), clWhite);
}

// The curve in three drags: ends, then each control point. Between the
// drags the curve is a band; the last release draws it for good, exactly.
// A click without a drag in the first stage puts all four points there.
TEST_F(DrawingTools, BezierCurveInThreeDrags) {
  Click(f->BezierButton);
  Drag({{20, 100}, {100, 100}, {180, 100}});
  EXPECT_EQ(f->BezierCount, 1);
  Drag({{60, 100}, {70, 40}, {60, 20}});
  Drag({{140, 100}, {130, 150}, {140, 180}});
  EXPECT_EQ(f->BezierCount, 0);
  EXPECT_EQ(DifferFrom([](TCanvas* c) { c->PolyBezier({{20, 100}, {60, 20}, {140, 180}, {180, 100}}); }), 0);

  WhitePicture();
  ClickAt(50, 50);
  EXPECT_EQ(f->BezierCount, 1);
  for (const TPoint& p : f->BezierPoints) EXPECT_EQ(p, TPoint(50, 50));
  // A new tool takes an unfinished curve's band off the picture.
  Drag({{50, 50}, {90, 10}});
  Click(f->LineButton);
  EXPECT_EQ(CountNonWhite(Rect(0, 0, 200, 200)), 0);
}

// The eraser fills 10 x 10 squares 11 pixels right of and below the mouse
// with the fill colour, solid even under a hatched fill, which comes back
// after the release.
TEST_F(DrawingTools, EraserFillsSquaresAndGivesTheFillStyleBack) {
  TCanvas* c = Picture()->GetCanvas();
  c->Brush->Color = clBlack;
  c->FillRect(Rect(0, 0, 200, 150));
  AnswerColour(clRed);
  Click(f->BrushColor);
  Click(f->HorizontalBrush);
  Click(f->RubberButton);
  EXPECT_EQ(f->Drawor->GetCursor(), TCursor(30));
  Drag({{20, 20}, {60, 20}});
  // A square at the press and one at the move, each solid red.
  for (int y = 26; y < 46; ++y)
    for (int x = 26; x < 86; ++x) {
      const bool square = y >= 31 && y < 41 && ((x >= 31 && x < 41) || (x >= 71 && x < 81));
      ASSERT_EQ(Pixel(x, y), square ? clRed : clBlack) << x << "," << y;
    }

  // The hatched fill is back: a rectangle's inside has white between its lines.
  WhitePicture();
  Click(f->RectangleButton);
  Drag({{10, 10}, {60, 60}});
  int red = 0, white = 0;
  for (int y = 12; y < 58; ++y) {
    red += Pixel(30, y) == clRed;
    white += Pixel(30, y) == clWhite;
  }
  EXPECT_GT(red, 0);
  EXPECT_GT(white, red);

  // After the eraser with a solid fill, the fill stays solid.
  Click(f->SolidBrush);
  Click(f->RubberButton);
  Drag({{100, 10}, {101, 10}});
  Click(f->RectangleButton);
  WhitePicture();
  Drag({{10, 10}, {60, 60}});
  EXPECT_EQ(CountNonWhite(Rect(11, 11, 59, 59)), 48 * 48);
}

// The pen colour, width and style controls change what the tools draw;
// with the select button down a press draws nothing and selects the layout
// picture.
TEST_F(DrawingTools, PenControlsAndSelectMode) {
  AnswerColour(clBlue);
  Click(f->PenColor);
  EXPECT_EQ(f->PenColor->GetColor(), clBlue);
  program.dialogs.AnswerDialog([](TCommonDialog*) { return false; });
  Click(f->PenColor);
  EXPECT_EQ(f->PenColor->GetColor(), clBlue);
  Click(f->LineButton);
  for (int i = 0; i < 3; ++i) WidgetClick(f->UpDown1, {8, 3});  // the upper arrow
  EXPECT_EQ(f->PenWidth->GetText(), "3");
  Drag({{20, 50}, {120, 50}});
  EXPECT_EQ(Pixel(70, 49), clBlue);
  EXPECT_EQ(Pixel(70, 51), clBlue);
  EXPECT_EQ(Pixel(70, 53), clWhite);

  WhitePicture();
  WidgetClick(f->UpDown1, {8, 18});  // the lower arrow, twice
  WidgetClick(f->UpDown1, {8, 18});
  EXPECT_EQ(f->PenWidth->GetText(), "1");
  Click(f->DashPen);
  EXPECT_TRUE(f->DashPen->GetDown() && !f->SolidPen->GetDown());
  Drag({{20, 50}, {220, 50}});
  const int drawn = CountNonWhite(Rect(20, 50, 220, 51));
  EXPECT_GT(drawn, 50);
  EXPECT_LT(drawn, 190);

  // A fill style releases the tool's button but keeps the tool.
  WhitePicture();
  Click(f->ClearBrush);
  EXPECT_FALSE(f->LineButton->GetDown());
  EXPECT_TRUE(DrawingMode);
  Drag({{20, 80}, {60, 80}});
  EXPECT_GT(CountNonWhite(Rect(20, 80, 60, 81)), 10);

  WhitePicture();
  Click(f->SelectButton);
  EXPECT_FALSE(DrawingMode);
  f->SelectedItem = 3;
  Drag({{20, 20}, {100, 100}});
  EXPECT_EQ(CountNonWhite(Rect(0, 0, 200, 200)), 0);
  EXPECT_EQ(f->SelectedItem, 13);
  EXPECT_FALSE(f->SelectedIsTitle);
}

// The range tool marks a dotted frame and copies the pixels inside; a drag
// either way gives the same range, a click a 1 x 1 range; the mark comes
// off exactly when a tool is chosen.
TEST_F(DrawingTools, RangeSelectionCopiesItsPixels) {
  TCanvas* c = Picture()->GetCanvas();
  c->Brush->Color = clRed;
  c->FillRect(Rect(50, 50, 60, 60));
  Click(f->PicRangButton);
  EXPECT_EQ(f->Drawor->GetCursor(), crArrow);
  Drag({{45, 45}, {200, 200}, {65, 65}});
  EXPECT_EQ(f->RangeRect, Rect(45, 45, 65, 65));
  EXPECT_TRUE(f->RangeShown);
  ASSERT_EQ(f->RangeBitmap->GetWidth(), 20);
  EXPECT_EQ(f->RangeBitmap->GetCanvas()->GetPixel(5, 5), clRed);
  EXPECT_EQ(f->RangeBitmap->GetCanvas()->GetPixel(0, 0), clWhite);
  EXPECT_NE(Pixel(45, 45), clWhite);  // the mark
  Drag({{65, 65}, {10, 10}, {45, 45}});
  EXPECT_EQ(f->RangeRect, Rect(45, 45, 65, 65));
  ClickAt(30, 30);
  EXPECT_EQ(f->RangeRect, Rect(30, 30, 31, 31));
  EXPECT_EQ(f->RangeBitmap->GetWidth(), 1);
  EXPECT_EQ(f->RangeBitmap->GetHeight(), 1);
  Click(f->LineButton);
  EXPECT_FALSE(f->RangeShown);
  EXPECT_EQ(DifferFrom([](TCanvas* c) {
              c->Brush->Color = clRed;
              c->FillRect(Rect(50, 50, 60, 60));
            }),
            0);
}

// Every release in drawing mode hands the print twin a fresh copy of the
// picture.
TEST_F(DrawingTools, ReleaseRefreshesThePrintCopy) {
  Click(f->RectangleButton);
  Drag({{10, 10}, {40, 40}});
  ASSERT_EQ(LayoutPrintBitmap->GetWidth(), Picture()->GetWidth());
  EXPECT_EQ(LayoutPrintBitmap->GetCanvas()->GetPixel(10, 20), clBlack);
  EXPECT_EQ(LayoutPrintBitmap->GetCanvas()->GetPixel(20, 20), clWhite);
}

}  // namespace

namespace {

// Arrow keys typed into the text box move its caret, not the selected
// design item (the window sees keys first to nudge items).
TEST_F(LayoutEditor, ArrowKeysInTheTextBoxLeaveTheItemsAlone) {
  f->PicOne->Show();
  f->PicOne->SetBounds(230, 40, 80, 100);
  f->SelectedItem = 13;
  Click(f->TextButton);
  ClickAt(40, 30);
  ASSERT_TRUE(f->Edit->Focused());
  QTest::keyClicks(f->Edit->Widget(), "AB");
  QTest::keyClick(f->Edit->Widget(), Qt::Key_Left);
  QTest::keyClick(f->Edit->Widget(), Qt::Key_Up);
  EXPECT_EQ(TPoint(f->PicOne->GetLeft(), f->PicOne->GetTop()), TPoint(230, 40));
  EXPECT_EQ(f->Edit->GetSelStart(), 1);
  EXPECT_TRUE(program.Messages().empty());
}

}  // namespace
