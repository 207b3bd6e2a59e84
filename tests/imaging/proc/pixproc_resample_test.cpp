// TPixProc::Resample: sizes from one side, undo snapshots, 1-bit pictures
// and the alpha channel.
#include "imaging/proc/ieresample.h"
#include "pixproc_fixture.h"

namespace {

TEST_F(PixProcTest, ResampleKeepsTheAspectFromOneSide) {
  Picture(200, 100);
  proc->AutoUndo = true;
  proc->Resample(-1, 50, rfTriangle);
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 100);
  EXPECT_EQ(view->GetFBitmap()->GetHeight(), 50);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Resample -1,50");
  EXPECT_GT(imageChanges, 0);
  proc->Resample(60, -1, rfFastLinear);
  EXPECT_EQ(view->GetFBitmap()->GetHeight(), 30);
}

TEST_F(PixProcTest, ResampleWithBothSidesBelowZeroOnlySavesTheSnapshot) {
  Picture(20, 10);
  proc->AutoUndo = true;
  proc->Resample(-1, -1, rfBell);
  EXPECT_EQ(proc->GetUndoCount(), 1);
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 20);
  EXPECT_TRUE(OriginalAt(19, 9));
}

TEST_F(PixProcTest, ResampleMatchesTheRoutineAndStretchesWithoutAFilter) {
  Picture(40, 30);
  TBitmap expected;
  expected.SetSize(17, 13);
  _Resample(view->GetFBitmap(), &expected, rfMitchell);
  proc->Resample(17, 13, rfMitchell);
  for (int y = 0; y < 13; ++y)
    for (int x = 0; x < 17; ++x) ASSERT_TRUE(Same(At(x, y), Pixel24(&expected, x, y))) << x << "," << y;

  Picture(10, 10);
  proc->Resample(20, 20, rfNone);
  EXPECT_TRUE(Same(At(3, 5), Code(1, 2)));
}

TEST_F(PixProcTest, ResampleTurnsOneBitPicturesIntoGreyAndFollowsTheAlphaChannel) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(16, 16);
  for (int y = 0; y < 16; ++y) b->ScanLine(y)[0] = b->ScanLine(y)[1] = 0xAA;  // every other pixel set
  view->Update();
  proc->Resample(4, 4, rfTriangle);
  EXPECT_EQ(b->GetPixelFormat(), pf24bit);
  EXPECT_EQ(b->GetWidth(), 4);
  const uint8_t grey = At(2, 2).g;
  EXPECT_GT(grey, 60);
  EXPECT_LT(grey, 200);

  // A full alpha channel is refilled, another one resampled.
  Picture(8, 8);
  TIEMask* alpha = view->GetAlphaChannel();
  ASSERT_NE(alpha, nullptr);
  alpha->Fill(255);
  alpha->Full = true;
  proc->Resample(4, 4, rfTriangle);
  EXPECT_EQ(alpha->Width, 4);
  EXPECT_EQ(alpha->GetPixel(3, 3), 255);
  alpha->Full = false;
  alpha->SetPixel(0, 0, 0);
  proc->Resample(8, 8, rfNone);
  EXPECT_EQ(alpha->Width, 8);
  EXPECT_LT(alpha->GetPixel(0, 0), 255);
}

}  // namespace
