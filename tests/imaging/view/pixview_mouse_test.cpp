// The view's mouse modes, driven by real mouse events on its widget and
// checked on the selection it leaves, the zoom and the scroll position.
// The picture sits at the client's top-left at 100 %, so client and
// picture pixels coincide unless a test zooms or scrolls.
#include <vector>

#include "pixview_mouse_fixture.h"
#include "platform/timers.h"

namespace {

TEST_F(PixViewMouseTest, RectangleDragsSelectTheDraggedBoxWhicheverWayTheyGo) {
  struct Case {
    const char* name;
    TPoint from, to;
    TRect box;
  };
  const Case cases[] = {
      {"down-right", {10, 10}, {30, 20}, {10, 10, 30, 20}},
      {"up-left", {30, 20}, {10, 10}, {10, 10, 30, 20}},
      {"past the picture", {90, 70}, {180, 150}, {90, 70, 99, 79}},
  };
  Gradient(100, 80);
  view->SetMouseInteract(miSelect);
  for (const Case& c : cases) {
    view->DeSelect();
    Drag({c.from, {(c.from.x + c.to.x) / 2, c.from.y}, c.to});
    EXPECT_TRUE(view->HasSelection) << c.name;
    EXPECT_EQ(SelBox(), c.box) << c.name;
    EXPECT_TRUE(Selected(c.box.Right, c.box.Bottom)) << c.name;
    EXPECT_FALSE(Selected(c.box.Right + 1, c.box.Top)) << c.name;
    EXPECT_FALSE(view->MouseDragRunning()) << c.name;
  }
  // A click without a move removes the selection.
  Click({50, 50});
  EXPECT_FALSE(view->HasSelection);
  EXPECT_TRUE(view->SelectionMask->IsEmpty());

  // Shift adds a rectangle and keeps the earlier one; Alt makes squares.
  Drag({{10, 10}, {20, 20}});
  Drag({{40, 40}, {50, 45}}, Qt::ShiftModifier);
  EXPECT_TRUE(Selected(15, 15));
  EXPECT_TRUE(Selected(45, 42));
  pointer.Press(VK_MENU);
  Drag({{60, 10}, {70, 12}});
  pointer.Release(VK_MENU);
  EXPECT_EQ(SelBox(), TRect(60, 10, 70, 20));
  EXPECT_FALSE(Selected(15, 15));
}

TEST_F(PixViewMouseTest, GripsShowTheirCursorsResizeAndFlipPastTheOppositeCorner) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelect);
  std::vector<int> reported;
  view->OnMouseInResizingGrip = [&](TObject*, int grip) { reported.push_back(grip); };
  Drag({{10, 10}, {40, 40}});
  // The frame is drawn in the selection colours, the grips as white
  // squares edged in black at the corners and the sides' middles.
  PaintNow();
  auto shown = [&](int x, int y) { return view->ClientImage().pixel(x, y) & 0xFFFFFF; };
  for (TPoint edge : {TPoint{10, 18}, TPoint{18, 10}, TPoint{40, 33}, TPoint{33, 40}})
    EXPECT_TRUE(shown(edge.x, edge.y) == 0 || shown(edge.x, edge.y) == 0xFFFFFF) << edge.x << "," << edge.y;
  EXPECT_EQ(shown(21, 21), Rgb24(TRGB{21, 21, 7}));
  for (TPoint grip : {TPoint{10, 10}, TPoint{41, 41}, TPoint{25, 10}, TPoint{41, 25}}) {
    EXPECT_EQ(shown(grip.x - 5, grip.y), 0u) << grip.x << "," << grip.y;
    EXPECT_EQ(shown(grip.x + 2, grip.y - 2), 0xFFFFFFu) << grip.x << "," << grip.y;
  }
  // Over each grip the cursor says what a press there would do; over the
  // selection it offers a move, elsewhere the default.
  struct Hover {
    TPoint at;
    int grip;
    TCursor cursor;
  };
  const Hover hovers[] = {
      {{12, 12}, 0, 1786}, {{41, 9}, 1, 1788}, {{41, 41}, 2, 1786}, {{10, 41}, 3, 1788},
      {{10, 25}, 4, 1789}, {{42, 25}, 5, 1789}, {{25, 10}, 6, 1787}, {{25, 41}, 7, 1787},
      {{25, 25}, -1, 1790}, {{60, 60}, -1, kIEDefaultViewCursor},
  };
  for (const Hover& h : hovers) {
    reported.clear();
    Move(h.at);
    EXPECT_EQ(reported, std::vector<int>{h.grip}) << h.at.x << "," << h.at.y;
    EXPECT_EQ(ControlCursor(), h.cursor) << h.at.x << "," << h.at.y;
  }
  // The top-left grip dragged past the bottom-right corner becomes the
  // bottom-right grip and goes on resizing in the same drag.
  Drag({{10, 10}, {60, 50}, {70, 60}});
  EXPECT_EQ(SelBox(), TRect(41, 41, 70, 60));
  EXPECT_TRUE(Selected(41, 41));
  EXPECT_FALSE(Selected(40, 41));
  // Alt keeps the proportions of the rectangle at the press.
  view->DeSelect();
  Drag({{10, 10}, {30, 20}});
  pointer.Press(VK_MENU);
  Drag({{31, 21}, {51, 40}});
  pointer.Release(VK_MENU);
  EXPECT_EQ(SelBox(), TRect(10, 10, 51, 32));
}

