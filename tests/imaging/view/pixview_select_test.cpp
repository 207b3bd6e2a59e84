#include "imaging/core/iemask.h"
#include "pixview_fixture.h"
#include "platform/timers.h"

namespace {

TEST_F(PixViewTest, RectangleSelectionStoresOnePastTheEndAndReportsInclusive) {
  PlainPicture(50, 40);
  view->SelectionBase = iesbBitmap;
  view->Select(10, 5, 20, 15);
  EXPECT_TRUE(view->HasSelection);
  ASSERT_EQ(view->GetPolySelCount(), 4);
  EXPECT_EQ(view->SelectionPolygon()->X2, 21);
  EXPECT_EQ(view->GetSelX1(), 10);
  EXPECT_EQ(view->GetSelX2(), 20);
  EXPECT_EQ(view->GetSelY2(), 15);
  EXPECT_TRUE(view->IsPointInsideSelection(20, 15));
  EXPECT_FALSE(view->IsPointInsideSelection(21, 15));
  EXPECT_EQ(view->GetPolySel(-1).x, 0);
  EXPECT_EQ(view->GetPolySel(4).y, 0);
}

TEST_F(PixViewTest, AddKeepsTheMaskAndReplaceStartsAgain) {
  PlainPicture(50, 40);
  view->SelectionBase = iesbBitmap;
  view->Select(0, 0, 4, 4);
  view->Select(10, 10, 14, 14, iespAdd);
  EXPECT_TRUE(view->IsPointInsideSelection(2, 2));
  EXPECT_TRUE(view->IsPointInsideSelection(12, 12));
  EXPECT_EQ(view->GetPolySel(4).x, TIEMask::PolygonSeparator);
  view->Select(20, 20, 24, 24, iespReplace);
  EXPECT_FALSE(view->IsPointInsideSelection(2, 2));
  EXPECT_TRUE(view->IsPointInsideSelection(22, 22));
  // Out-of-picture corners are limited, a degenerate rectangle ignored.
  view->Select(-30, -30, 500, 500);
  EXPECT_EQ(view->GetSelX2(), 49);
  EXPECT_EQ(view->GetSelY2(), 39);
  view->Select(5, 5, 5, 9);
  EXPECT_EQ(view->GetSelX2(), 49);
}

TEST_F(PixViewTest, EmptyPolygonLeavesNoSelectionAndDeselectClearsAll) {
  PlainPicture(50, 40);
  view->SelectionBase = iesbBitmap;
  view->AddSelPoint(5, 5);
  view->AddSelPoint(5, 5);
  view->AddSelPoint(5, 5);
  EXPECT_FALSE(view->HasSelection);
  EXPECT_EQ(view->GetPolySelCount(), 0);
  view->Select(1, 1, 9, 9);
  view->DeSelect();
  EXPECT_FALSE(view->HasSelection);
  EXPECT_TRUE(view->SelectionMask->IsEmpty());
  EXPECT_EQ(view->GetPolySelCount(), 0);
  // Inverting nothing changes nothing.
  view->InvertSelection();
  EXPECT_TRUE(view->SelectionMask->IsEmpty());
  // A new picture size removes the selection.
  view->Select(1, 1, 9, 9);
  PlainPicture(60, 40);
  EXPECT_FALSE(view->HasSelection);
  EXPECT_EQ(view->SelectionMask->Width, 60);
}

TEST_F(PixViewTest, TimerAdvancesTheDashesEvery210MillisecondsUntilSixTicksRepeat) {
  TManualClock clock;
  PlainPicture(50, 40);
  // Timers started before the clock was installed are rescheduled on it.
  view->AnimationTimer()->SetEnabled(false);
  view->SelectionBase = iesbBitmap;
  // A polygon not yet filled into the mask shows its own dashed edges.
  TIEAnimPoly* p = view->SelectionPolygon();
  view->AnimPolygonAddPtEx(p, 2, 2);
  view->AnimPolygonAddPtEx(p, 30, 2);
  view->AnimPolygonAddPtEx(p, 30, 20);
  view->ShowSelectionEx(true);
  ASSERT_TRUE(view->AnimationTimer()->GetEnabled());
  EXPECT_EQ(view->AnimationTimer()->GetInterval(), 210u);
  const int phase0 = p->Phase;
  clock.Advance(210);
  EXPECT_EQ(p->Phase, (phase0 + 1) % 6);
  // The edge's pixels carry 3-pixel dashes starting at the phase.
  for (int x = 2; x < 14; ++x) {
    const int counter = (p->Phase + (x - 2)) % 6;
    EXPECT_EQ(Shown(x, 2), counter < 3 ? 0u : 0xFFFFFFu) << x;
  }
  clock.Advance(210 * 5);
  EXPECT_EQ(p->Phase, (phase0 + 6) % 6);
  view->DeSelect();
  clock.Advance(210 * 3);
  EXPECT_FALSE(view->AnimationTimer()->GetEnabled());
}

TEST_F(PixViewTest, RectanglePredicate) {
  const TPoint rect[] = {{0, 0}, {5, 0}, {5, 5}, {0, 5}};
  const TPoint skew[] = {{0, 0}, {5, 1}, {5, 5}, {0, 5}};
  const TPoint three[] = {{0, 0}, {5, 0}, {5, 5}};
  EXPECT_TRUE(_IsRectangle(rect, 4));
  EXPECT_FALSE(_IsRectangle(skew, 4));
  EXPECT_FALSE(_IsRectangle(three, 3));
}

}  // namespace
