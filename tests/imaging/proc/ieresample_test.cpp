#include "imaging/proc/ieresample.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "bitmaps.h"
#include "platform/canvas.h"

namespace {

struct KernelCase {
  TResampleFilter filter;
  double x;
  double expected;
  double support;
};

TEST(ResampleKernels, ValuesAndSupports) {
  const KernelCase cases[] = {
      {rfTriangle, 0.25, 0.75, 1.0},
      {rfTriangle, -1.0, 0.0, 1.0},
      {rfHermite, 0.5, 0.5, 1.0},
      {rfBell, 0.25, 0.6875, 1.5},
      {rfBell, 1.0, 0.125, 1.5},
      {rfBSpline, 0.0, 2.0 / 3.0, 2.0},
      {rfBSpline, 1.5, 0.125 / 6, 2.0},
      {rfLanczos3, 0.0, 1.0, 3.0},
      {rfLanczos3, 1.0, 0.0, 3.0},
      {rfMitchell, 0.0, 16.0 / 18.0, 2.0},
      {rfMitchell, 2.0, 0.0, 2.0},
      // The box is open on the left, closed on the right.
      {rfNearest, -0.5, 0.0, 1.0},
      {rfNearest, 0.5, 1.0, 1.0},
      {rfLinear, -0.25, 0.75, 1.0},
  };
  for (const KernelCase& c : cases) {
    const TIEResampleKernel k = IEResampleKernel(c.filter);
    EXPECT_NEAR(k.Function(c.x), c.expected, 1e-12) << "filter " << c.filter << " x " << c.x;
    EXPECT_EQ(k.Support, c.support) << "filter " << c.filter;
  }
}

TEST(Resample, TriangleEnlargingTwoByTwoKeepsCornersAndMeansTheMiddle) {
  auto src = Bitmap24(2, 2, [](int x, int y) { return Grey(x * 200 + y * 40); });
  TBitmap dst;
  dst.SetSize(3, 3);
  _Resample(src.get(), &dst, rfTriangle);
  // xscale 2: centres 0, 0.5, 1 -> corners exact, middle the mean.
  EXPECT_EQ(Pixel24(&dst, 0, 0), Grey(0));
  EXPECT_EQ(Pixel24(&dst, 2, 0), Grey(200));
  EXPECT_EQ(Pixel24(&dst, 0, 2), Grey(40));
  EXPECT_EQ(Pixel24(&dst, 2, 2), Grey(240));
  EXPECT_EQ(Pixel24(&dst, 1, 0), Grey(100));
  EXPECT_EQ(Pixel24(&dst, 1, 1), Grey(120));
}

TEST(Resample, SourcesThatGiveNothingLeaveTheDestination) {
  TBitmap dst;
  dst.SetSize(3, 3);
  dst.GetCanvas()->Brush->Color = clRed;
  dst.GetCanvas()->FillRect(Rect(0, 0, 3, 3));
  auto one = Bitmap24(1, 1, [](int, int) { return Grey(7); });
  TBitmap empty;
  auto grey8 = Bitmap24(4, 4, [](int, int) { return Grey(9); });
  grey8->SetPixelFormat(pf8bit);
  for (TBitmap* src : {one.get(), &empty, grey8.get()}) {
    _Resample(src, &dst, rfLanczos3);
    EXPECT_EQ(Pixel24(&dst, 1, 1), Rgb(255, 0, 0));
  }
}

TEST(Resample, NegativeLobesAreClampedAtAHardEdge) {
  auto src = Row24({Grey(0), Grey(0), Grey(0), Grey(255), Grey(255), Grey(255)});
  for (TResampleFilter f : {rfLanczos3, rfMitchell}) {
    TBitmap dst;
    dst.SetSize(23, 1);
    _Resample(src.get(), &dst, f);
    EXPECT_EQ(Pixel24(&dst, 0, 0), Grey(0));
    EXPECT_EQ(Pixel24(&dst, 22, 0), Grey(255));
    // Without clamping, the undershoot would wrap to bright values on the
    // dark side and the overshoot to dark ones on the bright side.
    for (int x = 0; x < 10; ++x) EXPECT_LE(Pixel24(&dst, x, 0).r, 128) << f << " x " << x;
    for (int x = 14; x < 23; ++x) EXPECT_GE(Pixel24(&dst, x, 0).r, 127) << f << " x " << x;
  }
}

TEST(Resample, OnePixelWideSourceScalesByTheWidthRatio) {
  auto src = Bitmap24(1, 4, [](int, int y) { return Grey(y * 60); });
  TBitmap dst;
  dst.SetSize(3, 4);
  _Resample(src.get(), &dst, rfTriangle);
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Pixel24(&dst, x, y), Grey(y * 60)) << x << "," << y;
}

TEST(ResampleLinear, ReducingAveragesTheCoveredColumns) {
  // 4 -> 2: column 0 is the mean of source columns 0..2, column 1 is
  // column 2 alone; column 3 is never read.
  auto src = Row24({Grey(10), Grey(20), Grey(60), Grey(250)});
  TBitmap dst;
  dst.SetSize(2, 1);
  _ResampleLinear(src.get(), &dst);
  EXPECT_EQ(Pixel24(&dst, 0, 0), Grey(30));
  EXPECT_EQ(Pixel24(&dst, 1, 0), Grey(60));
}

