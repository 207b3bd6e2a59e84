// The histogram box and the colour picker box: what they draw, and the
// picker driven by real presses and drags on its widget.
#include <gtest/gtest.h>

#include <QApplication>

#include "imaging/proc/pixproc.h"
#include "imaging/view/histogrambox.h"
#include "imaging/view/hsvbox.h"
#include "platform/forms.h"
#include "platform/qt_input.h"

namespace {

uint32_t At(const TBitmap& b, int x, int y) {
  const uint8_t* p = const_cast<TBitmap&>(b).ScanLine(y) + size_t(x) * 3;
  return (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
}

TEST(HistogramBoxTest, OneGrayLevelGivesOneFullBarAndAGrayRamp) {
  TWinControl parent(nullptr);
  parent.SetBounds(0, 0, 400, 200);
  TBitmap picture;
  picture.SetPixelFormat(pf24bit);
  picture.SetSize(10, 10);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 10; ++x) std::memset(picture.ScanLine(y) + x * 3, 128, 3);
  TPixProc proc(nullptr);
  proc.SetAttachedBitmap(&picture);
  auto* box = new THistogramBox(&parent);
  box->SetParent(&parent);
  box->SetBounds(20, 10, 256, 105);
  box->SetLabels(0);
  box->SetAIEP(&proc);
  const TBitmap& b = box->Buffer();
  EXPECT_EQ(box->GraphLeft, 20);  // no labels: the graph starts at the edge
  // Column 128 is one full-height black bar; its neighbours keep only
  // the bottom row every column draws.
  const int barHeight = int(1.2 * std::abs(box->GetFont()->Height));
  const int graphBottom = 105 - barHeight - 2 - 1;
  EXPECT_EQ(At(b, 128, graphBottom), 0u);
  EXPECT_EQ(At(b, 128, 1), 0u);
  EXPECT_EQ(At(b, 127, graphBottom - 1), 0xFFFFFFu);
  EXPECT_EQ(At(b, 129, 1), 0xFFFFFFu);
  // The shade bar under the graph runs from black to white.
  EXPECT_EQ(At(b, 0, 104), 0u);
  EXPECT_EQ(At(b, 255, 104), 0xFFFFFFu);
  EXPECT_EQ(At(b, 128, 104), 0x808080u);
  // No channel chosen: only the background.
  box->SetHistogramKind(0);
  EXPECT_EQ(At(b, 128, 1), 0xFFFFFFu);
  EXPECT_EQ(At(b, 128, 104), 0xFFFFFFu);
}

TEST(HSVBoxTest, SettersClampAndTellNobody) {
  THSVBox box(nullptr);
  int changes = 0;
  box.OnChange = [&](TObject*) { ++changes; };
  struct TCase {
    void (THSVBox::*set)(int);
    int value;
    int (THSVBox::*get)() const;
    int stored;
  };
  const TCase cases[] = {{&THSVBox::SetHue, 400, &THSVBox::GetHue, 359},
                         {&THSVBox::SetSat, -5, &THSVBox::GetSat, 0},
                         {&THSVBox::SetVal, 150, &THSVBox::GetVal, 99},
                         {&THSVBox::SetHue, 120, &THSVBox::GetHue, 120}};
  for (const TCase& c : cases) {
    (box.*c.set)(c.value);
    EXPECT_EQ((box.*c.get)(), c.stored);
  }
  // Hue 120, no saturation, full value: white.
  EXPECT_EQ(box.Red, 255);
  EXPECT_EQ(box.Green, 255);
  box.SetRGB(255, 0, 0);
  EXPECT_EQ(box.GetHue(), 0);
  EXPECT_EQ(box.GetSat(), 99);
  EXPECT_EQ(box.GetColor(), TColor(0x0000FF));
  box.SetColor(clBtnFace);
  EXPECT_EQ(box.GetColor(), clBtnFace);
  EXPECT_EQ(changes, 0);
}

TEST(HSVBoxTest, PressesAndDragsChooseFromTheSquareAndTheBar) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 200);
  auto* box = new THSVBox(&form);
  box->SetParent(&form);
  box->SetBounds(10, 10, 105, 105);
  form.Show();
  int changes = 0;
  box->OnChange = [&](TObject*) { ++changes; };
  const int wp = 105 - 5 - 20;  // the square's width
  // Top right of the square: full saturation and value.
  SendMouse(box, QEvent::MouseButtonPress, {wp - 1, 0}, Qt::LeftButton);
  SendMouse(box, QEvent::MouseButtonRelease, {wp - 1, 0}, Qt::NoButton);
  EXPECT_EQ(box->GetSat(), 99);
  EXPECT_EQ(box->GetVal(), 99);
  EXPECT_EQ(changes, 1);
  // A drag below the square's bottom gives value 0.
  SendMouse(box, QEvent::MouseButtonPress, {10, 50}, Qt::LeftButton);
  SendMouse(box, QEvent::MouseMove, {10, 300}, Qt::LeftButton);
  SendMouse(box, QEvent::MouseButtonRelease, {10, 300}, Qt::NoButton);
  EXPECT_EQ(box->GetVal(), 0);
  EXPECT_EQ(changes, 3);
  // A press in the gap does nothing; the bar's top is hue 359.
  SendMouse(box, QEvent::MouseButtonPress, {wp + 2, 50}, Qt::LeftButton);
  SendMouse(box, QEvent::MouseButtonRelease, {wp + 2, 50}, Qt::NoButton);
  EXPECT_EQ(changes, 3);
  SendMouse(box, QEvent::MouseButtonPress, {100, 0}, Qt::LeftButton);
  SendMouse(box, QEvent::MouseButtonRelease, {100, 0}, Qt::NoButton);
  EXPECT_EQ(box->GetHue(), 359);
  EXPECT_EQ(changes, 4);
  form.Hide();
}