TEST_F(PixViewMouseTest, APressOnTheSelectionMovesItUnlessItIsNotMoveable) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelect);
  int changes = 0;
  view->OnSelectionChange = [&](TObject*) { ++changes; };
  Drag({{10, 10}, {30, 20}});
  changes = 0;
  Drag({{20, 15}, {22, 20}, {25, 25}});
  EXPECT_EQ(SelBox(), TRect(15, 20, 35, 30));
  EXPECT_TRUE(Selected(35, 30));
  EXPECT_FALSE(Selected(14, 20));
  EXPECT_EQ(changes, 1);
  EXPECT_EQ(view->GetPolySel(0), TPoint(15, 20));
  // Without iesoMoveable the move cursor never shows and a press on the
  // selection starts a new rectangle.
  view->SetSelectionOptions(iesoAnimated | iesoSizeable);
  Move({25, 25});
  EXPECT_EQ(ControlCursor(), kIEDefaultViewCursor);
  Drag({{25, 25}, {28, 40}});
  EXPECT_EQ(SelBox(), TRect(25, 25, 28, 40));
}

TEST_F(PixViewMouseTest, EllipsesAroundTheDownPoint) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelectCircle);
  Drag({{50, 40}, {60, 45}, {70, 50}});
  // rx 20, ry 10: Trunc(10 x 2 pi) div 4 points, the first on the right.
  EXPECT_EQ(view->GetPolySelCount(), 15);
  EXPECT_EQ(view->GetPolySel(0), TPoint(70, 40));
  EXPECT_TRUE(Selected(50, 40));
  EXPECT_TRUE(Selected(65, 40));
  EXPECT_FALSE(Selected(68, 48));
  EXPECT_FALSE(Selected(50, 52));
  // A click off the selection removes it; Alt makes a circle of the
  // larger radius.
  Click({90, 75});
  EXPECT_FALSE(view->HasSelection);
  pointer.Press(VK_MENU);
  Drag({{50, 40}, {70, 50}});
  pointer.Release(VK_MENU);
  EXPECT_EQ(view->GetPolySelCount(), 31);
  EXPECT_TRUE(Selected(50, 57));
  // Shift adds the new ellipse to the selection.
  Drag({{10, 10}, {15, 15}}, Qt::ShiftModifier);
  EXPECT_TRUE(Selected(10, 10));
  EXPECT_TRUE(Selected(50, 57));
  // A click without a move removes the selection.
  Click({80, 70});
  EXPECT_FALSE(view->HasSelection);
  // Below one picture pixel of radius the ellipse is a triangle.
  view->SetZoom(400);
  view->SetViewXY(0, 0);
  Press({40, 40});
  Move({42, 80}, Qt::LeftButton);
  EXPECT_EQ(view->GetPolySelCount(), 3);
  Release({42, 80});
}

