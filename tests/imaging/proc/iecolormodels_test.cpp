#include "imaging/proc/iecolormodels.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "bitmaps.h"

namespace {

TEST(ColorModelsTest, RGB2HSLFollowsTheHueSectors) {
  const struct {
    TRGB rgb;
    double h, s, l;
  } cases[] = {
      {Grey(128), 0, 0, 128 / 255.0},          // gray: no hue, no saturation
      {Rgb(255, 0, 0), 0, 1, 0.5},             // red
      {Rgb(0, 255, 0), 1.0 / 3, 1, 0.5},       // green
      {Rgb(0, 0, 255), 2.0 / 3, 1, 0.5},       // blue
      {Rgb(255, 0, 255), 5.0 / 6, 1, 0.5},     // magenta: negative h wraps
      {Rgb(255, 128, 128), 0, 1, 383 / 510.0}, // light: S from the L >= 0.5 branch
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(TRGB2Key(c.rgb));
    double h, s, l;
    RGB2HSL(c.rgb, h, s, l);
    EXPECT_NEAR(h, c.h, 1e-9);
    EXPECT_NEAR(s, c.s, 1e-9);
    EXPECT_NEAR(l, c.l, 1e-9);
  }
}

TEST(ColorModelsTest, HSL2RGBClampsAndTruncates) {
  const struct {
    double h, s, l;
    TRGB rgb;
  } cases[] = {
      {0.5, 1, 0.5, Rgb(0, 255, 255)},     // cyan
      {0, 0, 0.5, Grey(127)},              // no saturation: Trunc(0.5 x 255)
      {-3, 2, 0.5, Rgb(255, 0, 0)},        // H below 0 and S above 1 clamped
      {1.7, 1, 0.5, Rgb(255, 0, 0)},       // H above 1 becomes 1, red again
      {0.2, 0.5, -1, Grey(0)},             // L below 0
      {0.2, 0.5, 5, Grey(255)},            // L above 1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.h);
    TRGB rgb{};
    HSL2RGB(rgb, c.h, c.s, c.l);
    EXPECT_EQ(TRGB2Key(rgb), TRGB2Key(c.rgb));
  }
}

TEST(ColorModelsTest, HSLRoundTripKeepsEveryColour) {
  // Truncating to bytes must not lose a level to rounding error.
  int lost = 0;
  for (int r = 0; r < 256; r += 5)
    for (int g = 0; g < 256; g += 3)
      for (int b = 0; b < 256; b += 7) {
        double h, s, l;
        RGB2HSL(Rgb(r, g, b), h, s, l);
        TRGB back{};
        HSL2RGB(back, h, s, l);
        if (!(back == Rgb(r, g, b)) && ++lost < 5) ADD_FAILURE() << r << "," << g << "," << b;
      }
  EXPECT_EQ(lost, 0);
}

TEST(ColorModelsTest, HSVConversionsUseTheIntegerScales) {
  int h, s, v;
  RGB2HSV(Rgb(0, 0, 255), h, s, v);
  EXPECT_EQ(h, 240);
  EXPECT_EQ(s, 99);
  EXPECT_EQ(v, 99);
  RGB2HSV(Rgb(255, 0, 128), h, s, v);  // red is the maximum, hue negative then wrapped
  EXPECT_EQ(h, 360 + (0 - 50) * 60 / 99);
  RGB2HSV(Grey(0), h, s, v);
  EXPECT_EQ(h, 0);
  EXPECT_EQ(s, 0);
  EXPECT_EQ(v, 0);

  const struct {
    int h, s, v;
    TRGB rgb;
  } cases[] = {
      {240, 99, 99, Rgb(0, 0, 255)},  {0, 99, 99, Rgb(255, 0, 0)},   {120, 99, 99, Rgb(0, 255, 0)},
      {500, 99, 99, Rgb(255, 0, 5)},  // clamped to 359, not wrapped
      {359, 99, 99, Rgb(255, 0, 5)},  {30, 0, 50, Grey(129)},        // no saturation: V
      {60, 200, -5, Grey(0)},         // V clamped to 0
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.h);
    TRGB rgb{};
    HSV2RGB(rgb, c.h, c.s, c.v);
    EXPECT_EQ(TRGB2Key(rgb), TRGB2Key(c.rgb));
  }
}

