#include <gtest/gtest.h>

#include "control_log.h"
#include "platform/extctrls.h"

namespace {

TEST(RadioGroupTest, ItemIndexChecksAnEntryAndClicks) {
  TRadioGroup group(nullptr);
  group.SetBounds(0, 0, 200, 120);
  group.SetColumns(2);
  for (const char* s : {"0", "90", "180", "270"}) group.GetItems()->Add(s);
  std::vector<int> clicks;
  group.OnClick = [&](TObject*) { clicks.push_back(group.GetItemIndex()); };
  group.SetItemIndex(1);
  group.SetItemIndex(1);
  group.SetItemIndex(9);  // out of range: none chosen, no click
  TRect third = group.ItemRect(2);
  EXPECT_GT(third.Left, group.ItemRect(0).Left);  // second column
  group.Perform(WM_LBUTTONDOWN, MK_LBUTTON, XY(third.Left + 2, third.Top + 2));
  group.Perform(WM_LBUTTONUP, 0, XY(third.Left + 2, third.Top + 2));
  EXPECT_EQ(clicks, (std::vector<int>{1, 2}));
  group.GetItems()->Clear();
  EXPECT_EQ(group.GetItemIndex(), -1);
}

TEST(PanelTest, BevelsTakeRoomAndCaptionPaints) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  TPanel panel(nullptr);
  panel.SetParent(&form);
  panel.SetBounds(0, 0, 100, 40);
  panel.BevelInner = bvLowered;
  panel.BorderWidth = 2;
  EXPECT_EQ(panel.InnerRect(), Rect(4, 4, 96, 36));
  panel.SetColor(clRed);
  panel.Repaint();
  EXPECT_EQ(PixelAt(panel.ClientImage(), 10, 10), clRed);
  EXPECT_EQ(PixelAt(panel.ClientImage(), 0, 10), ColorToRGB(clBtnHighlight));
  panel.SetParent(nullptr);
}

// A panel painted onto a bitmap brings its graphic and windowed children,
// painted afresh (not whatever its image held), at the offset asked for.
TEST(PanelTest, PaintToCopiesThePanelWithAllItsChildrenAtAnOffset) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 200, 100);
  TPanel panel(nullptr);
  panel.SetParent(&form);
  panel.BevelOuter = bvNone;
  panel.SetBounds(0, 0, 60, 40);
  panel.SetColor(clWhite);
  TShape shape(nullptr);
  shape.SetParent(&panel);
  shape.SetBounds(5, 5, 10, 10);
  shape.GetBrush()->Color = clRed;
  shape.GetPen()->Color = clRed;
  TPanel inner(nullptr);
  inner.SetParent(&panel);
  inner.BevelOuter = bvNone;
  inner.SetBounds(30, 20, 20, 10);
  inner.SetColor(clBlue);
  panel.ClientImage().fill(Qt::black);  // stale pixels must not come along
  TBitmap target;
  target.SetSize(80, 50);
  panel.PaintTo(target.GetCanvas(), 7, 3);
  struct Probe {
    int x, y;
    TColor color;
  } probes[] = {{7 + 1, 3 + 1, clWhite},   {7 + 9, 3 + 9, clRed},    {7 + 35, 3 + 25, clBlue},
                {7 + 59, 3 + 39, clWhite}, {7 + 60, 3 + 39, clWhite}, {3, 1, clWhite}};
  for (const Probe& p : probes) {
    SCOPED_TRACE(::testing::Message() << p.x << "," << p.y);
    EXPECT_EQ(target.GetCanvas()->GetPixel(p.x, p.y), p.color);
  }
  EXPECT_EQ(target.GetCanvas()->GetPixel(7 + 40, 3 + 29), clBlue);
  EXPECT_EQ(target.GetCanvas()->GetPixel(7 + 50, 3 + 29), clWhite);

  // Any picture format, clipped or partly outside: the same pixels where
  // the canvas may draw, nothing elsewhere.
  for (const TPixelFormat format : {pf32bit, pf8bit, pf24bit}) {
    SCOPED_TRACE(int(format));
    TBitmap other;
    other.SetPixelFormat(format);
    other.SetSize(40, 30);
    other.GetCanvas()->Brush->Color = clBlack;
    other.GetCanvas()->FillRect(Rect(0, 0, 40, 30));
    if (format == pf24bit) other.GetCanvas()->IntersectClipRect(Rect(0, 0, 20, 30));
    panel.PaintTo(other.GetCanvas(), -20, -10);
    other.GetCanvas()->SelectClipRegion(nullptr);
    EXPECT_EQ(other.GetCanvas()->GetPixel(15, 15), clBlue);  // panel (35, 25)
    EXPECT_EQ(other.GetCanvas()->GetPixel(5, 5), clWhite);
    EXPECT_EQ(other.GetCanvas()->GetPixel(39, 29), format == pf24bit ? clBlack : clWhite);
  }
  inner.SetParent(nullptr);
  shape.SetParent(nullptr);
  panel.SetParent(nullptr);
}

