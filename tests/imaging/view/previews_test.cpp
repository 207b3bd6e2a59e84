// The processing preview dialog through TPixProc::DoPreviews: pages, live
// previews, typed values, OK, Cancel and "<<", checked on the pixels of
// the caller's picture.
#include <cstring>
#include <vector>

#include "imaging/proc/ieadjust.h"
#include "imaging/view/previews.h"
#include "platform/buttons.h"
#include "previews_fixture.h"

namespace {

std::vector<int> VisibleTags(TfPreviews* d) {
  std::vector<int> tags;
  for (int i = 1; i <= 12; ++i)
    if (d->TabSheets[size_t(i)]->GetTabVisible()) tags.push_back(i);
  return tags;
}

TEST_F(PreviewsTest, ShowsThePagesAskedForAndOpensOnTheFirst) {
  struct TCase {
    TPreviewEffects pages;
    std::vector<int> tags;
  };
  const TCase cases[] = {
      {peFFT, {ppgFFT}},
      // The batch window's effect and colour buttons.
      {peBumpMap | peLens | peWave | peMorph | peRotate, {ppgBumpMap, ppgLens, ppgWave, ppgMorph, ppgRotate}},
      {peContrast | peHSV | peHSL | peRGB | peUserFilt | peEqualize | peFFT,
       {ppgContrast, ppgHSL, ppgRGB, ppgUserFilter, ppgHSV, ppgEqualization, ppgFFT}},
      {peAll, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}},
  };
  Gradient(60, 40);
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.pages);
    EXPECT_FALSE(Run(c.pages, mrCancel, [&](TfPreviews* d) {
      EXPECT_EQ(VisibleTags(d), c.tags);
      EXPECT_EQ(d->ActivePageTag(), c.tags.front());
      EXPECT_TRUE(d->Ready());
      // The result shows the visible part of the source; the Fourier
      // page a thumbnail of at most 128 pixels.
      TBitmap* result = d->Pix2->GetFBitmap();
      if (c.tags.front() == ppgFFT) {
        EXPECT_EQ(result->GetWidth(), 128);
        EXPECT_EQ(result->GetHeight(), 40 * 128 / 60);
      } else {
        EXPECT_EQ(result->GetWidth(), d->Pix1->VisibleW);
        EXPECT_EQ(result->GetHeight(), d->Pix1->VisibleH);
      }
    }));
  }
}

TEST_F(PreviewsTest, RefusesWithoutAPictureItCanWorkOn) {
  EXPECT_FALSE(proc->DoPreviews(peAll));  // empty picture
  Picture(1, 1, [](int, int) { return TRGB{1, 2, 3}; });
  EXPECT_FALSE(proc->DoPreviews(peAll));
  view->GetFBitmap()->SetPixelFormat(pf1bit);
  view->GetFBitmap()->SetSize(30, 30);
  EXPECT_FALSE(proc->DoPreviews(peAll));
  EXPECT_TRUE(dialogs.Records.empty());
}

TEST_F(PreviewsTest, CaptionsComeFromTheCallersLanguage) {
  Gradient(20, 20);
  proc->MsgLanguage = msChinese;
  Run(peAll, mrCancel, [&](TfPreviews* d) {
    EXPECT_EQ(d->GetCaption(), "预览");
    EXPECT_EQ(d->Button1->GetCaption(), "确定");
    EXPECT_EQ(d->Button2->GetCaption(), "取消");
    EXPECT_EQ(d->Label1->GetCaption(), "原图:");
    EXPECT_EQ(d->TabSheets[ppgContrast]->GetCaption(), "对比度");
    EXPECT_EQ(d->TabSheets[ppgHSL]->GetCaption(), "HSL");
    EXPECT_EQ(d->Button6->GetCaption(), "<<");
  });
}

}  // namespace
