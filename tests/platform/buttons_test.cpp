#include <gtest/gtest.h>

#include "control_log.h"
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