TEST(ImageTest, StretchCenterAutoSizeAndDrawing) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 300, 300);
  form.SetColor(clWhite);
  TImage image(nullptr);
  image.SetParent(&form);
  image.SetBounds(10, 10, 40, 20);
  TBitmap bmp;
  bmp.SetSize(10, 10);
  bmp.GetCanvas()->Brush->Color = clBlue;
  bmp.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  image.GetPicture()->SetBitmap(&bmp);
  EXPECT_EQ(image.DestRect(), Rect(0, 0, 10, 10));
  image.SetCenter(true);
  EXPECT_EQ(image.DestRect(), Rect(15, 5, 25, 15));
  image.SetStretch(true);
  form.Repaint();
  EXPECT_EQ(PixelAt(form.ClientImage(), 48, 28), clBlue);
  EXPECT_EQ(PixelAt(form.ClientImage(), 51, 28), clWhite);
  image.SetAutoSize(true);
  EXPECT_EQ(image.GetWidth(), 10);
  // Drawing on the image's canvas draws into its picture.
  image.GetCanvas()->SetPixel(0, 0, clRed);
  EXPECT_EQ(image.GetPicture()->GetBitmap()->GetCanvas()->GetPixel(0, 0), clRed);
  image.SetParent(nullptr);
}

TEST(ShapeTest, DrawsWithItsPenAndBrush) {
  TForm form(nullptr);
  form.SetBounds(0, 0, 100, 100);
  form.SetColor(clWhite);
  TShape shape(nullptr);
  shape.SetParent(&form);
  shape.SetBounds(10, 10, 30, 20);
  shape.GetBrush()->Color = clLime;
  shape.GetPen()->Color = clRed;
  shape.SetShape(stSquare);
  form.Repaint();
  // The square is centred in the 30 x 20 box: 20 wide from x = 15.
  EXPECT_EQ(PixelAt(form.ClientImage(), 15, 15), clRed);
  EXPECT_EQ(PixelAt(form.ClientImage(), 20, 20), clLime);
  EXPECT_EQ(PixelAt(form.ClientImage(), 12, 20), clWhite);
  shape.SetParent(nullptr);
}

TEST(ScrollBoxTest, BarsFollowTheChildrenAndScrollMovesThem) {
  TScrollBox box(nullptr);
  box.SetBounds(0, 0, 104, 104);
  TPanel inner(nullptr);
  inner.SetParent(&box);
  inner.SetBounds(0, 0, 300, 50);
  box.UpdateScrollBars();
  EXPECT_TRUE(box.ScrollBar(SB_HORZ).Visible);
  EXPECT_FALSE(box.ScrollBar(SB_VERT).Visible);
  box.Perform(WM_HSCROLL, MakeWParam(SB_THUMBPOSITION, 50));
  EXPECT_EQ(inner.GetLeft(), -50);
  box.Perform(WM_HSCROLL, MakeWParam(SB_BOTTOM, 0));
  EXPECT_EQ(inner.GetLeft() + inner.GetWidth(), box.GetClientWidth());
  box.Perform(WM_HSCROLL, MakeWParam(SB_TOP, 0));
  EXPECT_EQ(inner.GetLeft(), 0);
  inner.SetParent(nullptr);
}

TEST(ControlBarTest, BandsLineUpAndWrap) {
  TControlBar bar(nullptr);
  bar.SetBounds(0, 0, 200, 100);
  TPanel a(nullptr), b(nullptr);
  a.SetParent(&bar);
  b.SetParent(&bar);
  a.SetBounds(0, 0, 120, 22);
  b.SetBounds(0, 0, 120, 22);
  bar.ArrangeBands();
  EXPECT_EQ(a.GetTop(), b.GetTop() - 24);
  EXPECT_EQ(b.GetLeft(), a.GetLeft());
  a.SetParent(nullptr);
  b.SetParent(nullptr);
}

}  // namespace
