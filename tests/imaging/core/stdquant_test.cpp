#include "imaging/core/stdquant.h"

#include <gtest/gtest.h>

#include <vector>

#include "imaging/core/neurquant.h"
#include "rgbpicture.h"

namespace {

const TRGB kUnset = Rgb(1, 2, 3);

// A one-row picture holding the given pixels.
TestRGBPicture Row(const std::vector<TRGB>& pixels) {
  TestRGBPicture picture(int(pixels.size()), pixels.empty() ? 0 : 1);
  for (size_t x = 0; x < pixels.size(); ++x) picture.Set(int(x), 0, pixels[x]);
  return picture;
}

struct PaletteCase {
  const char* name;
  std::vector<TRGB> pixels;
  int ncol;
  std::vector<TRGB> palette;  // expected entries 0 .. boxes - 1
};

// Palettes worked out by hand from the box statistics and the split score.
// Red slots 0 (twice), 10 and 31: the score keeps slot 10 with slot 0 on the
// first cut, so two colours give the mean of slots 0, 0, 10 (3.33 -> 24).
TEST(MedianCut, BuildsHandComputedPalettes) {
  const TRGB black = Rgb(0, 0, 0), white = Rgb(255, 255, 255);
  const std::vector<TRGB> reds = {Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(80, 0, 0), Rgb(255, 0, 0)};
  const PaletteCase cases[] = {
      {"one colour, low bits cleared", {Rgb(200, 100, 37), Rgb(200, 100, 37)}, 16,
       {Rgb(200, 96, 32)}},
      {"black and white", {black, black, black, white}, 2, {black, Rgb(248, 248, 248)}},
      {"three reds into two", reds, 2, {Rgb(24, 0, 0), Rgb(248, 0, 0)}},
      {"three reds into three", reds, 3, {black, Rgb(248, 0, 0), Rgb(80, 0, 0)}},
      {"fewer colours than asked", reds, 8, {black, Rgb(248, 0, 0), Rgb(80, 0, 0)}},
      {"empty picture", {}, 16, {black}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestRGBPicture picture = Row(c.pixels);
    std::vector<TRGB> map(256, kUnset);
    TIEMedianCut* q = CreateMedianCutQuantizer(&picture, map, c.ncol);
    ASSERT_EQ(q->NBoxes, int(c.palette.size()));
    for (size_t i = 0; i < map.size(); ++i)
      EXPECT_EQ(map[i], i < c.palette.size() ? c.palette[i] : kUnset) << "entry " << i;
    FreeMedianCutQuantizer(q);
  }
}

TEST(MedianCut, LooksUpTheBoxOfEachCell) {
  TestRGBPicture picture = Row({Rgb(0, 0, 0), Rgb(0, 0, 0), Rgb(80, 0, 0), Rgb(255, 0, 0)});
  std::vector<TRGB> map(3);
  TIEMedianCut* q = CreateMedianCutQuantizer(&picture, map, 3);
  const struct {
    TRGB colour;
    int index;
  } lookups[] = {
      {Rgb(0, 0, 0), 0},   {Rgb(7, 7, 7), 0},       {Rgb(80, 0, 0), 2},
      {Rgb(87, 7, 7), 2},  {Rgb(255, 0, 0), 1},     {Rgb(248, 7, 0), 1},
      {Rgb(0, 255, 0), 0},  // a cell in no box
  };
  for (const auto& l : lookups)
    EXPECT_EQ(MedianCutFindIndex(q, l.colour), l.index)
        << int(l.colour.r) << "," << int(l.colour.g) << "," << int(l.colour.b);
  FreeMedianCutQuantizer(q);
}

// Every pixel counts, also past 65,535 columns or rows: the lone white
// pixels sit at the far end.
TEST(MedianCut, CountsPixelsBeyondSixteenBitSizes) {
  const int length = 65536 + 2;
  for (bool wide : {true, false}) {
    SCOPED_TRACE(wide ? "wide" : "tall");
    TestRGBPicture picture(wide ? length : 1, wide ? 1 : length);
    for (int i = length - 2; i < length; ++i)
      picture.Set(wide ? i : 0, wide ? 0 : i, Rgb(255, 255, 255));
    std::vector<TRGB> map(2);
    TIEMedianCut* q = CreateMedianCutQuantizer(&picture, map, 2);
    EXPECT_EQ(q->PixelCount, int64_t(length));
    ASSERT_EQ(q->NBoxes, 2);
    EXPECT_EQ(map[1], Rgb(248, 248, 248));
    FreeMedianCutQuantizer(q);
  }
}

// Neighbouring slots at the top of a channel still part into two boxes.
TEST(MedianCut, SeparatesNeighbouringTopSlots) {
  TestRGBPicture picture = Row({Rgb(248, 0, 0), Rgb(248, 0, 0), Rgb(240, 0, 0)});
  std::vector<TRGB> map(4, kUnset);
  TIEMedianCut* q = CreateMedianCutQuantizer(&picture, map, 4);
  ASSERT_EQ(q->NBoxes, 2);
  EXPECT_EQ(map[0], Rgb(240, 0, 0));
  EXPECT_EQ(map[1], Rgb(248, 0, 0));
  FreeMedianCutQuantizer(q);
}

}  // namespace
