#include "imaging/proc/ieeffects.h"

#include <gtest/gtest.h>

#include "pixproc_fixture.h"

namespace {

TRGB Code(int x, int y) { return Rgb((x * 37 + y * 5) % 256, (y * 23) % 256, (x * y) % 256); }

bool Unchanged(TBitmap* b) {
  for (int y = 0; y < b->GetHeight(); ++y)
    for (int x = 0; x < b->GetWidth(); ++x)
      if (!(Pixel24(b, x, y) == Code(x, y))) return false;
  return true;
}

TEST(BumpMapping, MixKeepsThePictureOrLightsTheRelief) {
  TProgressRec progress;
  auto kept = Bitmap24(9, 7, Code);
  _BumpMapping(kept.get(), 4, 3, 10, 10, 100, Rgb(255, 255, 255), 0, 0, 9, 7, progress);
  EXPECT_TRUE(Unchanged(kept.get()));

  // A flat picture at mix 0: the light position gets the map's brightest
  // entry (255) in the light's colour, and it fades away from it.
  auto flat = Bitmap24(40, 40, [](int, int) { return Grey(90); });
  _BumpMapping(flat.get(), 20, 20, 10, 10, 0, Rgb(255, 128, 0), 0, 0, 40, 40, progress);
  EXPECT_EQ(TRGB2Key(Pixel24(flat.get(), 20, 20)), 0xFF8000u);
  EXPECT_LT(Pixel24(flat.get(), 24, 20).r, 255);
  EXPECT_EQ(TRGB2Key(Pixel24(flat.get(), 0, 0)), 0u);

  // Zero light sizes and 1-bit pictures are left alone.
  auto zero = Bitmap24(9, 7, Code);
  _BumpMapping(zero.get(), 4, 3, 0, 10, 0, Rgb(255, 255, 255), 0, 0, 9, 7, progress);
  EXPECT_TRUE(Unchanged(zero.get()));
}

TEST(Lens, RefractionOneOrBelowChangesNothing) {
  TProgressRec progress;
  for (double n : {1.0, 0.5, -3.0}) {
    auto picture = Bitmap24(30, 20, Code);
    _lens(picture.get(), 15, 10, 20, 14, n, progress);
    EXPECT_TRUE(Unchanged(picture.get())) << n;
  }
}

TEST(Lens, MagnifiesInsideTheEllipseOnly) {
  TProgressRec progress;
  int reports = 0;
  progress.OnProgress = [&](TObject*, int) { ++reports; };
  auto picture = Bitmap24(30, 20, Code);
  _lens(picture.get(), 15, 10, 20, 14, 2.5, progress);
  EXPECT_EQ(reports, 20);  // one per lens column
  EXPECT_FALSE(Unchanged(picture.get()));
  // Corners of the lens rectangle lie outside the ellipse; the rest of the
  // picture is untouched.
  EXPECT_TRUE(Pixel24(picture.get(), 5, 3) == Code(5, 3));
  EXPECT_TRUE(Pixel24(picture.get(), 0, 0) == Code(0, 0));
  EXPECT_TRUE(Pixel24(picture.get(), 29, 19) == Code(29, 19));

  // Centred at (0, 0): only the quarter inside the picture is used.
  auto corner = Bitmap24(30, 20, Code);
  _lens(corner.get(), 0, 0, 20, 14, 2.5, progress);
  EXPECT_TRUE(Pixel24(corner.get(), 15, 15) == Code(15, 15));
}

TEST(Wave, AmplitudeZeroAndReflectiveSamplesFromTheCentre) {
  TProgressRec progress;
  auto still = Bitmap24(11, 11, Code);
  _wave(still.get(), 0, 8, 0, false, progress);
  EXPECT_TRUE(Unchanged(still.get()));

  // Reflective, amplitude 1, phase 0: at the centre the sine is 0, so the
  // sample comes from the centre itself.
  auto picture = Bitmap24(11, 11, Code);
  _wave(picture.get(), 1, 8, 0, true, progress);
  EXPECT_TRUE(Pixel24(picture.get(), 5, 5) == Code(5, 5));
  EXPECT_FALSE(Unchanged(picture.get()));
}

TEST(Wave, OnePixelHighPicturesBlendWithAMissingRow) {
  TProgressRec progress;
  std::vector<int> seen;
  progress.OnProgress = [&](TObject*, int per) { seen.push_back(per); };
  auto row = Bitmap24(9, 1, [](int, int) { return Grey(200); });
  _wave(row.get(), 3, 4, 90, false, progress);
  EXPECT_EQ(seen, std::vector<int>{0});
  for (int x = 0; x < 9; ++x) EXPECT_LE(Pixel24(row.get(), x, 0).g, 200) << x;
}

TEST_F(PixProcTest, EffectsSaveTheirSnapshotEvenWhenTheWorkerDeclines) {
  Picture(12, 12);
  proc->BumpMapping(6, 6, 0, 0, 50, Rgb(255, 255, 255));
  EXPECT_EQ(proc->GetUndoCaptions(0), "BumpMapping");
  proc->Wave(0, 5, 0, false);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Wave");
  proc->Lens(6, 6, 8, 8, 1.0);
  EXPECT_EQ(proc->GetUndoCaptions(0), "Lens");
  EXPECT_EQ(imageChanges, 3);
  EXPECT_TRUE(OriginalAt(6, 6));

  // With a mask the light position is read relative to the box.
  TBitmap* b = view->GetFBitmap();
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 12; ++x) reinterpret_cast<TRGB*>(b->ScanLine(y))[x] = Code(3, 3);
  view->Update();
  view->Select(4, 4, 8, 8);
  proc->BumpMapping(2, 2, 5, 5, 0, Rgb(255, 255, 255));
  EXPECT_EQ(TRGB2Key(At(6, 6)), 0xFFFFFFu);
  EXPECT_LT(At(8, 8).r, 255);
  EXPECT_TRUE(Same(At(3, 3), Code(3, 3)));
}

}  // namespace