TEST(ColorModelsTest, ChannelPicturesAreGrayCopiesOfOneComponent) {
  auto source = Row24({Rgb(10, 20, 30), Rgb(0, 0, 255), Grey(99)});
  const struct {
    int channel;
    uint8_t levels[3];
  } rgb[] = {{0, {30, 255, 99}}, {1, {20, 0, 99}}, {2, {10, 0, 99}}, {7, {10, 0, 99}}, {-1, {30, 255, 99}}};
  for (const auto& c : rgb) {
    SCOPED_TRACE(c.channel);
    std::unique_ptr<TBitmap> channel(_GetRGBChannel(source.get(), c.channel, nullptr, nullptr));
    ASSERT_TRUE(channel);
    EXPECT_EQ(channel->GetPixelFormat(), pf24bit);
    for (int x = 0; x < 3; ++x) EXPECT_EQ(TRGB2Key(Pixel24(channel.get(), x, 0)), TRGB2Key(Grey(c.levels[x])));
  }
  // Blue is hue 240, saturation and value 99: Trunc(240 / 359 x 255) = 170.
  const struct {
    int channel;
    uint8_t level;
  } hsv[] = {{0, 170}, {1, 255}, {2, 255}, {-1, 170}, {9, 170}};
  for (const auto& c : hsv) {
    SCOPED_TRACE(c.channel);
    std::unique_ptr<TBitmap> channel(_GetHSVChannel(source.get(), c.channel, nullptr, nullptr));
    EXPECT_EQ(Pixel24(channel.get(), 1, 0).g, c.level);
  }
  auto bw = Bitmap1(4, 4, [](int, int) { return true; });
  EXPECT_EQ(_GetRGBChannel(bw.get(), 0, nullptr, nullptr), nullptr);
  EXPECT_EQ(_GetHSVChannel(bw.get(), 0, nullptr, nullptr), nullptr);
}

TEST(ColorModelsTest, AllChannelsFillTheTargetsAndReportBelowAHundred) {
  auto source = Bitmap24(3, 4, [](int x, int y) { return Rgb(x * 10, y * 20, 200); });
  TBitmap red, green, blue;
  red.SetPixelFormat(pf1bit);  // made 24-bit at the source's size
  std::vector<int> reports;
  _GetRGBChannelAll(source.get(), &red, &green, nullptr, [&](TObject*, int per) { reports.push_back(per); }, nullptr);
  EXPECT_EQ(red.GetPixelFormat(), pf24bit);
  EXPECT_EQ(red.GetWidth(), 3);
  EXPECT_EQ(red.GetHeight(), 4);
  EXPECT_EQ(TRGB2Key(Pixel24(&red, 2, 3)), TRGB2Key(Grey(20)));
  EXPECT_EQ(TRGB2Key(Pixel24(&green, 2, 3)), TRGB2Key(Grey(60)));
  EXPECT_EQ(blue.GetWidth(), 0);
  EXPECT_EQ(reports, (std::vector<int>{0, 25, 50, 75}));

  TBitmap hue, saturation, value;
  _GetHSVChannelAll(source.get(), &hue, &saturation, &value, nullptr, nullptr);
  int h, s, v;
  RGB2HSV(Pixel24(source.get(), 1, 2), h, s, v);
  EXPECT_EQ(Pixel24(&hue, 1, 2).r, h * 255 / 359);
  EXPECT_EQ(Pixel24(&saturation, 1, 2).r, s * 255 / 99);
  EXPECT_EQ(Pixel24(&value, 1, 2).r, v * 255 / 99);
}

TEST(ColorModelsTest, SimilarColourPrefersTheFirstOfEquals) {
  const TRGB palette[] = {Rgb(10, 0, 0), Rgb(0, 10, 0), Rgb(0, 0, 4), Rgb(0, 0, 4)};
  EXPECT_EQ(_GetSimilColor(palette, 2, Rgb(5, 5, 0)), 0);
  EXPECT_EQ(_GetSimilColor(palette, 4, Rgb(0, 0, 5)), 2);
  EXPECT_EQ(_GetSimilColor(palette, 4, Rgb(0, 9, 1)), 1);
  EXPECT_EQ(_GetSimilColor(palette, 0, Rgb(0, 9, 1)), 0);
}

TEST(ColorModelsTest, ByteOrderSwaps) {
  const TRGB source[2] = {{1, 2, 3}, {4, 5, 6}};
  TRGB target[2];
  _CopyBGR_RGB(target, source, 2);
  EXPECT_EQ(target[0], (TRGB{3, 2, 1}));
  EXPECT_EQ(target[1], (TRGB{6, 5, 4}));
  _BGR2RGB(target, 2);
  EXPECT_EQ(target[0], source[0]);
  EXPECT_EQ(target[1], source[1]);
}

}  // namespace
