#include "imaging/proc/ieadjust.h"

#include <gtest/gtest.h>

#include <vector>

#include "bitmaps.h"
#include "imaging/proc/iehistogram.h"

namespace {

std::vector<uint32_t> Keys(TBitmap* bitmap) {
  std::vector<uint32_t> keys;
  for (int y = 0; y < bitmap->GetHeight(); ++y)
    for (int x = 0; x < bitmap->GetWidth(); ++x) keys.push_back(TRGB2Key(Pixel24(bitmap, x, y)));
  return keys;
}

std::vector<uint32_t> Keys(const std::vector<TRGB>& pixels) {
  std::vector<uint32_t> keys;
  for (const TRGB& p : pixels) keys.push_back(TRGB2Key(p));
  return keys;
}

TEST(AdjustTest, ContrastScalesAroundTheMeanInFixedPoint) {
  const std::vector<TRGB> input = {Grey(100), Rgb(120, 121, 79), Rgb(30, 255, 0)};
  const struct {
    int c;
    std::vector<TRGB> expected;
  } cases[] = {
      {0, input},
      {-100, {Grey(100), Grey(100), Grey(100)}},
      {10, {Grey(100), Rgb(140, 142, 58), Rgb(0, 255, 0)}},  // F = 2
      // F = 1/2: 100 + 21 / 2 = 110 and 100 - 21 / 2 = 90, truncated toward zero.
      {-25, {Grey(100), Rgb(110, 110, 90), Rgb(65, 177, 50)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.c);
    auto bitmap = Row24(input);
    _ContrastRGB(bitmap.get(), c.c, 100, 100, 100, 0, 0, 3, 1, nullptr, nullptr);
    EXPECT_EQ(Keys(bitmap.get()), Keys(c.expected));
  }
}

TEST(AdjustTest, PointRulesPerWorker) {
  const std::vector<TRGB> input = {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(50, 150, 250), Grey(100)};
  const TRGB white = Grey(255);
  const struct {
    const char* name;
    void (*run)(TBitmap*);
    std::vector<TRGB> expected;
  } cases[] = {
      {"HSL hue +120", [](TBitmap* b) { _HSLvar(b, 120, 0, 0, 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(0, 255, 0), Rgb(255, 0, 0), Rgb(250, 50, 150), Grey(100)}},
      {"HSL lightness +100", [](TBitmap* b) { _HSLvar(b, 0, 0, 100, 0, 0, 9, 9, nullptr, nullptr); },
       {white, white, white, white}},
      {"HSV hue +400 is clamped to 359", [](TBitmap* b) { _HSVvar(b, 400, 0, 0, 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(255, 0, 5), Rgb(255, 0, 5), Rgb(250, 52, 54), Grey(100)}},
      {"intensity", [](TBitmap* b) { _IntensityRGBall(b, 300, -20, 5, 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(255, 0, 5), Rgb(255, 0, 255), Rgb(255, 130, 255), Rgb(255, 80, 105)}},
      {"gray", [](TBitmap* b) { _ConvertToGray(b, 0, 0, 9, 9, nullptr, nullptr); },
       {Grey(53), Grey(20), Grey(137), Grey(100)}},
      {"cast includes both bounds",
       [](TBitmap* b) { _CastColorRange(b, Rgb(50, 0, 0), Rgb(255, 150, 250), Rgb(1, 2, 3), 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(1, 2, 3), Rgb(0, 0, 255), Rgb(1, 2, 3), Rgb(1, 2, 3)}},
      {"threshold",
       [](TBitmap* b) { _Threshold(b, Grey(100), Grey(200), Grey(0), Grey(255), 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(0, 150, 255), Grey(0)}},
      {"threshold with black and white limits changes nothing",
       [](TBitmap* b) { _Threshold(b, Grey(0), Grey(255), Grey(9), Grey(9), 0, 0, 9, 9, nullptr, nullptr); },
       input},
      {"negative", [](TBitmap* b) { _Negative(b, 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(0, 255, 255), Rgb(255, 255, 0), Rgb(205, 105, 5), Grey(155)}},
      {"levels 0..255 change nothing",
       [](TBitmap* b) { _HistEqualize(b, Grey(0), Grey(255), 0, 0, 9, 9, nullptr, nullptr); }, input},
      {"levels from 100", [](TBitmap* b) { _HistEqualize(b, Grey(100), Grey(255), 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(0, 82, 247), Grey(0)}},
      {"levels up to 0 count as 1", [](TBitmap* b) { _HistEqualize(b, Grey(0), Grey(0), 0, 0, 9, 9, nullptr, nullptr); },
       {Rgb(255, 0, 0), Rgb(0, 0, 255), Rgb(255, 255, 255), Grey(255)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    auto bitmap = Row24(input);
    c.run(bitmap.get());
    EXPECT_EQ(Keys(bitmap.get()), Keys(c.expected));
  }
}

TEST(AdjustTest, MergeBlendsTheStretchedPictureIntoTheRectangle) {
  auto bitmap = Bitmap24(4, 2, [](int x, int) { return Grey(x == 3 ? 6 : 100); });
  auto other = Bitmap24(1, 1, [](int, int) { return Rgb(200, 0, 0); });
  _Merge(bitmap.get(), other.get(), 25, 1, 0, 9, 1, nullptr, nullptr);
  // Round(v / 4 + w x 3 / 4): 25 + 150 and 25 + 0; 1.5 + 0 rounds to 2.
  EXPECT_EQ(Keys(bitmap.get()), Keys({Grey(100), Rgb(175, 25, 25), Rgb(175, 25, 25), Rgb(152, 2, 2), Grey(100),
                                      Grey(100), Grey(100), Grey(6)}));
  _Merge(bitmap.get(), nullptr, 25, 0, 0, 9, 9, nullptr, nullptr);  // no other picture: nothing
  EXPECT_EQ(Pixel24(bitmap.get(), 0, 0).r, 100);
}

TEST(AdjustTest, WorkersStayInTheRectangleAndReportEachRow) {
  auto bitmap = Bitmap24(6, 10, [](int, int) { return Grey(10); });
  std::vector<int> reports;
  // Starting left of the picture: only the columns inside are touched.
  _IntensityRGBall(bitmap.get(), 5, 5, 5, -3, 0, 2, 99, [&](TObject*, int per) { reports.push_back(per); },
                   nullptr);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 6; ++x) EXPECT_EQ(Pixel24(bitmap.get(), x, y).g, x < 2 ? 15 : 10) << x << "," << y;
  ASSERT_EQ(reports.size(), 10u);
  EXPECT_EQ(reports.front(), 10);  // Trunc(1 x 100 / 9.5)
  EXPECT_EQ(reports.back(), 105);

  auto bw = Bitmap1(4, 2, [](int, int) { return false; });
  _ConvertToGray(bw.get(), 0, 0, 4, 2, nullptr, nullptr);  // 24-bit only
  EXPECT_FALSE(Bit(bw.get(), 0, 0));
}

TEST(AdjustTest, NegativeInvertsOnlyTheRectangleOfA1BitPicture) {
  auto bw = Bitmap1(12, 3, [](int x, int) { return x % 2 == 0; });
  _Negative(bw.get(), 3, 1, 10, 2, nullptr, nullptr);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 12; ++x) {
      const bool inside = y == 1 && x >= 3 && x < 10;
      EXPECT_EQ(Bit(bw.get(), x, y), (x % 2 == 0) != inside) << x << "," << y;
    }
  auto colour = Bitmap24(5, 5, [](int x, int y) { return Rgb(x * 40, y * 50, 7); });
  const auto before = Keys(colour.get());
  _Negative(colour.get(), 0, 0, 5, 5, nullptr, nullptr);
  _Negative(colour.get(), 0, 0, 5, 5, nullptr, nullptr);
  EXPECT_EQ(Keys(colour.get()), before);
}

TEST(AdjustTest, AutoEqualizeFollowsTheGrayLevelTables) {
  // 512 pixels, bins of 2: the single pixel of level 30 gets a flat table
  // entry (0), level 100 spans 0..255 and takes the neighbourhood's mean.
  auto bitmap = Bitmap24(32, 16, [](int x, int y) { return Grey(x == 0 && y == 0 ? 30 : 100); });
  _HistAutoEqualize(bitmap.get(), 0, 0, 32, 16, nullptr, nullptr);
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 0, 0)), TRGB2Key(Grey(0)));
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 1, 0)), TRGB2Key(Grey((2 * 30 + 7 * 100) / 9)));
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 1, 1)), TRGB2Key(Grey((30 + 8 * 100) / 9)));
  EXPECT_EQ(TRGB2Key(Pixel24(bitmap.get(), 20, 9)), TRGB2Key(Grey(100)));

