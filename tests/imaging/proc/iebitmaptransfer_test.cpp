#include "imaging/proc/iebitmaptransfer.h"

#include <gtest/gtest.h>

#include "bitmaps.h"

namespace {

TRGB Code(int x, int y) { return Rgb(x * 9 % 256, y * 13 % 256, 77); }
std::unique_ptr<TBitmap> Source() { return Bitmap24(20, 20, Code); }
std::unique_ptr<TBitmap> White(int w, int h) { return Bitmap24(w, h, [](int, int) { return Grey(255); }); }

TEST(PolygonCopies, FewerThanThreePointsCopyNothing) {
  auto source = Source();
  auto target = White(4, 4);
  const TPoint two[] = {{0, 0}, {10, 10}};
  _CopyPolygonToPoint(source.get(), two, 2, target.get(), TPoint{0, 0});
  _CopyPointToPolygon(source.get(), two, 2, target.get(), TPoint{0, 0});
  EXPECT_EQ(target->GetWidth(), 4);
  EXPECT_EQ(TRGB2Key(Pixel24(target.get(), 1, 1)), 0xFFFFFFu);
}

TEST(PolygonCopies, PolygonToPointMovesTheBoxAndGrowsTheTarget) {
  auto source = Source();
  auto target = White(4, 4);
  // A square from (2, 3) to (8, 9) goes to (1, 1); the target grows to hold
  // (7, 7) inclusive.
  const TPoint square[] = {{2, 3}, {8, 3}, {8, 9}, {2, 9}};
  _CopyPolygonToPoint(source.get(), square, 4, target.get(), TPoint{1, 1});
  EXPECT_EQ(target->GetWidth(), 8);
  EXPECT_EQ(target->GetHeight(), 8);
  EXPECT_TRUE(Pixel24(target.get(), 1, 1) == Code(2, 3));
  EXPECT_TRUE(Pixel24(target.get(), 4, 5) == Code(5, 7));
  EXPECT_EQ(TRGB2Key(Pixel24(target.get(), 0, 0)), 0xFFFFFFu);
}

TEST(PolygonCopies, PointToPolygonAndBitmapPolyClipToTheShape) {
  auto source = Source();
  auto target = White(4, 4);
  const TPoint triangle[] = {{0, 0}, {10, 0}, {0, 10}};
  _CopyPointToPolygon(source.get(), triangle, 3, target.get(), TPoint{5, 5});
  EXPECT_EQ(target->GetWidth(), 10);
  EXPECT_TRUE(Pixel24(target.get(), 1, 1) == Code(6, 6));
  EXPECT_EQ(TRGB2Key(Pixel24(target.get(), 9, 9)), 0xFFFFFFu);  // outside the triangle

  TBitmap poly;
  const TPoint inBox[] = {{4, 4}, {12, 4}, {4, 12}};
  _CopyBitmapPoly(source.get(), &poly, 4, 4, 14, 14, inBox, 3);
  EXPECT_EQ(poly.GetWidth(), 10);
  EXPECT_EQ(poly.GetPixelFormat(), pf24bit);
  EXPECT_TRUE(Pixel24(&poly, 1, 1) == Code(5, 5));
}

TEST(BitmapCompareX, SizeFormatAndPixels) {
  auto a = Source();
  auto b = Source();
  EXPECT_TRUE(_BitmapCompareX(a.get(), b.get()));
  b->ScanLine(19)[59] ^= 1;
  EXPECT_FALSE(_BitmapCompareX(a.get(), b.get()));
  auto shorter = Bitmap24(20, 19, Code);
  EXPECT_FALSE(_BitmapCompareX(a.get(), shorter.get()));
  // Width 5: the row padding is not part of the picture.
  auto p = Bitmap24(5, 2, Code), q = Bitmap24(5, 2, Code);
  p->ScanLine(0)[15] = 1;
  q->ScanLine(0)[15] = 2;
  EXPECT_TRUE(_BitmapCompareX(p.get(), q.get()));
  auto m1 = Bitmap1(10, 2, [](int x, int) { return x % 2 == 0; });
  auto m2 = Bitmap1(10, 2, [](int x, int) { return x % 2 == 0; });
  m2->ScanLine(1)[1] |= 0x01;  // beyond the 10th pixel
  EXPECT_TRUE(_BitmapCompareX(m1.get(), m2.get()));
  EXPECT_FALSE(_BitmapCompareX(m1.get(), a.get()));
}

TEST(CreateWinPalette, EntriesInRedGreenBlueOrder) {
  const TRGB colours[2] = {Rgb(1, 2, 3), Rgb(250, 251, 252)};
  HPALETTE palette = _CreateWinPalette(colours, 2);
  ASSERT_NE(palette, nullptr);
  PALETTEENTRY entries[2];
  ASSERT_EQ(GetPaletteEntries(palette, 0, 2, entries), 2u);
  EXPECT_EQ(entries[0].peRed, 1);
  EXPECT_EQ(entries[0].peBlue, 3);
  EXPECT_EQ(entries[1].peGreen, 251);
  DeleteObject(palette);
  EXPECT_EQ(_CreateWinPalette(colours, 0), nullptr);
}

}  // namespace
