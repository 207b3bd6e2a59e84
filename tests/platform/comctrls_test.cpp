#include <gtest/gtest.h>

#include "control_log.h"
#include "platform/comctrls.h"

namespace {

TEST(TrackBarTest, OnChangeFiresOnEveryPositionChangeFromCodeAndUser) {
  TTrackBar bar(nullptr);
  bar.SetMax(100);
  std::vector<int> seen;
  bar.OnChange = [&](TObject*) { seen.push_back(bar.GetPosition()); };
  bar.SetPosition(50);
  bar.SetPosition(50);
  bar.SetPosition(500);  // clamped to Max
  bar.Perform(WM_KEYDOWN, VK_LEFT);
  bar.Perform(WM_KEYDOWN, VK_HOME);
  bar.SetMin(-100);
  bar.SetMax(-10);  // the position is pulled into the new range
  EXPECT_EQ(seen, (std::vector<int>{50, 100, 99, 0, -10}));
  // Dragging the thumb to the far end.
  bar.SetBounds(0, 0, 150, 45);
  bar.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(0, 5));
  bar.Perform(WM_LBUTTONUP, 0, XY(0, 5));
  EXPECT_EQ(bar.GetPosition(), -100);
}

TEST(UpDownTest, UserStepsWrapOrStopAndShowInTheEdit) {
  TEdit edit(nullptr);
  TUpDown ud(nullptr);
  ud.SetMin(0);
  ud.SetMax(10);
  ud.SetAssociate(&edit);
  std::vector<std::string> log;
  ud.OnClick = [&](TObject*, TUDBtnType b) { log.push_back((b == btNext ? "next " : "prev ") + edit.GetText()); };
  ud.SetPosition(10);  // from code: no click
  EXPECT_EQ(edit.GetText(), "10");
  ud.UserStep(btNext);
  ud.Wrap = true;
  ud.UserStep(btNext);
  edit.SetText("5");  // a typed number is where the step starts
  ud.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(2, ud.GetHeight() - 2));
  EXPECT_EQ(log, (std::vector<std::string>{"next 10", "next 0", "prev 4"}));
  ud.SetMax(5000);
  ud.SetPosition(1234);
  EXPECT_EQ(edit.GetText(), "1,234");
}

TEST(ProgressBarTest, PositionStaysInRange) {
  TProgressBar p(nullptr);
  p.SetPosition(150);
  EXPECT_EQ(p.GetPosition(), 100);
  p.SetMax(10);
  EXPECT_EQ(p.GetPosition(), 10);
  p.SetPosition(0);
  p.StepIt();
  EXPECT_EQ(p.GetPosition(), 10);
}

TEST(PageControlTest, CodeChangesSilentlyTheUserThroughChangingAndChange) {
  TPageControl pages(nullptr);
  TTabSheet a(nullptr), b(nullptr), c(nullptr);
  a.SetCaption("JPEG");
  b.SetCaption("TIFF");
  c.SetCaption("GIF");
  for (TTabSheet* s : {&a, &b, &c}) s->SetPageControl(&pages);
  EXPECT_EQ(pages.GetActivePage(), &a);
  std::vector<std::string> log;
  bool allow = true;
  pages.OnChanging = [&](TObject*, bool& ok) {
    log.push_back("changing " + pages.GetActivePage()->GetCaption());
    ok = allow;
  };
  pages.OnChange = [&](TObject*) { log.push_back("change " + pages.GetActivePage()->GetCaption()); };
  pages.SetActivePage(&c);
  EXPECT_TRUE(log.empty());
  EXPECT_TRUE(c.GetVisible());
  EXPECT_FALSE(a.GetVisible());
  b.SetTabVisible(false);
  EXPECT_EQ(b.GetTabIndex(), -1);
  EXPECT_EQ(c.GetTabIndex(), 1);
  TRect tab = pages.TabRect(0);
  pages.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(tab.Left + 2, tab.Top + 2));
  allow = false;
  pages.UserSelectTab(1);
  EXPECT_EQ(log, (std::vector<std::string>{"changing GIF", "change JPEG", "changing JPEG"}));
  EXPECT_EQ(pages.GetActivePageIndex(), 0);
  // Hiding the shown page's tab moves to the next visible page.
  a.SetTabVisible(false);
  EXPECT_EQ(pages.GetActivePage(), &c);
  for (TTabSheet* s : {&a, &b, &c}) s->SetPageControl(nullptr);
  EXPECT_EQ(pages.GetActivePage(), nullptr);
}

TEST(StatusBarTest, PanelsAndSimpleText) {
  TStatusBar bar(nullptr);
  bar.SetBounds(0, 0, 800, 19);
  for (int w : {250, 150, 372}) bar.GetPanels()->Add()->SetWidth(w);
  bar.GetPanels()->Items(1)->SetText("X:3    Y:4");
  EXPECT_EQ(bar.GetPanels()->Items(1)->GetText(), "X:3    Y:4");
  EXPECT_EQ(bar.PanelRect(1), Rect(250, 2, 400, 19));
  EXPECT_EQ(bar.PanelRect(2).Right, 800);  // the last takes the rest
  EXPECT_EQ(bar.GetPanels()->Items(2)->Index(), 2);
  EXPECT_THROW(bar.GetPanels()->Items(3), EListError);
  bar.SetSimplePanel(true);
  bar.SetSimpleText("第3页共10页");
  EXPECT_EQ(bar.GetSimpleText(), "第3页共10页");
}

}  // namespace
