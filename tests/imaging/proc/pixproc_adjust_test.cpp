#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/core/ievalues.h"
#include "pixproc_fixture.h"

namespace {

class PixProcAdjustTest : public PixProcTest {
 protected:
  // A diamond selection inside the picture's box.
  TIEMask* Diamond() {
    const TPoint diamond[] = {{10, 2}, {17, 8}, {10, 14}, {3, 8}};
    view->SelectionMask->DrawPolygon(1, diamond, 4);
    view->HasSelection = true;
    return view->SelectionMask;
  }
};

TEST_F(PixProcAdjustTest, EachAdjustmentSavesItsCaptionAndTellsTheView) {
  auto other = Bitmap24(3, 3, [](int, int) { return Grey(50); });
  const struct {
    std::function<void(TPixProc*)> run;
    std::string caption;
  } cases[] = {
      {[](TPixProc* p) { p->Contrast(20); }, "Contrast 20"},
      {[](TPixProc* p) { p->HSLvar(10, -5, 0); }, "HSLvar 10,-5,0"},
      {[](TPixProc* p) { p->HSVvar(30, 0, -4); }, "HSVvar 30,0,-4"},
      {[](TPixProc* p) { p->IntensityRGBall(1, -2, 3); }, "IntensityRGBall 1,-2,3"},
      {[](TPixProc* p) { p->ConvertToGray(); }, "ConvertToGray"},
      {[&](TPixProc* p) { p->Merge(other.get(), 40); }, "Merge 40"},
      {[](TPixProc* p) { p->CastColorRange(Grey(0), Grey(255), Grey(3)); }, "CastColorRange"},
      {[](TPixProc* p) { p->Threshold(Grey(100), Grey(200), Grey(0), Grey(255)); }, "Threshold"},
      {[](TPixProc* p) { p->HistEqualize(Grey(20), Grey(200)); }, "HistEqualize"},
      {[](TPixProc* p) { p->HistAutoEqualize(); }, "HistAutoEqualize"},
      {[](TPixProc* p) { p->Negative(); }, "Negative"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.caption);
    Picture(20, 16);
    c.run(proc);
    EXPECT_EQ(proc->GetUndoCaptions(0), c.caption);
    EXPECT_EQ(imageChanges, 1);
    bool changed = false;
    for (int y = 0; y < 16 && !changed; ++y)
      for (int x = 0; x < 20 && !changed; ++x) changed = !OriginalAt(x, y);
    EXPECT_TRUE(changed);
    proc->Undo();
    EXPECT_TRUE(OriginalAt(7, 9));
  }
}

TEST_F(PixProcAdjustTest, AMaskLimitsTheChangeToItsPixels) {
  Picture(20, 16);
  TIEMask* mask = Diamond();
  proc->ConvertToGray();
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) {
      const TRGB original = Code(x, y);
      const TRGB expected = mask->IsPointInside(x, y) ? Grey(_RGBToGray(original)) : original;
      ASSERT_EQ(At(x, y), expected) << x << "," << y;
    }
}

TEST_F(PixProcAdjustTest, ContrastTakesTheWholePicturesMeanEvenInsideASelection) {
  // Left half black, right half white: the mean is 127 whatever is selected.
  TBitmap* b = view->GetFBitmap();
  b->SetSize(20, 16);
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 20; ++x) reinterpret_cast<TRGB*>(b->ScanLine(y))[x] = Grey(x < 10 ? 0 : 255);
  view->Update();
  view->Select(12, 2, 15, 5);
  proc->Contrast(-100);
  EXPECT_EQ(At(13, 3), Grey(127));
  EXPECT_EQ(At(16, 3), Grey(255));
}

TEST_F(PixProcAdjustTest, ContrastNeedsTwoPixelsOneWay) {
  Picture(1, 1);
  proc->Contrast(50);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  Picture(1, 2);
  proc->Contrast(50);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Contrast 50");
  EXPECT_EQ(imageChanges, 1);
}

TEST_F(PixProcAdjustTest, OneBitPicturesTakeOnlyTheNegative) {
  TBitmap* b = view->GetFBitmap();
  b->SetPixelFormat(pf1bit);
  b->SetSize(16, 4);
  for (int y = 0; y < 4; ++y) std::fill_n(b->ScanLine(y), b->BytesPerLine(), 0);
  view->Update();
  imageChanges = 0;
  proc->HSLvar(10, 10, 10);
  proc->Contrast(10);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
  EXPECT_EQ(proc->GetRGBChannel(0), nullptr);
  EXPECT_EQ(proc->CalcImageNumColors(), 2);

  view->Select(3, 1, 9, 2);
  proc->Negative();
  EXPECT_EQ(proc->GetUndoCaptions(0), "Negative");
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) EXPECT_EQ(Bit(b, x, y), x >= 3 && x <= 9 && y >= 1 && y <= 2) << x << "," << y;
}

TEST_F(PixProcAdjustTest, MeasurementsReadTheSelectionRectangleOnly) {
  Picture(20, 16);
  view->Select(2, 3, 5, 4);  // 4 x 2 pixels
  THistogram histogram;
  proc->GetHistogram(histogram);
  uint32_t counted = 0;
  for (const auto& item : histogram) counted += item.gray;
  EXPECT_EQ(counted, 8u);
  EXPECT_EQ(proc->CalcImageNumColors(), 8);
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);

  TPixProc bare(nullptr);
  EXPECT_EQ(bare.CalcImageNumColors(), 0);
}

TEST_F(PixProcAdjustTest, ChannelsCoverTheWholePictureWithoutUndo) {
  Picture(6, 5);
  view->Select(1, 1, 2, 2);
  std::unique_ptr<TBitmap> red(proc->GetRGBChannel(2));
  ASSERT_TRUE(red);
  EXPECT_EQ(red->GetWidth(), 6);
  EXPECT_EQ(Pixel24(red.get(), 5, 4), Grey(Code(5, 4).r));
  TBitmap h, s, v;
  proc->GetHSVChannelAll(&h, &s, &v);
  EXPECT_EQ(v.GetHeight(), 5);
  std::unique_ptr<TBitmap> hue(proc->GetHSVChannel(0));
  EXPECT_EQ(Pixel24(hue.get(), 3, 2), Pixel24(&h, 3, 2));
  TBitmap r, g, bl;
  proc->GetRGBChannelAll(&r, &g, &bl);
  EXPECT_EQ(Pixel24(&bl, 4, 1), Grey(Code(4, 1).b));
  EXPECT_EQ(proc->GetUndoCount(), 0);
  EXPECT_EQ(imageChanges, 0);
}

}  // namespace
