#include "imaging/proc/iefill.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "bitmaps.h"
#include "imaging/proc/iecompare.h"
#include "imaging/proc/iedensity.h"

namespace {

TEST(FillTest, FillsTheRectangleOfBothFormats) {
  auto colour = Bitmap24(6, 5, [](int, int) { return Grey(9); });
  _Fill(colour.get(), 1, 2, 4, 99, Rgb(1, 2, 3), nullptr, nullptr);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x)
      EXPECT_EQ(Pixel24(colour.get(), x, y), (x >= 1 && x < 4 && y >= 2) ? Rgb(1, 2, 3) : Grey(9));

  // On 1 bit only red decides: pure green clears, a red of 1 sets.
  const struct {
    bool start;
    TRGB color;
    bool filled;
  } cases[] = {{true, Rgb(0, 255, 0), false}, {false, Rgb(1, 0, 0), true}};
  for (const auto& c : cases) {
    auto bw = Bitmap1(13, 3, [&](int, int) { return c.start; });
    _Fill(bw.get(), 2, 0, 11, 2, c.color, nullptr, nullptr);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < 13; ++x)
        EXPECT_EQ(Bit(bw.get(), x, y), (x >= 2 && x < 11 && y < 2) ? c.filled : c.start) << x << "," << y;
  }
}

TEST(FillTest, MarksEverySpacingPlusOnePixels) {
  const struct {
    int spacing, x1, y1;
    std::vector<int> marked;  // offsets from the rectangle's corner that take the colour
  } cases[] = {{2, 0, 0, {0, 3, 6}}, {0, 0, 0, {0, 1, 2, 3, 4, 5, 6}}, {3, 1, 2, {0, 4}}, {-4, 0, 0, {0, 1, 2, 3, 4, 5, 6}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.spacing);
    auto bitmap = Bitmap24(7, 7, [](int, int) { return Grey(0); });
    _PaintMark(bitmap.get(), c.x1, c.y1, 7, 7, c.spacing, Grey(255), nullptr, nullptr);
    const auto on = [&](int v, int start) {
      return v >= start && std::find(c.marked.begin(), c.marked.end(), v - start) != c.marked.end();
    };
    for (int y = 0; y < 7; ++y)
      for (int x = 0; x < 7; ++x)
        EXPECT_EQ(Pixel24(bitmap.get(), x, y).r, on(x, c.x1) && on(y, c.y1) ? 255 : 0) << x << "," << y;
  }
}

TEST(FillTest, GammaMapsTheChosenChannels) {
  auto bitmap = Row24({Rgb(128, 128, 128), Rgb(0, 64, 255)});
  std::vector<int> reports;
  _IEGammaCorrect(bitmap.get(), 2.0, iecRed, [&](TObject*, int per) { reports.push_back(per); }, nullptr);
  EXPECT_EQ(Pixel24(bitmap.get(), 0, 0), Rgb(181, 128, 128));
  EXPECT_EQ(Pixel24(bitmap.get(), 1, 0), Rgb(0, 64, 255));
  EXPECT_EQ(reports, std::vector<int>{0});

  auto all = Row24({Rgb(128, 64, 10), Rgb(0, 255, 1)});
  _IEGammaCorrect(all.get(), 2.0, iecRed | iecGreen | iecBlue, nullptr, nullptr);
  EXPECT_EQ(Pixel24(all.get(), 0, 0), Rgb(181, 128, 50));
  for (double gamma : {1.0, 0.0, -2.0}) {
    auto same = Row24({Rgb(128, 64, 10), Rgb(0, 255, 1)});
    _IEGammaCorrect(same.get(), gamma, iecRed | iecGreen | iecBlue, nullptr, nullptr);
    EXPECT_EQ(Pixel24(same.get(), 0, 0), Rgb(128, 64, 10)) << gamma;
    EXPECT_EQ(Pixel24(same.get(), 1, 0), Rgb(0, 255, 1)) << gamma;
  }
}

