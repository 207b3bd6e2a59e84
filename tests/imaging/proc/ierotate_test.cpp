#include "imaging/proc/ierotate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <set>
#include <vector>

#include "bitmaps.h"
#include "imaging/core/iebitmap.h"

namespace {

TRGB Code(int x, int y) { return Rgb(x * 9 % 256, y * 13 % 256, 77); }

// The centre of the pixels of one colour, relative to the picture's centre.
struct TCentroid {
  double x = 0, y = 0;
  int count = 0;
};
TCentroid CentroidOf(TBitmap* bitmap, const TRGB& colour) {
  TCentroid c;
  for (int y = 0; y < bitmap->GetHeight(); ++y)
    for (int x = 0; x < bitmap->GetWidth(); ++x)
      if (Pixel24(bitmap, x, y) == colour) {
        c.x += x - (bitmap->GetWidth() - 1) / 2.0;
        c.y += y - (bitmap->GetHeight() - 1) / 2.0;
        ++c.count;
      }
  if (c.count) c.x /= c.count, c.y /= c.count;
  return c;
}

TEST(RotateTest, QuarterTurnsMoveEveryPixel) {
  auto source = Bitmap24(5, 3, Code);
  TBitmap ccw, cw;
  _Rot90(source.get(), &ccw);
  _Rot90o(source.get(), &cw);
  ASSERT_EQ(ccw.GetWidth(), 3);
  ASSERT_EQ(ccw.GetHeight(), 5);
  ASSERT_EQ(cw.GetWidth(), 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) {
      EXPECT_EQ(Pixel24(&ccw, y, 4 - x), Code(x, y));  // top-right corner goes to the top-left
      EXPECT_EQ(Pixel24(&cw, 2 - y, x), Code(x, y));   // bottom-left corner goes to the top-left
    }

  // The same on pixel buffers, the source on file storage.
  TIEBitmap picture, turned;
  picture.FileThreshold = 1;
  picture.Allocate(5, 3, ie24RGB);
  ASSERT_EQ(picture.GetLocation(), ieFile);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 5; ++x) picture.SetPixels_ie24RGB(x, y, Code(x, y));
  _Rot90Ex(&picture, &turned);
  EXPECT_EQ(turned.GetWidth(), 3);
  EXPECT_EQ(turned.GetPixels_ie24RGB(0, 0), Code(4, 0));
  _Rot90oEx(&picture, &turned);
  EXPECT_EQ(turned.GetPixels_ie24RGB(0, 0), Code(0, 2));
}

TEST(RotateTest, WholeTurnsAndTinyAnglesLeaveThePicture) {
  for (double angle : {360.0, -720.0, 0.0004, 0.0}) {
    SCOPED_TRACE(angle);
    auto bitmap = Bitmap24(7, 4, Code);
    _Rotate24(bitmap.get(), angle, true, Grey(0), nullptr, nullptr);
    ASSERT_EQ(bitmap->GetWidth(), 7);
    ASSERT_EQ(bitmap->GetHeight(), 4);
    for (int y = 0; y < 4; ++y)
      for (int x = 0; x < 7; ++x) EXPECT_EQ(Pixel24(bitmap.get(), x, y), Code(x, y));
  }
  auto turned = Bitmap24(7, 4, Code);
  _Rotate24(turned.get(), -270, false, Grey(0), nullptr, nullptr);  // a quarter turn counter-clockwise
  ASSERT_EQ(turned->GetWidth(), 4);
  EXPECT_EQ(Pixel24(turned.get(), 0, 0), Code(6, 0));
}

