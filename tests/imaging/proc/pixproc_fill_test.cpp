#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pixproc_fixture.h"

namespace {

using PixProcFillTest = PixProcTest;

TEST_F(PixProcFillTest, FillMarksAndGammaRunOnTheSelection) {
  Picture(12, 10);
  view->Select(2, 2, 5, 5);
  proc->Fill(Rgb(9, 8, 7));
  EXPECT_EQ(proc->GetUndoCaptions(0), "Fill");
  EXPECT_EQ(At(3, 3), Rgb(9, 8, 7));
  EXPECT_TRUE(OriginalAt(6, 3));

  proc->PaintMark(2, Grey(255));
  EXPECT_EQ(proc->GetUndoCaptions(0), "PaintMark");
  EXPECT_EQ(At(2, 2), Grey(255));  // counters start at the box's corner
  EXPECT_EQ(At(5, 5), Grey(255));
  EXPECT_EQ(At(3, 2), Rgb(9, 8, 7));

  view->DeSelect();
  Picture(12, 10);
  proc->GammaCorrect(2.0, iecGreen);
  EXPECT_EQ(proc->GetUndoCaptions(0), "GammaCorrect");
  const TRGB c = Code(4, 5);
  EXPECT_EQ(At(4, 5), Rgb(c.r, int(std::lround(std::sqrt(c.g / 255.0) * 255)), c.b));
  EXPECT_EQ(imageChanges, 1);
}

TEST_F(PixProcFillTest, GammaLeavesOtherFormatsAloneButFillTakesOneBit) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(8, 2);
  for (int y = 0; y < 2; ++y) std::fill_n(b->ScanLine(y), b->BytesPerLine(), 0);
  view->Update();
  imageChanges = 0;
  proc->GammaCorrect(2.0, iecRed);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  proc->Fill(Rgb(255, 0, 0));
  EXPECT_TRUE(Bit(b, 7, 1));
  EXPECT_EQ(proc->GetUndoCaptions(0), "Fill");
}

TEST_F(PixProcFillTest, DensityOfAMaskedSelectionUsesItsBox) {
  Picture(20, 16);
  const TPoint diamond[] = {{10, 2}, {17, 8}, {10, 14}, {3, 8}};
  view->SelectionMask->DrawPolygon(1, diamond, 4);
  view->HasSelection = true;
  TIEMask* mask = view->SelectionMask;
  std::vector<int> rows(mask->Y2 - mask->Y1 + 1), columns(mask->X2 - mask->X1 + 1);
  proc->CalcDensityHistogram(rows, columns, 100, 100);
  // The box's shape is ignored: every row and column has pixels.
  for (int v : rows) EXPECT_GT(v, 0);
  EXPECT_EQ(*std::max_element(rows.begin(), rows.end()), 100);
  EXPECT_EQ(*std::max_element(columns.begin(), columns.end()), 100);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
}

TEST_F(PixProcFillTest, ComparisonNeedsTwoPicturesOfOneSize) {
  Picture(6, 4);
  double v[10];
  for (double& d : v) d = -7;
  auto same = Bitmap24(6, 4, Code);
  auto smaller = Bitmap24(5, 4, Code);
  auto bw = Bitmap1(6, 4, [](int, int) { return true; });
  for (TBitmap* other : {smaller.get(), bw.get(), static_cast<TBitmap*>(nullptr)}) {
    EXPECT_FALSE(proc->ComputeImageEquality(other, v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]));
    for (double d : v) EXPECT_EQ(d, -7);
  }
  EXPECT_TRUE(proc->ComputeImageEquality(same.get(), v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7], v[8], v[9]));
  for (double d : v) EXPECT_EQ(d, 0);
  EXPECT_EQ(proc->GetUndoCount(), 0);
}

}  // namespace
