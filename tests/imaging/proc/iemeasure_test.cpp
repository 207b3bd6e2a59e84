#include "imaging/proc/iemeasure.h"

#include <gtest/gtest.h>

#include "bitmaps.h"
#include "imaging/core/iebitmap.h"

namespace {

TEST(IsGrayScaleBitmap, AcceptsOnlyGrey24BitPlatformBitmaps) {
  auto grey = Bitmap24(5, 4, [](int x, int y) { return Grey(x * 40 + y); });
  auto tinted = Bitmap24(5, 4, [](int x, int y) { return x == 4 && y == 3 ? Rgb(9, 9, 8) : Grey(9); });
  auto greyLooking8 = Bitmap24(5, 4, [](int, int) { return Grey(128); });
  greyLooking8->SetPixelFormat(pf8bit);
  auto mono = Bitmap1(5, 4, [](int, int) { return true; });
  TIEBitmap buffer;

  EXPECT_TRUE(_IsGrayScaleBitmap(grey.get()));
  EXPECT_FALSE(_IsGrayScaleBitmap(tinted.get()));
  EXPECT_FALSE(_IsGrayScaleBitmap(greyLooking8.get()));
  EXPECT_FALSE(_IsGrayScaleBitmap(mono.get()));
  EXPECT_FALSE(_IsGrayScaleBitmap(&buffer));
  EXPECT_FALSE(_IsGrayScaleBitmap(nullptr));
}

// Rows are averaged first with integer division: red 1, 2 and 0, 1 give
// row means 1 and 0, so the mean is 0 where the plain mean would be 1.
TEST(GetMediaContrastRGB, AveragesRowMeans) {
  const TRGB pixels[2][2] = {{Rgb(1, 10, 200), Rgb(2, 20, 201)}, {Rgb(0, 30, 202), Rgb(1, 40, 203)}};
  auto bitmap = Bitmap24(2, 2, [&](int x, int y) { return pixels[y][x]; });
  int r = -1, g = -1, b = -1;
  _GetMediaContrastRGB(bitmap.get(), r, g, b);
  EXPECT_EQ(r, 0);
  EXPECT_EQ(g, 25);
  EXPECT_EQ(b, 201);
}

TEST(GetMediaContrastRGB, EmptyGives128AndOtherFormatsNothing) {
  TBitmap empty;
  empty.SetPixelFormat(pf24bit);
  int r = -1, g = -1, b = -1;
  _GetMediaContrastRGB(&empty, r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{128, 128, 128}));

  auto mono = Bitmap1(3, 3, [](int, int) { return false; });
  r = g = b = -1;
  _GetMediaContrastRGB(mono.get(), r, g, b);
  EXPECT_EQ((std::vector<int>{r, g, b}), (std::vector<int>{-1, -1, -1}));
}

}  // namespace