TEST_F(PixViewMouseTest, PolygonClicksAndTheDoubleClickCloseOnTheClickedPoints) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelectPolygon);
  int changes = 0;
  view->OnSelectionChange = [&](TObject*) { ++changes; };
  Click({10, 10});
  Move({40, 10});
  Click({60, 10});
  Click({60, 50});
  EXPECT_TRUE(view->PolygonInProgress());
  EXPECT_TRUE(view->SelectionMask->IsEmpty());
  DoubleClick({10, 50});
  EXPECT_FALSE(view->PolygonInProgress());
  const std::vector<TPoint> want = {{10, 10}, {60, 10}, {60, 50}, {10, 50}};
  ASSERT_EQ(view->GetPolySelCount(), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(view->GetPolySel(i), want[i]) << i;
  EXPECT_TRUE(Selected(30, 30));
  EXPECT_FALSE(Selected(5, 5));
  EXPECT_EQ(changes, 1);

  // A new polygon replaces the selection; a change of mode closes it with
  // every point clicked so far.
  Click({70, 10});
  Click({95, 10});
  Click({95, 40});
  EXPECT_FALSE(Selected(30, 30));
  view->SetMouseInteract(miSelect);
  EXPECT_FALSE(view->PolygonInProgress());
  EXPECT_EQ(view->GetPolySelCount(), 3);
  EXPECT_TRUE(Selected(93, 20));
}

// While it is clicked, the polygon is drawn open, with an inverted line
// from its last point to the mouse.
TEST_F(PixViewMouseTest, APolygonBeingClickedIsOpenAndFollowedByItsRubberBand) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelectPolygon);
  Click({10, 10});
  Click({60, 10});
  Click({60, 50});
  Move({20, 40});
  PaintNow();
  auto shown = [&](int x, int y) { return view->ClientImage().pixel(x, y) & 0xFFFFFF; };
  auto picture = [](int x, int y) { return Rgb24(TRGB{uint8_t(x), uint8_t(y), 7}); };
  EXPECT_EQ(shown(35, 30), picture(35, 30));                // no closing edge
  EXPECT_EQ(shown(40, 45), picture(40, 45) ^ 0xFFFFFF);     // the rubber band
  // Moving on takes the old band away.
  Move({20, 20});
  EXPECT_EQ(shown(40, 45), picture(40, 45));
  DoubleClick({20, 20});
  PaintNow();
  EXPECT_NE(shown(15, 15), picture(15, 15));  // the closed outline
}

// With Alt each clicked point lies on the horizontal, vertical or diagonal
// through the one before.
TEST_F(PixViewMouseTest, AltSnapsClickedPolygonPoints) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelectPolygon);
  Click({10, 10});
  pointer.Press(VK_MENU);
  struct Case {
    TPoint click, point;
  };
  const Case cases[] = {{{60, 13}, {60, 10}}, {{63, 50}, {60, 50}}, {{38, 70}, {38, 72}}};
  int i = 1;
  for (const Case& c : cases) {
    Click(c.click);
    EXPECT_EQ(view->GetPolySel(i++), c.point) << c.click.x << "," << c.click.y;
  }
  pointer.Release(VK_MENU);
}

// A dragged rectangle becomes the view: the zoom fits it and its centre
// comes to the client's centre; no selection is left.
TEST_F(PixViewMouseTest, AZoomRectangleZoomsToWhatItCovers) {
  Gradient(400, 300);
  view->SetMouseInteract(miSelectZoom);
  Drag({{10, 10}, {30, 30}, {60, 50}});
  EXPECT_NEAR(view->GetZoom(), 16000.0 / 41, 1e-9);
  EXPECT_FALSE(view->HasSelection);
  EXPECT_FALSE(view->MouseDragRunning());
  EXPECT_EQ(view->GetViewX(), 39);
  EXPECT_EQ(view->GetViewY(), 39);
  PaintNow();  // the mapping follows the last paint
  EXPECT_EQ(view->XScr2Bmp(100), 35);
  EXPECT_EQ(view->YScr2Bmp(80), 30);
}

TEST_F(PixViewMouseTest, TheLassoFollowsTheHeldMouse) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelectLasso);
  Drag({{10, 10}, {60, 10}, {60, 50}, {10, 50}});
  EXPECT_FALSE(view->PolygonInProgress());
  EXPECT_EQ(view->GetPolySelCount(), 4);
  EXPECT_TRUE(Selected(30, 30));
  EXPECT_FALSE(Selected(70, 30));
  // Shift adds a second lasso to the first.
  Drag({{70, 10}, {90, 10}, {90, 30}}, Qt::ShiftModifier);
  EXPECT_TRUE(Selected(30, 30));
  EXPECT_TRUE(Selected(88, 15));
  Click({95, 70});
  EXPECT_FALSE(view->HasSelection);
}

