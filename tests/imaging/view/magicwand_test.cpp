// The magic wand on small pictures drawn as text: '#' is the seed colour,
// '+' a colour within tolerance 15 of it, '.' far from it.
#include "imaging/view/magicwand.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "imaging/core/iemask.h"
#include "platform/graphics.h"

namespace {

std::unique_ptr<TBitmap> Picture(const std::vector<std::string>& rows) {
  auto bitmap = std::make_unique<TBitmap>();
  bitmap->SetPixelFormat(pf24bit);
  bitmap->SetSize(int(rows[0].size()), int(rows.size()));
  for (size_t y = 0; y < rows.size(); ++y)
    for (size_t x = 0; x < rows[y].size(); ++x) {
      uint8_t* p = bitmap->ScanLine(int(y)) + x * 3;
      const uint8_t v = rows[y][x] == '#' ? 100 : rows[y][x] == '+' ? 110 : 200;
      p[0] = p[1] = p[2] = v;
    }
  return bitmap;
}

std::vector<std::string> MaskRows(TIEMask& mask) {
  std::vector<std::string> rows;
  for (int y = 0; y < mask.Height; ++y) {
    std::string row;
    for (int x = 0; x < mask.Width; ++x) row += mask.GetPixel(x, y) ? 'x' : '.';
    rows.push_back(row);
  }
  return rows;
}

std::vector<std::string> Exclusive(const std::vector<std::string>& picture, int x, int y, bool grow, int tolerance) {
  auto bitmap = Picture(picture);
  TIEMask mask;
  mask.AllocateBits(bitmap->GetWidth(), bitmap->GetHeight(), 1);
  _MakeMagicWandPointsEx(bitmap.get(), x, y, grow, tolerance, &mask);
  return MaskRows(mask);
}

const std::vector<std::string> kRing = {
    ".......",  //
    ".#####.",  //
    ".#...#.",  //
    ".#...#.",  //
    ".#####.",  //
    "......#",  // touches the ring at a corner only
};

TEST(MagicWand, ExclusiveFillIsFourConnectedAndKeepsHoles) {
  EXPECT_EQ(Exclusive(kRing, 1, 1, false, 15), (std::vector<std::string>{".......", ".xxxxx.", ".x...x.", ".x...x.",
                                                                         ".xxxxx.", "......."}));
  // Grow adds the 8 neighbours of every filled pixel.
  EXPECT_EQ(Exclusive(kRing, 1, 1, true, 15), (std::vector<std::string>{"xxxxxxx", "xxxxxxx", "xxxxxxx", "xxxxxxx",
                                                                         "xxxxxxx", "xxxxxxx"}));
}

TEST(MagicWand, ToleranceDecidesWhatResembles) {
  const std::vector<std::string> picture = {"#+.", "++.", "..."};
  EXPECT_EQ(Exclusive(picture, 0, 0, false, 0), (std::vector<std::string>{"x..", "...", "..."}));
  EXPECT_EQ(Exclusive(picture, 0, 0, false, 15), (std::vector<std::string>{"xx.", "xx.", "..."}));
  EXPECT_EQ(Exclusive(picture, 0, 0, false, 255), (std::vector<std::string>{"xxx", "xxx", "xxx"}));
}

TEST(MagicWand, GlobalSelectsUnconnectedPixelsToo) {
  auto bitmap = Picture(kRing);
  TIEMask mask;
  mask.AllocateBits(7, 6, 1);
  _MakeMagicWandPointsEx2(bitmap.get(), 1, 1, 15, &mask);
  EXPECT_EQ(mask.GetPixel(6, 5) != 0, true);
  EXPECT_EQ(mask.GetPixel(3, 3), 0);
}

TEST(MagicWand, InclusiveContourFollowsTheOuterEdgeOnly) {
  auto bitmap = Picture(kRing);
  int32_t count = -1;
  const std::vector<TPoint> points = _MakeMagicWandPoints(bitmap.get(), 1, 1, false, 15, count);
  ASSERT_EQ(count, int32_t(points.size()));
  ASSERT_GE(count, 4);
  // Filling the polygon gives the ring with its hole.
  TIEMask mask;
  mask.AllocateBits(7, 6, 1);
  mask.DrawPolygon(1, points.data(), count);
  EXPECT_EQ(MaskRows(mask),
            (std::vector<std::string>{".......", ".xxxxx.", ".xxxxx.", ".xxxxx.", ".xxxxx.", "......."}));
}

TEST(MagicWand, OnePixelRegionIsAUnitSquare) {
  auto bitmap = Picture({"...", ".#.", "..."});
  int32_t count = 0;
  const std::vector<TPoint> points = _MakeMagicWandPoints(bitmap.get(), 1, 1, false, 15, count);
  ASSERT_GT(count, 0);
  int minX = 99, minY = 99, maxX = -1, maxY = -1;
  for (const TPoint& p : points) {
    minX = std::min(minX, p.x);
    maxX = std::max(maxX, p.x);
    minY = std::min(minY, p.y);
    maxY = std::max(maxY, p.y);
  }
  EXPECT_EQ(minX, 1);
  EXPECT_EQ(minY, 1);
  EXPECT_EQ(maxX, 2);
  EXPECT_EQ(maxY, 2);
}

TEST(MagicWand, OtherPicturesAndSeedsOutsideGiveNothing) {
  auto bitmap = Picture({"##", "##"});
  int32_t count = 7;
  EXPECT_TRUE(_MakeMagicWandPoints(bitmap.get(), 5, 0, false, 15, count).empty());
  EXPECT_EQ(count, 0);
  TBitmap mono;
  mono.SetPixelFormat(pf1bit);
  mono.SetSize(4, 4);
  EXPECT_TRUE(_MakeMagicWandPoints(&mono, 1, 1, false, 15, count).empty());
  TIEMask mask;
  mask.AllocateBits(4, 4, 1);
  _MakeMagicWandPointsEx(&mono, 1, 1, false, 15, &mask);
  _MakeMagicWandPointsEx2(&mono, 1, 1, 15, &mask);
  EXPECT_EQ(mask.GetPixel(1, 1), 0);
}

TEST(MagicWand, LargeRegionsDoNotExhaustTheStack) {
  std::vector<std::string> rows(400, std::string(400, '#'));
  for (int y = 1; y < 400; y += 2)  // a serpentine of single rows
    rows[y].assign(400, '.'), rows[y][y % 4 == 1 ? 399 : 0] = '#';
  auto bitmap = Picture(rows);
  TIEMask mask;
  mask.AllocateBits(400, 400, 1);
  _MakeMagicWandPointsEx(bitmap.get(), 0, 0, false, 0, &mask);
  EXPECT_NE(mask.GetPixel(0, 398), 0);
}

}  // namespace
