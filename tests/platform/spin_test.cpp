// The spin edit through real keys and clicks on its widgets.
#include <gtest/gtest.h>

#include <QTest>

#include "platform/qt_input.h"
#include "platform/spin.h"

namespace {

TEST(SpinEditTest, ArrowsKeysAndLeavingKeepTheValueWithinItsLimits) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 100);
  TSpinEdit spin(nullptr);
  spin.SetParent(&form);
  spin.SetBounds(10, 10, 80, 22);
  TEdit other(nullptr);
  other.SetParent(&form);
  other.SetBounds(100, 10, 80, 22);
  spin.SetMinValue(20);
  spin.SetMaxValue(200);
  spin.Increment = 10;
  spin.SetValue(500);  // from code too, brought within the limits
  EXPECT_EQ(spin.GetText(), "200");
  std::vector<std::string> changes;
  spin.OnChange = [&](TObject*) { changes.push_back(spin.GetText()); };
  form.Show();

  TUpDown* arrows = spin.Button();
  EXPECT_EQ(arrows->GetLeft() + arrows->GetWidth(), spin.GetClientWidth());
  WidgetClick(arrows, {arrows->GetWidth() / 2, 3});  // the upper arrow, at the top limit
  WidgetClick(arrows, {arrows->GetWidth() / 2, arrows->GetHeight() - 3});
  EXPECT_EQ(spin.GetValue(), 190);
  WidgetClick(&spin, {4, 10});
  QTest::keyClick(spin.Widget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(spin.Widget(), "25");
  QTest::keyClick(spin.Widget(), Qt::Key_Down);
  EXPECT_EQ(spin.GetValue(), 20);  // 15 is below the limit
  QTest::keyClick(spin.Widget(), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(spin.Widget(), "7");  // typing is free ...
  EXPECT_EQ(spin.GetValue(), 7);
  WidgetClick(&other, {4, 10});  // ... until the edit is left
  EXPECT_EQ(spin.GetText(), "20");
  EXPECT_EQ(changes, (std::vector<std::string>{"190", "2", "25", "20", "7", "20"}));

  spin.SetText("abc");
  EXPECT_EQ(spin.GetValue(), 20);  // no number: the lower limit
  spin.SetMinValue(0);
  spin.SetMaxValue(0);  // no limits
  spin.SetValue(-5000);
  EXPECT_EQ(spin.GetValue(), -5000);
  spin.SetParent(nullptr);
  other.SetParent(nullptr);
}

}  // namespace
