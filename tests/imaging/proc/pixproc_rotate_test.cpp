#include <gtest/gtest.h>

#include "imaging/core/ievalues.h"
#include "pixproc_fixture.h"

namespace {

using PixProcRotateTest = PixProcTest;

TEST_F(PixProcRotateTest, QuarterTurnSwapsTheSizeAndUndoGivesItBack) {
  Picture(20, 16);
  view->Select(1, 1, 3, 3);  // ignored: the whole picture turns
  proc->Rotate(90, false);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Rotate 90");
  EXPECT_EQ(imageChanges, 1);
  TBitmap* b = view->GetFBitmap();
  ASSERT_EQ(b->GetWidth(), 16);
  ASSERT_EQ(b->GetHeight(), 20);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(At(y, 19 - x), Code(x, y)) << x << "," << y;
  proc->Undo();
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 20);
  EXPECT_TRUE(OriginalAt(19, 15));
}

TEST_F(PixProcRotateTest, AngleZeroDoesNothingAndWholeTurnsOnlySaveASnapshot) {
  Picture(8, 6);
  proc->Rotate(0, true);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  for (double angle : {360.0, 0.0004}) {
    proc->Rotate(angle, true);
    EXPECT_EQ(proc->GetUndoCaptions(0), "Rotate " + FloatToStr(angle));
    EXPECT_EQ(view->GetFBitmap()->GetWidth(), 8);
    EXPECT_TRUE(OriginalAt(7, 5));
  }
}

TEST_F(PixProcRotateTest, ShearedCornersTakeTheBackground) {
  Picture(100, 50);
  proc->SetReBackground(RGB2TColor(0, 200, 0));
  proc->Rotate(30, true);
  TBitmap* b = view->GetFBitmap();
  EXPECT_EQ(b->GetWidth(), 112);
  EXPECT_EQ(b->GetHeight(), 94);
  EXPECT_EQ(At(0, 0), Rgb(0, 200, 0));
  EXPECT_EQ(At(111, 93), Rgb(0, 200, 0));
}

TEST_F(PixProcRotateTest, OneBitPicturesTurnWithABackgroundBit) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(30, 20);
  for (int y = 0; y < 20; ++y) std::fill_n(b->ScanLine(y), b->BytesPerLine(), 0xFF);
  view->Update();
  proc->SetReBackground(clBlack);
  proc->Rotate(30, false);
  b = view->GetFBitmap();
  EXPECT_EQ(b->GetPixelFormat(), pf1bit);
  EXPECT_FALSE(Bit(b, 0, 0));
  EXPECT_TRUE(Bit(b, b->GetWidth() / 2, b->GetHeight() / 2));
  proc->SetReBackground(clWhite);
  proc->Rotate(30, false);
  EXPECT_TRUE(Bit(view->GetFBitmap(), 0, 0));
}

TEST_F(PixProcRotateTest, FlipMirrorsBothFormats) {
  Picture(9, 5);
  proc->Flip(fdHorizontal);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Flip");
  EXPECT_EQ(At(0, 2), Code(8, 2));
  proc->Flip(fdVertical);
  EXPECT_EQ(At(0, 0), Code(8, 4));

  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(10, 2);
  for (int y = 0; y < 2; ++y) std::fill_n(b->ScanLine(y), b->BytesPerLine(), 0);
  b->ScanLine(0)[0] = 0x80;  // pixel 0
  view->Update();
  proc->Flip(fdHorizontal);
  EXPECT_FALSE(Bit(b, 0, 0));
  EXPECT_TRUE(Bit(b, 9, 0));
}

TEST_F(PixProcRotateTest, ImageResizeKeepsTheTopLeftAndFillsTheRestWithBackground) {
  Picture(10, 10);
  proc->SetReBackground(RGB2TColor(200, 10, 20));
  view->GetAlphaChannel();
  ASSERT_TRUE(view->GetHasAlphaChannel());
  proc->ImageResize(20, 12);
  EXPECT_EQ(proc->GetUndoCaptions(0), "ImageResize 20,12");
  EXPECT_FALSE(view->GetHasAlphaChannel());
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 20);
  EXPECT_EQ(view->GetFBitmap()->GetHeight(), 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 20; ++x)
      ASSERT_EQ(At(x, y), x < 10 && y < 10 ? Code(x, y) : Rgb(200, 10, 20)) << x << "," << y;
  proc->Undo();
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 10);

  // Nothing at all for an empty or negative size.
  const int saved = proc->GetUndoCount();
  proc->ImageResize(0, 5);
  proc->ImageResize(5, -1);
  EXPECT_EQ(proc->GetUndoCount(), saved);
  EXPECT_EQ(view->GetFBitmap()->GetWidth(), 10);
}

}  // namespace
