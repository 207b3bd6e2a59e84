#include <cmath>

#include "pixview_fixture.h"
#include "platform/messages.h"

namespace {

struct LayoutCase {
  int pw, ph;
  double zoom;
  bool center;
  int extentX, extentY, visibleW, visibleH, offsetX, offsetY;
};

TEST_F(PixViewTest, LayoutOfExtentVisibleSizeAndCentring) {
  // Client 100 x 80.
  const LayoutCase cases[] = {
      {50, 40, 100, false, 50, 40, 50, 40, 0, 0},
      {50, 40, 100, true, 50, 40, 50, 40, 25, 20},
      {300, 200, 100, true, 300, 200, 100, 80, 0, 0},
      {300, 200, 25, true, 75, 50, 75, 50, 12, 15},
      // 49.5 and 31.5 round to the even neighbours.
      {33, 21, 150, true, 50, 32, 50, 32, 25, 24},
  };
  for (const LayoutCase& c : cases) {
    PlainPicture(c.pw, c.ph);
    view->SetCenter(c.center);
    view->SetZoom(c.zoom);
    view->Update();
    SCOPED_TRACE(testing::Message() << c.pw << "x" << c.ph << " zoom " << c.zoom << " centre " << c.center);
    EXPECT_EQ(view->ExtentX, c.extentX);
    EXPECT_EQ(view->ExtentY, c.extentY);
    EXPECT_EQ(view->VisibleW, c.visibleW);
    EXPECT_EQ(view->VisibleH, c.visibleH);
    EXPECT_EQ(view->OffsetX, c.offsetX);
    EXPECT_EQ(view->OffsetY, c.offsetY);
    view->SetZoom(100);
  }
}

struct AutoZoomCase {
  bool fit, stretch, shrink;
  int pw, ph;
  double zoom;
};

TEST_F(PixViewTest, AutomaticZoomFitsEnlargesOrReduces) {
  // Outer and client size 100 x 80.
  const AutoZoomCase cases[] = {
      {true, false, false, 200, 100, 50},  {true, false, false, 20, 10, 500},
      {false, false, true, 20, 10, 100},   {false, false, true, 400, 400, 20},
      {false, true, false, 400, 400, 100}, {false, true, false, 20, 40, 200},
      {true, false, false, 1, 1, 100},
  };
  for (const AutoZoomCase& c : cases) {
    view->AutoFit = c.fit;
    view->AutoStretch = c.stretch;
    view->AutoShrink = c.shrink;
    PlainPicture(c.pw, c.ph);
    EXPECT_DOUBLE_EQ(view->GetZoom(), c.zoom) << c.pw << "x" << c.ph;
    view->AutoFit = view->AutoStretch = view->AutoShrink = false;
    view->SetZoom(100);
  }
}

TEST_F(PixViewTest, ScrollBarsAppearTakeRoomAndGo) {
  view->SetBounds(0, 0, 100, 100);
  view->SetScrollBars(ssBoth);
  PlainPicture(300, 300);
  const int bar = GetSystemMetrics(SM_CXVSCROLL);
  EXPECT_TRUE(view->HorzBarShown);
  EXPECT_TRUE(view->VertBarShown);
  EXPECT_TRUE(view->ScrollBar(SB_HORZ).Visible);
  EXPECT_EQ(view->GetClientWidth(), 100 - bar);
  const TScrollBarState& h = view->ScrollBar(SB_HORZ);
  EXPECT_EQ(h.Min, 0);
  EXPECT_EQ(h.Max, 65535);
  const int32_t maxX = 300 - view->GetClientWidth();
  const double scale = double(view->GetClientWidth() + maxX) / 65536;
  EXPECT_DOUBLE_EQ(view->HorzScrollScale, scale);
  EXPECT_EQ(h.Page, unsigned(std::trunc(view->GetClientWidth() / scale)));

  // The thumb maps back through the scale.
  view->Perform(WM_HSCROLL, (uint32_t(30000) << 16) | SB_THUMBPOSITION, 0);
  EXPECT_EQ(view->GetViewX(), int32_t(std::trunc(30000 * scale)));
  EXPECT_EQ(view->ScrollBar(SB_HORZ).Pos, int(std::trunc(view->GetViewX() / scale)));

  PlainPicture(50, 50);
  EXPECT_FALSE(view->ScrollBar(SB_HORZ).Visible);
  EXPECT_FALSE(view->ScrollBar(SB_VERT).Visible);
  EXPECT_EQ(view->GetClientWidth(), 100);

  view->SetScrollBarsAlwaysVisible(true);
  EXPECT_TRUE(view->ScrollBar(SB_HORZ).Visible);
  EXPECT_EQ(view->ScrollBar(SB_HORZ).Disabled, ESB_DISABLE_BOTH);
}

TEST_F(PixViewTest, ViewOffsetsAreClampedToTheirMaximum) {
  PlainPicture(300, 200);
  view->SetViewXY(1000, -5);
  EXPECT_EQ(view->GetViewX(), 200);  // Trunc(300.5) - 100
  EXPECT_EQ(view->GetViewY(), 0);
  view->SetViewY(5000);
  EXPECT_EQ(view->GetViewY(), 120);
  int32_t maxX, maxY;
  PlainPicture(100, 80);
  view->GetMaxViewXY(maxX, maxY);
  EXPECT_EQ(maxX, 0);
  EXPECT_EQ(maxY, 0);
  EXPECT_EQ(view->GetViewX(), 0);
}

TEST_F(PixViewTest, ZoomKeepsThePictureAtTheClientCentre) {
  PlainPicture(400, 400);
  struct Case {
    int32_t vx, vy;
    int32_t expectX, expectY;
  } cases[] = {
      {100, 50, 250, 140},  // centre point (150, 90) -> 300 - 50, 180 - 40
      {300, 320, 650, 680},  // scrolled to the far end
  };
  for (const Case& c : cases) {
    view->SetZoom(100);
    view->SetViewXY(c.vx, c.vy);
    view->SetZoom(200);
    EXPECT_EQ(view->GetViewX(), c.expectX);
    EXPECT_EQ(view->GetViewY(), c.expectY);
  }
}

TEST_F(PixViewTest, ZoomAtBringsTheClickedPointToTheCentre) {
  PlainPicture(400, 400);
  view->SetViewXY(100, 100);
  PaintNow();
  const int32_t bx = view->XScr2Bmp(80), by = view->YScr2Bmp(60);
  EXPECT_EQ(bx, 180);
  EXPECT_EQ(by, 160);
  view->ZoomAt(80, 60, 200);
  EXPECT_EQ(view->XBmp2Scr(bx), 50);
  EXPECT_EQ(view->YBmp2Scr(by), 40);
}

TEST_F(PixViewTest, ScrollMessagesMoveByLinesPagesAndEnds) {
  PlainPicture(400, 400);
  struct Case {
    int code, pos, lineStep;
    double zoom;
    int32_t expect;
  } cases[] = {
      {SB_LINEDOWN, 0, -1, 100, 101}, {SB_LINEUP, 0, -1, 100, 99},       {SB_PAGEDOWN, 0, -1, 100, 200},
      {SB_PAGEUP, 0, -1, 100, 0},     {SB_TOP, 0, -1, 100, 0},           {SB_BOTTOM, 0, -1, 100, 300},
      {SB_THUMBPOSITION, 150, -1, 100, 150}, {SB_LINEDOWN, 0, 5, 200, 110}, {SB_ENDSCROLL, 0, -1, 100, 100},
  };
  for (const Case& c : cases) {
    view->SetZoom(c.zoom);
    view->HorzScrollBarParams->LineStep = c.lineStep;
    view->SetViewX(100);
    view->Perform(WM_HSCROLL, (uint32_t(c.pos) << 16) | uint32_t(c.code), 0);
    EXPECT_EQ(view->GetViewX(), c.expect) << "code " << c.code;
    view->SetZoom(100);
  }
  // Thumb tracking may be switched off.
  view->HorzScrollBarParams->ThumbTracking = false;
  view->Perform(WM_HSCROLL, (uint32_t(10) << 16) | SB_THUMBTRACK, 0);
  EXPECT_EQ(view->GetViewX(), 100);
}

TEST_F(PixViewTest, WheelZoomsByAPercentageOrScrolls) {
  PlainPicture(400, 400);
  auto wheel = [&](int delta) { view->Perform(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(int16_t(delta))) << 16), 0); };
  wheel(120);  // away from the user: out by 8 %
  EXPECT_DOUBLE_EQ(view->GetZoom(), 92);
  wheel(-120);
  EXPECT_DOUBLE_EQ(view->GetZoom(), 99);  // 92 + Round(7.36)
  view->WheelParams->Invert = true;
  wheel(-120);
  EXPECT_DOUBLE_EQ(view->GetZoom(), 91);

  view->SetZoom(100);
  view->SetViewXY(0, 0);
  view->WheelParams->Invert = false;
  view->WheelParams->Action = iemwVScroll;
  view->WheelParams->AmountKind = iemwAbsolute;
  wheel(-120);
  EXPECT_EQ(view->GetViewY(), 8);
  view->WheelParams->AmountKind = iemwPercentage;
  wheel(-120);
  EXPECT_EQ(view->GetViewY(), 8 + 6);  // Round(80 * 8 / 100)
}

