#include "imaging/proc/iemorph.h"

#include <gtest/gtest.h>

#include "imaging/proc/iekfill.h"
#include "pixproc_fixture.h"

namespace {

const TRGB kBright = Rgb(250, 240, 230);

void Morph(TBitmap* b, int radius, int operation) {
  _MorphFilter(b, radius, operation, 0, 0, b->GetWidth(), b->GetHeight(), nullptr, nullptr);
}

TEST(MorphFilter, MaximumSpreadsTheBrightestColourExactly) {
  auto picture = Bitmap24(7, 7, [](int x, int y) { return x == 3 && y == 3 ? kBright : Grey(10); });
  Morph(picture.get(), 1, 0);
  for (int y = 0; y < 7; ++y)
    for (int x = 0; x < 7; ++x) {
      const bool block = std::abs(x - 3) <= 1 && std::abs(y - 3) <= 1;
      ASSERT_TRUE(Pixel24(picture.get(), x, y) == (block ? kBright : Grey(10))) << x << "," << y;
    }
}

TEST(MorphFilter, OpeningRemovesASpeckAndKeepsASquare) {
  auto picture = Bitmap24(12, 8, [](int x, int y) {
    if (x == 2 && y == 2) return kBright;
    if (x >= 6 && x <= 8 && y >= 3 && y <= 5) return kBright;
    return Grey(20);
  });
  Morph(picture.get(), 1, 2);
  EXPECT_TRUE(Pixel24(picture.get(), 2, 2) == Grey(20));
  for (int y = 0; y < 8; ++y)
    for (int x = 6; x <= 8; ++x) {
      const bool square = y >= 3 && y <= 5;
      ASSERT_TRUE(Pixel24(picture.get(), x, y) == (square ? kBright : Grey(20))) << x << "," << y;
    }
}

TEST(MorphFilter, TiesGoUpThenLeftAndNegativeRadiiChangeNothing) {
  // Two colours of the same grey level: the one higher up wins, then the
  // one further left.
  const TRGB a = Rgb(100, 100, 100), b = Rgb(99, 100, 108);
  ASSERT_EQ((a.r * 21 + a.g * 71 + a.b * 8) / 100, (b.r * 21 + b.g * 71 + b.b * 8) / 100);
  auto above = Bitmap24(3, 3, [&](int x, int y) { return y == 0 && x == 2 ? b : y == 2 && x == 0 ? a : Grey(0); });
  Morph(above.get(), 1, 0);
  EXPECT_TRUE(Pixel24(above.get(), 1, 1) == b);
  auto left = Bitmap24(3, 1, [&](int x, int) { return x == 0 ? a : x == 2 ? b : Grey(0); });
  Morph(left.get(), 1, 0);
  EXPECT_TRUE(Pixel24(left.get(), 1, 0) == a);

  auto same = Bitmap24(5, 5, [](int x, int y) { return Grey(x * 50 + y); });
  Morph(same.get(), -1, 0);
  Morph(same.get(), 2, 7);
  EXPECT_TRUE(Pixel24(same.get(), 2, 2) == Grey(102));
}

TEST(MorphFilter, TheWindowStaysInsideTheRectangle) {
  auto picture = Bitmap24(6, 1, [](int x, int) { return Grey(x == 0 ? 255 : 10); });
  _MorphFilter(picture.get(), 3, 0, 1, 0, 6, 1, nullptr, nullptr);
  EXPECT_TRUE(Pixel24(picture.get(), 1, 0) == Grey(10));
  // A huge radius costs no more than the rectangle.
  _MorphFilter(picture.get(), 2000000000, 1, 0, 0, 6, 1, nullptr, nullptr);
  EXPECT_TRUE(Pixel24(picture.get(), 0, 0) == Grey(10));
}

// A 1-bit picture from rows of '#' (set) and '.'.
std::unique_ptr<TBitmap> Mono(const std::vector<std::string>& rows) {
  return Bitmap1(int(rows[0].size()), int(rows.size()), [&](int x, int y) { return rows[y][x] == '#'; });
}
std::vector<std::string> Rows(TBitmap* b) {
  std::vector<std::string> rows;
  for (int y = 0; y < b->GetHeight(); ++y) {
    std::string row;
    for (int x = 0; x < b->GetWidth(); ++x) row += Bit(b, x, y) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

TEST(RemoveIsolatedPixels, SizeCountsThePixelAndItsNeighbours) {
  const std::vector<std::string> picture = {
      "#.......",
      "...##...",
      "........",
      ".#...###",
      "........",
  };
  auto one = Mono(picture);
  _IERemoveIsolatedPixels1Bit(one.get(), 0, 0, 8, 5, 1, 1);
  EXPECT_EQ(Rows(one.get()), (std::vector<std::string>{"........", "...##...", "........", ".....###", "........"}));
  auto two = Mono(picture);
  _IERemoveIsolatedPixels1Bit(two.get(), 0, 0, 8, 5, 1, 2);
  // The ends of a line have one neighbour too.
  EXPECT_EQ(Rows(two.get()), (std::vector<std::string>{"........", "........", "........", "......#.", "........"}));
  // Colour 0 removes clear specks from a set picture.
  auto holes = Mono({"#####", "##.##", "#####"});
  _IERemoveIsolatedPixels1Bit(holes.get(), 0, 0, 5, 3, 0, 1);
  EXPECT_EQ(Rows(holes.get()), (std::vector<std::string>{"#####", "#####", "#####"}));
}

TEST(KFill, CleanPicturesStayAndSpecksGo) {
  const std::vector<std::string> clean = {
      "..........",
      "..........",
      "..######..",
      "..######..",
      "..######..",
      "..######..",
      "..........",
      "..........",
  };
  auto picture = Mono(clean);
  _kf_kfill(picture.get(), true, true, 1, 3, false);
  EXPECT_EQ(Rows(picture.get()), clean);

  auto speck = Mono({".....", ".....", "..#..", ".....", "....."});
  _kf_kfill(speck.get(), true, true, 5, 3, false);
  EXPECT_EQ(Rows(speck.get()), (std::vector<std::string>{".....", ".....", ".....", ".....", "....."}));

  // Inverted, a clear speck counts as the picture and goes.
  auto inverted = Mono({"#####", "#####", "##.##", "#####", "#####"});
  _kf_kfill(inverted.get(), true, true, 1, 3, true);
  EXPECT_EQ(Rows(inverted.get())[2], "#####");
}

TEST(KFill, OutermostRowsAndColumnsNeverChange) {
  const std::vector<std::string> edges = {"#...#", ".....", "#....", ".....", "..#.#"};
  for (bool invert : {false, true}) {
    auto picture = Mono(edges);
    _kf_kfill(picture.get(), true, true, 10, 3, invert);
    EXPECT_EQ(Rows(picture.get()), edges) << invert;
  }
  auto colour = Bitmap24(5, 5, [](int, int) { return Grey(255); });
  _kf_kfill(colour.get(), true, true, 3, 3, false);
  EXPECT_EQ(TRGB2Key(Pixel24(colour.get(), 2, 2)), 0xFFFFFFu);
}

TEST_F(PixProcTest, MorphologyCaptionsAndOneBitOperations) {
  Picture(8, 8);
  proc->Maximum(2);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Maximum 2");
  proc->Closing(-1);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Closing -1");

  // Size 0 and Iterations 0 return before any snapshot.
  const int count = proc->GetUndoCount();
  proc->UndoLimit = 5;
  proc->RemoveIsolatedPixels(1, 0);
  proc->RemoveNoise(0, false);
  EXPECT_EQ(proc->GetUndoCount(), count);

  // On a 24-bit picture the 1-bit operations save their snapshot, change
  // nothing and still tell the view.
  imageChanges = 0;
  Picture(8, 8);
  proc->RemoveNoise(1, false);
  EXPECT_EQ(proc->GetUndoCaptions(0), "RemoveNoise");
  EXPECT_TRUE(OriginalAt(4, 4));
  EXPECT_EQ(imageChanges, 1);

  TBitmap* b = view->GetFBitmap();
  b->Assign(Mono({"......", ".#....", "......", "...##.", "...##.", "......"}).get());
  view->Update();
  proc->RemoveIsolatedPixels(1, 1);
  EXPECT_EQ(proc->GetUndoCaptions(0), "RemoveIsolatedPixels");
  EXPECT_FALSE(Bit(view->GetFBitmap(), 1, 1));
  EXPECT_TRUE(Bit(view->GetFBitmap(), 3, 3));
}

}  // namespace
