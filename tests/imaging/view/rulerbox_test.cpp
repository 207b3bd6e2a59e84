// The ruler: tick placement, labels, view and grip limits, grip shapes and
// the mouse (press, drag, click, drag past the end).
#include "imaging/view/rulerbox.h"

#include <gtest/gtest.h>

#include <QWidget>

#include "platform/canvas.h"
#include "platform/extctrls.h"
#include "platform/input.h"
#include "platform/messages.h"

namespace {

struct Ruler {
  Ruler() { ruler.Paint(); }
  TColor At(int x, int y) { return ruler.GetCanvas()->GetPixel(x, y); }
  void Press(int x, int y, WPARAM keys = MK_LBUTTON) { MouseInput(&ruler, WM_LBUTTONDOWN, keys, TPoint{x, y}); }
  void Move(int x, int y) { MouseInput(&ruler, WM_MOUSEMOVE, MK_LBUTTON, TPoint{x, y}); }
  void Release(int x, int y) { MouseInput(&ruler, WM_LBUTTONUP, 0, TPoint{x, y}); }
  TRulerBox ruler{nullptr};
};

// The strip's colour, for a pixel where no tick or label falls.
bool IsTick(Ruler& r, int x, int y) { return r.At(x, y) == ColorToRGB(r.ruler.GetFont()->Color); }

TEST(RulerBox, DefaultRulerPutsMinorTicksEveryTenPixels) {
  Ruler r;
  EXPECT_EQ(r.ruler.GetWidth(), 300);
  EXPECT_EQ(r.ruler.GetHeight(), 40);
  const int RH = r.ruler.GetRulerHeight();
  EXPECT_EQ(RH, 21);  // trunc(11 x 1.7) + 3
  // Minor ticks run RH / 4 = 5 pixels up from the strip's inner edge.
  for (int x : {0, 10, 20, 290}) EXPECT_TRUE(IsTick(r, x, RH - 3)) << x;
  for (int x : {5, 15, 295}) EXPECT_FALSE(IsTick(r, x, RH - 3)) << x;
  // Labelled ticks every 40 pixels are RH / 2 = 10 long.
  EXPECT_TRUE(IsTick(r, 40, RH - 8));
  EXPECT_FALSE(IsTick(r, 30, RH - 8));
}

TEST(RulerBox, ViewPositionShiftsTheTicks) {
  Ruler r;
  r.ruler.SetViewPos(15);
  r.ruler.Paint();
  const int y = r.ruler.GetRulerHeight() - 3;
  EXPECT_TRUE(IsTick(r, 5, y));   // value 20
  EXPECT_TRUE(IsTick(r, 15, y));  // value 30
  EXPECT_FALSE(IsTick(r, 10, y));
}

TEST(RulerBox, LabelTexts) {
  struct Case {
    double value;
    bool hex;
    const char* text;
  } cases[] = {{0, true, "0"}, {16, true, "10"}, {32, true, "20"}, {-16, true, "-10"}, {255.9, true, "FF"},
               {40, false, "40"}, {-2.5, false, "-2.5"}, {1e20, false, "1E+020"}};
  for (const Case& c : cases) EXPECT_EQ(RulerLabelText(c.value, c.hex), c.text) << c.value;
}

TEST(RulerBox, FitInViewAndViewLimits) {
  Ruler r;
  r.ruler.SetBounds(0, 0, 289, 40);
  r.ruler.SetViewMin(0);
  r.ruler.SetViewMax(255);
  r.ruler.SetFitInView(true);
  EXPECT_DOUBLE_EQ(r.ruler.GetDotPerUnit(), 289.0 / 255.0);
  r.ruler.SetViewPos(-3);
  EXPECT_EQ(r.ruler.GetViewPos(), 0);
  r.ruler.SetViewPos(40);  // the whole range is visible: back to the start
  EXPECT_NEAR(r.ruler.GetViewPos(), 0, 1e-9);
  // New limits are every grip's limits.
  EXPECT_EQ(r.ruler.GetGripsMax(0), 255);
}

TEST(RulerBox, GripLimitsFireTheChangeEventTwice) {
  Ruler r;
  r.ruler.SetGripsMin(0, 0);
  r.ruler.SetGripsMax(0, 100);
  std::vector<double> seen;
  r.ruler.OnRulerPosChange = [&](TObject*, int grip) { seen.push_back(r.ruler.GetGripsPos(grip)); };
  r.ruler.SetGripsPos(0, 150);
  EXPECT_EQ(r.ruler.GetGripsPos(0), 100);
  EXPECT_EQ(seen, (std::vector<double>{100, 100}));
  // Out-of-range indexes: ignored and 0.
  r.ruler.SetGripsPos(5, 3);
  EXPECT_EQ(r.ruler.GetGripsPos(5), 0);
}

TEST(RulerBox, FewerGripsKeepTheFirstOnesAsTheyWere) {
  Ruler r;
  r.ruler.SetGripsCount(3);
  r.ruler.SetGripsPos(0, 42);
  r.ruler.SetGripsCol(0, clRed);
  r.ruler.SetGripsKind(0, gkArrow);
  r.ruler.SetGripsMin(0, 1);
  r.ruler.SetGripsMax(0, 99);
  r.ruler.SetGripsCount(1);
  EXPECT_EQ(r.ruler.GetGripsCount(), 1);
  EXPECT_EQ(r.ruler.GetGripsPos(0), 42);
  EXPECT_EQ(r.ruler.GetGripsCol(0), clRed);
  EXPECT_EQ(r.ruler.GetGripsKind(0), gkArrow);
  EXPECT_EQ(r.ruler.GetGripsMin(0), 1);
  EXPECT_EQ(r.ruler.GetGripsMax(0), 99);
  r.ruler.SetBackground(clBlue);
  r.ruler.SetGripsCount(2);
  EXPECT_EQ(r.ruler.GetGripsCol(1), clBlue);  // new grips take the background
}

TEST(RulerBox, GripShapesAndTheirRectangles) {
  Ruler r;
  r.ruler.SetGripsPos(0, 100);
  const int RH = r.ruler.GetRulerHeight();
  struct Case {
    TGripKind kind;
    TRulerDir dir;
    TGripsDir side;
    TRect rect;
  } cases[] = {
      {gkTriangle, rdHorizontal, gdUp, {94, RH, 107, 40}},
      {gkLeftTriangle, rdHorizontal, gdUp, {94, RH, 101, 40}},
      {gkRightTriangle, rdHorizontal, gdDown, {100, 0, 107, 40 - RH}},
      {gkArrow, rdHorizontal, gdUp, {94, RH, 107, 40}},
  };
  for (const Case& c : cases) {
    r.ruler.SetGripsKind(0, c.kind);
    r.ruler.SetRulerDir(c.dir);
    r.ruler.SetGripsDir(c.side);
    TRect rect;
    r.ruler.GetGripRect(0, rect);
    EXPECT_EQ(rect, c.rect) << c.kind;
  }
  // A vertical ruler swaps every point.
  r.ruler.SetBounds(0, 0, 40, 300);
  r.ruler.SetRulerDir(rdVertical);
  r.ruler.SetGripsDir(gdUp);
  r.ruler.SetGripsKind(0, gkTriangle);
  TRect rect;
  r.ruler.GetGripRect(0, rect);
  EXPECT_EQ(rect, (TRect{RH, 94, 40, 107}));
}

TEST(RulerBox, PressesPickTheTopGripAndReportClicks) {
  Ruler r;
  r.ruler.SetGripsCount(2);
  r.ruler.SetGripsPos(0, 100);
  r.ruler.SetGripsPos(1, 104);
  EXPECT_EQ(r.ruler.GetClickedGrip(102, 38), 1);
  EXPECT_EQ(r.ruler.GetClickedGrip(96, 38), 0);
  EXPECT_EQ(r.ruler.GetClickedGrip(200, 38), -1);

  std::vector<int> clicks;
  r.ruler.OnRulerGripClick = [&](TObject*, int grip) { clicks.push_back(grip); };
  r.Press(102, 38);
  r.Release(102, 38);
  EXPECT_EQ(clicks, std::vector<int>{1});
  r.Press(102, 38);
  r.Move(103, 38);
  r.Release(103, 38);
  EXPECT_EQ(clicks, std::vector<int>{1});  // moved: no click

  double clicked = -1;
  r.ruler.SetDPU(2);
  r.ruler.SetViewPos(10);
  r.ruler.OnRulerClick = [&](TObject*, double ps) { clicked = ps; };
  r.Press(250, 5);
  r.Release(250, 5);
  EXPECT_DOUBLE_EQ(clicked, 250 / 2.0 + 10);
}

TEST(RulerBox, DraggingAGripKeepsTheOffsetOfThePress) {
  Ruler r;
  r.ruler.SetGripsPos(0, 50);
  r.Press(53, 38);  // three pixels right of the grip's centre
  r.Move(83, 38);
  EXPECT_EQ(r.ruler.GetGripsPos(0), 80);
  r.Release(83, 38);
}

TEST(RulerBox, DraggingPastTheEndScrollsWhileTheButtonIsHeld) {
  Ruler r;
  r.ruler.SetViewPos(100);
  r.ruler.SetGripsPos(0, 110);
  TFakeInput input;
  input.Press(VK_LBUTTON);
  input.Pos = r.ruler.ClientToScreen(TPoint{-5, 38});
  // The button is let go after the fourth look at it.
  input.OnPoll = [](TFakeInput& in) {
    if (in.Polls >= 8) in.Release(VK_LBUTTON);
  };
  int changes = 0;
  r.ruler.OnRulerPosChange = [&](TObject*, int) { ++changes; };
  r.Press(10, 38);
  r.Move(-5, 38);
  EXPECT_LT(r.ruler.GetViewPos(), 100);
  EXPECT_DOUBLE_EQ(r.ruler.GetGripsPos(0), r.ruler.GetViewPos());
  EXPECT_GE(changes, 2);
}

// The card designer's ruler: 20000 pixels along a view a few hundred wide.
// Only what the parent shows is drawn; a part that comes into view is drawn
// when the window system shows it.
TEST(RulerBox, LongRulerDrawsWhatComesIntoView) {
  TPanel parent(nullptr);
  parent.SetBounds(0, 0, 300, 40);
  TRulerBox ruler(nullptr);
  ruler.SetParent(&parent);
  ruler.SetBounds(0, 0, 20000, 25);
  ruler.GetFont()->Color = clRed;
  ruler.SetDPU(3);
  ruler.SetFrequency(1);
  ruler.SetLabelFreq(10);
  parent.HandleNeeded();
  UpdatePendingWindows();
  const int y = ruler.GetRulerHeight() - 2;
  auto tickAt = [&](int x) { return ruler.ClientImage().pixel(x, y) == qRgb(255, 0, 0); };
  EXPECT_TRUE(tickAt(30));
  EXPECT_TRUE(tickAt(33));
  EXPECT_FALSE(tickAt(31));
  EXPECT_FALSE(tickAt(15000)) << "out of view: not drawn";

  // Scrolled so that pixel 15000 shows at 150 in the parent.
  ruler.SetLeft(-14850);
  QWidget* w = ruler.Widget();
  ASSERT_NE(w, nullptr);
  w->grab(QRect(14850, 0, 300, 25));
  EXPECT_TRUE(tickAt(15000));
  EXPECT_TRUE(tickAt(15003));
  EXPECT_FALSE(tickAt(15001));
  // Value 5000's label is centred on its tick, above it.
  bool label = false;
  for (int x = 14985; x < 15015; ++x)
    for (int row = 0; row < y - 10; ++row) {
      const QRgb p = ruler.ClientImage().pixel(x, row);
      label = label || (qRed(p) > 180 && qGreen(p) < 100);
    }
  EXPECT_TRUE(label);
}

}  // namespace