TEST(RotateTest, ShearsGrowThePictureAndFillTheCornersWithBackground) {
  const TRGB background = Rgb(0, 0, 255);
  auto bitmap = Bitmap24(100, 50, [](int, int) { return Grey(101); });
  std::vector<int> reports;
  _Rotate24(bitmap.get(), 30, true, background, [&](TObject*, int per) { reports.push_back(per); }, nullptr);
  // W1 = 114, D = 7, H2 = 108, D2 = 14: 112 x 94.
  EXPECT_EQ(bitmap->GetWidth(), 112);
  EXPECT_EQ(bitmap->GetHeight(), 94);
  for (auto [x, y] : {std::pair{0, 0}, {111, 0}, {0, 93}, {111, 93}})
    EXPECT_EQ(Pixel24(bitmap.get(), x, y), background) << x << "," << y;
  // Antialiasing a flat area keeps its colour (odd levels included).
  EXPECT_EQ(Pixel24(bitmap.get(), 56, 47), Grey(101));
  // One report before each line of the three shears: 50 + 114 + 94.
  ASSERT_EQ(reports.size(), 258u);
  EXPECT_EQ(reports.front(), 0);
  EXPECT_EQ(reports.back(), 99);

  // Without antialias no colour is made up.
  auto coded = Bitmap24(40, 30, Code);
  std::set<uint32_t> colours = {TRGB2Key(background)};
  for (int y = 0; y < 30; ++y)
    for (int x = 0; x < 40; ++x) colours.insert(TRGB2Key(Code(x, y)));
  _Rotate24(coded.get(), -20, false, background, nullptr, nullptr);
  for (int y = 0; y < coded->GetHeight(); ++y)
    for (int x = 0; x < coded->GetWidth(); ++x) ASSERT_TRUE(colours.count(TRGB2Key(Pixel24(coded.get(), x, y))));
}

TEST(RotateTest, PositiveAnglesTurnCounterClockwise) {
  // A red block right of the centre moves up and stays right when turned
  // by 30, 46 (a quarter turn and -44) and -135 degrees.
  for (double angle : {30.0, 46.0, -135.0, 45.0}) {
    for (bool antialias : {false, true}) {
      SCOPED_TRACE(angle + antialias * 1000);
      auto bitmap = Bitmap24(61, 41, [](int x, int y) {
        return (x >= 52 && x <= 56 && y >= 18 && y <= 22) ? Rgb(255, 0, 0) : Grey(200);
      });
      _Rotate24(bitmap.get(), angle, antialias, Grey(0), nullptr, nullptr);
      const TCentroid c = CentroidOf(bitmap.get(), Rgb(255, 0, 0));
      ASSERT_GT(c.count, 0);
      const double a = angle * std::numbers::pi / 180;
      EXPECT_NEAR(c.x, 24 * std::cos(a), 2.0);
      EXPECT_NEAR(c.y, -24 * std::sin(a), 2.0);
    }
  }
}

TEST(RotateTest, OneBitQuarterAndHalfTurnsKeepEveryBit) {
  const auto white = [](int x, int y) { return (x * 3 + y * 5) % 7 < 3; };
  const int W = 11, H = 6;
  const struct {
    double angle;
    int width;
    // Where source pixel (x, y) lands.
    std::pair<int, int> (*to)(int x, int y);
  } cases[] = {
      {90, H, [](int x, int y) { return std::pair{y, W - 1 - x}; }},
      {-90, H, [](int x, int y) { return std::pair{H - 1 - y, x}; }},
      {270, H, [](int x, int y) { return std::pair{H - 1 - y, x}; }},
      {180, W, [](int x, int y) { return std::pair{W - 1 - x, H - 1 - y}; }},
      {-180, W, [](int x, int y) { return std::pair{W - 1 - x, H - 1 - y}; }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.angle);
    auto bitmap = Bitmap1(W, H, white);
    TProgressRec progress;
    _rotate1bit(bitmap.get(), 1, progress, c.angle);
    ASSERT_EQ(bitmap->GetPixelFormat(), pf1bit);
    ASSERT_EQ(bitmap->GetWidth(), c.width);
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x) {
        const auto [tx, ty] = c.to(x, y);
        EXPECT_EQ(Bit(bitmap.get(), tx, ty), white(x, y)) << x << "," << y;
      }
  }
}