// Boxes smaller than their bar and gap, one pixel high or wide, or empty:
// drawing and every press give values in range, never a division by 0.
TEST(HSVBoxTest, TinyBoxesStillChooseInRange) {
  struct TCase {
    int w, h;
    TPoint press;
    int hue, sat, val;  // after the press; -1: only in range
  };
  // A single row or column stands for the top of its range.
  const TCase cases[] = {{0, 0, {0, 0}, 200, 50, 50},    {1, 1, {0, 0}, -1, -1, -1},    {2, 2, {1, 1}, -1, -1, -1},
                         {26, 1, {0, 0}, 200, 99, 99},   {26, 1, {25, 0}, 359, 50, 50}, {1, 40, {0, 39}, -1, -1, -1},
                         {24, 30, {3, 29}, -1, -1, -1},  {27, 30, {0, 0}, -1, -1, -1}};
  TForm form(nullptr);
  form.SetBounds(0, 0, 120, 120);
  form.Show();
  for (const TCase& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.w << "x" << c.h << " at " << c.press.x << "," << c.press.y);
    auto* box = new THSVBox(&form);
    box->SetParent(&form);
    box->SetBounds(4, 4, c.w, c.h);
    box->SetHue(200);
    box->SetSat(50);
    box->SetVal(50);
    if (c.w > 0 && c.h > 0) {
      SendMouse(box, QEvent::MouseButtonPress, c.press, Qt::LeftButton);
      SendMouse(box, QEvent::MouseMove, {c.press.x + 3, c.press.y - 3}, Qt::LeftButton);
      SendMouse(box, QEvent::MouseButtonRelease, c.press, Qt::NoButton);
    }
    if (c.hue >= 0) EXPECT_EQ(box->GetHue(), c.hue);
    if (c.sat >= 0) EXPECT_EQ(box->GetSat(), c.sat);
    if (c.val >= 0) EXPECT_EQ(box->GetVal(), c.val);
    box->SetHueBarWidth(40);
    box->SetBarsDistance(9);
    EXPECT_GE(box->GetHue(), 0);
    EXPECT_LE(box->GetHue(), 359);
    EXPECT_GE(box->GetSat(), 0);
    EXPECT_LE(box->GetSat(), 99);
    EXPECT_GE(box->GetVal(), 0);
    EXPECT_LE(box->GetVal(), 99);
    delete box;
  }
  form.Hide();
}

}  // namespace