TEST_F(PixViewTest, CoordinatesConvertBothWays) {
  PlainPicture(400, 300);
  for (double zoom : {50.0, 100.0, 200.0, 300.0}) {
    view->SetZoom(zoom);
    view->SetViewXY(37, 21);
    PaintNow();
    const double f = zoom / 100;
    for (int32_t s : {0, 7, 30, 60, 79}) {
      const int32_t bx = view->XScr2Bmp(s), by = view->YScr2Bmp(s);
      EXPECT_EQ(bx, int32_t(std::trunc(s / f + view->SrcX))) << zoom;
      EXPECT_EQ(by, int32_t(std::trunc(s / f + view->SrcY))) << zoom;
      if (zoom < 100) {
        // Below 100 each client pixel maps to a picture pixel and back.
        EXPECT_EQ(view->XBmp2Scr(bx), s) << zoom;
        EXPECT_EQ(view->YBmp2Scr(by), s) << zoom;
      } else {
        // Above, the client pixel lies inside its picture pixel's cell.
        EXPECT_LE(view->XBmp2Scr(bx), s) << zoom;
        EXPECT_GT(view->XBmp2Scr(bx + 1), s) << zoom;
        EXPECT_LE(view->YBmp2Scr(by), s) << zoom;
        EXPECT_GT(view->YBmp2Scr(by + 1), s) << zoom;
      }
    }
  }
}

}  // namespace
