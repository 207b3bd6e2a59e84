// Edge maps and skew estimates: edges where the picture changes, a long
// chain on a large picture, lines drawn at known angles found within the
// precision step, and pictures without lines.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "bitmaps.h"
#include "imaging/proc/ieedgedetect.h"
#include "imaging/proc/ieskew.h"
#include "pixproc_fixture.h"

namespace {

// A white pf1bit page.
std::unique_ptr<TBitmap> WhitePage(int w, int h) {
  auto page = std::make_unique<TBitmap>();
  page->SetPixelFormat(pf1bit);
  page->SetSize(w, h);
  for (int y = 0; y < h; ++y) std::fill_n(page->ScanLine(y), page->BytesPerLine(), 0xFF);
  return page;
}

void Black(TBitmap* page, int x, int y) {
  if (x >= 0 && y >= 0 && x < page->GetWidth() && y < page->GetHeight())
    page->ScanLine(y)[x >> 3] &= static_cast<uint8_t>(~(0x80 >> (x & 7)));
}

// Text-like lines leaning `degrees` (down to the right when positive).
std::unique_ptr<TBitmap> LinedPage(int w, int h, double degrees) {
  auto page = WhitePage(w, h);
  const double slope = std::tan(degrees * std::numbers::pi / 180);
  for (int y0 = h / 6; y0 < h * 5 / 6; y0 += 17)
    for (int x = w / 10; x < w * 9 / 10; ++x) Black(page.get(), x, static_cast<int>(std::lround(y0 + slope * (x - w / 2))));
  return page;
}

// The same lines, 3 pixels thick, dark grey on a light 24-bit page.
std::unique_ptr<TBitmap> LinedColourPage(int w, int h, double degrees) {
  auto lines = LinedPage(w, h, degrees);
  return Bitmap24(w, h, [&](int x, int y) {
    for (int d = -1; d <= 1; ++d)
      if (y + d >= 0 && y + d < h && !Bit(lines.get(), x, y + d)) return Rgb(40, 40, 50);
    return Rgb(235, 230, 225);
  });
}

double Hough(TBitmap* page, int range, double precision) {
  TProgressRec progress;
  return _iehough(page, progress, range, precision);
}

TEST(Skew, LinesAtKnownAnglesAreFoundWithinTheStep) {
  const double angles[] = {-7, -2.5, -0.5, 0, 1, 3.5, 8.5};
  struct TPrecision {
    double precision;
    double step;
  };
  // 0.25 is cut to 0.2; 0.4 gives 2.5 steps a degree, rounded to 2.
  for (const TPrecision p : {TPrecision{1, 1}, TPrecision{0.5, 0.5}, TPrecision{0.25, 0.2}, TPrecision{0.4, 0.5}}) {
    for (double angle : angles) {
      auto page = LinedPage(300, 240, angle);
      const double found = Hough(page.get(), 30, p.precision);
      EXPECT_NEAR(found, angle, p.step + 1e-9) << "precision " << p.precision;
      // Results are whole steps.
      EXPECT_NEAR(std::remainder(found, p.step), 0, 1e-9) << found;
    }
  }
}

TEST(Skew, PagesWithoutLinesOrWithBadArgumentsReportNoSkew) {
  auto blank = WhitePage(120, 90);
  auto lines = LinedPage(120, 90, 4);
  struct TCase {
    const char* name;
    TBitmap* page;
    int range;
    double precision;
  };
  const TCase cases[] = {
      {"blank page", blank.get(), 20, 0.5},    {"range 0", lines.get(), 0, 0.5},
      {"precision 0.05", lines.get(), 20, 0.05}, {"precision above 1", lines.get(), 20, 1.5},
      {"range above 180", lines.get(), 181, 0.5},
  };
  for (const TCase& c : cases) EXPECT_EQ(Hough(c.page, c.range, c.precision), 0) << c.name;
  auto colour = LinedColourPage(120, 90, 4);
  EXPECT_EQ(Hough(colour.get(), 20, 0.5), 0) << "only black-and-white pictures";
}

// Corner pixels of tiny pictures round one bin past the centre distance.
TEST(Skew, VotesStayInsideTheAccumulator) {
  for (int side : {1, 2, 3, 5}) {
    auto page = WhitePage(side, side);
    for (int y = 0; y < side; ++y)
      for (int x = 0; x < side; ++x) Black(page.get(), x, y);
    const double found = Hough(page.get(), 180, 1);
    EXPECT_GE(found, -90) << side;
    EXPECT_LE(found, 90) << side;
  }
}

TEST(EdgeDetect, EdgesFollowTheBordersOfShapes) {
  // A dark square on a light page.
  auto picture = Bitmap24(64, 48, [](int x, int y) {
    return x >= 20 && x < 44 && y >= 12 && y < 36 ? Rgb(30, 30, 30) : Rgb(220, 220, 220);
  });
  int reports = 0;
  TProgressRec progress;
  progress.OnProgress = [&](TObject*, int) { ++reports; };
  TBitmap map;
  _IEEdgeDetect_ShenCastan(picture.get(), &map, 0.9, 0.9, 7, 0, true, progress);
  ASSERT_EQ(map.GetPixelFormat(), pf1bit);
  ASSERT_EQ(map.GetWidth(), 64);
  ASSERT_EQ(map.GetHeight(), 48);
  EXPECT_EQ(reports, 6);
  int nearBorder = 0;
  for (int y = 0; y < 48; ++y)
    for (int x = 0; x < 64; ++x) {
      if (Bit(&map, x, y)) continue;
      const int fromX = std::min(std::abs(x - 20), std::abs(x - 43));
      const int fromY = std::min(std::abs(y - 12), std::abs(y - 35));
      const bool inBand = (fromX <= 2 && y >= 10 && y <= 37) || (fromY <= 2 && x >= 18 && x <= 45);
      EXPECT_TRUE(inBand) << "edge far from the square at " << x << "," << y;
      nearBorder += inBand;
    }
  EXPECT_GT(nearBorder, 40) << "the square's outline is found";
  for (int y = 0; y < 48; ++y) EXPECT_TRUE(Bit(&map, 0, y)) << "first column is white";
  for (int x = 0; x < 64; ++x) EXPECT_TRUE(Bit(&map, x, 47)) << "last row is white";

  // A window wider than the picture is measured over what there is.
  TBitmap wide;
  _IEEdgeDetect_ShenCastan(picture.get(), &wide, 0.9, 0.9, 501, 0, true, progress);
  EXPECT_EQ(wide.GetWidth(), 64);

  // In place, and other formats are left alone.
  _IEEdgeDetect_ShenCastan(picture.get(), picture.get(), 0.9, 0.9, 7, 0, true, progress);
  EXPECT_EQ(picture->GetPixelFormat(), pf1bit);
  auto mono = WhitePage(10, 10);
  _IEEdgeDetect_ShenCastan(mono.get(), mono.get(), 0.9, 0.9, 7, 0, true, progress);
  EXPECT_EQ(mono->GetWidth(), 10);
  EXPECT_TRUE(Bit(mono.get(), 5, 5));
}

// A spiral stroke gives edge chains tens of thousands of pixels long; the
// trace follows them without running out of stack.
TEST(EdgeDetect, LongChainsOnLargePicturesAreTraced) {
  const int side = 700;
  auto spiral = Bitmap24(side, side, [&](int x, int y) {
    const double dx = x - side / 2.0, dy = y - side / 2.0;
    const double r = std::hypot(dx, dy), a = std::atan2(dy, dx);
    const double turn = std::fmod(r - 6 * a / std::numbers::pi + 1000, 12.0);
    return turn < 4 ? Rgb(0, 0, 0) : Rgb(255, 255, 255);
  });
  TProgressRec progress;
  TBitmap map;
  _IEEdgeDetect_ShenCastan(spiral.get(), &map, 0.5, 0.9, 3, 0, false, progress);
  int edges = 0;
  for (int y = 0; y < side; ++y)
    for (int x = 0; x < side; ++x) edges += !Bit(&map, x, y);
  EXPECT_GT(edges, 20000);
}

using PixProcEdgeTest = PixProcTest;

TEST_F(PixProcEdgeTest, SkewOfAColourPageThroughTheComponent) {
  auto page = LinedColourPage(400, 300, -3);
  view->GetFBitmap()->Assign(page.get());
  view->Update();
  struct TCase {
    int resizeWidth;
    bool edgeDetect;
    double within;  // 0: exactly 0
  };
  // A reduced colour copy without edge detection stays 24-bit: no estimate.
  for (const TCase c : {TCase{0, false, 0.5}, TCase{200, true, 1}, TCase{200, false, 0}}) {
    const double found = proc->SkewDetection(c.resizeWidth, 20, 0.5, c.edgeDetect);
    if (c.within == 0)
      EXPECT_EQ(found, 0) << c.resizeWidth;
    else
      EXPECT_NEAR(found, -3, c.within) << c.resizeWidth << " " << c.edgeDetect;
  }
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(view->GetFBitmap()->GetPixelFormat(), pf24bit) << "the picture is not changed";

  // A 1-bit page as it is, resized, and through its edge map.
  auto mono = LinedPage(400, 300, 2);
  view->GetFBitmap()->Assign(mono.get());
  view->Update();
  for (const TCase c : {TCase{0, false, 0.5}, TCase{200, false, 1}, TCase{0, true, 1}})
    EXPECT_NEAR(proc->SkewDetection(c.resizeWidth, 20, 0.5, c.edgeDetect), 2, c.within)
        << c.resizeWidth << " " << c.edgeDetect;

  Picture(30, 20);
  proc->EdgeDetect_ShenCastan(0.9, 0.9, 7, 0, true);
  EXPECT_EQ(proc->GetUndoCaptions(0), "EdgeDetect");
  EXPECT_EQ(view->GetFBitmap()->GetPixelFormat(), pf1bit);
  EXPECT_EQ(imageChanges, 1);
}

}  // namespace