TEST(ResampleLinear, EnlargingInterpolatesWithSeventeenBitFractions) {
  auto src = Bitmap24(2, 2, [](int x, int y) { return Rgb(x * 100, y * 200, 50); });
  TBitmap dst;
  dst.SetSize(4, 4);
  _ResampleLinear(src.get(), &dst);
  // Column i samples source i / 2; the last column pairs with itself.
  const int reds[4] = {0, 50, 100, 100};
  const int greens[4] = {0, 100, 200, 200};
  for (int x = 0; x < 4; ++x)
    for (int y = 0; y < 4; ++y) EXPECT_EQ(Pixel24(&dst, x, y), Rgb(reds[x], greens[y], 50)) << x << "," << y;
}

TEST(ResampleLinear, EqualSizeCopies) {
  auto src = Bitmap24(3, 2, [](int x, int y) { return Rgb(x * 9, y * 5, 77); });
  TBitmap dst;
  dst.SetSize(3, 2);
  _ResampleLinear(src.get(), &dst);
  for (int x = 0; x < 3; ++x)
    for (int y = 0; y < 2; ++y) EXPECT_EQ(Pixel24(&dst, x, y), Pixel24(src.get(), x, y));
}

TEST(Resample1bit, SetBitsReadAsWhiteAndGreyGoesToAllChannels) {
  auto src = Bitmap1(4, 4, [](int x, int) { return x >= 2; });
  for (TResampleFilter f : {rfTriangle, rfFastLinear}) {
    TBitmap dst;
    dst.SetSize(8, 8);
    _Resample1bit(src.get(), &dst, f);
    EXPECT_EQ(dst.GetPixelFormat(), pf24bit);
    EXPECT_EQ(Pixel24(&dst, 0, 3), Grey(0)) << f;
    EXPECT_EQ(Pixel24(&dst, 7, 3), Grey(255)) << f;
    const TRGB mid = Pixel24(&dst, 4, 3);
    EXPECT_TRUE(mid.r == mid.g && mid.g == mid.b) << f;
  }
}

struct GreyShareCase {
  int srcW, dstW;
  std::vector<int> expected;
};

TEST(SubResample1bit, EachPixelIsTheShareOfSetBitsUnderIt) {
  // Set bits at even columns. With h = 2, column j covers trunc(2j - 1)
  // .. trunc(2j + 1) (cut at 0 and the last column).
  const GreyShareCase cases[] = {
      {8, 4, {255 * 1 / 2, 255 * 1 / 3, 255 * 1 / 3, 255 * 1 / 3}},
      // h = 1: column j >= 1 covers j - 1 .. j.
      {8, 8, {255, 127, 127, 127, 127, 127, 127, 127}},
      {8, 1, {255 * 3 / 5}},
  };
  for (const GreyShareCase& c : cases) {
    auto src = Bitmap1(c.srcW, 2, [](int x, int) { return x % 2 == 0; });
    TBitmap dst;
    dst.SetSize(c.dstW, 1);
    _SubResample1bitFiltered(src.get(), 0, 0, c.srcW - 1, 1, &dst);
    for (int j = 0; j < c.dstW; ++j) EXPECT_EQ(Pixel24(&dst, j, 0), Grey(c.expected[j])) << c.dstW << " col " << j;
  }
}

TEST(SubResample1bit, DibFormMatchesTheBitmapFormAndRefusesBadRectangles) {
  const int w = 37, h = 23;
  auto src = Bitmap1(w, h, [](int x, int y) { return (x * 7 + y * 3) % 5 < 2; });
  // The same picture as raw bottom-up rows padded to 4 bytes.
  const int rowLen = (w + 31) / 32 * 4;
  std::vector<uint8_t> dib(size_t(rowLen) * h);
  for (int y = 0; y < h; ++y) std::memcpy(&dib[size_t(h - 1 - y) * rowLen], src->ScanLine(y), size_t(rowLen));
  const int dw = 9, dh = 5;
  TBitmap ref;
  ref.SetSize(dw, dh);
  _SubResample1bitFiltered(src.get(), 3, 2, 30, 20, &ref);
  auto block = _SubResample1bitFilteredDIB(dib.data(), w, h, 3, 2, 30, 20, dw, dh);
  ASSERT_TRUE(block);
  const int dstRowLen = (dw * 24 + 31) / 32 * 4;
  for (int y = 0; y < dh; ++y)
    for (int x = 0; x < dw; ++x)
      EXPECT_EQ(block[size_t(dh - 1 - y) * dstRowLen + size_t(x) * 3], Pixel24(&ref, x, y).r) << x << "," << y;

  EXPECT_FALSE(_SubResample1bitFilteredDIB(dib.data(), w, h, 0, 0, w, h - 1, dw, dh));
  EXPECT_FALSE(_SubResample1bitFilteredDIB(dib.data(), w, h, -1, 0, 5, 5, dw, dh));
  EXPECT_FALSE(_SubResample1bitFilteredDIB(dib.data(), w, h, 0, 0, 5, 5, 0, dh));
}

}  // namespace