TEST_F(PixViewMouseTest, MagicWandClicksSelectByColourInEachMode) {
  // A red ring with a white hole, and a red square apart from it.
  Picture24(100, 80, [](int x, int y) {
    const bool ring = x >= 20 && x <= 40 && y >= 20 && y <= 40 && !(x >= 26 && x <= 34 && y >= 26 && y <= 34);
    const bool square = x >= 60 && x <= 70 && y >= 50 && y <= 60;
    return ring || square ? TRGB{0, 0, 255} : TRGB{255, 255, 255};
  });
  view->SetMouseInteract(miSelectMagicWand);
  struct Case {
    TIEMagicWandMode mode;
    bool hole, square;
  };
  const Case cases[] = {{iewInclusive, true, false}, {iewExclusive, false, false}, {iewGlobal, false, true}};
  for (const Case& c : cases) {
    view->MagicWandMode = c.mode;
    Click({22, 22});
    EXPECT_TRUE(Selected(20, 20)) << c.mode;
    EXPECT_TRUE(Selected(40, 40)) << c.mode;
    EXPECT_FALSE(Selected(41, 40)) << c.mode;
    EXPECT_EQ(Selected(30, 30), c.hole) << c.mode;
    EXPECT_EQ(Selected(65, 55), c.square) << c.mode;
  }
  // Shift adds the region under the click.
  view->MagicWandMode = iewExclusive;
  Click({22, 22});
  Click({65, 55}, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_TRUE(Selected(20, 20));
  EXPECT_TRUE(Selected(65, 55));
  // A drag that starts on the selection moves it instead.
  Drag({{65, 55}, {66, 56}, {67, 57}});
  EXPECT_TRUE(Selected(72, 62));
  EXPECT_FALSE(Selected(60, 50));
}

TEST_F(PixViewMouseTest, ZoomClicksStepThroughTheZoomList) {
  Gradient(400, 300);
  view->SetMouseInteract(miZoom);
  struct Case {
    double from;
    Qt::MouseButton button;
    double to;
  };
  const Case cases[] = {
      {80, Qt::LeftButton, 100}, {100, Qt::LeftButton, 200}, {1, Qt::LeftButton, 2},   {40, Qt::LeftButton, 50},
      {150, Qt::RightButton, 100}, {300, Qt::RightButton, 200}, {2, Qt::RightButton, 2}, {30, Qt::RightButton, 25},
  };
  for (const Case& c : cases) {
    view->SetZoom(c.from);
    Click({3, 3}, c.button);
    EXPECT_EQ(view->GetZoom(), c.to) << c.from << " " << c.button;
  }
  // The handlers may change the zoom about to be set.
  view->SetZoom(100);
  view->OnZoomIn = [](TObject*, double& z) { z = 350; };
  view->OnZoomOut = [](TObject*, double& z) { z = 100; };
  Click({3, 3});
  EXPECT_EQ(view->GetZoom(), 350);
  Click({3, 3}, Qt::RightButton);
  EXPECT_EQ(view->GetZoom(), 100);
}

// A right click zooms out and leaves no drag behind: the grip under it
// is not taken, the selection stays, and its outline keeps marching.
TEST_F(PixViewMouseTest, NonLeftButtonsNeverMakeOrFreezeSelections) {
  TManualClock clock;
  Gradient(100, 80);
  view->AnimationTimer()->SetEnabled(false);
  view->SetMouseInteract(miZoom | miSelect);
  Drag({{10, 10}, {30, 20}});
  const TRect box = SelBox();
  Click({10, 10}, Qt::RightButton);
  EXPECT_EQ(view->GetZoom(), 75);
  EXPECT_FALSE(view->MouseDragRunning());
  EXPECT_EQ(SelBox(), box);
  const int phase = view->SelectionPolygon()->Phase;
  clock.Advance(210);
  EXPECT_EQ(view->SelectionPolygon()->Phase, (phase + 1) % 6);
  // A middle click does nothing at all.
  Click({20, 15}, Qt::MiddleButton);
  EXPECT_EQ(view->GetZoom(), 75);
  EXPECT_EQ(SelBox(), box);

  // With only selection modes a right click does nothing; in lasso mode
  // it adds no point.
  view->SetZoom(100);
  view->SetMouseInteract(miSelectLasso);
  Click({50, 50}, Qt::RightButton);
  EXPECT_EQ(view->GetZoom(), 100);
  EXPECT_FALSE(view->PolygonInProgress());
  EXPECT_EQ(SelBox(), box);
  view->SetMouseInteract(miZoom | miSelectLasso);
  const int count = view->GetPolySelCount();
  Click({50, 50}, Qt::RightButton);
  EXPECT_EQ(view->GetZoom(), 75);
  EXPECT_EQ(view->GetPolySelCount(), count);
  EXPECT_FALSE(view->PolygonInProgress());
  // A left click there zooms in and leaves no one-point lasso behind; with
  // Shift the earlier selection stays.
  Click({5, 5}, Qt::LeftButton, Qt::ShiftModifier);
  EXPECT_EQ(view->GetZoom(), 100);
  EXPECT_EQ(view->GetPolySelCount(), count);
  EXPECT_TRUE(view->HasSelection);
  Click({5, 5});
  EXPECT_EQ(view->GetZoom(), 200);
  EXPECT_FALSE(view->HasSelection);
  EXPECT_EQ(view->GetPolySelCount(), 0);
}

TEST_F(PixViewMouseTest, DragScrollingTakesTheHandAndKeepsTheFilter) {
  Gradient(400, 300);
  view->SetZoomFilter(rfTriangle);
  view->SetMouseInteract(miZoom | miScroll);
  const TCursor before = Screen->GetCursor();
  Press({100, 80});
  EXPECT_EQ(Screen->GetCursor(), 1782);
  Move({80, 70}, Qt::LeftButton);
  EXPECT_EQ(view->GetViewX(), 20);
  EXPECT_EQ(view->GetViewY(), 10);
  EXPECT_EQ(view->GetZoomFilter(), rfTriangle);
  Release({70, 60});
  EXPECT_EQ(view->GetViewX(), 30);
  EXPECT_EQ(view->GetViewY(), 20);
  EXPECT_EQ(Screen->GetCursor(), before);
  EXPECT_EQ(view->GetZoom(), 100);

  // Selection modes draw unfiltered while the button is held.
  view->SetMouseInteract(miSelect);
  Press({10, 10});
  EXPECT_EQ(view->GetZoomFilter(), rfNone);
  Move({40, 40}, Qt::LeftButton);
  EXPECT_EQ(view->GetZoomFilter(), rfNone);
  Release({40, 40});
  EXPECT_EQ(view->GetZoomFilter(), rfTriangle);
}

TEST_F(PixViewMouseTest, HoldingTheMouseOutsideThePictureScrollsToItsEdge) {
  Gradient(400, 300);
  view->SetMouseInteract(miSelect);
  int32_t maxX, maxY;
  view->GetMaxViewXY(maxX, maxY);
  Press({100, 80});
  Move({260, 120}, Qt::LeftButton);
  EXPECT_EQ(view->GetViewX(), maxX);
  EXPECT_EQ(view->GetViewY(), 0);
  Release({260, 120});
  // The rectangle runs from the press, carried along with the picture, to
  // the picture's right edge.
  EXPECT_EQ(SelBox(), TRect(100, 80, 399, 120));
}

TEST_F(PixViewMouseTest, TheWheelZoomsOrScrollsByItsParameters) {
  Gradient(400, 300);
  Wheel({50, 50}, 120);  // away from the user: 8 % out
  EXPECT_EQ(view->GetZoom(), 92);
  Wheel({50, 50}, -120);
  EXPECT_EQ(view->GetZoom(), 99);
  view->WheelParams->Action = iemwVScroll;
  const int32_t y = view->GetViewY();
  Wheel({50, 50}, -120);
  EXPECT_EQ(view->GetViewY(), y + 13);  // 8 % of the client height
  EXPECT_EQ(view->GetZoom(), 99);
}

TEST_F(PixViewMouseTest, MovesOverTheSelectionAreReported) {
  Gradient(100, 80);
  view->SetMouseInteract(miSelect);
  Drag({{10, 10}, {30, 20}});
  int inside = 0;
  view->OnMouseInSel = [&](TObject*) { ++inside; };
  for (TPoint at : {TPoint{15, 15}, TPoint{50, 50}, TPoint{30, 20}, TPoint{31, 20}}) Move(at);
  EXPECT_EQ(inside, 2);
}

}  // namespace
