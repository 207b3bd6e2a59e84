#include "imaging/proc/iefilter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>

#include "imaging/proc/iefilterfile.h"
#include "pixproc_fixture.h"
#include "dibbytes.h"
#include "support/testenv.h"

namespace {

TRGB Code(int x, int y) { return Rgb(x * 40 % 256, y * 30 % 256, (x * y * 17) % 256); }

void Apply(TBitmap* bitmap, const TGraphFilter& filter, int x1, int y1, int x2, int y2) {
  TProgressRec progress;
  _ApplyFilter(bitmap, filter, x1, y1, x2, y2, progress);
}

TEST(ApplyFilter, PresetsOnKnownPictures) {
  // fpNone (Divisor 0 counts as 1) leaves the picture as it was.
  auto picture = Bitmap24(6, 5, Code);
  Apply(picture.get(), IEFiltPres[fpNone], 0, 0, 6, 5);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 6; ++x) ASSERT_TRUE(Pixel24(picture.get(), x, y) == Code(x, y));

  // fpBlur on a one-pixel-wide picture: the mean of the pixel and those
  // above and below, the border repeated.
  const int column[4] = {0, 90, 30, 255};
  auto narrow = Bitmap24(1, 4, [&](int, int y) { return Grey(column[y]); });
  Apply(narrow.get(), IEFiltPres[fpBlur], 0, 0, 1, 4);
  const int want[4] = {(0 * 6 + 90 * 3) / 9, (0 + 90 + 30) * 3 / 9, (90 + 30 + 255) * 3 / 9,
                       (30 * 3 + 255 * 6) / 9};
  for (int y = 0; y < 4; ++y) EXPECT_EQ(Pixel24(narrow.get(), 0, y).g, want[y]) << y;

  // fpEdge on a flat picture sums to 0.
  auto flat = Bitmap24(4, 4, [](int, int) { return Rgb(200, 100, 50); });
  Apply(flat.get(), IEFiltPres[fpEdge], 0, 0, 4, 4);
  EXPECT_EQ(TRGB2Key(Pixel24(flat.get(), 2, 2)), 0u);
}