TEST(RotateTest, OneBitSamplingFillsUncoveredCornersWithTheBackgroundBit) {
  for (int backgroundBit : {0, 1}) {
    auto bitmap = Bitmap1(61, 41, [](int x, int y) { return x >= 52 && x <= 56 && y >= 18 && y <= 22; });
    std::vector<int> reports;
    TProgressRec progress;
    progress.OnProgress = [&](TObject*, int per) { reports.push_back(per); };
    _rotate1bit(bitmap.get(), backgroundBit, progress, 30);
    const int W = bitmap->GetWidth(), H = bitmap->GetHeight();
    // Trunc(|61 c| + |41 s|) and Trunc(|61 s| + |41 c|) with c and s cut to
    // four decimals (0.866 and -0.4999, sin -30 degrees lying a hair above -0.5).
    EXPECT_EQ(W, 73);
    EXPECT_EQ(H, 65);
    EXPECT_EQ(Bit(bitmap.get(), 0, 0), backgroundBit == 1);
    EXPECT_EQ(Bit(bitmap.get(), W - 1, H - 1), backgroundBit == 1);
    ASSERT_EQ(reports.size(), size_t(H));
    EXPECT_EQ(reports.back(), (H - 1) * 100 / H);
    if (backgroundBit) continue;
    // The white block turned counter-clockwise, as in 24 bits.
    double sx = 0, sy = 0;
    int n = 0;
    for (int y = 0; y < H; ++y)
      for (int x = 0; x < W; ++x)
        if (Bit(bitmap.get(), x, y)) sx += x - (W - 1) / 2.0, sy += y - (H - 1) / 2.0, ++n;
    ASSERT_GT(n, 0);
    EXPECT_NEAR(sx / n, 24 * std::cos(std::numbers::pi / 6), 2.0);
    EXPECT_NEAR(sy / n, -24 * std::sin(std::numbers::pi / 6), 2.0);
  }
  // A single pixel turned by a hair keeps one pixel instead of none.
  auto dot = Bitmap1(1, 1, [](int, int) { return true; });
  TProgressRec none;
  _rotate1bit(dot.get(), 0, none, 0.001);
  EXPECT_EQ(dot->GetWidth(), 1);
  EXPECT_EQ(dot->GetHeight(), 1);
}

TEST(RotateTest, RotateExPicksTheBackgroundBitFromAllThreeChannels) {
  for (const auto& [background, bit] : {std::pair{Rgb(255, 0, 0), false}, {Rgb(1, 1, 1), true}}) {
    TIEBitmap picture;
    picture.Allocate(20, 10, ie1g);
    for (int y = 0; y < 10; ++y)
      for (int x = 0; x < 20; ++x) picture.SetPixels_ie1g(x, y, false);
    _RotateEx(&picture, 30, false, background);
    EXPECT_EQ(picture.GetPixelFormat(), ie1g);
    EXPECT_EQ(picture.GetPixels_ie1g(0, 0), bit);
  }
  TIEBitmap colour;
  colour.Allocate(6, 4, ie24RGB);
  colour.Fill(0);
  _RotateEx(&colour, 90, false, Grey(0));
  EXPECT_EQ(colour.GetWidth(), 4);
  EXPECT_EQ(colour.GetHeight(), 6);
  TIEBitmap gray;  // no rows either rotation understands: left alone
  gray.Allocate(6, 4, ie8g);
  _RotateEx(&gray, 90, false, Grey(0));
  EXPECT_EQ(gray.GetWidth(), 6);
}

TEST(FlipTest, MirrorsRowsOfBothFormats) {
  for (int width : {10, 16, 1}) {
    SCOPED_TRACE(width);
    const auto white = [](int x, int y) { return (x + y) % 3 == 0 || x == 0; };
    TIEBitmap picture;
    picture.FileThreshold = 1;  // rows come one at a time from the file
    picture.Allocate(width, 3, ie1g);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) picture.SetPixels_ie1g(x, y, white(x, y));
    _FlipEx(&picture, fdHorizontal);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) EXPECT_EQ(picture.GetPixels_ie1g(width - 1 - x, y), white(x, y));
    _FlipEx(&picture, fdVertical);
    for (int y = 0; y < 3; ++y)
      for (int x = 0; x < width; ++x) EXPECT_EQ(picture.GetPixels_ie1g(width - 1 - x, 2 - y), white(x, y));
  }
  TIEBitmap colour;
  colour.FileThreshold = 1;
  colour.Allocate(5, 4, ie24RGB);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) colour.SetPixels_ie24RGB(x, y, Code(x, y));
  _FlipEx(&colour, fdHorizontal);
  _FlipEx(&colour, fdVertical);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 5; ++x) EXPECT_EQ(colour.GetPixels_ie24RGB(4 - x, 3 - y), Code(x, y));
}

}  // namespace
