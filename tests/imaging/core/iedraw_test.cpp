#include "imaging/core/iedraw.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/graphics.h"

namespace {

TColor Gray(int v) { return RGB(uint8_t(v), uint8_t(v), uint8_t(v)); }

// A white 24-bit bitmap to draw on.
struct TPicture {
  TPicture(int w, int h) {
    bitmap.SetSize(w, h);
    Canvas()->Brush->Color = clWhite;
    Canvas()->FillRect(Rect(0, 0, w, h));
  }
  TCanvas* Canvas() { return bitmap.GetCanvas(); }
  TColor At(int x, int y) { return Canvas()->GetPixel(x, y); }
  // The picture as rows of letters, one per pixel, from a colour legend;
  // '?' for a colour not in it.
  std::vector<std::string> Rows(const std::vector<std::pair<char, TColor>>& legend) {
    std::vector<std::string> rows;
    for (int y = 0; y < bitmap.GetHeight(); ++y) {
      std::string row;
      for (int x = 0; x < bitmap.GetWidth(); ++x) {
        char letter = '?';
        for (auto [l, c] : legend)
          if (At(x, y) == c) letter = l;
        row += letter;
      }
      rows.push_back(row);
    }
    return rows;
  }
  TBitmap bitmap;
};

TEST(IEDrawTest, ThreeDRectDrawsLeftTopInOneColourBottomRightInTheOther) {
  TPicture p(10, 10);
  // The routine sets its own pen style and mode.
  p.Canvas()->Pen->Mode = pmXor;
  p.Canvas()->Pen->Style = psDot;
  IEDraw3DRect(p.Canvas(), 1, 1, 8, 8, clRed, clBlue);
  EXPECT_EQ(p.Rows({{'.', clWhite}, {'R', clRed}, {'B', clBlue}}), (std::vector<std::string>{
                                                                       "..........",
                                                                       ".RRRRRRR..",
                                                                       ".R......B.",
                                                                       ".R......B.",
                                                                       ".R......B.",
                                                                       ".R......B.",
                                                                       ".R......B.",
                                                                       ".R......B.",
                                                                       ".BBBBBBBB.",
                                                                       "..........",
                                                                   }));
}

// Each shadow test runs for the right shadow as given and for the bottom
// shadow with x and y exchanged.
struct TShadowSide {
  const char* name;
  void (*draw)(TCanvas*, int, int, int, int, TIEShadowType);
  bool transposed;
};
const TShadowSide kSides[] = {{"right", IERightShadow, false}, {"bottom", IEBottomShadow, true}};

TEST(IEDrawTest, Smooth1ShadowIsARampOfSlantedLines) {
  const int grays[] = {93, 114, 139, 170, 208};
  for (const TShadowSide& side : kSides) {
    TPicture p(30, 30);
    // Along the picture: 2..6 across, 1..20 along.
    auto at = [&](int across, int along) { return side.transposed ? p.At(along, across) : p.At(across, along); };
    if (side.transposed)
      side.draw(p.Canvas(), 1, 2, 20, 6, iestSmooth1);
    else
      side.draw(p.Canvas(), 2, 1, 6, 20, iestSmooth1);
    for (int c = 0; c < 5; ++c) {
      SCOPED_TRACE(std::string(side.name) + " line " + std::to_string(c));
      // Starts 5 (the shadow's depth) below the top, ends before y2 - 5 + c + 3.
      EXPECT_EQ(at(2 + c, 5), clWhite);
      EXPECT_EQ(at(2 + c, 6), Gray(grays[c]));
      EXPECT_EQ(at(2 + c, 17 + c), Gray(grays[c]));
      EXPECT_EQ(at(2 + c, 18 + c), clWhite);
    }
    EXPECT_EQ(at(7, 10), clWhite);
  }
}

TEST(IEDrawTest, SolidShadowFillsWithTheBrushBelowItsDepth) {
  for (const TShadowSide& side : kSides) {
    SCOPED_TRACE(side.name);
    TPicture p(30, 30);
    auto at = [&](int across, int along) { return side.transposed ? p.At(along, across) : p.At(across, along); };
    p.Canvas()->Brush->Color = clGreen;
    if (side.transposed)
      side.draw(p.Canvas(), 1, 2, 20, 6, iestSolid);
    else
      side.draw(p.Canvas(), 2, 1, 6, 20, iestSolid);
    // The rectangle from (x1, y1 + depth) to (x2, y2 + 1), right and
    // bottom edges left out as the brush fill does.
    EXPECT_EQ(at(2, 6), clGreen);
    EXPECT_EQ(at(5, 20), clGreen);
    EXPECT_EQ(at(6, 6), clWhite);
    EXPECT_EQ(at(2, 5), clWhite);
    EXPECT_EQ(at(2, 21), clWhite);
  }
}

TEST(IEDrawTest, Smooth2ShadowBlendsTheRampWithARowLevelAndSlantsTheCorner) {
  // 4 across by 6 along at (1, 1); '.' is left untouched. The ramp reaches
  // one pixel past both far edges.
  const std::vector<std::vector<int>> expected = {
      {255, 255, 255, 255, 255}, {154, 154, 154, 198, 255}, {93, 120, 154, 198, 255}, {93, 120, 154, 198, 255},
      {-1, 120, 154, 198, 255},  {-1, -1, 154, 198, 255},   {-1, -1, -1, 198, 255},
  };
  for (const TShadowSide& side : kSides) {
    SCOPED_TRACE(side.name);
    TPicture p(10, 10);
    p.Canvas()->Brush->Color = clRed;
    p.Canvas()->FillRect(Rect(0, 0, 10, 10));
    auto at = [&](int across, int along) { return side.transposed ? p.At(along, across) : p.At(across, along); };
    if (side.transposed)
      side.draw(p.Canvas(), 1, 1, 6, 4, iestSmooth2);
    else
      side.draw(p.Canvas(), 1, 1, 4, 6, iestSmooth2);
    for (int along = 0; along < 10; ++along)
      for (int across = 0; across < 10; ++across) {
        int a = along - 1, c = across - 1;
        bool inside = a >= 0 && a < 7 && c >= 0 && c < 5 && expected[a][c] >= 0;
        EXPECT_EQ(at(across, along), inside ? Gray(expected[a][c]) : clRed) << across << "," << along;
      }
  }
}

TEST(IEDrawTest, NoShadowDrawsNothing) {
  for (const TShadowSide& side : kSides) {
    TPicture p(12, 12);
    side.draw(p.Canvas(), 1, 1, 6, 8, iestNone);
    EXPECT_EQ(p.Rows({{'.', clWhite}}), std::vector<std::string>(12, std::string(12, '.'))) << side.name;
  }
}

TEST(IEDrawTest, HintBoxStaysInsideSavesWhatItCoversAndIsFramed) {
  struct TCase {
    int x, y;
    std::function<int(int w)> expectX;
    std::function<int(int h)> expectY;
  };
  const int maxX = 200, maxY = 100;
  const TCase cases[] = {
      {-5, 3, [](int) { return 0; }, [](int) { return 3; }},
      {190, 3, [](int w) { return maxX - w - 1; }, [](int) { return 3; }},
      {10, -7, [](int) { return 10; }, [](int) { return 0; }},
      {50, 95, [](int) { return 50; }, [](int h) { return maxY - h - 1; }},
  };
  const std::string text = "12.5 mm";
  for (const TCase& c : cases) {
    SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
    TPicture p(maxX, maxY);
    // A background where every pixel tells its place.
    for (int y = 0; y < maxY; ++y)
      for (int x = 0; x < maxX; ++x) p.Canvas()->SetPixel(x, y, RGB(uint8_t(x), uint8_t(y), 7));
    TFont font;
    font.Color = clBlack;
    font.Style = fsBold;
    TBrush brush;
    brush.Color = 0x60FFFF;
    TBitmap save;
    int x = c.x, y = c.y;
    IEDrawHint(p.Canvas(), x, y, text, &font, &brush, &save, maxX, maxY, clGray, clWhite);
    TSize extent = p.Canvas()->TextExtent(text);
    int w = extent.cx + 12, h = extent.cy + 12;
    ASSERT_EQ(x, c.expectX(w));
    ASSERT_EQ(y, c.expectY(h));

    ASSERT_EQ(save.GetWidth(), w);
    ASSERT_EQ(save.GetHeight(), h);
    EXPECT_EQ(save.GetPixelFormat(), pf24bit);
    for (int sy = 0; sy < h; sy += 3)
      for (int sx = 0; sx < w; sx += 3)
        EXPECT_EQ(save.GetCanvas()->GetPixel(sx, sy), RGB(uint8_t(x + sx), uint8_t(y + sy), 7)) << sx << "," << sy;

    // The 6-pixel margin stays; the box is filled and framed.
    EXPECT_EQ(p.At(x + 2, y + 2), RGB(uint8_t(x + 2), uint8_t(y + 2), 7));
    EXPECT_EQ(p.At(x + 6, y + 8), clGray);          // left edge
    EXPECT_EQ(p.At(x + 8, y + 6), clGray);          // top edge
    EXPECT_EQ(p.At(x + w - 1, y + 8), clWhite);     // right edge
    EXPECT_EQ(p.At(x + 8, y + h - 1), clWhite);     // bottom edge
    EXPECT_EQ(p.At(x + w - 2, y + h - 2), 0x60FFFF);  // fill
    int ink = 0;
    for (int ty = y + 9; ty < y + 9 + extent.cy; ++ty)
      for (int tx = x + 9; tx < x + 9 + extent.cx; ++tx) ink += p.At(tx, ty) == clBlack;
    EXPECT_GT(ink, 10);
  }
}

}  // namespace
