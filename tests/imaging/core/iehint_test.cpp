#include "imaging/core/iehint.h"

#include <gtest/gtest.h>

#include "imaging/core/ieviewparams.h"

namespace {

QRgb Rgb(TColor c) { return ToQColor(c).rgb(); }

TSize MeasureText(const std::string& text, TFont* font) {
  TBitmap b;
  b.GetCanvas()->Font->Assign(font);
  return b.GetCanvas()->TextExtent(text);
}

// Pixels of a colour inside the edge.
int CountInside(const QImage& image, QRgb colour) {
  int n = 0;
  for (int y = 1; y < image.height() - 1; ++y)
    for (int x = 1; x < image.width() - 1; ++x) n += image.pixel(x, y) == colour;
  return n;
}

// Dark (ink) pixels inside the edge; text is antialiased, so its ink is
// black at the strokes' cores and grey at their edges.
int CountInkInside(const QImage& image) {
  int n = 0;
  for (int y = 1; y < image.height() - 1; ++y)
    for (int x = 1; x < image.width() - 1; ++x) n += qGray(image.pixel(x, y)) < 128;
  return n;
}

TEST(IEHintTest, StartsHiddenLightYellowWithBlackText) {
  TIEHint hint(nullptr);
  EXPECT_FALSE(hint.GetVisible());
  EXPECT_EQ(hint.GetColor(), 0xE0FFFF);
  EXPECT_EQ(hint.GetHintFont()->Color, clBlack);
  EXPECT_EQ(hint.GetCanvas()->Brush->Style, bsClear);
}

TEST(IEHintTest, TextSizesTheHintAndPaintsInsideARaisedEdge) {
  TIEHint hint(nullptr);
  hint.SetBounds(30, 40, 5, 5);
  hint.SetText("Zoom 200%");
  TSize extent = MeasureText("Zoom 200%", hint.GetHintFont());
  EXPECT_EQ(hint.GetLeft(), 30);
  EXPECT_EQ(hint.GetTop(), 40);
  EXPECT_EQ(hint.GetWidth(), extent.cx + 4);
  EXPECT_EQ(hint.GetHeight(), extent.cy + 4);
  EXPECT_TRUE(hint.UpdatePending());
  hint.Update();

  const QImage& image = hint.ClientImage();
  ASSERT_EQ(image.width(), extent.cx + 4);
  int right = image.width() - 1, bottom = image.height() - 1;
  EXPECT_EQ(image.pixel(0, 0), Rgb(ColorToRGB(cl3DLight)));
  EXPECT_EQ(image.pixel(0, bottom - 1), Rgb(ColorToRGB(cl3DLight)));
  EXPECT_EQ(image.pixel(right, 1), Rgb(ColorToRGB(cl3DDkShadow)));
  EXPECT_EQ(image.pixel(1, bottom), Rgb(ColorToRGB(cl3DDkShadow)));
  // One pixel of background between the edge and the text on every side.
  EXPECT_EQ(image.pixel(1, 1), Rgb(0xE0FFFF));
  EXPECT_EQ(image.pixel(right - 1, bottom - 1), Rgb(0xE0FFFF));
  EXPECT_GT(CountInkInside(image), 10);
}

TEST(IEHintTest, FontIsCopiedAndNoFontChangesNothing) {
  TIEHint hint(nullptr);
  hint.SetFont(nullptr);
  EXPECT_EQ(hint.GetHintFont()->Color, clBlack);

  TFont big;
  big.Height = -24;
  big.Color = clRed;
  hint.SetFont(&big);
  big.Color = clBlue;  // a copy, not the caller's object
  EXPECT_EQ(hint.GetHintFont()->Height, -24);
  EXPECT_EQ(hint.GetHintFont()->Color, clRed);
  hint.SetText("Wide");
  EXPECT_EQ(hint.GetHeight(), MeasureText("Wide", hint.GetHintFont()).cy + 4);
  hint.Update();
  EXPECT_GT(CountInside(hint.ClientImage(), Rgb(clRed)), 10);
  EXPECT_EQ(CountInside(hint.ClientImage(), Rgb(clBlack)), 0);
}

TEST(IEHintTest, MouseGoesThroughTheHint) {
  TIEHint hint(nullptr);
  hint.SetText("x");
  for (TPoint p : {TPoint{1, 1}, TPoint{500, 500}})
    EXPECT_EQ(hint.Perform(WM_NCHITTEST, 0, MakeLParam(p.x, p.y)), HTTRANSPARENT);
}

TEST(IEViewParamsTest, ScrollBarAndWheelOptionsStartAtTheirDefaults) {
  TIEScrollBarParams bar;
  EXPECT_EQ(bar.LineStep, -1);
  EXPECT_EQ(bar.PageStep, -1);
  EXPECT_TRUE(bar.ThumbTracking);
  TIEMouseWheelParams wheel;
  EXPECT_FALSE(wheel.Invert);
  EXPECT_EQ(wheel.Action, iemwZoom);
  EXPECT_EQ(wheel.AmountKind, iemwPercentage);
  EXPECT_EQ(wheel.Amount, 8);
  EXPECT_EQ(wheel.ZoomAnchor, iemwCenter);
}

}  // namespace