  // Fewer than 256 pixels: no pixel per bin, the picture is left alone.
  auto small = Bitmap24(15, 17, [](int x, int y) { return Grey(x * 10 + y); });
  const auto before = Keys(small.get());
  _HistAutoEqualize(small.get(), 0, 0, 15, 17, nullptr, nullptr);
  EXPECT_EQ(Keys(small.get()), before);
}

TEST(AdjustTest, HistogramAndColourCountReadTheRectangle) {
  auto white = Bitmap24(2, 2, [](int, int) { return Grey(255); });
  THistogram histogram;
  histogram.fill({7, 7, 7, 7});
  _GetHistogram(white.get(), histogram, 0, 0, 2, 2);
  EXPECT_EQ(histogram[255].r, 4u);
  EXPECT_EQ(histogram[255].g, 4u);
  EXPECT_EQ(histogram[255].b, 4u);
  EXPECT_EQ(histogram[255].gray, 4u);
  EXPECT_EQ(histogram[0].r, 0u);

  auto picture = Bitmap24(8, 8, [](int x, int y) { return Rgb(x, y < 4 ? 0 : 1, 200); });
  _GetHistogram(picture.get(), histogram, 2, 2, 4, 6);
  EXPECT_EQ(histogram[200].b, 8u);
  EXPECT_EQ(histogram[2].r, 4u);
  EXPECT_EQ(histogram[5].r, 0u);
  EXPECT_EQ(histogram[1].g, 4u);
  EXPECT_EQ(_GetImageNumColors(picture.get(), 0, 0, 8, 8), 16);
  EXPECT_EQ(_GetImageNumColors(picture.get(), 2, 2, 4, 6), 4);
  auto bw = Bitmap1(4, 4, [](int, int) { return true; });
  EXPECT_EQ(_GetImageNumColors(bw.get(), 0, 0, 4, 4), 0);
}

}  // namespace