TEST(DensityTest, ProfilesAreScaledToTheLargestSum) {
  // Gray 100 left of column 2, black elsewhere; row 1 all white.
  auto bitmap = Bitmap24(4, 3, [](int x, int y) { return y == 1 ? Grey(255) : Grey(x < 2 ? 100 : 0); });
  std::vector<int> rows(4, -1), columns(5, -1);
  _CalcDensityHistogram(bitmap.get(), 0, 0, 4, 3, nullptr, nullptr, rows, columns, 1000, 10);
  EXPECT_EQ(rows, (std::vector<int>{200 * 1000 / 1020, 1000, 200 * 1000 / 1020, 0}));
  EXPECT_EQ(columns, (std::vector<int>{10, 10, 255 * 10 / 455, 255 * 10 / 455, 0}));

  // 1 bit: a bit counts 1; an all-black region divides by nothing and gives zeros.
  auto bw = Bitmap1(10, 2, [](int x, int y) { return y == 0 && x >= 5; });
  std::vector<int> bwRows(2), bwColumns(10);
  _CalcDensityHistogram(bw.get(), 0, 0, 10, 2, nullptr, nullptr, bwRows, bwColumns, 100, 100);
  EXPECT_EQ(bwRows, (std::vector<int>{100, 0}));
  EXPECT_EQ(bwColumns, (std::vector<int>{0, 0, 0, 0, 0, 100, 100, 100, 100, 100}));
  _CalcDensityHistogram(bw.get(), 0, 1, 3, 2, nullptr, nullptr, bwRows, bwColumns, 100, 100);
  EXPECT_EQ(bwRows, (std::vector<int>{0, 0}));

  // Arrays shorter than the region take what fits.
  std::vector<int> shortRows(1), shortColumns(2);
  _CalcDensityHistogram(bitmap.get(), 0, 0, 4, 3, nullptr, nullptr, shortRows, shortColumns, 1000, 10);
  EXPECT_EQ(shortRows[0], 200 * 1000 / 1020);
  EXPECT_EQ(shortColumns, (std::vector<int>{10, 10}));
}

TEST(CompareTest, StatisticsOfEqualAndDarkerPictures) {
  auto picture = Bitmap24(4, 4, [](int x, int y) { return Rgb(x * 20 + 1, y * 30 + 1, 100); });
  TIEImageDiff diff;
  EXPECT_TRUE(_IEComputeDiff(picture.get(), picture.get(), diff));
  for (double value : {diff.PsnrMin, diff.PsnrMax, diff.MseMin, diff.MseMax, diff.RmseMin, diff.RmseMax,
                       diff.MaxDiffMin, diff.MaxDiffMax, diff.MaeMin, diff.MaeMax})
    EXPECT_EQ(value, 0);

  auto darker = Bitmap24(4, 4, [](int x, int y) { return Rgb(x * 20, y * 30, 99); });
  EXPECT_FALSE(_IEComputeDiff(picture.get(), darker.get(), diff));
  EXPECT_EQ(diff.MaxDiffMin, 1);
  EXPECT_EQ(diff.MaxDiffMax, 1);
  EXPECT_EQ(diff.MaeMin, 1);
  EXPECT_EQ(diff.MaeMax, 1);
  EXPECT_EQ(diff.MseMax, 1);
  EXPECT_NEAR(diff.PsnrMin, 20 * std::log10(255.0), 1e-9);

  // One channel differs: the minimum statistics come from the others.
  auto blueOff = Bitmap24(4, 4, [](int x, int y) { return Rgb(x * 20 + 1, y * 30 + 1, 104); });
  EXPECT_FALSE(_IEComputeDiff(picture.get(), blueOff.get(), diff));
  EXPECT_EQ(diff.MseMin, 0);
  EXPECT_EQ(diff.MseMax, 16);
  EXPECT_EQ(diff.RmseMax, 4);
  EXPECT_EQ(diff.MaxDiffMax, 4);
  EXPECT_EQ(diff.PsnrMin, 0);
  EXPECT_NEAR(diff.PsnrMax, 20 * std::log10(255.0 / 4), 1e-9);
}

}  // namespace
