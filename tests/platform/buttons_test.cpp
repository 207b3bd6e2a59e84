#include <gtest/gtest.h>

#include <map>

#include "control_log.h"
#include "qt_input.h"
#include "platform/buttons.h"

namespace {

void ClickAt(TControl& c) {
  c.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(2, 2));
  c.Perform(WM_LBUTTONUP, 0, XY(2, 2));
}

TEST(SpeedButtonTest, GroupsKeepOneDownAndAllowAllUpLetsItRise) {
  TForm form(nullptr);
  TSpeedButton a(nullptr), b(nullptr), lone(nullptr);
  for (TSpeedButton* s : {&a, &b, &lone}) s->SetParent(&form);
  a.GroupIndex = b.GroupIndex = 5;
  int clicks = 0;
  b.OnClick = [&](TObject*) { ++clicks; };
  a.SetDown(true);
  ClickAt(b);
  EXPECT_TRUE(b.GetDown());
  EXPECT_FALSE(a.GetDown());
  ClickAt(b);  // the last one down stays down
  EXPECT_TRUE(b.GetDown());
  b.SetAllowAllUp(true);
  EXPECT_TRUE(a.GetAllowAllUp());
  ClickAt(b);
  EXPECT_FALSE(b.GetDown());
  EXPECT_EQ(clicks, 3);
  lone.SetDown(true);  // group 0 never stays down
  EXPECT_FALSE(lone.GetDown());
  // A release off the button is no click.
  b.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(2, 2));
  b.Perform(WM_LBUTTONUP, 0, XY(200, 2));
  EXPECT_EQ(clicks, 3);
  for (TSpeedButton* s : {&a, &b, &lone}) s->SetParent(nullptr);
}

TEST(BitBtnTest, KindGivesModalResultAndCaption) {
  TForm form(nullptr);
  TBitBtn btn(nullptr);
  btn.SetParent(&form);
  btn.SetKind(bkCancel);
  EXPECT_EQ(btn.GetCaption(), "Cancel");
  ClickAt(btn);
  EXPECT_EQ(form.ModalResult, mrCancel);
  btn.SetParent(nullptr);
}

TEST(BitBtnTest, CloseKindClosesItsForm) {
  TForm form(nullptr);
  form.Show();
  TBitBtn btn(nullptr);
  btn.SetParent(&form);
  btn.SetKind(bkClose);
  int clicks = 0;
  btn.OnClick = [&](TObject*) { ++clicks; };
  ClickAt(btn);
  EXPECT_FALSE(form.GetVisible());
  EXPECT_EQ(clicks, 0);
  btn.SetParent(nullptr);
}

}  // namespace

// Buttons under real clicks -----------------------------------------------------------------

namespace {

struct ClickFixture {
  TForm form{nullptr};
  TSpeedButton plain{nullptr}, a{nullptr}, b{nullptr};
  std::map<TSpeedButton*, int> clicks;
  ClickFixture() {
    form.SetBounds(0, 0, 200, 80);
    int x = 10;
    for (TSpeedButton* s : {&plain, &a, &b}) {
      s->SetParent(&form);
      s->SetBounds(x, 10, 30, 24);
      s->OnClick = [this, s](TObject*) { ++clicks[s]; };
      x += 40;
    }
    a.GroupIndex = b.GroupIndex = 1;
    form.Show();
  }
  ~ClickFixture() {
    for (TSpeedButton* s : {&plain, &a, &b}) s->SetParent(nullptr);
  }
};

TEST(SpeedButtonInputTest, EveryQuickClickCountsAlsoWhenItArrivesAsADoubleClick) {
  ClickFixture f;
  for (int i = 0; i < 5; ++i) WindowClick(&f.plain, {5, 5});
  EXPECT_EQ(f.clicks[&f.plain], 5);
  // Press, release, press (a double click), release: two clicks.
  WindowClick(&f.plain, {5, 5}, Qt::LeftButton, true);
  WindowClick(&f.plain, {5, 5}, Qt::LeftButton, true);
  EXPECT_EQ(f.clicks[&f.plain], 9);
  for (int i = 0; i < 5; ++i) WidgetClick(&f.plain, {5, 5});
  EXPECT_EQ(f.clicks[&f.plain], 14);
  EXPECT_EQ(GetCaptureControl(), nullptr);
}

TEST(SpeedButtonInputTest, GroupRulesHoldUnderRealClicks) {
  ClickFixture f;
  struct Step {
    TSpeedButton ClickFixture::*button;
    bool dbl, allowAllUp, aDown, bDown;
  } steps[] = {
      {&ClickFixture::a, false, false, true, false},
      {&ClickFixture::b, false, false, false, true},
      {&ClickFixture::b, true, false, false, true},   // the last one down stays down
      {&ClickFixture::a, true, true, false, false},   // down, then up again
      {&ClickFixture::b, false, true, false, true},
      {&ClickFixture::b, false, true, false, false},
  };
  for (const Step& s : steps) {
    f.a.SetAllowAllUp(s.allowAllUp);
    WindowClick(&(f.*s.button), {5, 5}, Qt::LeftButton, s.dbl);
    EXPECT_EQ(f.a.GetDown(), s.aDown);
    EXPECT_EQ(f.b.GetDown(), s.bDown);
  }
  EXPECT_EQ(f.clicks[&f.a], 3);
  EXPECT_EQ(f.clicks[&f.b], 5);
}

}  // namespace