TEST(ApplyFilter, SumsAreClampedAndDividedTowardZero) {
  const struct {
    TGraphFilter filter;
    int value, want;
  } cases[] = {
      {{{{0, 0, 0}, {0, -1, 0}, {0, 0, 0}}, 1}, 100, 0},
      {{{{0, 0, 0}, {0, 3, 0}, {0, 0, 0}}, 1}, 100, 255},
      {{{{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}, 3}, 100, 33},
      {{{{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}, -1}, 100, 0},
      // Coefficients that would overflow 32-bit sums still clamp.
      {{{{0, 0, 0}, {0, 2000000000, 0}, {0, 0, 0}}, 1}, 200, 255},
  };
  for (const auto& c : cases) {
    auto picture = Bitmap24(3, 3, [&](int, int) { return Grey(c.value); });
    Apply(picture.get(), c.filter, 0, 0, 3, 3);
    EXPECT_EQ(Pixel24(picture.get(), 1, 1).r, c.want) << c.want;
  }
}

TEST(ApplyFilter, OnlyTheRectangleChangesAndNeighboursAreReadUnchanged) {
  auto picture = Bitmap24(8, 8, Code);
  auto reference = Bitmap24(8, 8, Code);
  Apply(picture.get(), IEFiltPres[fpBlur], 2, 2, 5, 6);
  Apply(reference.get(), IEFiltPres[fpBlur], 0, 0, 8, 8);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) {
      const bool inside = x >= 2 && x < 5 && y >= 2 && y < 6;
      const TRGB want = inside ? Pixel24(reference.get(), x, y) : Code(x, y);
      ASSERT_TRUE(Pixel24(picture.get(), x, y) == want) << x << "," << y;
    }
  // Corners outside the picture are cut to it; other formats are left.
  Apply(picture.get(), IEFiltPres[fpBlur], -5, -5, 100, 100);
  auto mono = Bitmap1(8, 1, [](int x, int) { return x & 1; });
  Apply(mono.get(), IEFiltPres[fpBlur], 0, 0, 8, 1);
  EXPECT_EQ(mono->ScanLine(0)[0], 0x55);
}

TEST(ApplyFilter, ProgressPerRowAndAbort) {
  auto picture = Bitmap24(4, 10, Code);
  std::vector<int> seen;
  bool abort = false;
  TProgressRec progress;
  progress.OnProgress = [&](TObject*, int per) {
    seen.push_back(per);
    if (seen.size() == 3) abort = true;
  };
  progress.Aborting = &abort;
  _ApplyFilter(picture.get(), IEFiltPres[fpEdge], 0, 0, 4, 10, progress);
  EXPECT_EQ(seen, (std::vector<int>{10, 21, 31}));
  // Rows after the abort keep their pixels.
  EXPECT_TRUE(Pixel24(picture.get(), 1, 5) == Code(1, 5));
}

TEST(FilterFile, SavedKernelsLoadBackFromFortyThreeBytes) {
  cwtest::TempDir dir;
  const std::string name = dir.file("kernel.flt");
  const TGraphFilter saved{{{1, -2, 3}, {-4, 5, -6}, {7, -8, 2147483647}}, -9};
  SaveFilterToFile(name, saved);
  std::ifstream in(name, std::ios::binary);
  const Bytes bytes((std::istreambuf_iterator<char>(in)), {});
  ASSERT_EQ(bytes.size(), 43u);
  EXPECT_EQ(bytes[0], 1);
  EXPECT_EQ(bytes[1], 3);
  EXPECT_EQ(bytes[2], 3);
  EXPECT_EQ(bytes[3 + 4], 0xFE);  // -2, little-endian
  TGraphFilter loaded{};
  LoadFilterFromFile(name, loaded);
  EXPECT_EQ(std::memcmp(&loaded, &saved, sizeof saved), 0);
}

TEST(FilterFile, WrongHeadersAndCutFilesLeaveTheKernel) {
  cwtest::TempDir dir;
  const std::string name = dir.file("kernel.flt");
  auto write = [&](const Bytes& b) { std::ofstream(name, std::ios::binary).write((const char*)b.data(), b.size()); };
  const TGraphFilter before = IEFiltPres[fpEmboss];
  TGraphFilter filter = before;

  Bytes wrong(43, 1);
  wrong[0] = 2;
  write(wrong);
  LoadFilterFromFile(name, filter);
  EXPECT_EQ(std::memcmp(&filter, &before, sizeof before), 0);

  write({1, 3});
  LoadFilterFromFile(name, filter);
  EXPECT_EQ(std::memcmp(&filter, &before, sizeof before), 0);

  Bytes cut(30, 7);
  cut[0] = 1, cut[1] = 3, cut[2] = 3;
  write(cut);
  EXPECT_THROW(LoadFilterFromFile(name, filter), EReadError);
  EXPECT_EQ(std::memcmp(&filter, &before, sizeof before), 0);

  EXPECT_THROW(LoadFilterFromFile(dir.file("missing.flt"), filter), EFOpenError);
}

TEST_F(PixProcTest, ApplyFilterRunsOnTheSelectionUnderOneCaption) {
  Picture(10, 10);
  view->Select(2, 2, 6, 6);
  std::vector<int> seen;
  proc->OnProgress = [&](TObject* sender, int per) {
    EXPECT_EQ(sender, proc);
    seen.push_back(per);
  };
  proc->ApplyFilterPreset(fpEdge);
  EXPECT_EQ(proc->GetUndoCaptions(0), "ApplyFilter");
  EXPECT_EQ(seen.size(), 5u);
  EXPECT_TRUE(OriginalAt(1, 1));
  EXPECT_FALSE(OriginalAt(3, 3));
  proc->ApplyFilter(TGraphFilter{{{0, 0, 0}, {0, 1, 0}, {0, 0, 0}}, 1});
  EXPECT_EQ(proc->GetUndoCaptions(0), "ApplyFilter");
  EXPECT_EQ(imageChanges, 2);
}

}  // namespace
